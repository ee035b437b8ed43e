// The palette scene object: what each of its constructors holds and what it hands to a buffer
// (the palette rules themselves are the gpu library's and tested there).
#include <gtest/gtest.h>

#include "meshio/entity_types.h"
#include "scene/ZelDrawPalette.h"

namespace {

std::vector<float> valuesOf(const ZelDrawPalette& p) {
  return std::vector<float>(p.values().begin(), p.values().end());
}

TEST(DrawPalette, ConstructorsHoldTheirArguments) {
  const ZelDrawPalette plain;
  EXPECT_EQ(plain.kind(), DrawKind::Palette);
  EXPECT_STREQ(plain.typeName(), "Palette ");
  EXPECT_FALSE(plain.isSet() || plain.isForced() || plain.carriesPalette());
  EXPECT_EQ(valuesOf(plain), std::vector<float>(5, 0.0f));
  EXPECT_EQ(plain.colourMap(), 2);
  EXPECT_EQ(plain.isoLineCount(), 9);
  EXPECT_EQ(plain.userIsoCount(), 0);

  const ZelDrawPalette regular(6, 4);
  EXPECT_EQ(regular.colourMap(), 6);
  EXPECT_EQ(regular.isoLineCount(), 4);

  const float values[5] = {-1, 0, 1, 2, 3};
  ZelDrawPalette set(values, 3, 5, false);
  EXPECT_TRUE(set.isSet() && !set.isForced());
  EXPECT_EQ(valuesOf(set), (std::vector<float>{-1, 0, 1, 2, 3}));
  set.resetPalette();
  EXPECT_FALSE(set.isSet());
  ZelDrawPalette forced(values, 0, 9, true);
  forced.resetPalette();  // a forced palette survives resets
  EXPECT_TRUE(forced.isForced());
  EXPECT_EQ(valuesOf(forced), (std::vector<float>{-1, 0, 1, 2, 3}));

  const float iso[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  const ZelDrawPalette user(8, 3, iso);
  EXPECT_EQ(user.userIsoCount(), 3);
  EXPECT_EQ(user.colourMap(), 8);
  EXPECT_FALSE(user.isSet());
  const ZelDrawPalette both(values, 11, iso, 10, true);
  EXPECT_TRUE(both.isForced());
  EXPECT_EQ(both.colourMap(), 10);
  EXPECT_EQ(both.userIsoCount(), 9);
  EXPECT_FLOAT_EQ(both.userIso()[8], 9.0f);
}

TEST(DrawPalette, ShaderStateCarriesValuesColourMapAndIsoLines) {
  ZelDrawPalette p(6, 7);
  const double data[4] = {3.0, -1.0, 7.0, 1.0};
  ASSERT_TRUE(p.setPaletteFrom(4, data));
  const float iso[2] = {0.25f, 4.0f};
  p.setUserIsoValues(2, iso);
  const ZelPaletteState s = p.shaderState();
  EXPECT_EQ(std::vector<float>(s.values, s.values + 5), (std::vector<float>{-1, 1, 3, 5, 7}));
  EXPECT_EQ(s.colourMapSize, 256);  // viridis
  EXPECT_EQ(s.colourMap, p.colourMapTexels());
  EXPECT_EQ(s.nbrIso, 7);
  EXPECT_EQ(s.nbrUsrIso, 2);
  EXPECT_FLOAT_EQ(s.usrIso[1], 4.0f);
  p.setColourMap(0);
  EXPECT_EQ(p.shaderState().colourMapSize, 5);
}

}  // namespace
