// Colour maps and palettes on the processor: the built-in tables against their published
// values, the constructed maps, keyword lookup, the colour lookup, the range rule, the user
// palette check and the palette state.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "gpu/colour_maps.h"
#include "gpu/palette.h"

namespace {

using Row = std::array<double, 3>;

Row entry(int map, int i) {
  const float* rgb = zel::colourMap(map).rgb + 3 * i;
  return {rgb[0], rgb[1], rgb[2]};
}
void expectRow(const Row& got, const Row& want, double tol, const std::string& what) {
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], tol) << what << " channel " << k;
}
void expectPalette(const zel::PaletteValues& got, const zel::PaletteValues& want, double tol) {
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], want[i], tol) << "value " << i;
}

TEST(ColourMaps, KeywordsSizesAndFixedTables) {
  // Each map's keyword and its whole table, or its size alone.
  // clang-format off
  const std::pair<const char*, std::vector<float>> maps[11] = {
      {"rainbow", {0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 0}}, {"grayscale", {1, 1, 1, 0, 0, 0}},
      {"coolwarm", {257}}, {"magma", {256}}, {"inferno", {256}}, {"plasma", {256}},
      {"viridis", {256}},
      {"jet", {0, 0, .5, 0, 0, 1, 0, .5, 1, 0, 1, 1, .5, 1, .5, 1, 1, 0, 1, .5, 0, 1, 0, 0, .5, 0, 0}},
      {"cubehelixblue", {101}}, {"cubehelixbluerev", {101}},
      {"rainbowdesaturated", {.2784f, .2784f, .8588f, 0, 0, .3608f, 0, 1, 1, 0, .502f, 0, 1, 1, 0, 1,
                              .3804f, 0, .4196f, 0, 0, .8784f, .302f, .302f}}};
  // clang-format on
  for (int m = 0; m < zel::kColourMapCount; ++m) {
    const zel::ColourMap& map = zel::colourMap(m);
    const auto& [keyword, want] = maps[m];
    EXPECT_STREQ(map.keyword, keyword);
    EXPECT_EQ(zel::findColourMap(keyword), m);
    EXPECT_EQ(zel::colourMapSize(m), want.size() == 1 ? int(want[0]) : int(want.size() / 3));
    EXPECT_TRUE(want.size() == 1 || std::vector<float>(map.rgb, map.rgb + want.size()) == want)
        << keyword;
    for (int i = 0; i < 3 * map.entries; ++i)
      ASSERT_TRUE(map.rgb[i] >= 0 && map.rgb[i] <= 1) << keyword << " value " << i;
  }
  EXPECT_EQ(zel::colourMapSize(-1), 257) << "a bad index falls back to the default map";
  EXPECT_EQ(zel::colourMapSize(11), 257);
  EXPECT_EQ(zel::findColourMap("CubeHelixBlueRev"), 9);
  for (const char* word : {"viridi", "viridiss", "cubehelix", "", (const char*)nullptr})
    EXPECT_EQ(zel::findColourMap(word), -1);
}

