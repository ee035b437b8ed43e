// Colour-map tables given entry by entry (three floats per entry), defined in
// colour_map_table.cpp; the constructed maps are built in colour_maps.cpp.
#pragma once

namespace zel {

extern const float kRainbowMap[5 * 3];
extern const float kGrayscaleMap[2 * 3];
extern const float kJetMap[9 * 3];
extern const float kRainbowDesaturatedMap[8 * 3];
extern const float kMagmaMap[256 * 3];
extern const float kInfernoMap[256 * 3];
extern const float kPlasmaMap[256 * 3];
extern const float kViridisMap[256 * 3];

}  // namespace zel
