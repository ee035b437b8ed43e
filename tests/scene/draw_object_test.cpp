// Scene objects as plain data: palettes, entity origins, the OpenGL-table warnings and the
// draw-state exchange (the factory is walked with the draw-kind table).
#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>
#include <functional>
#include <memory>

#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using Object = std::unique_ptr<ZelDrawObject>;

Object make(int kind, int reference = 0) { return Object(ZelDrawObject::create(kind, reference)); }

TEST(DrawObject, PalettesAttachOnlyToKindsThatCarryThemAndHandOverTheirState) {
  ZelDrawPalette palette(6, 7);
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    if (row.objectClass == zel::ObjectClass::Palette) continue;
    Object o = make(row.kind);
    o->setPalette(&palette);
    EXPECT_EQ(o->getPalette() == &palette, o->carriesPalette()) << "kind " << row.kind;
  }
  const double data[4] = {3.0, -1.0, 7.0, 1.0};
  ASSERT_TRUE(palette.setPaletteFrom(4, data));
  const float iso[2] = {0.25f, 4.0f};
  palette.setUserIsoValues(2, iso);
  const ZelPaletteState s = palette.shaderState();
  EXPECT_EQ(std::vector<float>(s.values, s.values + 5), (std::vector<float>{-1, 1, 3, 5, 7}));
  EXPECT_TRUE(s.colourMapSize == 256 && s.colourMap == palette.colourMapTexels());  // viridis
  EXPECT_TRUE(s.nbrIso == 7 && s.nbrUsrIso == 2 && s.usrIso[1] == 4.0f);
}

TEST(DrawObject, EntityOriginsFollowTheEntityCount) {
  Object cut = make(DrawKind::CutQuadrilateralQ2), tri = make(DrawKind::Triangle);
  const int origins[9] = {10, 11, 12, 20, 21, 22, 30, 31, 32};
  int got[3] = {-7, -7, -7};
  cut->setEntityOrigins(origins);  // no entity count yet: nothing to store
  EXPECT_FALSE(cut->getEntityOrigin(0, got));
  cut->setEntityCount(3);
  cut->setEntityOrigins(origins);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(cut->getEntityOrigin(i, got));
    EXPECT_EQ(std::vector<int>(got, got + 3),
              std::vector<int>(origins + 3 * i, origins + 3 * i + 3));
  }
  got[0] = -7;
  EXPECT_FALSE(cut->getEntityOrigin(3, got) || cut->getEntityOrigin(-1, got));
  EXPECT_EQ(got[0], -7);
  // Re-read with a new count; null drops them; kinds without origins ignore them.
  cut->setEntityCount(2);
  cut->setEntityOrigins(origins + 3);
  ASSERT_TRUE(cut->getEntityOrigin(1, got));
  EXPECT_EQ(got[0], 30);
  EXPECT_FALSE(cut->getEntityOrigin(2, got));
  cut->setEntityOrigins(nullptr);
  EXPECT_FALSE(cut->getEntityOrigin(0, got));
  tri->setEntityCount(3);
  tri->setEntityOrigins(origins);
  EXPECT_FALSE(tri->getEntityOrigin(0, got));
}

TEST(DrawObject, FunctionTableWarnings) {
  Object o = make(DrawKind::EdgeP2);
  const auto printed = [](const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  };
  EXPECT_EQ(printed([&] { EXPECT_FALSE(o->usableForDisplay()); }), "");  // warn flag off
  o->setWarnWhenUnusable(true);
  EXPECT_EQ(printed([&] { EXPECT_FALSE(o->usableForDisplay()); }),
            "  ## warning: ZelDrawObject: openGL functions are unset ==> no display !\n");
  QOpenGLFunctions_4_0_Core table;  // never initialised: only its address is stored
  EXPECT_EQ(printed([&] { o->setGLfunc(&table); }), "");
  EXPECT_TRUE(o->usableForDisplay());
  EXPECT_EQ(printed([&] { o->setGLfunc(nullptr); }),
            "  ## warning : openGL context is not active (recall setGLfunc after "
            "initialization of the graphics window) \n");
  EXPECT_EQ(o->glFunctions(), nullptr);
}

TEST(DrawObject, DrawStateCarriesWhatABufferNeedsAndBringsBackTheCounts) {
  Object tri = make(DrawKind::TriangleP3, 12);
  tri->setVisible(false);
  tri->highlightList() = {5, 9, 1};
  tri->setHighlightAll(true);
  tri->display().pointSize = 3.5f;
  tri->setEntityCount(40);
  tri->setDisplayedCount(40);
  ZelDrawState s = tri->drawState();
  EXPECT_TRUE(s.object == tri.get() && !s.visible && s.reference == 12 && s.highlightAll);
  EXPECT_EQ(s.highlight, (std::vector<int>{5, 9, 1}));
  EXPECT_TRUE(s.pointSize == 3.5f && s.triangleCount == 40 && s.members.empty());
  s.displayed = 0;
  tri->takeDrawResult(s);
  EXPECT_EQ(tri->displayedCount(), 0);
  EXPECT_EQ(tri->entityCount(), 40);  // the entity count is not the draw's business

  ZelDrawPatch patch(1);
  Object a = make(DrawKind::Triangle, 9), b = make(DrawKind::Triangle, 18);
  a->setEntityCount(6);
  b->setEntityCount(4);
  b->setFirstTriangle(6);
  b->setVisible(false);
  EXPECT_EQ(patch.drawableSelf(), &patch);  // drawn itself until it has members
  patch.setMembers({a.get(), nullptr, b.get()});
  EXPECT_EQ(patch.drawableSelf(), nullptr);
  ZelDrawState p = patch.drawState();
  ASSERT_EQ(p.members.size(), 3u);
  EXPECT_EQ(p.members[0].object, a.get());
  EXPECT_FALSE(p.members[1].visible || p.members[2].visible);
  EXPECT_TRUE(p.members[2].firstTriangle == 6 && p.members[2].triangleCount == 4);
  p.displayed = p.members[0].displayed = 6;
  patch.takeDrawResult(p);
  EXPECT_TRUE(patch.displayedCount() == 6 && a->displayedCount() == 6 && b->displayedCount() == 0);
}

}  // namespace