// The published 256-entry maps: first, middle and last rows, channel sums and an
// index-weighted sum of the whole table, which catch a shifted, dropped or garbled row.
TEST(ColourMaps, PublishedTablesMatchTheReferenceValues) {
  struct Reference {
    int map;
    Row first, middle, last, sums;
    double weighted;
  };
  // clang-format off
  const Reference refs[4] = {
      {3, {0.001462, 0.000466, 0.013866}, {0.716387, 0.214982, 0.47529},
       {0.987053, 0.991438, 0.749504}, {160.920924, 82.924139, 109.556377}, 58746.807743},
      {4, {0.001462, 0.000466, 0.013866}, {0.735683, 0.215906, 0.330245},
       {0.988362, 0.998364, 0.644924}, {161.922869, 84.604374, 70.622141}, 52069.718699},
      {5, {0.050383, 0.029803, 0.527975}, {0.798216, 0.280197, 0.469538},
       {0.940015, 0.975158, 0.131326}, {180.594634, 86.231843, 110.994049}, 55856.595736},
      {6, {0.267004, 0.004874, 0.329415}, {0.127568, 0.566949, 0.550556},
       {0.993248, 0.906157, 0.143936}, {83.743425, 137.734004, 110.223089}, 48635.773018}};
  // clang-format on
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

// Coolwarm against every fourth control point of the widely used 33-point table (entry 32j
// of 257 sits at j / 8): the construction reproduces them to 1e-4, so 1e-3 catches a
// slightly wrong white point or transfer curve. Cube-helix rises from black through its
// given middle to white with a blue cast, and map 9 is map 8 reversed.
TEST(ColourMaps, ConstructedMapsFollowTheirRules) {
  // clang-format off
  const Row control[9] = {
      {0.2298057, 0.298717966, 0.753683153}, {0.38301334, 0.50941904, 0.917387822},
      {0.552953156, 0.688929332, 0.995375608}, {0.722193294, 0.813952739, 0.976574709},
      {0.865395197, 0.86541021, 0.865395561}, {0.958852946, 0.769767752, 0.678007945},
      {0.958003065, 0.602842431, 0.481775914}, {0.869186849, 0.378313092, 0.300267182},
      {0.705673158, 0.01555616, 0.150232812}};
  // clang-format on
  for (int j = 0; j < 9; ++j)
    expectRow(entry(2, 32 * j), control[j], 1e-3, "coolwarm " + std::to_string(j));
  expectRow(entry(8, 50), {0.322, 0.56, 0.665}, 1e-3, "cube-helix middle");
  double previous = -1;
  for (int i = 0; i <= 100; ++i) {
    const Row e = entry(8, i);
    const double luminance = 0.30 * e[0] + 0.59 * e[1] + 0.11 * e[2];
    EXPECT_GT(luminance, previous) << "entry " << i;
    previous = luminance;
    EXPECT_TRUE(i == 0 || i == 100 || e[2] > e[0]) << "blue cast at entry " << i;
    expectRow(entry(9, 100 - i), e, 0, "reversed entry " + std::to_string(i));
  }
  expectRow(entry(8, 0), {0, 0, 0}, 1e-7, "black");
  expectRow(entry(8, 100), {1, 1, 1}, 1e-7, "white");
}

// The lookup the fragment stages perform: five palette values evenly placed on the map
// whatever the intervals, equal neighbours taking the last interval, clamping, and linear
// interpolation between the two nearest entries.
TEST(ColourLookup, PalettePositionsAndMapColours) {
  const zel::PaletteValues p = {0, 1, 3, 7, 15}, q = {0, 1, 1, 2, 3};
  const double positions[][3] = {
      {-5, 0, 0},       {0, 0, 0},     {0.5, 0.125, 0.125}, {1, 0.25, 0.5}, {1.5, 0.3125, 0.625},
      {2, 0.375, 0.75}, {5, 0.625, 1}, {11, 0.875, 1},      {99, 1, 1}};
  for (const auto& r : positions) {
    EXPECT_DOUBLE_EQ(zel::palettePosition(p, r[0]), r[1]) << r[0];
    EXPECT_DOUBLE_EQ(zel::palettePosition(q, r[0]), r[2]) << r[0];
  }
  const std::pair<int, double> at[] = {{0, 0.0},  {0, 1.0}, {0, 0.125}, {0, 0.75},
                                       {0, -3.0}, {0, 7.0}, {1, 0.25},  {2, 0.5}};
  const Row colours[] = {{0, 0, 1}, {1, 0, 0}, {0, 0.5, 1},        {1, 1, 0},
                         {0, 0, 1}, {1, 0, 0}, {0.75, 0.75, 0.75}, {0.8654, 0.8654, 0.8654}};
  for (int i = 0; i < 8; ++i) {
    const zel::Rgb c = zel::colourMapAt(at[i].first, at[i].second);
    expectRow({c[0], c[1], c[2]}, colours[i], 1e-4, "lookup " + std::to_string(i));
  }
}

TEST(Palette, RangeRuleFromDataAndExtension) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<std::vector<double>, zel::PaletteValues> cases[] = {
      {{2, 1, 3, 1.5}, {1, 1.5, 2, 2.5, 3}},
      {{-1, 1}, {-1, -0.5, 0, 0.5, 1}},
      {{1e30, 3e30}, {1e30f, 1.5e30f, 2e30f, 2.5e30f, 3e30f}},
      {std::vector<double>(7, 5.0), {4.5, 4.75, 5.0, 5.25, 5.5}},
      {std::vector<double>(3, -5.0), {-5.5, -5.25, -5.0, -4.75, -4.5}},
      {{1, 1 + 1e-15}, {0.9f, 0.95f, 1, 1.05f, 1.1f}},
      {{nan, 4, nan, 0}, {0, 1, 2, 3, 4}}};
  for (const auto& [data, want] : cases)
    expectPalette(*zel::computePalette(int(data.size()), data.data()), want,
                  1e-6 * std::abs(want[4]));
  const std::vector<float> f = {2.0f, 1.0f, 3.0f, 1.5f}, zeros(4, 0.0f);
  expectPalette(*zel::computePalette(4, f.data()), {1, 1.5, 2, 2.5, 3}, 1e-6);
  const zel::PaletteValues z = *zel::computePalette(4, zeros.data());
  EXPECT_TRUE(z[0] == -1e-15f && z[4] == 1e-15f) << z[0] << " " << z[4];
  const std::vector<double> spread = {1.0, 1.0 + 1e-6}, allNan = {nan, nan};
  EXPECT_FLOAT_EQ((*zel::computePalette(2, spread.data()))[4], 1.0f + 1e-6f) << "a real spread";
  EXPECT_FALSE(zel::computePalette(2, allNan.data()) || zel::computePalette(0, f.data()));
  EXPECT_FALSE(zel::computePalette(4, static_cast<const float*>(nullptr)));
  const zel::PaletteValues held = {0, 0.25f, 0.5f, 0.75f, 1},
                           incoming = {0.5f, 0.9f, 1.2f, 1.6f, 2}, c = {5, 5, 5, 5, 5};
  expectPalette(zel::extendPalette(held, incoming), {0, 0.5, 1, 1.5, 2}, 1e-6);
  expectPalette(zel::extendPalette(incoming, held), {0, 0.5, 1, 1.5, 2}, 1e-6);
  expectPalette(zel::extendPalette(c, c), {4.5, 4.75, 5.0, 5.25, 5.5}, 1e-6);
}

