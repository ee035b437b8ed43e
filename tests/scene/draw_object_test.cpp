// Scene objects as plain data: palettes, patches, entity origins, the OpenGL-table warnings and
// the draw-state exchange (the factory is walked with the draw-kind table).
#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>
#include <memory>
#include <string>

#include "meshio/entity_types.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using Object = std::unique_ptr<ZelDrawObject>;

Object make(int kind, int reference = 0) { return Object(ZelDrawObject::create(kind, reference)); }

TEST(DrawObject, PalettesAttachOnlyToKindsThatCarryThem) {
  ZelDrawPalette palette;
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    Object o(row.objectClass == zel::ObjectClass::Palette ? nullptr : make(row.kind));
    if (!o) continue;
    o->setPalette(&palette);
    EXPECT_EQ(o->getPalette() == &palette, o->carriesPalette()) << "kind " << row.kind;
    o->setPalette(nullptr);
    EXPECT_EQ(o->getPalette(), nullptr);
  }
}

TEST(DrawObject, EntityOriginsFollowTheEntityCount) {
  Object cut = make(DrawKind::CutQuadrilateralQ2);
  const int origins[9] = {10, 11, 12, 20, 21, 22, 30, 31, 32};
  int got[3] = {-7, -7, -7};
  // Before geometry sets the entity count there is nothing to store.
  cut->setEntityOrigins(origins);
  EXPECT_FALSE(cut->getEntityOrigin(0, got));

  cut->setEntityCount(3);
  cut->setEntityOrigins(origins);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(cut->getEntityOrigin(i, got));
    EXPECT_EQ(got[0], 10 * (i + 1));
    EXPECT_EQ(got[1], 10 * (i + 1) + 1);
    EXPECT_EQ(got[2], 10 * (i + 1) + 2);
  }
  got[0] = -7;
  EXPECT_FALSE(cut->getEntityOrigin(3, got));
  EXPECT_FALSE(cut->getEntityOrigin(-1, got));
  EXPECT_EQ(got[0], -7);

  // Only two entities now: the origins are re-read with the new count; null drops them.
  cut->setEntityCount(2);
  cut->setEntityOrigins(origins + 3);
  ASSERT_TRUE(cut->getEntityOrigin(1, got));
  EXPECT_EQ(got[0], 30);
  EXPECT_FALSE(cut->getEntityOrigin(2, got));
  cut->setEntityOrigins(nullptr);
  EXPECT_FALSE(cut->getEntityOrigin(0, got));

  // Kinds without origins ignore them.
  Object tri = make(DrawKind::Triangle);
  tri->setEntityCount(3);
  tri->setEntityOrigins(origins);
  EXPECT_FALSE(tri->getEntityOrigin(0, got));
}

TEST(DrawObject, FunctionTableWarnings) {
  Object o = make(DrawKind::EdgeP2);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(o->usableForDisplay());  // warn flag off: silent
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  o->setWarnWhenUnusable(true);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(o->usableForDisplay());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  ## warning: ZelDrawObject: openGL functions are unset ==> no display !\n");

  QOpenGLFunctions_4_0_Core table;  // never initialised: only its address is stored
  testing::internal::CaptureStdout();
  o->setGLfunc(&table);
  EXPECT_TRUE(o->usableForDisplay());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(o->glFunctions(), &table);

  testing::internal::CaptureStdout();
  o->setGLfunc(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
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
  EXPECT_EQ(s.object, tri.get());
  EXPECT_FALSE(s.visible);
  EXPECT_EQ(s.reference, 12);
  EXPECT_EQ(s.highlight, (std::vector<int>{5, 9, 1}));
  EXPECT_TRUE(s.highlightAll);
  EXPECT_FLOAT_EQ(s.pointSize, 3.5f);
  EXPECT_EQ(s.triangleCount, 40);
  EXPECT_TRUE(s.members.empty());
  s.displayed = 0;  // a hidden object draws nothing
  tri->takeDrawResult(s);
  EXPECT_EQ(tri->displayedCount(), 0);
  EXPECT_EQ(tri->entityCount(), 40);  // the entity count is not the draw's business

  ZelDrawPatch patch(1);
  Object a = make(DrawKind::Triangle, 9), b = make(DrawKind::Triangle, 18);
  a->setEntityCount(6);
  a->setFirstTriangle(0);
  b->setEntityCount(4);
  b->setFirstTriangle(6);
  EXPECT_EQ(patch.drawableSelf(), &patch);  // drawn itself until it has members
  patch.setMembers({a.get(), nullptr, b.get()});
  EXPECT_EQ(patch.drawableSelf(), nullptr);
  EXPECT_EQ(patch.memberCount(), 3);
  ZelDrawState p = patch.drawState();
  ASSERT_EQ(p.members.size(), 3u);
  EXPECT_EQ(p.members[0].object, a.get());
  EXPECT_FALSE(p.members[1].visible);
  EXPECT_EQ(p.members[2].firstTriangle, 6);
  EXPECT_EQ(p.members[2].triangleCount, 4);
  p.displayed = 10;
  p.members[0].displayed = 6;
  p.members[2].displayed = 4;
  patch.takeDrawResult(p);
  EXPECT_EQ(patch.displayedCount(), 10);
  EXPECT_EQ(a->displayedCount(), 6);
  EXPECT_EQ(b->displayedCount(), 4);
}

}  // namespace
