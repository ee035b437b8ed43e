// Formatting of keyword library errors.
#include "meshio/keyword_error.h"

#include <cstdarg>
#include <cstdio>

namespace zel {

void throwKeywordError(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  throw KeywordError(text);
}

}  // namespace zel
