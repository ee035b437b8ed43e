// Palette computation, extension, validation and the palette state's set, force and reset.
#include "gpu/palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "meshio/status.h"

namespace zel {
namespace {

constexpr double kZeroRange = 1e-16;
constexpr double kConstantRange = 1e-14;
constexpr double kZeroHalfWidth = 1e-15;

// Moves a constant value's end ten per cent away from the value: the low end down, the high
// end up, whatever the sign.
double widenLow(double v) { return v > 0 ? v * 0.9 : (v < 0 ? v * 1.1 : v); }
double widenHigh(double v) { return v > 0 ? v * 1.1 : (v < 0 ? v * 0.9 : v); }

// The zero and constant cases shared by the range rule and the user-palette check; they
// differ only in the denominator of the constant test.
void widenDegenerate(double& p0, double& p4, double constantDenominator) {
  if (std::fabs(p0) + std::fabs(p4) < kZeroRange) {
    p0 = -kZeroHalfWidth;
    p4 = kZeroHalfWidth;
  } else if (std::fabs(p0 - p4) < kConstantRange * constantDenominator) {
    p0 = widenLow(p0);
    p4 = widenHigh(p4);
  }
}

template <typename T>
std::optional<PaletteValues> computeFrom(int n, const T* values) {
  if (n < 1 || !values) return std::nullopt;
  double lo = 0, hi = 0;
  bool any = false;
  for (int i = 0; i < n; ++i) {
    const double v = values[i];
    if (std::isnan(v)) continue;
    lo = any ? std::min(lo, v) : v;
    hi = any ? std::max(hi, v) : v;
    any = true;
  }
  if (!any) return std::nullopt;
  return paletteFromRange(lo, hi);
}

}  // namespace

PaletteValues paletteFromRange(double minimum, double maximum) {
  double p0 = minimum, p4 = maximum;
  widenDegenerate(p0, p4, std::fabs(p0 + p4));
  const double w = p4 - p0;
  return {static_cast<float>(p0), static_cast<float>(p0 + 0.25 * w),
          static_cast<float>(p0 + 0.5 * w), static_cast<float>(p0 + 0.75 * w),
          static_cast<float>(p4)};
}

std::optional<PaletteValues> computePalette(int n, const float* values) {
  return computeFrom(n, values);
}

std::optional<PaletteValues> computePalette(int n, const double* values) {
  return computeFrom(n, values);
}

PaletteValues extendPalette(const PaletteValues& current, const PaletteValues& other) {
  return paletteFromRange(std::min(current[0], other[0]), std::max(current[4], other[4]));
}

PaletteValues checkedPalette(const float* given) {
  if (!given) fatalExit(stderr, " Please provide a palette\n");
  PaletteValues held{};
  held[0] = given[0];
  for (int i = 0; i < kPaletteValueCount - 1; ++i) {
    if (given[i] > given[i + 1]) fatalExit(stderr, " Please provide a correct palette\n");
    held[i + 1] = given[i + 1];
  }
  double p0 = held[0], p4 = held[4];
  widenDegenerate(p0, p4, std::fabs(p0) + std::fabs(p4));
  held[0] = static_cast<float>(p0);
  held[4] = static_cast<float>(p4);
  return held;
}

void PaletteState::setValues(const float* given) {
  if (!given) fatalExit(stderr, " Please provide a palette\n");
  set = true;
  values = checkedPalette(given);
}

void PaletteState::forceValues(const float* given) {
  setValues(given);
  forced = true;
}

bool PaletteState::setValuesFrom(int n, const float* data) {
  const std::optional<PaletteValues> computed = computePalette(n, data);
  if (!computed) return false;
  setValues(computed->data());
  return true;
}

bool PaletteState::setValuesFrom(int n, const double* data) {
  const std::optional<PaletteValues> computed = computePalette(n, data);
  if (!computed) return false;
  setValues(computed->data());
  return true;
}

void PaletteState::reset() {
  if (forced) return;
  set = false;
  values.fill(0.0f);
}

void PaletteState::setUserIsoValues(int n, const float* data) {
  userIsoCount = data ? std::clamp(n, 0, kMaxUserIsoValues) : 0;
  userIso.fill(0.0f);
  std::copy(data, data + userIsoCount, userIso.begin());
}

}  // namespace zel
