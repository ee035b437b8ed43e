// The palette scene object: its five constructors, the palette operations through it, and
// the uniforms it hands to a buffer.
#include <gtest/gtest.h>

#include "meshio/entity_types.h"
#include "scene/ZelDrawPalette.h"

namespace {

void expectValues(const zel::PaletteValues& got, const std::array<float, 5>& want) {
  for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(got[i], want[i]) << "value " << i;
}

TEST(DrawPalette, DefaultAndRegularIsoConstructors) {
  ZelDrawPalette p;
  EXPECT_EQ(p.kind(), DrawKind::Palette);
  EXPECT_EQ(p.reference(), 0);
  EXPECT_STREQ(p.typeName(), "Palette ");
  EXPECT_FALSE(p.isSet());
  EXPECT_FALSE(p.isForced());
  expectValues(p.values(), {0, 0, 0, 0, 0});
  EXPECT_EQ(p.colourMap(), 2);
  EXPECT_EQ(p.isoLineCount(), 9);
  EXPECT_EQ(p.userIsoCount(), 0);
  EXPECT_FALSE(p.carriesPalette());  // the palette object is not a surface
  EXPECT_EQ(p.getPalette(), nullptr);

  ZelDrawPalette q(6, 4);
  EXPECT_EQ(q.colourMap(), 6);
  EXPECT_EQ(q.isoLineCount(), 4);
  EXPECT_FALSE(q.isSet());
}

TEST(DrawPalette, ValueConstructorsSetOrForce) {
  const float values[5] = {-1, 0, 1, 2, 3};
  ZelDrawPalette set(values, 3, 5, false);
  EXPECT_TRUE(set.isSet());
  EXPECT_FALSE(set.isForced());
  expectValues(set.values(), {-1, 0, 1, 2, 3});
  EXPECT_EQ(set.colourMap(), 3);
  EXPECT_EQ(set.isoLineCount(), 5);
  set.resetPalette();
  EXPECT_FALSE(set.isSet());
  expectValues(set.values(), {0, 0, 0, 0, 0});

  ZelDrawPalette forced(values, 0, 9, true);
  EXPECT_TRUE(forced.isForced());
  forced.resetPalette();
  EXPECT_TRUE(forced.isSet());
  expectValues(forced.values(), {-1, 0, 1, 2, 3});

  // A constant user palette is widened at its ends only.
  const float constant[5] = {2, 2, 2, 2, 2};
  ZelDrawPalette widened(constant, 1, 9, false);
  expectValues(widened.values(), {1.8f, 2, 2, 2, 2.2f});
}

TEST(DrawPalette, UserIsoConstructors) {
  const float iso[3] = {0.5f, 1.5f, 2.5f};
  ZelDrawPalette p(8, 3, iso);
  EXPECT_EQ(p.userIsoCount(), 3);
  EXPECT_EQ(p.colourMap(), 8);
  EXPECT_FALSE(p.isSet());
  EXPECT_FLOAT_EQ(p.userIso()[1], 1.5f);

  const float values[5] = {0, 1, 2, 3, 4};
  const float many[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  ZelDrawPalette q(values, 11, many, 10, true);
  EXPECT_TRUE(q.isForced());
  EXPECT_EQ(q.colourMap(), 10);
  EXPECT_EQ(q.userIsoCount(), 9);
  EXPECT_FLOAT_EQ(q.userIso()[8], 9.0f);
  expectValues(q.values(), {0, 1, 2, 3, 4});
}

TEST(DrawPaletteDeathTest, BadUserPalettesEndTheProcess) {
  const float decreasing[5] = {0, 2, 1, 3, 4};
  EXPECT_EXIT(ZelDrawPalette(decreasing, 2, 9, false), testing::ExitedWithCode(1),
              "Please provide a correct palette");
  EXPECT_EXIT(ZelDrawPalette(nullptr, 2, 9, true), testing::ExitedWithCode(1),
              "Please provide a palette");
}

TEST(DrawPalette, ComputedPaletteAndShaderState) {
  ZelDrawPalette p(6, 7);
  const double data[4] = {3.0, -1.0, 7.0, 1.0};
  ASSERT_TRUE(p.setPaletteFrom(4, data));
  EXPECT_TRUE(p.isSet());
  expectValues(p.values(), {-1, 1, 3, 5, 7});
  EXPECT_FALSE(p.setPaletteFrom(0, data));
  expectValues(p.values(), {-1, 1, 3, 5, 7});

  const float iso[2] = {0.25f, 4.0f};
  p.setUserIsoValues(2, iso);
  const ZelPaletteState s = p.shaderState();
  for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(s.values[i], p.values()[i]);
  EXPECT_EQ(s.colourMapSize, 256);  // viridis
  ASSERT_NE(s.colourMap, nullptr);
  EXPECT_FLOAT_EQ(s.colourMap[3 * 255 + 2], 0.143936f);
  EXPECT_EQ(s.nbrIso, 7);
  EXPECT_EQ(s.nbrUsrIso, 2);
  EXPECT_FLOAT_EQ(s.usrIso[1], 4.0f);
  EXPECT_EQ(p.colourMapSize(), 256);
  EXPECT_FLOAT_EQ(p.colourMapTexels()[0], 0.267004f);

  p.setColourMap(0);
  EXPECT_EQ(p.shaderState().colourMapSize, 5);
}

}  // namespace