TEST(Palette, UserPalettesSetForceAndReset) {
  const float equalNeighbours[5] = {0, 1, 1, 2, 3}, constant[5] = {5, 5, 5, 5, 5},
              negative[5] = {-5, -5, -5, -5, -5}, zero[5] = {};
  expectPalette(zel::checkedPalette(equalNeighbours), {0, 1, 1, 2, 3}, 0);
  expectPalette(zel::checkedPalette(constant), {4.5, 5, 5, 5, 5.5}, 1e-6);
  expectPalette(zel::checkedPalette(negative), {-5.5, -5, -5, -5, -4.5}, 1e-6);
  EXPECT_FLOAT_EQ(zel::checkedPalette(zero)[0], -1e-15f);
  EXPECT_FLOAT_EQ(zel::checkedPalette(zero)[4], 1e-15f);
  zel::PaletteState state;
  state.setValues(equalNeighbours);
  EXPECT_TRUE(state.set && !state.forced);
  state.reset();
  EXPECT_FALSE(state.set);
  expectPalette(state.values, {0, 0, 0, 0, 0}, 0);
  const std::vector<double> data = {-2.0, 6.0, 1.0};
  ASSERT_TRUE(state.setValuesFrom(3, data.data()));
  EXPECT_FALSE(state.setValuesFrom(0, data.data())) << "no data keeps the previous palette";
  EXPECT_TRUE(state.set);
  expectPalette(state.values, {-2, 0, 2, 4, 6}, 1e-6);
  state.forceValues(equalNeighbours);
  state.reset();  // a forced palette survives a reset
  EXPECT_TRUE(state.set && state.forced);
  expectPalette(state.values, {0, 1, 1, 2, 3}, 0);
  std::vector<float> twelve(12);
  for (int i = 0; i < 12; ++i) twelve[i] = float(i + 1);
  state.setUserIsoValues(12, twelve.data());
  EXPECT_EQ(state.userIsoCount, 9);
  EXPECT_EQ(state.userIso[8], 9.0f);
  state.setUserIsoValues(-1, twelve.data());
  EXPECT_EQ(state.userIsoCount, 0);
}

TEST(PaletteDeathTest, DecreasingOrMissingPaletteEndsTheProcess) {
  const float decreasing[5] = {0, 2, 1, 3, 4}, lastDecreasing[5] = {0, 1, 2, 3, 2.5f};
  EXPECT_EXIT(zel::checkedPalette(decreasing), testing::ExitedWithCode(1),
              "^ Please provide a correct palette\n$");
  EXPECT_EXIT(zel::checkedPalette(lastDecreasing), testing::ExitedWithCode(1), "correct palette");
  EXPECT_EXIT(zel::checkedPalette(nullptr), testing::ExitedWithCode(1),
              "^ Please provide a palette\n$");
  zel::PaletteState state;
  EXPECT_EXIT(state.forceValues(decreasing), testing::ExitedWithCode(1), "correct palette");
}

}  // namespace
