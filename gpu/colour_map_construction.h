// Constructions of the colour maps that are defined by a rule rather than a published table:
// the diverging cool-to-warm map (interpolation in Moreland's Msh space) and cube-helix ramps.
#pragma once

#include <array>
#include <vector>

namespace zel {

using RgbD = std::array<double, 3>;  // sRGB, components in [0, 1]

// Msh coordinates (magnitude, saturation, hue) of an sRGB colour: sRGB -> linear RGB ->
// CIE XYZ (D65) -> CIE L*a*b* -> polar form; and back (the result clamped to [0, 1]).
RgbD srgbToMsh(const RgbD& rgb);
RgbD mshToSrgb(const RgbD& msh);

// Colour at fraction t in [0, 1] of the diverging map from `low` to `high`: when both ends
// are saturated and their hues differ by more than 60 degrees, the path passes through an
// unsaturated middle of magnitude max(M_low, M_high, 88); hues of unsaturated points are
// spun towards the saturated end so the path stays smooth.
RgbD divergingColour(const RgbD& low, const RgbD& high, double t);

// n >= 2 samples of the diverging map at t = i / (n - 1), 3 floats per sample.
std::vector<float> divergingTable(const RgbD& low, const RgbD& high, int n);

// n >= 3 samples of a black-to-white cube-helix ramp (luminance rising linearly) whose middle
// sample (t = 1/2) is `middle`: the helix amplitude and phase are solved from the middle
// colour's departure from grey, and the hue turns `rotations` times over the ramp. The
// middle is met exactly in red and blue and, since the ramp keeps luminance t, in green to
// within the departure of the middle colour's luminance from 1/2.
std::vector<float> cubeHelixTable(const RgbD& middle, double rotations, int n);

}  // namespace zel
