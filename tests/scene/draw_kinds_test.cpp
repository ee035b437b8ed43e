// The draw-kind table row by row against the object and buffer factories, the programs' own
// tessellation files and the solution families; scene objects as plain data.
#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>

#include "gpu/ZelBufferObject.h"
#include "gpu/shader_programs.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using zel::DrawKindRow;
using zel::ObjectClass;
using zel::SolutionFamily;

TEST(DrawKindTable, EveryKindHasOneRowAndOnlyTableKindsGetObjectsAndBuffers) {
  for (int kind = -2; kind < DrawKind::Count + 5; ++kind) {
    const DrawKindRow* row = zel::drawKindRow(kind);
    EXPECT_TRUE(!row || row->kind == kind) << kind;
    std::unique_ptr<ZelDrawObject> object(ZelDrawObject::create(kind, 7));  // warns when null
    EXPECT_EQ(std::unique_ptr<ZelBufferObject>(ZelBufferObject::create(kind)) != nullptr, bool(row))
        << "kind " << kind;
    const bool built = row && row->objectClass != ObjectClass::Palette;
    ASSERT_EQ(object != nullptr, built) << "kind " << kind;
    if (!built) continue;
    EXPECT_TRUE(object->kind() == kind && object->reference() == 7) << "kind " << kind;
    // Palettes attach only to the kinds that carry them.
    const ObjectClass c = row->objectClass;
    ZelDrawPalette palette(6, 7);
    object->setPalette(&palette);
    EXPECT_EQ(object->getPalette() == &palette, c == ObjectClass::Surface || c == ObjectClass::Face)
        << kind;
    EXPECT_EQ(object->carriesPalette(), object->getPalette() == &palette) << kind;
    EXPECT_EQ(object->carriesOrigins(), c == ObjectClass::Face) << "kind " << kind;
    EXPECT_EQ(dynamic_cast<ZelDrawPatch*>(object.get()) != nullptr, c == ObjectClass::Patch);
  }
  // The kinds that the assembly and the cut planes make all have rows.
  for (int kind : {DrawKind::Vertex, DrawKind::EdgeP4, DrawKind::QuadrilateralQ4,
                   DrawKind::CutTriangleP4, DrawKind::UsrCutQuadrilateralQ3,
                   DrawKind::SrfQuadrilateralQ4, DrawKind::Palette, DrawKind::Patch})
    EXPECT_NE(zel::drawKindRow(kind), nullptr) << kind;
  EXPECT_FALSE(zel::drawKindRow(DrawKind::Tetrahedron) ||
               zel::drawKindRow(DrawKind::NormalAtVertex));
}

// The buffer of every row takes the kind's nodes per element, and the nodes follow the
// solution family and degree.
TEST(DrawKindTable, NodesFollowTheSolutionFamilyAndDegreeAndBuffersTakeThem) {
  for (const DrawKindRow& row : zel::kDrawKinds) {
    const ZelBufferShape& shape = zel::bufferShape(row.buffer);
    const bool point = row.buffer == zel::BufferClass::Point;  // no indices, one node
    EXPECT_EQ(shape.indicesPerElement, point ? 0
                                       : row.buffer == zel::BufferClass::Solution
                                           ? shape.indicesPerElement
                                           : row.nodes)
        << "kind " << row.kind;
    EXPECT_TRUE(!point || row.nodes == 1) << row.kind;
    const int d = row.degree, family = int(row.solution == SolutionFamily::Edge) +
                                       2 * (row.solution == SolutionFamily::Triangle) +
                                       3 * (row.solution == SolutionFamily::Quadrilateral);
    const int nodes[] = {row.nodes, d + 1, (d + 1) * (d + 2) / 2, (d + 1) * (d + 1)};
    EXPECT_EQ(row.nodes, nodes[family]) << "kind " << row.kind;
  }
}

// Each kind's program reads as many control points per patch as its buffer sends, at the
// kind's degree: a program swapped between two kinds draws garbage without any GL error.
TEST(DrawKindTable, EachProgramReadsTheKindsPatch) {
  for (const DrawKindRow& row : zel::kDrawKinds) {
    if (!row.program) {
      EXPECT_EQ(row.group, zel::DrawGroup::None) << row.kind;
      continue;
    }
    const ZelShaderProgramSources* sources = zelShaderProgram(row.program);
    ASSERT_NE(sources, nullptr) << row.program;
    const bool patches = zel::bufferShape(row.buffer).primitive == 0x000E;  // GL_PATCHES
    ASSERT_EQ(sources->tcs != nullptr, patches) << row.program;
    if (!patches) continue;
    // Resources are ":/glsl/<file>"; the test reads the same file from the source tree.
    std::ifstream in(std::string(ZEL_TEST_DATA) + "/../../glsl/" + (sources->tcs + 7));
    std::stringstream text;
    text << in.rdbuf();
    const std::string tcs = text.str();
    ASSERT_FALSE(tcs.empty()) << sources->tcs;
    // "#define NAME value" or, for the straight quadrilateral, "layout(vertices = value)".
    const auto defined = [&](const char* pattern, int otherwise) {
      std::smatch match;
      return std::regex_search(tcs, match, std::regex(pattern)) ? std::stoi(match[1]) : otherwise;
    };
    EXPECT_EQ(
        defined(R"(#define CONTROL_POINTS (\d+))", defined(R"(layout\(vertices = (\d+)\))", -1)),
        row.nodes)
        << "kind " << row.kind << " " << row.program;
    EXPECT_EQ(defined(R"(#define DEGREE (\d+))", 1), row.degree) << row.kind << " " << row.program;
    // Triangles and quadrilaterals are evaluated by their own tessellation stages.
    const std::string tes = sources->tes;
    EXPECT_TRUE(row.solution == SolutionFamily::Edge ||
                tes.find(row.solution == SolutionFamily::Triangle ? "tri" : "qua") != tes.npos)
        << row.program;
  }
}

