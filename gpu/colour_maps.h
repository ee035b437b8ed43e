// The eleven built-in colour maps (RGB tables indexed 0..10), the words that select them, and
// the CPU form of the palette-and-colour-map lookup that the fragment shaders perform.
#pragma once

#include <array>

#include "gpu/palette.h"

namespace zel {

constexpr int kColourMapCount = 11;

// One colour map: `entries` RGB triples, three floats in [0, 1] each, stored contiguously
// (entry i at rgb[3i], rgb[3i+1], rgb[3i+2]); the table is constant and lives for the
// program's life.
struct ColourMap {
  const char* keyword;       // the parameter-file word, lower case ("coolwarm")
  const char* announcement;  // the line printed when it is selected, without newline
  int entries;
  const float* rgb;
};

// Map 0..10. An index outside that range gives the default map (2, coolwarm), so a bad index
// never reaches past a table.
const ColourMap& colourMap(int index);
// Number of entries of map `index` (sent to the shaders as colmapsiz), same index rule.
int colourMapSize(int index);
// Index of the map selected by `word`, compared without regard to case; -1 when no map has
// that keyword or word is null.
int findColourMap(const char* word);

using Rgb = std::array<float, 3>;

// Colour at position t of a map: t clamped to [0, 1], placed at t (entries - 1) and read by
// linear interpolation between the two nearest entries.
Rgb colourMapAt(int index, double t);
// Position in [0, 1] of value v in the map under a palette: clamped below p0 and above p4;
// otherwise i is the last of 1..4 with v >= p(i-1), and v at fraction kc of [p(i-1), p(i)]
// sits at (i - 1 + kc) / 4. So a value equal to several palette values takes the last of
// them, and no empty interval is divided by.
double palettePosition(const PaletteValues& palette, double v);

}  // namespace zel
