// Scene objects as plain data: the factory, defaults, palettes, patches, entity origins, the
// OpenGL-table warnings and the draw-state exchange.
#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>
#include <memory>
#include <set>
#include <string>

#include "meshio/entity_types.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using Object = std::unique_ptr<ZelDrawObject>;

Object make(int kind, int reference = 0) { return Object(ZelDrawObject::create(kind, reference)); }

// Kinds with a class in the factory; every other code in -1..140 gets none.
const std::set<int> kBuilt = {DrawKind::Vertex,
                              DrawKind::Corner,
                              DrawKind::Edge,
                              DrawKind::EdgeP2,
                              DrawKind::EdgeP3,
                              DrawKind::EdgeP4,
                              DrawKind::Triangle,
                              DrawKind::TriangleP2,
                              DrawKind::TriangleP3,
                              DrawKind::TriangleP4,
                              DrawKind::Quadrilateral,
                              DrawKind::QuadrilateralQ2,
                              DrawKind::QuadrilateralQ3,
                              DrawKind::QuadrilateralQ4,
                              9,
                              DrawKind::SceneCenter,
                              DrawKind::CutPlane,
                              DrawKind::Solution,
                              DrawKind::Patch};
bool isFace(int kind) {
  return kind >= DrawKind::CutTriangle && kind <= DrawKind::SrfQuadrilateralQ4;
}
bool isSurface(int kind) {
  return (kind >= DrawKind::Triangle && kind <= DrawKind::TriangleP3) ||
         (kind >= DrawKind::Quadrilateral && kind <= DrawKind::QuadrilateralQ3) ||
         kind == DrawKind::TriangleP4 || kind == DrawKind::QuadrilateralQ4;
}

TEST(DrawFactory, BuildsEveryKindWithAClassAndNothingElse) {
  for (int kind = -1; kind <= 140; ++kind) {
    testing::internal::CaptureStdout();
    Object o = make(kind, 7);
    const std::string out = testing::internal::GetCapturedStdout();
    if (kBuilt.count(kind) || isFace(kind)) {
      ASSERT_TRUE(o) << "kind " << kind;
      EXPECT_EQ(o->kind(), kind);
      EXPECT_EQ(o->reference(), 7);
      EXPECT_EQ(out, "");
      EXPECT_EQ(o->carriesPalette(), isSurface(kind) || isFace(kind)) << "kind " << kind;
      EXPECT_EQ(o->carriesOrigins(), isFace(kind)) << "kind " << kind;
    } else {
      EXPECT_FALSE(o) << "kind " << kind;
      EXPECT_EQ(out, "Warning no ZelDrawObject created !\n") << "kind " << kind;
    }
  }
}

