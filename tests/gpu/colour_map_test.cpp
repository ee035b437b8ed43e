// The built-in colour maps: sizes, end points, published tables, the constructed coolwarm and
// cube-helix maps, keyword lookup and the CPU colour lookup.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "gpu/colour_map_construction.h"
#include "gpu/colour_maps.h"

namespace {

using Row = std::array<double, 3>;

Row entry(int map, int i) {
  const zel::ColourMap& m = zel::colourMap(map);
  return {m.rgb[3 * i], m.rgb[3 * i + 1], m.rgb[3 * i + 2]};
}

void expectRow(const Row& got, const Row& want, double tol, const std::string& what) {
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], tol) << what << " channel " << k;
}

TEST(ColourMaps, SizesKeywordsAndRange) {
  const int sizes[11] = {5, 2, 257, 256, 256, 256, 256, 9, 101, 101, 8};
  const char* keywords[11] = {"rainbow",       "grayscale",        "coolwarm",          "magma",
                              "inferno",       "plasma",           "viridis",           "jet",
                              "cubehelixblue", "cubehelixbluerev", "rainbowdesaturated"};
  const char* lines[11] = {
      "  Rainbow colormap used",        "  Grayscale colormap used",
      "  Coolwarm colormap used",       "  Magma colormap used",
      "  Inferno colormap used",        "  Plasma colormap used",
      "  Viridis colormap used",        "  Jet colormap used",
      "  Cubehelix blue colormap used", "  Reverse cubehelix blue colormap used",
      "  Rainbow desaturated used"};
  for (int m = 0; m < zel::kColourMapCount; ++m) {
    const zel::ColourMap& map = zel::colourMap(m);
    EXPECT_EQ(map.entries, sizes[m]) << m;
    EXPECT_EQ(zel::colourMapSize(m), sizes[m]) << m;
    EXPECT_STREQ(map.keyword, keywords[m]);
    EXPECT_STREQ(map.announcement, lines[m]);
    EXPECT_EQ(zel::findColourMap(keywords[m]), m);
    for (int i = 0; i < 3 * map.entries; ++i) {
      ASSERT_GE(map.rgb[i], 0.0f) << "map " << m << " value " << i;
      ASSERT_LE(map.rgb[i], 1.0f) << "map " << m << " value " << i;
    }
  }
  // A bad index never reads past a table: it falls back to the default map.
  EXPECT_EQ(zel::colourMapSize(-1), 257);
  EXPECT_EQ(zel::colourMapSize(11), 257);
}

TEST(ColourMaps, KeywordLookupIgnoresCaseOnly) {
  EXPECT_EQ(zel::findColourMap("Viridis"), 6);
  EXPECT_EQ(zel::findColourMap("CUBEHELIXBLUEREV"), 9);
  EXPECT_EQ(zel::findColourMap("viridi"), -1);
  EXPECT_EQ(zel::findColourMap("viridiss"), -1);
  EXPECT_EQ(zel::findColourMap("cubehelix"), -1);
  EXPECT_EQ(zel::findColourMap(""), -1);
  EXPECT_EQ(zel::findColourMap(nullptr), -1);
}

