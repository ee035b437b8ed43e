// The colour-map registry: fixed tables, the constructed coolwarm and cube-helix maps, keyword
// lookup, and the CPU form of the palette-and-colour-map lookup.
#include "gpu/colour_maps.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "gpu/colour_map_construction.h"
#include "gpu/colour_map_table.h"

namespace zel {
namespace {

constexpr int kCoolwarmEntries = 257;
constexpr int kCubeHelixEntries = 101;
// The published end points of the cool-to-warm map.
constexpr RgbD kCoolEnd = {0.2298057, 0.298717966, 0.753683153};
constexpr RgbD kWarmEnd = {0.705673158, 0.01555616, 0.150232812};
// Middle entry of the blue cube-helix ramp, and the hue turns that keep the ramp blue.
constexpr RgbD kCubeHelixMiddle = {0.322, 0.56, 0.665};
constexpr double kCubeHelixRotations = -0.3;

// The constructed maps, built once on first use and constant afterwards.
struct ConstructedMaps {
  std::vector<float> coolwarm = divergingTable(kCoolEnd, kWarmEnd, kCoolwarmEntries);
  std::vector<float> cubeHelix =
      cubeHelixTable(kCubeHelixMiddle, kCubeHelixRotations, kCubeHelixEntries);
  std::vector<float> cubeHelixReversed = reversed(cubeHelix);

  static std::vector<float> reversed(const std::vector<float>& rgb) {
    std::vector<float> out(rgb.size());
    const size_t n = rgb.size() / 3;
    for (size_t i = 0; i < n; ++i) std::copy_n(&rgb[3 * (n - 1 - i)], 3, &out[3 * i]);
    return out;
  }
};

const std::array<ColourMap, kColourMapCount>& maps() {
  static const ConstructedMaps built;
  static const std::array<ColourMap, kColourMapCount> table = {{
      {"rainbow", "  Rainbow colormap used", 5, kRainbowMap},
      {"grayscale", "  Grayscale colormap used", 2, kGrayscaleMap},
      {"coolwarm", "  Coolwarm colormap used", kCoolwarmEntries, built.coolwarm.data()},
      {"magma", "  Magma colormap used", 256, kMagmaMap},
      {"inferno", "  Inferno colormap used", 256, kInfernoMap},
      {"plasma", "  Plasma colormap used", 256, kPlasmaMap},
      {"viridis", "  Viridis colormap used", 256, kViridisMap},
      {"jet", "  Jet colormap used", 9, kJetMap},
      {"cubehelixblue", "  Cubehelix blue colormap used", kCubeHelixEntries,
       built.cubeHelix.data()},
      {"cubehelixbluerev", "  Reverse cubehelix blue colormap used", kCubeHelixEntries,
       built.cubeHelixReversed.data()},
      {"rainbowdesaturated", "  Rainbow desaturated used", 8, kRainbowDesaturatedMap},
  }};
  return table;
}

}  // namespace

const ColourMap& colourMap(int index) {
  const bool valid = index >= 0 && index < kColourMapCount;
  return maps()[valid ? index : kDefaultColourMap];
}

int colourMapSize(int index) { return colourMap(index).entries; }

int findColourMap(const char* word) {
  if (!word) return -1;
  for (int i = 0; i < kColourMapCount; ++i) {
    const char* k = maps()[i].keyword;
    const char* w = word;
    while (*k && *w && std::tolower(static_cast<unsigned char>(*w)) == *k) ++k, ++w;
    if (!*k && !*w) return i;
  }
  return -1;
}

Rgb colourMapAt(int index, double t) {
  const ColourMap& map = colourMap(index);
  if (map.entries <= 1 || std::isnan(t)) return {map.rgb[0], map.rgb[1], map.rgb[2]};
  const double x = std::clamp(t, 0.0, 1.0) * (map.entries - 1);
  const int first = std::min(static_cast<int>(x), map.entries - 1);
  const int second = std::min(first + 1, map.entries - 1);
  const double w = x - first;
  Rgb c{};
  for (int k = 0; k < 3; ++k)
    c[k] = static_cast<float>((1.0 - w) * map.rgb[3 * first + k] + w * map.rgb[3 * second + k]);
  return c;
}

double palettePosition(const PaletteValues& p, double v) {
  if (v <= p[0]) return 0.0;
  if (v >= p[4]) return 1.0;
  int i = 1;
  for (int j = 2; j <= 4; ++j)
    if (v >= p[j - 1]) i = j;
  const double kc = (v - p[i - 1]) / (double(p[i]) - p[i - 1]);
  return (i - 1 + kc) / 4.0;
}

}  // namespace zel