TEST(DrawFactory, NamedClassesAreTheFactoryClasses) {
  EXPECT_TRUE(dynamic_cast<ZelDrawTriangleP2*>(make(DrawKind::TriangleP2).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawSrfQuadQ3*>(make(DrawKind::SrfQuadrilateralQ3).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawUsrCutTriangle*>(make(DrawKind::UsrCutTriangle).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawIsoLine*>(make(9).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawPatch*>(make(DrawKind::Patch).get()));
  EXPECT_FALSE(dynamic_cast<ZelDrawTriangle*>(make(DrawKind::CutTriangle).get()));
  EXPECT_STREQ(make(9)->typeName(), "Unknown ");
  EXPECT_STREQ(make(DrawKind::CutQuadrilateralQ4)->typeName(), "CutQuadrilateralQ4 ");
  EXPECT_STREQ(ZelDrawObject::kindName(DrawKind::Tetrahedron), "Tetrahedron ");
  EXPECT_STREQ(ZelDrawObject::kindName(62), "Unknown ");
  EXPECT_STREQ(ZelDrawObject::kindName(-4), "Unknown ");
}

TEST(DrawObject, StartsWithTheDocumentedState) {
  Object o = make(DrawKind::Triangle, -3);
  EXPECT_TRUE(o->visible());
  EXPECT_FALSE(o->highlightAll());
  EXPECT_TRUE(o->highlightList().empty());
  EXPECT_FALSE(o->warnWhenUnusable());
  EXPECT_EQ(o->glFunctions(), nullptr);
  EXPECT_EQ(o->entityCount(), 0);
  EXPECT_EQ(o->displayedCount(), 0);
  EXPECT_EQ(o->firstTriangle(), 0);
  EXPECT_EQ(o->lastPick(), (std::array<int, 3>{-1, -1, -1}));
  EXPECT_TRUE(o->worldRotation().isIdentity());
  EXPECT_TRUE(o->worldTranslation().isNull());
  EXPECT_EQ(o->getPalette(), nullptr);
  EXPECT_EQ(o->memberCount(), 0);
  EXPECT_EQ(o->members(), nullptr);
  EXPECT_EQ(o->drawableSelf(), o.get());

  const ZelDisplaySettings& d = o->display();
  EXPECT_EQ(d.renderFlags, 23);
  EXPECT_EQ(d.faceMode(), 3);
  EXPECT_TRUE(d.lineOn);
  EXPECT_FALSE(d.tessellationOn || d.solutionOn || d.isoLinesOn || d.checkInOut ||
               d.discardUnpicked);
  EXPECT_TRUE(d.paletteShown);
  EXPECT_EQ(d.shadingModel, 0);
  EXPECT_FLOAT_EQ(d.shrink, 1.0f);
  EXPECT_FLOAT_EQ(d.lineWidth, 0.8f);
  EXPECT_FLOAT_EQ(d.pointSize, 8.0f);
  EXPECT_FLOAT_EQ(o->pointSize(), 8.0f);
  EXPECT_EQ(d.tessellationLevel, 4);
  EXPECT_EQ(d.scaleFactors[0], 1.0);
  EXPECT_EQ(d.scaleFactors[1], 1.0);
  EXPECT_EQ(d.unnamedDouble, 0.0);

  o->setEntityCount(-5);
  EXPECT_EQ(o->entityCount(), 0);
}

TEST(DrawObject, PalettesAttachOnlyToKindsThatCarryThem) {
  ZelDrawPalette palette;
  for (int kind : std::initializer_list<int>{DrawKind::Vertex, DrawKind::Edge, DrawKind::EdgeP3,
                                             DrawKind::CutPlane, DrawKind::Solution,
                                             DrawKind::Patch, kIsoLineDrawKind}) {
    Object o = make(kind);
    o->setPalette(&palette);
    EXPECT_EQ(o->getPalette(), nullptr) << "kind " << kind;
  }
  for (int kind : std::initializer_list<int>{DrawKind::Triangle, DrawKind::QuadrilateralQ4,
                                             DrawKind::CutTriangleP2, DrawKind::UsrCutQuadrilateral,
                                             DrawKind::SrfTriangleP4}) {
    Object o = make(kind);
    o->setPalette(&palette);
    EXPECT_EQ(o->getPalette(), &palette) << "kind " << kind;
    o->setPalette(nullptr);
    EXPECT_EQ(o->getPalette(), nullptr);
  }
}

TEST(DrawObject, PatchDrawsItselfOnlyWithoutMembers) {
  ZelDrawPatch patch(4);
  EXPECT_EQ(patch.drawableSelf(), &patch);
  EXPECT_EQ(patch.members(), nullptr);
  Object a = make(DrawKind::Triangle, 1), b = make(DrawKind::Triangle, 2);
  patch.setMembers({a.get(), b.get()});
  EXPECT_EQ(patch.memberCount(), 2);
  EXPECT_EQ(patch.drawableSelf(), nullptr);
  ASSERT_NE(patch.members(), nullptr);
  EXPECT_EQ(patch.members()[1], b.get());
  patch.setMembers({});
  EXPECT_EQ(patch.drawableSelf(), &patch);
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
  patch.setMembers({a.get(), nullptr, b.get()});
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
