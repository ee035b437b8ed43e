// Token reading and value rules shared by the viewer's small text files (state file,
// parameter file, movie list): white-space separated tokens, whole-token numbers, and the
// error messages every such reader prints.
#pragma once

#include <cstdio>
#include <string>

// Next white-space separated token of `in`; false at the end of the file. Tokens longer than
// 1024 characters are cut (they are outside every format read this way).
bool readToken(std::FILE* in, std::string* token);

// The whole token must be a base-10 integer (in 32-bit range) / a real number.
bool parseWholeInteger(const std::string& token, int* value);
bool parseWholeReal(const std::string& token, double* value);

std::string lowerCased(std::string word);

enum class ValueRead { Read, Missing, Invalid };

// Reads one value after `keyword`, printing on `messages` the missing or invalid value message
// ("  ## ERROR: ZELMOR: %s: MISSING INTEGER VALUE \n", ...). What happens next is the
// caller's rule.
class KeywordValueReader {
 public:
  KeywordValueReader(std::FILE* in, std::FILE* messages) : m_in(in), m_messages(messages) {}
  ValueRead integer(const char* keyword, int* value);
  ValueRead real(const char* keyword, double* value);
  // Reads `count` reals, stopping at the first one that fails.
  ValueRead reals(const char* keyword, int count, double* values);
  std::FILE* input() const { return m_in; }
  std::FILE* messages() const { return m_messages; }

 private:
  std::FILE* m_in;
  std::FILE* m_messages;
};
