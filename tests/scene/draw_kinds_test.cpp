// The draw-kind table walked row by row against what it drives: the scene-object factory and
// its classes, the buffer factory and its shapes, the shader program of each kind (its patch
// size read from the program's own tessellation-control file) and the solution families.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "gpu/ZelBufferObject.h"
#include "gpu/draw_kind_table.h"
#include "gpu/shader_programs.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using zel::DrawKindRow;
using zel::ObjectClass;
using zel::SolutionFamily;

// "#define NAME value" or, for the straight quadrilateral, "layout(vertices = value)".
int definedValue(const std::string& source, const std::string& pattern) {
  std::smatch match;
  if (!std::regex_search(source, match, std::regex(pattern))) return -1;
  return std::stoi(match[1]);
}

std::string glslFile(const char* resource) {
  // Resources are ":/glsl/<file>"; the test reads the same file from the source tree.
  const std::string name = std::string(resource).substr(std::string(":/glsl/").size());
  std::ifstream in(std::string(ZEL_TEST_DATA) + "/../../glsl/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DrawKindTable, EveryKindHasOneRowAndOnlyTableKindsGetObjectsAndBuffers) {
  for (int kind = -2; kind < DrawKind::Count + 5; ++kind) {
    const DrawKindRow* row = zel::drawKindRow(kind);
    if (row) {
      EXPECT_EQ(row->kind, kind);
    }
    testing::internal::CaptureStdout();
    std::unique_ptr<ZelDrawObject> object(ZelDrawObject::create(kind, 7));
    const std::string printed = testing::internal::GetCapturedStdout();
    std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(kind));
    EXPECT_EQ(buffer != nullptr, row != nullptr) << "kind " << kind;
    const bool built = row && row->objectClass != ObjectClass::Palette;
    ASSERT_EQ(object != nullptr, built) << "kind " << kind;
    if (!built) {
      EXPECT_EQ(printed, "Warning no ZelDrawObject created !\n") << "kind " << kind;
      continue;
    }
    EXPECT_EQ(printed, "");
    EXPECT_EQ(object->kind(), kind);
    EXPECT_EQ(object->reference(), 7);
    const bool palette =
        row->objectClass == ObjectClass::Surface || row->objectClass == ObjectClass::Face;
    EXPECT_EQ(object->carriesPalette(), palette) << "kind " << kind;
    EXPECT_EQ(object->carriesOrigins(), row->objectClass == ObjectClass::Face) << "kind " << kind;
    EXPECT_EQ(dynamic_cast<ZelDrawPatch*>(object.get()) != nullptr,
              row->objectClass == ObjectClass::Patch);
  }
  // The kinds that the assembly and the cut planes make all have rows.
  for (int kind : {DrawKind::Vertex, DrawKind::EdgeP4, DrawKind::QuadrilateralQ4,
                   DrawKind::CutTriangleP4, DrawKind::UsrCutQuadrilateralQ3,
                   DrawKind::SrfQuadrilateralQ4, DrawKind::Palette, DrawKind::Patch})
    EXPECT_NE(zel::drawKindRow(kind), nullptr) << kind;
  EXPECT_EQ(zel::drawKindRow(DrawKind::Tetrahedron), nullptr);
  EXPECT_EQ(zel::drawKindRow(DrawKind::NormalAtVertex), nullptr);
  const auto make = [](int kind) {
    return std::unique_ptr<ZelDrawObject>(ZelDrawObject::create(kind, 0));
  };
  EXPECT_TRUE(dynamic_cast<ZelDrawTriangleP2*>(make(DrawKind::TriangleP2).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawSrfQuadQ3*>(make(DrawKind::SrfQuadrilateralQ3).get()));
  EXPECT_TRUE(dynamic_cast<ZelDrawIsoLine*>(make(zel::kIsoLineKind).get()));
  EXPECT_STREQ(make(zel::kIsoLineKind)->typeName(), "Unknown ");
  EXPECT_STREQ(make(DrawKind::CutQuadrilateralQ4)->typeName(), "CutQuadrilateralQ4 ");
}

// The buffer of every row takes the kind's nodes per element, and the nodes follow the
// solution family and degree.
TEST(DrawKindTable, NodesFollowTheSolutionFamilyAndDegreeAndBuffersTakeThem) {
  for (const DrawKindRow& row : zel::kDrawKinds) {
    const ZelBufferShape& shape = zel::bufferShape(row.buffer);
    std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(row.kind));
    testing::internal::CaptureStdout();
    buffer->printType();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(shape.className) + "\n");
    if (row.buffer == zel::BufferClass::Point) {
      EXPECT_TRUE(shape.indicesPerElement == 0 && row.nodes == 1) << row.kind;  // no indices
    } else if (row.buffer != zel::BufferClass::Solution) {
      EXPECT_EQ(shape.indicesPerElement, row.nodes) << "kind " << row.kind;
    }
    const int d = row.degree;
    const int nodes[] = {-1, d + 1, (d + 1) * (d + 2) / 2, (d + 1) * (d + 1)};
    const int family = row.solution == SolutionFamily::Edge            ? 1
                       : row.solution == SolutionFamily::Triangle      ? 2
                       : row.solution == SolutionFamily::Quadrilateral ? 3
                                                                       : 0;
    if (family) {
      EXPECT_EQ(row.nodes, nodes[family]) << row.kind;
    }
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
    const std::string tcs = glslFile(sources->tcs);
    ASSERT_FALSE(tcs.empty()) << sources->tcs;
    int controlPoints = definedValue(tcs, R"(#define CONTROL_POINTS (\d+))");
    if (controlPoints < 0) controlPoints = definedValue(tcs, R"(layout\(vertices = (\d+)\))");
    EXPECT_EQ(controlPoints, row.nodes) << "kind " << row.kind << " " << row.program;
    const int degree = definedValue(tcs, R"(#define DEGREE (\d+))");
    EXPECT_EQ(degree < 0 ? 1 : degree, row.degree) << "kind " << row.kind << " " << row.program;
    // Triangles and quadrilaterals are evaluated by their own tessellation stages.
    const std::string file = sources->tes;
    const char* family = row.solution == SolutionFamily::Triangle ? "tri" : "qua";
    if (row.solution != SolutionFamily::Edge) {
      EXPECT_NE(file.find(family), std::string::npos) << row.program;
    }
  }
}

}  // namespace
