// Shader programs and buffer objects without an OpenGL context: include expansion, the
// factory by kind, trace and type lines, bounding boxes, and doing nothing without functions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/patch_draws.h"
#include "gpu/shader_source.h"
#include "meshio/entity_types.h"

namespace {

ShaderFileReader readerOf(const std::map<std::string, std::string>& files) {
  return [files](const std::string& name, std::string& text) {
    const auto found = files.find(name);
    if (found == files.end()) return false;
    text = found->second;
    return true;
  };
}

TEST(ShaderSource, IncludesAreExpandedRecursivelyAndTheirExtensionDropped) {
  const std::map<std::string, std::string> files = {{"a.glsl", "#include \"b.glsl\"\nfloat a;\n"},
                                                    {"b.glsl", "float b;\n"}};
  std::string expanded, error;
  ASSERT_TRUE(
      expandShaderIncludes("#version 410 core\n#extension GL_GOOGLE_include_directive : require\n"
                           "#include \"a.glsl\"\nvoid main() {}\n",
                           readerOf(files), expanded, error))
      << error;
  EXPECT_EQ(expanded.find("GL_GOOGLE_include_directive"), std::string::npos);
  EXPECT_EQ(expanded.find("#include"), std::string::npos);
  const size_t b = expanded.find("float b;"), a = expanded.find("float a;");
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(a, std::string::npos);
  EXPECT_LT(b, a);
  EXPECT_LT(a, expanded.find("void main"));
  EXPECT_EQ(expanded.find("#version 410 core"), 0u);
}

TEST(ShaderSource, TextWithoutIncludesIsUnchanged) {
  const std::string source = "#version 410 core\nvoid main() {}\n";
  std::string expanded, error;
  ASSERT_TRUE(expandShaderIncludes(source, readerOf({}), expanded, error));
  EXPECT_EQ(expanded, source);
}

TEST(ShaderSource, MissingAndSelfIncludingFilesFail) {
  std::string expanded, error;
  EXPECT_FALSE(expandShaderIncludes("#include \"gone.glsl\"\n", readerOf({}), expanded, error));
  EXPECT_NE(error.find("gone.glsl"), std::string::npos);
  const std::map<std::string, std::string> loop = {{"self.glsl", "#include \"self.glsl\"\n"}};
  EXPECT_FALSE(expandShaderIncludes("#include \"self.glsl\"\n", readerOf(loop), expanded, error));
  EXPECT_FALSE(expandShaderIncludes("#include <angled>\n", readerOf({}), expanded, error));
}

TEST(GLSLProgram, WithoutFunctionsEverythingFailsSilently) {
  GLSLProgram program(nullptr);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(program.compileShaderFromString("void main() {}", GLSLProgram::Vertex));
  EXPECT_FALSE(program.compileShaderFromResource(":/glsl/tri.vs", GLSLProgram::Vertex));
  EXPECT_FALSE(program.compileShaderFromFile("/nonexistent", GLSLProgram::Vertex));
  EXPECT_FALSE(program.link());
  EXPECT_FALSE(program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs"));
  EXPECT_FALSE(program.buildProgramFromFiles("TriSha", nullptr, nullptr));
  program.use();
  program.setUniform("x", 1.0f);
  program.printActiveUniforms();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(program.handle(), 0);
  EXPECT_FALSE(program.isLinked());
  EXPECT_EQ(program.getUniformLocation("x"), -1);
}

// Class name printed by each kind's buffer, or "" for kinds without one.
std::string bufferClass(int kind) {
  std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(kind));
  if (!buffer) return "";
  testing::internal::CaptureStdout();
  buffer->printType();
  std::string name = testing::internal::GetCapturedStdout();
  EXPECT_EQ(name.back(), '\n');
  name.pop_back();
  return name;
}

TEST(ZelBufferObject, FactoryChoosesTheClassByKind) {
  using namespace DrawKind;
  const std::map<int, std::string> expected = {{Vertex, "ZelBufferPoint"},
                                               {Corner, "ZelBufferPoint"},
                                               {SceneCenter, "ZelBufferPoint"},
                                               {Edge, "ZelBufferEdge"},
                                               {EdgeP2, "ZelBufferEdgeP2"},
                                               {EdgeP3, "ZelBufferEdgeP3"},
                                               {EdgeP4, "ZelBufferEdgeP4"},
                                               {Triangle, "ZelBufferTriangle"},
                                               {CutTriangle, "ZelBufferTriangle"},
                                               {UsrCutTriangle, "ZelBufferTriangle"},
                                               {SrfTriangle, "ZelBufferTriangle"},
                                               {TriangleP2, "ZelBufferTriangleP2"},
                                               {SrfTriangleP3, "ZelBufferTriangleP3"},
                                               {CutTriangleP4, "ZelBufferTriangleP4"},
                                               {UsrCutTriangleP2, "ZelBufferTriangleP2"},
                                               {Quadrilateral, "ZelBufferQuad"},
                                               {SrfQuadrilateral, "ZelBufferQuad"},
                                               {QuadrilateralQ2, "ZelBufferQuadQ2"},
                                               {CutQuadrilateralQ3, "ZelBufferQuadQ3"},
                                               {UsrCutQuadrilateralQ4, "ZelBufferQuadQ4"},
                                               {SrfQuadrilateralQ4, "ZelBufferQuadQ4"},
                                               {9, "ZelBufferIsoLine"},
                                               {CutPlane, "ZelBufferCutPlane"},
                                               {Solution, "ZelBufferSolution"},
                                               {Palette, "ZelBufferPalette"},
                                               {Patch, "ZelBufferPatch"}};
  for (const auto& entry : expected)
    EXPECT_EQ(bufferClass(entry.first), entry.second) << entry.first;
  for (int kind : {int(NormalAtVertex), int(Tetrahedron), int(HexahedronQ4), int(PrismP2),
                   int(PyramidP4), 34, 62, 200, -1})
    EXPECT_EQ(bufferClass(kind), "") << kind;
}

TEST(ZelBufferObject, NewObjectIsEmptyAndIgnoresCallsWithoutFunctions) {
  std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(DrawKind::TriangleP2));
  EXPECT_EQ(buffer->vertexCount(), 0);
  EXPECT_EQ(buffer->elementCount(), 0);
  EXPECT_EQ(buffer->vertexArray(), 0u);
  EXPECT_FALSE(buffer->hasPalette());
  EXPECT_EQ(buffer->palette(), nullptr);
  EXPECT_FALSE(buffer->verbose());
  const double* box = buffer->boundingBox();
  EXPECT_TRUE(std::isinf(box[0]) && box[0] > 0 && std::isinf(box[1]) && box[1] < 0);

