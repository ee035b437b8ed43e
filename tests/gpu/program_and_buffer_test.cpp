// Shader sources and buffer objects without an OpenGL context: every stage file passes the
// reference GLSL compiler, include expansion, the program table, the factory by kind,
// bounding boxes, and doing nothing without functions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

const std::string kGlslFolder = std::string(ZEL_TEST_DATA) + "/../../glsl/";

// Exit status and output of a shell command.
int run(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[512];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) output += buffer;
  return pipe ? pclose(pipe) : -1;
}

// Each stage file, includes followed, validated as its stage; a file with an undeclared name
// proves that the check can fail.
TEST(ShaderFiles, EveryStageFilePassesTheValidator) {
  std::string output;
  ASSERT_EQ(run("glslangValidator --version", output), 0) << "glslang-tools is needed: " << output;
  const std::map<std::string, std::string> stages = {
      {"vs", "vert"}, {"fs", "frag"}, {"gs", "geom"}, {"tcs", "tesc"}, {"tes", "tese"}};
  ASSERT_EQ(run("cd " + kGlslFolder + " && ls", output), 0);
  const std::string files = output + "broken.fs\n";
  int checked = 0;
  for (size_t start = 0, end; (end = files.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string file = files.substr(start, end - start);
    const auto stage = stages.find(file.substr(file.find_last_of('.') + 1));
    if (stage == stages.end()) continue;
    // Preprocessed first, since the validator follows no includes of a file it checks.
    const std::string expand = "glslangValidator -E -S " + stage->second + " " + file;
    const std::string source = file == "broken.fs" ? "echo 'void main() { undeclared(); }'"
                                                   : expand + " >/dev/null && " + expand;
    const int status = run(
        "cd " + kGlslFolder + " && " + source + " | glslangValidator --stdin -S " + stage->second,
        output);
    EXPECT_EQ(status == 0, file != "broken.fs") << file << ":\n" << output;
    ++checked;
  }
  EXPECT_GE(checked, 40);
}

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

TEST(ZelBufferObject, FactoryChoosesTheClassByKind) {
  using namespace DrawKind;
  // clang-format off
  const std::map<int, std::string> expected = {
      {Vertex, "Point"}, {Corner, "Point"}, {SceneCenter, "Point"}, {Edge, "Edge"},
      {EdgeP2, "EdgeP2"}, {EdgeP3, "EdgeP3"}, {EdgeP4, "EdgeP4"}, {Triangle, "Triangle"},
      {CutTriangle, "Triangle"}, {UsrCutTriangle, "Triangle"}, {SrfTriangle, "Triangle"},
      {TriangleP2, "TriangleP2"}, {SrfTriangleP3, "TriangleP3"}, {CutTriangleP4, "TriangleP4"},
      {UsrCutTriangleP2, "TriangleP2"}, {Quadrilateral, "Quad"}, {SrfQuadrilateral, "Quad"},
      {QuadrilateralQ2, "QuadQ2"}, {CutQuadrilateralQ3, "QuadQ3"},
      {UsrCutQuadrilateralQ4, "QuadQ4"}, {SrfQuadrilateralQ4, "QuadQ4"}, {9, "IsoLine"},
      {CutPlane, "CutPlane"}, {Solution, "Solution"}, {Palette, "Palette"}, {Patch, "Patch"},
      {NormalAtVertex, ""}, {Tetrahedron, ""}, {HexahedronQ4, ""}, {PrismP2, ""},
      {PyramidP4, ""}, {34, ""}, {62, ""}, {-1, ""}};
  // clang-format on
  for (const auto& [kind, name] : expected) {
    std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(kind));
    testing::internal::CaptureStdout();
    if (buffer) buffer->printType();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), name.empty() ? "" : "ZelBuffer" + name + "\n")
        << kind;
  }
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
