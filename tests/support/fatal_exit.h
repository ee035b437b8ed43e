// Expectations on routines that end the process: status 1 after printing a given text.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

// The exact text as a regular expression.
inline std::string Literal(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out;
}

// The statement ends the process with status 1 after printing text (standard output or the
// error stream: the child sends its standard output to the error stream).
#define EXPECT_FATAL(statement, text) \
  EXPECT_EXIT(                        \
      {                               \
        dup2(2, 1);                   \
        statement;                    \
      },                              \
      ::testing::ExitedWithCode(1), Literal(text))