  const float coords[18] = {};
  const unsigned indices[6] = {0, 1, 2, 3, 4, 5};
  buffer->updateVao(nullptr, 6, coords, 1, indices);
  EXPECT_EQ(buffer->elementCount(), 0);
  ZelDrawState state;
  state.displayed = 7;
  EXPECT_EQ(buffer->draw(nullptr, state, nullptr), 0);
  EXPECT_EQ(state.displayed, 0);
}

TEST(ZelBufferObject, BaseSlotsAnnounceThemselves) {
  std::unique_ptr<ZelBufferObject> solution(ZelBufferObject::create(DrawKind::Solution));
  testing::internal::CaptureStdout();
  solution->updateVao(nullptr, 1, nullptr, 1, nullptr);
  solution->updateVao(nullptr, 1, nullptr, nullptr, 1, nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Virtual function called !!!! \n Virtual function called !!!! \n");
  std::unique_ptr<ZelBufferObject> triangles(ZelBufferObject::create(DrawKind::Triangle));
  testing::internal::CaptureStdout();
  triangles->updateVao(nullptr, 1, nullptr, nullptr, 1, nullptr);  // the patch slot
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " Virtual function called !!!! \n");
  ZelDrawState state;
  ZelPickingTable table;
  int running = 5;
  EXPECT_EQ(triangles->draw(nullptr, state, nullptr, &table, &running), 0);
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(running, 5);
}

TEST(ZelBufferObject, BoundingBoxAndCentreAndScale) {
  ZelBufferTriangle buffer;
  const double coords[] = {1, -2, 3, 5, 0, 3, 2, 6, 3};
  buffer.setBoundingBox(3, coords);
  const double* box = buffer.boundingBox();
  const double expectedBox[6] = {1, 5, -2, 6, 3, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(box[i], expectedBox[i]) << i;
  double out[4];
  buffer.centreAndScale(out);
  EXPECT_DOUBLE_EQ(out[0], 3);
  EXPECT_DOUBLE_EQ(out[1], 2);
  EXPECT_DOUBLE_EQ(out[2], 3);
  EXPECT_DOUBLE_EQ(out[3], 1.0 / 8);

  // A single point has no extent: factor 1.
  buffer.setBoundingBox(1, coords);
  buffer.centreAndScale(out);
  EXPECT_DOUBLE_EQ(out[0], 1);
  EXPECT_DOUBLE_EQ(out[3], 1);

  // Legend points: z stays empty and does not spoil the centre.
  const double legend[] = {-0.9, -0.9, -0.5, -0.7};
  buffer.setBoundingBox2D(2, legend);
  buffer.centreAndScale(out);
  EXPECT_DOUBLE_EQ(out[0], -0.7);
  EXPECT_DOUBLE_EQ(out[1], -0.8);
  EXPECT_EQ(out[2], 0);
  EXPECT_DOUBLE_EQ(out[3], 1 / 0.4);
  EXPECT_TRUE(std::isinf(buffer.boundingBox()[4]));
}

TEST(ZelBufferObject, PatchBatchSizeStaysPositive) {
  const int before = ZelBufferObject::maxPatchesPerDraw();
  EXPECT_EQ(before, 32);
  ZelBufferObject::setMaxPatchesPerDraw(0);
  EXPECT_EQ(ZelBufferObject::maxPatchesPerDraw(), 1);
  ZelBufferObject::setMaxPatchesPerDraw(before);
}

TEST(PatchDraws, OnlyTheTwoExactWordsForceAChoice) {
  EXPECT_EQ(requestedPatchDraws("one"), ZelPatchDraws::OneCall);
  EXPECT_EQ(requestedPatchDraws("batches"), ZelPatchDraws::Batches);
  for (const char* other : {"", "One", "batch", "one ", "1"})
    EXPECT_EQ(requestedPatchDraws(other), ZelPatchDraws::Probe) << other;
  EXPECT_EQ(requestedPatchDraws(nullptr), ZelPatchDraws::Probe);
}

}  // namespace
