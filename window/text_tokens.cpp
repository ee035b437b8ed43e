// Token reading and whole-token number parsing for the viewer's text files.
#include "window/text_tokens.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
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
  return end != token.c_str() && *end == '\0' && std::isfinite(*value) &&
         std::fabs(*value) <= FLT_MAX;
}

TextFileRead readSmallTextFile(const std::string& name, bool forUpdate, size_t limit,
                               std::string* text) {
  text->clear();
  // Non-blocking, so that opening a FIFO with no writer returns at once instead of waiting.
  const int descriptor = ::open(name.c_str(), (forUpdate ? O_RDWR : O_RDONLY) | O_NONBLOCK);
  if (descriptor < 0) {
    // A directory cannot be opened for update: it is refused for what it is.
    if (errno == EISDIR) return TextFileRead::NotRegular;
    return errno == ENOENT ? TextFileRead::Missing : TextFileRead::Unreadable;
  }
  struct stat status {};
  TextFileRead outcome = TextFileRead::Read;
  if (::fstat(descriptor, &status) != 0) {
    outcome = TextFileRead::Unreadable;
  } else if (!S_ISREG(status.st_mode)) {
    // Devices such as /dev/zero never end, and a FIFO may never deliver anything.
    outcome = TextFileRead::NotRegular;
  } else if (static_cast<unsigned long long>(status.st_size) > limit) {
    outcome = TextFileRead::TooLarge;
  } else {
    // Read no more than the limit even if the file grows while it is read.
    char chunk[4096];
    ssize_t got;
    while ((got = ::read(descriptor, chunk, sizeof chunk)) != 0) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        outcome = TextFileRead::Unreadable;
        break;
      }
      if (text->size() + size_t(got) > limit) {
        outcome = TextFileRead::TooLarge;
        break;
      }
      text->append(chunk, size_t(got));
    }
  }
  ::close(descriptor);
  if (outcome != TextFileRead::Read) text->clear();
  return outcome;
}

std::FILE* textStream(const std::string& text) {
  // fmemopen may refuse a zero-length buffer; an empty temporary file reads the same.
  if (text.empty()) return std::tmpfile();
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

const char* textFileProblem(TextFileRead outcome) {
  switch (outcome) {
    case TextFileRead::Read:
      return "read";
    case TextFileRead::Missing:
      return "no such file";
    case TextFileRead::NotRegular:
      return "not a regular file";
    case TextFileRead::TooLarge:
      return "file too large";
    case TextFileRead::Unreadable:
      break;
  }
  return "cannot be read";
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

namespace {

// One clamping rule for integer and real values; `format` prints one value.
template <typename T>
void clampValue(std::FILE* messages, const char* keyword, const char* format, T* value, T low,
                T high) {
  const T before = *value;
  *value = std::min(std::max(*value, low), high);
  if (*value == before) return;
  char text[4][64];
  const T shown[4] = {before, low, high, *value};
  for (int i = 0; i < 4; ++i) std::snprintf(text[i], sizeof text[i], format, shown[i]);
  std::fprintf(messages, "  ## WARNING: ZELMOR: %s: VALUE %s OUT OF RANGE [%s, %s], SET TO %s \n",
               keyword, text[0], text[1], text[2], text[3]);
}

}  // namespace

void KeywordValueReader::clamp(const char* keyword, int* value, int low, int high) {
  clampValue(m_messages, keyword, "%d", value, low, high);
}

void KeywordValueReader::clamp(const char* keyword, double* value, double low, double high) {
  clampValue(m_messages, keyword, "%g", value, low, high);
}

ValueRead KeywordValueReader::reals(const char* keyword, int count, double* values) {
  for (int i = 0; i < count; ++i) {
    const ValueRead outcome = real(keyword, &values[i]);
    if (outcome != ValueRead::Read) return outcome;
  }
  return ValueRead::Read;
}