using Object = std::unique_ptr<ZelDrawObject>;

Object make(int kind, int reference = 0) { return Object(ZelDrawObject::create(kind, reference)); }

// (Its values reach the pixels in the draw-object image test.)
TEST(DrawObject, PalettesHandOverTheirColourMapAndIsoLines) {
  ZelDrawPalette palette(6, 7);
  const float iso[2] = {0.25f, 4.0f};
  palette.setUserIsoValues(2, iso);
  const ZelPaletteState s = palette.shaderState();
  EXPECT_TRUE(s.colourMapSize == 256 && s.colourMap == palette.colourMapTexels());  // viridis
  EXPECT_TRUE(s.nbrIso == 7 && s.nbrUsrIso == 2 && s.usrIso[1] == 4.0f);
}

TEST(DrawObject, EntityOriginsFollowTheEntityCount) {
  Object cut = make(DrawKind::CutQuadrilateralQ2), tri = make(DrawKind::Triangle);
  const int origins[9] = {10, 11, 12, 20, 21, 22, 30, 31, 32};
  // Origin i of `o`, empty when it has none.
  const auto origin = [](const Object& o, int i) {
    int got[3] = {-7, -7, -7};
    return o->getEntityOrigin(i, got) ? std::vector<int>(got, got + 3) : std::vector<int>();
  };
  cut->setEntityOrigins(origins);  // no entity count yet: nothing to store
  EXPECT_TRUE(origin(cut, 0).empty());
  cut->setEntityCount(3);
  cut->setEntityOrigins(origins);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(origin(cut, i), std::vector<int>(origins + 3 * i, origins + 3 * i + 3));
  EXPECT_TRUE(origin(cut, 3).empty() && origin(cut, -1).empty());
  // Re-read with a new count; null drops them; kinds without origins ignore them.
  cut->setEntityCount(2);
  cut->setEntityOrigins(origins + 3);
  EXPECT_TRUE(origin(cut, 1)[0] == 30 && origin(cut, 2).empty());
  cut->setEntityOrigins(nullptr);
  EXPECT_TRUE(origin(cut, 0).empty());
  tri->setEntityCount(3);
  tri->setEntityOrigins(origins);
  EXPECT_TRUE(origin(tri, 0).empty());
}

// Usable for display only with a function table; warned when asked for, and when it is unset.
TEST(DrawObject, FunctionTableWarnings) {
  Object o = make(DrawKind::EdgeP2);
  const auto printed = [](const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  };
  EXPECT_EQ(printed([&] { EXPECT_FALSE(o->usableForDisplay()); }), "");  // warn flag off
  o->setWarnWhenUnusable(true);
  EXPECT_NE(printed([&] { EXPECT_FALSE(o->usableForDisplay()); }).find("no display"), -1);
  QOpenGLFunctions_4_0_Core table;  // never initialised: only its address is stored
  o->setGLfunc(&table);
  EXPECT_TRUE(o->usableForDisplay());
  EXPECT_NE(printed([&] { o->setGLfunc(nullptr); }).find("context is not active"), -1);
  EXPECT_EQ(o->glFunctions(), nullptr);
}

// (Visibility and the highlight list reach the pictures of the window's tests.)
TEST(DrawObject, DrawStateCarriesWhatABufferNeedsAndBringsBackTheCounts) {
  Object tri = make(DrawKind::TriangleP3, 12);
  tri->setHighlightAll(true);
  tri->setEntityCount(40);
  tri->display().pointSize = 3.5f;
  ZelDrawState s = tri->drawState();
  EXPECT_TRUE(s.object == tri.get() && s.reference == 12 && s.highlightAll && s.members.empty());
  EXPECT_TRUE(s.triangleCount == 40 && s.pointSize == 3.5f);
  s.displayed = 3;
  tri->takeDrawResult(s);
  EXPECT_EQ(tri->displayedCount(), 3);
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