TEST(ColourMaps, FixedMapsEntryByEntry) {
  const Row rainbow[5] = {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
  for (int i = 0; i < 5; ++i) expectRow(entry(0, i), rainbow[i], 0, "rainbow");
  expectRow(entry(1, 0), {1, 1, 1}, 0, "grayscale");
  expectRow(entry(1, 1), {0, 0, 0}, 0, "grayscale");
  const Row jet[9] = {{0, 0, 0.5}, {0, 0, 1},   {0, 0.5, 1}, {0, 1, 1},  {0.5, 1, 0.5},
                      {1, 1, 0},   {1, 0.5, 0}, {1, 0, 0},   {0.5, 0, 0}};
  for (int i = 0; i < 9; ++i) expectRow(entry(7, i), jet[i], 0, "jet");
  const Row desat[8] = {{0.2784, 0.2784, 0.8588},
                        {0, 0, 0.3608},
                        {0, 1, 1},
                        {0, 0.502, 0},
                        {1, 1, 0},
                        {1, 0.3804, 0},
                        {0.4196, 0, 0},
                        {0.8784, 0.302, 0.302}};
  for (int i = 0; i < 8; ++i) expectRow(entry(10, i), desat[i], 1e-7, "rainbowdesaturated");
}

// The published 256-entry maps: first, middle and last rows, and channel sums and an
// index-weighted sum of the whole table, which catch a shifted, dropped or garbled row.
TEST(ColourMaps, PublishedTablesMatchTheReferenceValues) {
  struct Reference {
    int map;
    Row first, middle, last, sums;
    double weighted;
  };
  const Reference refs[4] = {
      {3,
       {0.001462, 0.000466, 0.013866},
       {0.716387, 0.214982, 0.47529},
       {0.987053, 0.991438, 0.749504},
       {160.920924, 82.924139, 109.556377},
       58746.807743},
      {4,
       {0.001462, 0.000466, 0.013866},
       {0.735683, 0.215906, 0.330245},
       {0.988362, 0.998364, 0.644924},
       {161.922869, 84.604374, 70.622141},
       52069.718699},
      {5,
       {0.050383, 0.029803, 0.527975},
       {0.798216, 0.280197, 0.469538},
       {0.940015, 0.975158, 0.131326},
       {180.594634, 86.231843, 110.994049},
       55856.595736},
      {6,
       {0.267004, 0.004874, 0.329415},
       {0.127568, 0.566949, 0.550556},
       {0.993248, 0.906157, 0.143936},
       {83.743425, 137.734004, 110.223089},
       48635.773018},
  };
  for (const Reference& r : refs) {
    const std::string name = zel::colourMap(r.map).keyword;
    expectRow(entry(r.map, 0), r.first, 1e-7, name + " first");
    expectRow(entry(r.map, 128), r.middle, 1e-7, name + " middle");
    expectRow(entry(r.map, 255), r.last, 1e-7, name + " last");
    Row sums{};
    double weighted = 0;
    for (int i = 0; i < 256; ++i) {
      const Row e = entry(r.map, i);
      for (int k = 0; k < 3; ++k) sums[k] += e[k];
      weighted += (i + 1) * (e[0] + e[1] + e[2]);
    }
    expectRow(sums, r.sums, 1e-4, name + " sums");
    EXPECT_NEAR(weighted, r.weighted, 1e-2) << name;
  }
}

// Coolwarm: Moreland's diverging construction between the published end points, against the
// 33 control points of the widely used table (entry 8j of 257 sits at j / 32). The accepted
// bound is 0.02; the construction reproduces them to 1e-4, so 1e-3 also catches a slightly
// wrong white point or transfer curve.
TEST(ColourMaps, CoolwarmFollowsTheDivergingConstruction) {
  const Row control[33] = {
      {0.2298057, 0.298717966, 0.753683153},   {0.26623388, 0.353094838, 0.801466763},
      {0.30386891, 0.406535296, 0.84495867},   {0.342804478, 0.458757618, 0.883725899},
      {0.38301334, 0.50941904, 0.917387822},   {0.424369608, 0.558148092, 0.945619588},
      {0.46666708, 0.604562568, 0.968154911},  {0.509635204, 0.648280772, 0.98478814},
      {0.552953156, 0.688929332, 0.995375608}, {0.596262162, 0.726149107, 0.999836203},
      {0.639176211, 0.759599947, 0.998151185}, {0.681291281, 0.788964712, 0.990363227},
      {0.722193294, 0.813952739, 0.976574709}, {0.761464949, 0.834302879, 0.956945269},
      {0.798691636, 0.849786142, 0.931688648}, {0.833466556, 0.860207984, 0.901068838},
      {0.865395197, 0.86541021, 0.865395561},  {0.897787179, 0.848937047, 0.820880546},
      {0.924127593, 0.827384882, 0.774508472}, {0.944468518, 0.800927443, 0.726736146},
      {0.958852946, 0.769767752, 0.678007945}, {0.96732803, 0.734132809, 0.628751763},
      {0.969954137, 0.694266682, 0.579375448}, {0.966811177, 0.650421156, 0.530263762},
      {0.958003065, 0.602842431, 0.481775914}, {0.943660866, 0.551750968, 0.434243684},
      {0.923944917, 0.49730856, 0.387970225},  {0.89904617, 0.439559467, 0.343229596},
      {0.869186849, 0.378313092, 0.300267182}, {0.834620542, 0.312874446, 0.259301199},
      {0.795631745, 0.24128379, 0.220525627},  {0.752534934, 0.157246067, 0.184115123},
      {0.705673158, 0.01555616, 0.150232812}};
  for (int j = 0; j < 33; ++j)
    expectRow(entry(2, 8 * j), control[j], 1e-3, "control point " + std::to_string(j));
  expectRow(entry(2, 0), {0.2298, 0.2987, 0.7537}, 1e-4, "first");
  expectRow(entry(2, 128), {0.8654, 0.8654, 0.8654}, 1e-3, "middle");
  expectRow(entry(2, 256), {0.7057, 0.0156, 0.1502}, 1e-4, "last");
}

TEST(ColourMaps, MshConversionRoundTrips) {
  const zel::RgbD colours[4] = {{0.2, 0.4, 0.9}, {0.9, 0.1, 0.05}, {0.5, 0.5, 0.5}, {1, 1, 1}};
  for (const zel::RgbD& c : colours) {
    const zel::RgbD back = zel::mshToSrgb(zel::srgbToMsh(c));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], c[k], 1e-9);
  }
  // Grey has no saturation.
  EXPECT_NEAR(zel::srgbToMsh({0.5, 0.5, 0.5})[1], 0.0, 1e-5);
}

