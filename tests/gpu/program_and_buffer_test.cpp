// Shader sources and buffer objects without an OpenGL context: include expansion, the factory
// by kind, bounding boxes, and doing nothing without functions.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/patch_draws.h"
#include "gpu/shader_source.h"
#include "meshio/entity_types.h"

namespace {

TEST(ShaderSource, IncludesAreExpandedInPlaceOnceAndMissingOrLoopingOnesFail) {
  const std::map<std::string, std::string> files = {{"a.glsl", "#include \"b.glsl\"\nfloat a;\n"},
                                                    {"b.glsl", "float b;\n"},
                                                    {"self.glsl", "#include \"self.glsl\"\n"}};
  const ShaderFileReader reader = [&](const std::string& name, std::string& text) {
    const auto found = files.find(name);
    if (found != files.end()) text = found->second;
    return found != files.end();
  };
  std::string expanded, error;
  ASSERT_TRUE(
      expandShaderIncludes("#version 410 core\n#extension GL_GOOGLE_include_directive : "
                           "require\n#include \"a.glsl\"\nvoid main() {}\n",
                           reader, expanded, error))
      << error;
  for (size_t blank; (blank = expanded.find("\n\n")) != std::string::npos;)
    expanded.erase(blank, 1);
  EXPECT_EQ(expanded, "#version 410 core\nfloat b;\nfloat a;\nvoid main() {}\n");
  EXPECT_FALSE(expandShaderIncludes("#include \"gone.glsl\"\n", reader, expanded, error));
  EXPECT_NE(error.find("gone.glsl"), std::string::npos);
  EXPECT_FALSE(expandShaderIncludes("#include \"self.glsl\"\n", reader, expanded, error));
  EXPECT_FALSE(expandShaderIncludes("#include <angled>\n", reader, expanded, error));
}

TEST(GLSLProgram, WithoutFunctionsEverythingFailsSilently) {
  GLSLProgram program(nullptr);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(program.compileShaderFromString("void main() {}", GLSLProgram::Vertex));
  EXPECT_FALSE(program.compileShaderFromResource(":/glsl/tri.vs", GLSLProgram::Vertex));
  EXPECT_FALSE(program.link());
  EXPECT_FALSE(program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs"));
  EXPECT_FALSE(program.buildProgramFromFiles("TriSha", nullptr, nullptr));
  program.use();
  program.setUniform("x", 1.0f);
  program.printActiveUniforms();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(program.handle(), 0);
}

TEST(ZelBufferObject, WithoutFunctionsNothingIsDrawnAndBaseSlotsAnnounceThemselves) {
  std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(DrawKind::TriangleP2));
  const float coords[18] = {};
  const unsigned indices[6] = {0, 1, 2, 3, 4, 5};
  buffer->updateVao(nullptr, 6, coords, 1, indices);
  EXPECT_EQ(buffer->elementCount(), 0);
  ZelDrawState state;
  state.displayed = 7;
  EXPECT_EQ(buffer->draw(nullptr, state, nullptr), 0);
  EXPECT_EQ(state.displayed, 0);
  ZelPickingTable table;
  int running = 5;
  EXPECT_EQ(buffer->draw(nullptr, state, nullptr, &table, &running), 0);
  EXPECT_TRUE(table.empty() && running == 5);
  std::unique_ptr<ZelBufferObject> solution(ZelBufferObject::create(DrawKind::Solution));
  testing::internal::CaptureStdout();
  solution->updateVao(nullptr, 1, nullptr, 1, nullptr);
  buffer->updateVao(nullptr, 1, nullptr, nullptr, 1, nullptr);  // the patch slot
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Virtual function called !!!! \n Virtual function called !!!! \n");
}

TEST(ZelBufferObject, BoundingBoxCentreAndScale) {
  ZelBufferTriangle buffer;
  const double coords[] = {1, -2, 3, 5, 0, 3, 2, 6, 3}, legend[] = {-0.9, -0.9, -0.5, -0.7};
  double out[4];
  const auto centreAndScale = [&](std::vector<double> want) {
    buffer.centreAndScale(out);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(out[i], want[i], 1e-12) << i;
  };
  buffer.setBoundingBox(3, coords);
  EXPECT_EQ(std::vector<double>(buffer.boundingBox(), buffer.boundingBox() + 6),
            std::vector<double>({1, 5, -2, 6, 3, 3}));
  centreAndScale({3, 2, 3, 1.0 / 8});
  buffer.setBoundingBox(1, coords);
  centreAndScale({1, -2, 3, 1});  // no extent: factor 1
  buffer.setBoundingBox2D(2, legend);
  centreAndScale({-0.7, -0.8, 0, 1 / (-0.5 + 0.9)});  // z stays empty
  EXPECT_TRUE(std::isinf(buffer.boundingBox()[4]));
}

TEST(PatchDraws, BatchesStayPositiveAndOnlyTheTwoExactWordsForceAChoice) {
  EXPECT_EQ(ZelBufferObject::maxPatchesPerDraw(), 32);
  ZelBufferObject::setMaxPatchesPerDraw(0);
  EXPECT_EQ(ZelBufferObject::maxPatchesPerDraw(), 1);
  ZelBufferObject::setMaxPatchesPerDraw(32);
  EXPECT_EQ(requestedPatchDraws("one"), ZelPatchDraws::OneCall);
  EXPECT_EQ(requestedPatchDraws("batches"), ZelPatchDraws::Batches);
  for (const char* other : {"", "One", "batch", "one ", "1", static_cast<const char*>(nullptr)})
    EXPECT_EQ(requestedPatchDraws(other), ZelPatchDraws::Probe) << (other ? other : "null");
}

}  // namespace
