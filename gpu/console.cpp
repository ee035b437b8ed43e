// Terminal messages of the display.
#include "gpu/console.h"

#include <cstdarg>
#include <cstdio>

void zel::printMessage(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::fflush(stdout);
}