TEST(ColourMaps, CubeHelixRampsRiseFromBlackToWhiteThroughBlue) {
  expectRow(entry(8, 0), {0, 0, 0}, 1e-7, "first");
  expectRow(entry(8, 50), {0.322, 0.56, 0.665}, 1e-3, "middle");
  expectRow(entry(8, 100), {1, 1, 1}, 1e-7, "last");
  double previous = -1;
  for (int i = 0; i <= 100; ++i) {
    const Row e = entry(8, i);
    const double luminance = 0.30 * e[0] + 0.59 * e[1] + 0.11 * e[2];
    EXPECT_GT(luminance, previous) << "entry " << i;
    previous = luminance;
    if (i > 0 && i < 100) {
      EXPECT_GT(e[2], e[0]) << "blue cast at entry " << i;
    }
    expectRow(entry(9, 100 - i), e, 0, "reversed entry " + std::to_string(i));
  }
}

TEST(ColourLookup, MapPositionsInterpolateBetweenNeighbours) {
  auto expectRgb = [](const zel::Rgb& c, const Row& want, const char* what) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(c[k], want[k], 1e-4) << what << " " << k;
  };
  expectRgb(zel::colourMapAt(0, 0.0), {0, 0, 1}, "start");
  expectRgb(zel::colourMapAt(0, 1.0), {1, 0, 0}, "end");
  expectRgb(zel::colourMapAt(0, 0.125), {0, 0.5, 1}, "between blue and cyan");
  expectRgb(zel::colourMapAt(0, 0.75), {1, 1, 0}, "on an entry");
  expectRgb(zel::colourMapAt(0, -3.0), {0, 0, 1}, "below");
  expectRgb(zel::colourMapAt(0, 7.0), {1, 0, 0}, "above");
  expectRgb(zel::colourMapAt(1, 0.25), {0.75, 0.75, 0.75}, "grayscale");
  expectRgb(zel::colourMapAt(2, 0.5), {0.8654, 0.8654, 0.8654}, "coolwarm middle");
}

TEST(ColourLookup, PalettePositionsSitEvenlyWhateverTheIntervals) {
  const zel::PaletteValues p = {0, 1, 3, 7, 15};
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, -5), 0.0);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 0), 0.0);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 0.5), 0.125);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 1), 0.25);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 2), 0.375);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 5), 0.625);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 11), 0.875);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 15), 1.0);
  EXPECT_DOUBLE_EQ(zel::palettePosition(p, 99), 1.0);
  // Equal neighbours: the value takes the last interval that starts at it.
  const zel::PaletteValues q = {0, 1, 1, 2, 3};
  EXPECT_DOUBLE_EQ(zel::palettePosition(q, 1), 0.5);
  EXPECT_DOUBLE_EQ(zel::palettePosition(q, 0.5), 0.125);
  EXPECT_DOUBLE_EQ(zel::palettePosition(q, 1.5), 0.625);
}

}  // namespace
