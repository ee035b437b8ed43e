// Token reading and value rules shared by the viewer's small text files (state file,
// parameter file, movie list): white-space separated tokens, whole-token numbers, and the
// error messages every such reader prints.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Next white-space separated token of `in`; false at the end of the file. Tokens longer than
// 1024 characters are cut (they are outside every format read this way).
bool readToken(std::FILE* in, std::string* token);

// The whole token must be a base-10 integer (in 32-bit range) / a real number. Every real of
// these files is stored in single precision, so a real must be finite and within the single
// precision range ("nan", "inf" and 1e39 are not reals here).
bool parseWholeInteger(const std::string& token, int* value);
bool parseWholeReal(const std::string& token, double* value);

// What came of opening one of these small text files.
enum class TextFileRead { Read, Missing, NotRegular, TooLarge, Unreadable };

// Reads the whole file `name` into `text` without ever blocking: the file is opened
// non-blocking (for reading and updating when `forUpdate`, so that a write-protected file is
// refused), must be a regular file (not a FIFO, device or directory) and must hold at most
// `limit` bytes; otherwise `text` is left empty and the outcome says why.
TextFileRead readSmallTextFile(const std::string& name, bool forUpdate, size_t limit,
                               std::string* text);
// A read-only stream over `text` (which must outlive it), for the token readers; the caller
// closes it. Null only when the C library cannot make one.
std::FILE* textStream(const std::string& text);
// The reason printed for an outcome other than Read ("not a regular file", ...).
const char* textFileProblem(TextFileRead outcome);

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
  // Brings `value` into [low, high]; when it was outside, prints
  // "  ## WARNING: ZELMOR: %s: VALUE %s OUT OF RANGE [%s, %s], SET TO %s \n".
  void clamp(const char* keyword, int* value, int low, int high);
  void clamp(const char* keyword, double* value, double low, double high);
  std::FILE* input() const { return m_in; }
  std::FILE* messages() const { return m_messages; }

 private:
  std::FILE* m_in;
  std::FILE* m_messages;
};
