// The status-buffer helpers, the message printers and the exit for broken invariants.
#include "meshio/status.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace zel {

int setStatus(char* status, const char* format, ...) {
  if (!status) return kFailure;
  va_list args;
  va_start(args, format);
  std::vsnprintf(status, kStatusHalf, format, args);
  va_end(args);
  return kFailure;
}

void echoStatus(char* status, const char* text) {
  if (!status || !text) return;
  std::snprintf(status + kStatusHalf, kStatusSize - kStatusHalf, "%s", text);
}

void printMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  // Flushed at once so that messages interleave in order with those of the window system.
  std::fflush(stdout);
}

void printError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

void fatalExit(std::FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stream, format, args);
  va_end(args);
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(1);
}

}  // namespace zel
