// Internal error of the keyword file library: thrown deep in a read, caught by the public
// operation that owns the call, which records the message and fails.
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace zel {

struct KeywordError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Throws a KeywordError with the formatted message.
[[noreturn]] void throwKeywordError(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Byte order helpers for binary files.
inline uint32_t swap32(uint32_t v) { return __builtin_bswap32(v); }
inline uint64_t swap64(uint64_t v) { return __builtin_bswap64(v); }

// Reads a 32-bit or 64-bit integer from raw bytes, swapping when asked.
inline int64_t decodeInteger(const unsigned char* bytes, int width, bool swap) {
  if (width == 4) {
    uint32_t v;
    std::memcpy(&v, bytes, 4);
    return static_cast<int32_t>(swap ? swap32(v) : v);
  }
  uint64_t v;
  std::memcpy(&v, bytes, 8);
  return static_cast<int64_t>(swap ? swap64(v) : v);
}

}  // namespace zel
