// Token reading and whole-token number parsing for the viewer's text files.
#include "window/text_tokens.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr size_t kMaxToken = 1024;
}

bool readToken(std::FILE* in, std::string* token) {
  token->clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && std::isspace(c)) {
  }
  while (c != EOF && !std::isspace(c)) {
    if (token->size() < kMaxToken) token->push_back(char(c));
    c = std::fgetc(in);
  }
  return !token->empty();
}

bool parseWholeInteger(const std::string& token, int* value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(token.c_str(), &end, 10);
  if (end == token.c_str() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN ||
      parsed > INT32_MAX)
    return false;
  *value = int(parsed);
  return true;
}

bool parseWholeReal(const std::string& token, double* value) {
  char* end = nullptr;
  *value = std::strtod(token.c_str(), &end);
  return end != token.c_str() && *end == '\0';
}

std::string lowerCased(std::string word) {
  for (char& c : word) c = char(std::tolower(static_cast<unsigned char>(c)));
  return word;
}

ValueRead KeywordValueReader::integer(const char* keyword, int* value) {
  std::string token;
  if (!readToken(m_in, &token)) {
    std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: MISSING INTEGER VALUE \n", keyword);
    return ValueRead::Missing;
  }
  if (!parseWholeInteger(token, value)) {
    std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: ERROR WHILE READING INTEGER VALUE(%s)\n",
                 keyword, token.c_str());
    return ValueRead::Invalid;
  }
  return ValueRead::Read;
}

ValueRead KeywordValueReader::real(const char* keyword, double* value) {
  std::string token;
  if (!readToken(m_in, &token)) {
    std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: MISSING DOUBLE VALUE \n", keyword);
    return ValueRead::Missing;
  }
  if (!parseWholeReal(token, value)) {
    std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: ERROR WHILE READING DOUBLE VALUE(%s)\n",
                 keyword, token.c_str());
    return ValueRead::Invalid;
  }
  return ValueRead::Read;
}

ValueRead KeywordValueReader::reals(const char* keyword, int count, double* values) {
  for (int i = 0; i < count; ++i) {
    const ValueRead outcome = real(keyword, &values[i]);
    if (outcome != ValueRead::Read) return outcome;
  }
  return ValueRead::Read;
}
