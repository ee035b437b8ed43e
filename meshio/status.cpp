// The status-buffer helpers and the exit for broken invariants.
#include "meshio/status.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace zel {

int setStatus(char* status, const char* format, ...) {
  if (!status) return ZEL_FAILURE;
  va_list args;
  va_start(args, format);
  std::vsnprintf(status, ZEL_STATUS_HALF, format, args);
  va_end(args);
  return ZEL_FAILURE;
}

void echoStatus(char* status, const char* text) {
  if (!status || !text) return;
  std::snprintf(status + ZEL_STATUS_HALF, ZEL_STATUS_SIZE - ZEL_STATUS_HALF, "%s", text);
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
