// Internal to the keyword file library: the decoding plan shared by binary and ASCII block
// reads, and the value conversions they use.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "meshio/keyword_error.h"
#include "meshio/keyword_file.h"

namespace zel {

// Scalar value kinds, used for file fields and caller fields alike.
enum ValueKind : int { kInt32 = 0, kInt64 = 1, kReal32 = 2, kReal64 = 3 };

// A run of consecutive file fields of one kind going to consecutive elements of one caller
// field.
struct Run {
  int firstField;  // index among the data fields of a line
  int count;
  int source;              // ValueKind of the file fields
  int target;              // ValueKind of the caller field
  char* base;              // caller address of line firstLine, element 0
  int64_t stride;          // bytes between lines in caller memory
  int firstElement;        // element of the caller field receiving the first value
  const int* permutation;  // element -> stored element (renumbering), or null
  int64_t sourceOffset;    // byte offset in a binary line
};

inline int valueSize(int kind) { return kind == kInt32 || kind == kReal32 ? 4 : 8; }

// Kind of the file fields of a format letter ('i' or 'r').
inline int fileKind(const KeywordFile* file, char letter) {
  if (letter == 'i') return file->intWidth() == 4 ? kInt32 : kInt64;
  return file->realWidth == 32 ? kReal32 : kReal64;
}

// The runs that move the fields of lines firstLine.. of the keyword to the caller fields;
// throws a KeywordError for caller fields that do not match the line. permutationStorage
// holds the element permutation the runs point to.
std::vector<Run> buildPlan(const KeywordFile* file, int keyword, int64_t lines,
                           const BlockField* fields, int fieldCount,
                           std::vector<int>* permutationStorage);

// True for a present keyword with data fields and 1 <= firstLine <= lastLine <= line count.
bool validRange(const KeywordFile* file, int keyword, int64_t firstLine, int64_t lastLine);

// Reads lines firstLine.. of an ASCII keyword through the plan; throws a KeywordError naming
// the line and field of a value that is missing or not a number of the field's kind.
void readAsciiBlock(KeywordFile* file, int keyword, int64_t firstLine, int64_t lines,
                    const std::vector<Run>& plan);

// Value conversions.
template <typename Target, typename Source>
inline Target convertValue(Source value) {
  if constexpr (std::is_integral_v<Target> && std::is_floating_point_v<Source>) {
    // Reals outside the integer's range (or NaN) would be undefined to convert.
    constexpr Source low = static_cast<Source>(std::numeric_limits<Target>::min());
    constexpr Source high = -low;
    if (!(value >= low && value < high)) return 0;
  }
  return static_cast<Target>(value);
}

template <typename T, bool Swap>
inline T loadValue(const unsigned char* bytes) {
  static_assert(sizeof(T) == 4 || sizeof(T) == 8, "file values are 4 or 8 bytes");
  using Raw = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
  Raw raw;
  std::memcpy(&raw, bytes, sizeof raw);
  if constexpr (Swap) {
    if constexpr (sizeof(Raw) == 4) {
      raw = swap32(raw);
    } else {
      raw = swap64(raw);
    }
  }
  T value;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

}  // namespace zel
