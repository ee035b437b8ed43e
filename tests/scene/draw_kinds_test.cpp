// The draw-kind table walked row by row against what it drives: the scene-object factory and
// its classes, the buffer factory and its shapes, the shader program of each kind (its patch
// size read from the program's own tessellation-control file) and the solution families.
#include <gtest/gtest.h>

#include <fstream>
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
    testing::internal::CaptureStdout();
    std::unique_ptr<ZelDrawObject> object(ZelDrawObject::create(kind, 7));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::unique_ptr<ZelBufferObject>(ZelBufferObject::create(kind)) != nullptr, bool(row))
        << "kind " << kind;
    const bool built = row && row->objectClass != ObjectClass::Palette;
    ASSERT_EQ(object != nullptr, built) << "kind " << kind;
    EXPECT_EQ(printed, built ? "" : "Warning no ZelDrawObject created !\n") << "kind " << kind;
    if (!built) continue;
    EXPECT_TRUE(object->kind() == kind && object->reference() == 7) << "kind " << kind;
    const ObjectClass c = row->objectClass;
    EXPECT_EQ(object->carriesPalette(), c == ObjectClass::Surface || c == ObjectClass::Face)
        << kind;
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
  std::unique_ptr<ZelDrawObject> iso(ZelDrawObject::create(zel::kIsoLineKind, 0)),
      cut(ZelDrawObject::create(DrawKind::CutQuadrilateralQ4, 0));
  EXPECT_STREQ(iso->typeName(), "Unknown ");
  EXPECT_STREQ(cut->typeName(), "CutQuadrilateralQ4 ");
}

// The buffer of every row takes the kind's nodes per element, and the nodes follow the
// solution family and degree.
TEST(DrawKindTable, NodesFollowTheSolutionFamilyAndDegreeAndBuffersTakeThem) {
  for (const DrawKindRow& row : zel::kDrawKinds) {
    const ZelBufferShape& shape = zel::bufferShape(row.buffer);
    testing::internal::CaptureStdout();
    std::unique_ptr<ZelBufferObject>(ZelBufferObject::create(row.kind))->printType();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(shape.className) + "\n");
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

}  // namespace
