// Diverging (Msh space) and cube-helix colour-map constructions.
#include "gpu/colour_map_construction.h"

#include <algorithm>
#include <cmath>

namespace zel {
namespace {

constexpr double kPi = 3.14159265358979323846;

// sRGB primaries, D65 white.
constexpr double kRgbToXyz[3][3] = {
    {0.412453, 0.357580, 0.180423}, {0.212671, 0.715160, 0.072169}, {0.019334, 0.119193, 0.950227}};
constexpr double kWhite[3] = {0.950456, 1.0, 1.088754};

double toLinear(double v) { return v > 0.04045 ? std::pow((v + 0.055) / 1.055, 2.4) : v / 12.92; }
double toSrgb(double v) {
  return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
}
double labF(double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; }
double labFInverse(double f) {
  const double t = f * f * f;
  return t > 0.008856 ? t : (f - 16.0 / 116.0) / 7.787;
}

// Solves the 3x3 system m x = b by Cramer's rule (m is the well-conditioned primaries matrix).
std::array<double, 3> solve3(const double (&m)[3][3], const double (&b)[3]) {
  auto det = [](const double(&a)[3][3]) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  };
  const double d = det(m);
  std::array<double, 3> x{};
  for (int c = 0; c < 3; ++c) {
    double mc[3][3];
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) mc[r][k] = (k == c) ? b[r] : m[r][k];
    x[c] = det(mc) / d;
  }
  return x;
}

// Hue of an unsaturated colour of magnitude mUnsat next to a saturated one (m, s, h).
double adjustHue(double m, double s, double h, double mUnsat) {
  if (m >= mUnsat) return h;
  const double spin = s * std::sqrt(mUnsat * mUnsat - m * m) / (m * std::sin(s));
  return h > -kPi / 3 ? h + spin : h - spin;
}

}  // namespace

RgbD srgbToMsh(const RgbD& rgb) {
  double lin[3], xyz[3];
  for (int i = 0; i < 3; ++i) lin[i] = toLinear(rgb[i]);
  for (int r = 0; r < 3; ++r)
    xyz[r] = kRgbToXyz[r][0] * lin[0] + kRgbToXyz[r][1] * lin[1] + kRgbToXyz[r][2] * lin[2];
  const double fx = labF(xyz[0] / kWhite[0]), fy = labF(xyz[1] / kWhite[1]),
               fz = labF(xyz[2] / kWhite[2]);
  const double l = 116.0 * fy - 16.0, a = 500.0 * (fx - fy), b = 200.0 * (fy - fz);
  const double m = std::sqrt(l * l + a * a + b * b);
  return {m, m > 0 ? std::acos(l / m) : 0.0, std::atan2(b, a)};
}

RgbD mshToSrgb(const RgbD& msh) {
  const double l = msh[0] * std::cos(msh[1]);
  const double a = msh[0] * std::sin(msh[1]) * std::cos(msh[2]);
  const double b = msh[0] * std::sin(msh[1]) * std::sin(msh[2]);
  const double fy = (l + 16.0) / 116.0;
  const double xyz[3] = {kWhite[0] * labFInverse(fy + a / 500.0), kWhite[1] * labFInverse(fy),
                         kWhite[2] * labFInverse(fy - b / 200.0)};
  const std::array<double, 3> lin = solve3(kRgbToXyz, xyz);
  RgbD rgb{};
  for (int i = 0; i < 3; ++i) rgb[i] = std::clamp(toSrgb(std::max(lin[i], 0.0)), 0.0, 1.0);
  return rgb;
}

RgbD divergingColour(const RgbD& low, const RgbD& high, double t) {
  RgbD m1 = srgbToMsh(low), m2 = srgbToMsh(high);
  constexpr double kSaturated = 0.05;
  if (m1[1] > kSaturated && m2[1] > kSaturated && std::fabs(m1[2] - m2[2]) > kPi / 3) {
    const double middle = std::max({m1[0], m2[0], 88.0});
    if (t < 0.5) {
      m2 = {middle, 0.0, 0.0};
      t *= 2.0;
    } else {
      m1 = {middle, 0.0, 0.0};
      t = 2.0 * t - 1.0;
    }
  }
  if (m1[1] < kSaturated && m2[1] > kSaturated) {
    m1[2] = adjustHue(m2[0], m2[1], m2[2], m1[0]);
  } else if (m2[1] < kSaturated && m1[1] > kSaturated) {
    m2[2] = adjustHue(m1[0], m1[1], m1[2], m2[0]);
  }
  RgbD mid{};
  for (int i = 0; i < 3; ++i) mid[i] = (1.0 - t) * m1[i] + t * m2[i];
  return mshToSrgb(mid);
}

std::vector<float> divergingTable(const RgbD& low, const RgbD& high, int n) {
  std::vector<float> table;
  table.reserve(3 * static_cast<size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) {
    const RgbD c = divergingColour(low, high, n > 1 ? double(i) / (n - 1) : 0.0);
    table.insert(table.end(), {float(c[0]), float(c[1]), float(c[2])});
  }
  return table;
}

std::vector<float> cubeHelixTable(const RgbD& middle, double rotations, int n) {
  // Helix directions in RGB: a perturbation along them keeps the luminance unchanged.
  constexpr double kCos[3] = {-0.14861, -0.29227, 1.97294};
  constexpr double kSin[3] = {1.78277, -0.90649, 0.0};
  // At t = 1/2 the amplitude factor t (1 - t) / 2 is 1/8: solve blue, then red.
  const double hc = 8.0 * (middle[2] - 0.5) / kCos[2];
  const double hs = (8.0 * (middle[0] - 0.5) - kCos[0] * hc) / kSin[0];
  const double amplitude = std::hypot(hc, hs), phase = std::atan2(hs, hc);
  std::vector<float> table;
  table.reserve(3 * static_cast<size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) {
    const double t = n > 1 ? double(i) / (n - 1) : 0.0;
    const double phi = phase + 2.0 * kPi * rotations * (t - 0.5);
    const double a = amplitude * t * (1.0 - t) / 2.0;
    for (int c = 0; c < 3; ++c) {
      const double v = t + a * (kCos[c] * std::cos(phi) + kSin[c] * std::sin(phi));
      table.push_back(static_cast<float>(std::clamp(v, 0.0, 1.0)));
    }
  }
  return table;
}

}  // namespace zel
