// Palette of a solution display: five increasing values that cut the value range into four
// colour-map intervals, its computation from data, the range rule, and the palette state
// (set and forced flags, colour map, iso-lines) that the renderer reads.
#pragma once

#include <array>
#include <optional>

namespace zel {

constexpr int kPaletteValueCount = 5;
constexpr int kMaxUserIsoValues = 9;
constexpr int kDefaultColourMap = 2;  // coolwarm
constexpr int kDefaultIsoLineCount = 9;

// p0 <= p1 <= p2 <= p3 <= p4.
using PaletteValues = std::array<float, kPaletteValueCount>;

// The range rule: from a minimum p0 and a maximum p4 (the arithmetic is done in double and
// stored as floats):
//  - both zero (|p0| + |p4| < 1e-16): p0 = -1e-15, p4 = 1e-15;
//  - constant (|p0 - p4| / |p0 + p4| < 1e-14): each end moved ten per cent away from the value;
//  - p1, p2, p3 at a quarter, a half and three quarters of [p0, p4].
PaletteValues paletteFromRange(double minimum, double maximum);

// Minimum and maximum of values[0..n-1], then the range rule. None when n < 1, values is
// null or every value is NaN (NaNs are skipped).
std::optional<PaletteValues> computePalette(int n, const float* values);
std::optional<PaletteValues> computePalette(int n, const double* values);

// p0 = min of both p0, p4 = max of both p4, then the range rule.
PaletteValues extendPalette(const PaletteValues& current, const PaletteValues& other);

// Validates a user palette given[0..4] and returns the values to hold:
//  - given null: " Please provide a palette\n" on stderr, exit status 1;
//  - a value greater than its successor: " Please provide a correct palette\n" on stderr,
//    exit status 1 (equal neighbours are accepted);
//  - p0 and p4 then follow the zero and constant cases of the range rule; p1..p3 are kept.
PaletteValues checkedPalette(const float* given);

// The palette state that a palette scene object carries and the renderer reads, fields in
// this order. A new state is not set, not forced, all values zero, colour map 2, 9 regular
// iso-lines per interval and no user iso-values. With user iso-values the shaders draw those
// and ignore the regular count.
struct PaletteState {
  bool set = false;     // a palette was given or computed
  bool forced = false;  // given by the user; never recomputed from data
  PaletteValues values{};
  int colourMap = kDefaultColourMap;
  int isoLineCount = kDefaultIsoLineCount;
  int userIsoCount = 0;  // 0..9
  std::array<float, kMaxUserIsoValues> userIso{};

  // Marks the palette set and holds checkedPalette(given) (fatal on null or decreasing).
  void setValues(const float* given);
  // The same, and marks it forced.
  void forceValues(const float* given);
  // Computes the palette of values[0..n-1] and holds it (marking it set). Returns false and
  // keeps everything as it was when there is nothing to compute from.
  bool setValuesFrom(int n, const float* values);
  bool setValuesFrom(int n, const double* values);
  // Unless forced: not set, all five values zero.
  void reset();
  // Copies min(n, 9) user iso-values (n < 0 counts as 0; values may be null when n <= 0).
  void setUserIsoValues(int n, const float* values);
};

}  // namespace zel
