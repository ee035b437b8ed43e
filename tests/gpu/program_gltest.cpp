// Shader programs and buffer objects on a real context: compile, link and uniform rules, the
// fatal build messages, every program of the suite, geometry replacement and placeholder
// textures.
#include <unistd.h>

#include <cstring>

#include "gpu_fixture.h"

namespace gputest {
namespace {

using ProgramTest = GpuTest;

TEST_F(ProgramTest, CompileLinkAndUniformRules) {
  GLSLProgram program(gl());
  EXPECT_FALSE(program.link()) << "nothing compiled yet";
  EXPECT_FALSE(program.compileShaderFromString("#version 410 core\nvoid main() { nope(); }\n", 0));
  const char vertex[] =
      "#version 410 core\nlayout(location = 0) in vec3 P;\n"
      "void main() { gl_Position = vec4(P, 1); }\n";
  EXPECT_FALSE(program.compileShaderFromString(vertex, 7));
  EXPECT_FALSE(program.compileShaderFromFile("/nonexistent/tri.vs", 0));
  EXPECT_EQ(program.log(), "File not found.");
  const float seven = 7;
  program.setUniformArray("values", 1, &seven);  // not linked: no location may be kept
  ASSERT_TRUE(program.compileShaderFromString(vertex, GLSLProgram::Vertex));
  ASSERT_TRUE(program.compileShaderFromString(
      "#version 410 core\nuniform float values[12];\nuniform int counts[12];\nout vec4 c;\n"
      "void main() { c = vec4(values[11] + float(counts[11])); }\n",
      GLSLProgram::Fragment));
  ASSERT_TRUE(program.link());
  program.use();
  std::vector<float> floats(12);
  std::vector<int> ints(12);
  for (int i = 0; i < 12; ++i) floats[i] = ints[i] = i + 1;
  program.setUniformArray("values", 12, floats.data());
  program.setUniformArray("counts", 12, ints);
  char name[16] = "values[1]";
  program.setUniform(name, 20.0f);
  std::strcpy(name, "values[2]");  // locations are kept by the name's text, not its address
  program.setUniform(name, 30.0f);
  const auto uniform = [&](const char* n) {
    float f = -1;
    gl()->glGetUniformfv(GLuint(program.handle()), program.getUniformLocation(n), &f);
    return f;
  };
  const std::pair<const char*, float> expected[] = {
      {"values[0]", 1},  {"values[1]", 20}, {"values[2]", 30}, {"values[9]", 10},
      {"values[10]", 0}, {"counts[10]", 0}};  // the vector form sends only ten values
  for (const auto& [n, value] : expected) EXPECT_EQ(uniform(n), value) << n;
  program.setUniformArray("counts", 12, ints.data());  // the pointer form sends them all
  EXPECT_EQ(uniform("counts[11]"), 12.0f);
}

TEST_F(ProgramTest, EveryProgramBuildsAndOneTessellationStageAloneIsIgnored) {
  int count = 0;
  const ZelShaderProgramSources* programs = zelShaderPrograms(count);
  ASSERT_EQ(count, 27);  // the suite's 17, the upscaling of cheap frames, the 9 curved twins
  for (int i = 0; i < count; ++i) {
    const GLSLProgram* program = useProgram(programs[i].name);
    EXPECT_TRUE(program && program->isLinked()) << programs[i].name;
  }
  const std::string folder = std::string(ZEL_TEST_DATA) + "/../../glsl/";
  const auto file = [&](const char* name) { return folder + name; };
  EXPECT_TRUE(GLSLProgram(gl()).buildProgramFromFiles(
      "P2TriSha", file("tripk.vs").c_str(), file("tri.fs").c_str(), file("tripk.gs").c_str(),
      file("trip2.tcs").c_str(), file("trip2.tes").c_str()));
  GLSLProgram program(gl());
  ASSERT_TRUE(program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs", QString(),
                                   ":/glsl/trip2.tcs", QString()));
  GLint attached = 0;
  gl()->glGetProgramiv(GLuint(program.handle()), GL_ATTACHED_SHADERS, &attached);
  EXPECT_EQ(attached, 2);
}

// Build failures end the process with status 1 and their message on standard output (sent to
// the error stream here, where death tests look). The child starts afresh: one forked from a
// process with driver threads can block for ever on a lock held at the fork.
TEST_F(ProgramTest, BuildFailuresEndTheProcessWithTheirMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto build = [](const char* vs) {
    std::fflush(stdout);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    GLSLProgram(gl()).buildProgram("PntSha", vs ? QString(vs) : QString(), ":/glsl/pnt.fs");
  };
  EXPECT_EXIT(build(nullptr), testing::ExitedWithCode(1),
              "(^|\n)  GLSL programm error: PntSha: vertex and fragment shaders are mandatory to "
              "compile a GLSL programm \n$");
  EXPECT_EXIT(build(":/glsl/gone.vs"), testing::ExitedWithCode(1),
              "(^|\n)  GLSL programm error: PntSha: Vertex shader\\(:/glsl/gone\\.vs\\) failed "
              "to compile !\nFile not found\\.$");
}

// Geometry is replaced only by accepted uploads (the old arrays freed); a draw binds placeholder
// textures and the identity palette; textures need geometry, without it an upload detaches the
// palette.
using BufferTest = GpuTest;  // a fresh context: no error left by the failed builds above

TEST_F(BufferTest, UploadsPlaceholdersAndTheIdentityPalette) {
  const std::vector<float> coords = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
  const unsigned indices[3] = {0, 1, 2};
  GLSLProgram* program = useProgram("TriSha");
  ZelBufferTriangle buffer, empty;
  ZelDrawState state;
  EXPECT_EQ(buffer.draw(gl(), state, program), 0) << "nothing uploaded";
  buffer.updateVao(gl(), 3, coords.data(), 1, indices);
  const unsigned first = buffer.vertexArray();
  buffer.updateVao(gl(), 3, coords.data(), 1, indices);
  EXPECT_FALSE(gl()->glIsVertexArray(first) && first != buffer.vertexArray()) << "old one freed";
  const unsigned live = buffer.vertexArray();
  buffer.updateVao(gl(), 0, coords.data(), 1, indices);
  buffer.updateVao(gl(), 3, coords.data(), 1, nullptr);
  EXPECT_TRUE(buffer.vertexArray() == live && gl()->glIsVertexArray(live));
  EXPECT_EQ(buffer.elementCount(), 1);
  state.visible = false;
  EXPECT_EQ(buffer.draw(gl(), state, program), 0);
  state.visible = true;
  state.reference = 42;
  program->setUniform("Sol", 1);
  EXPECT_EQ(buffer.draw(gl(), state, program), 1);
  EXPECT_TRUE(buffer.reference() == 42 && state.displayed == 1);
  EXPECT_EQ(gl()->glGetError(), GLenum(GL_NO_ERROR)) << "placeholder textures bound";
  float last = -1;
  GLint sol = -1;
  gl()->glGetUniformfv(GLuint(program->handle()), program->getUniformLocation("Palette[4]"), &last);
  gl()->glGetUniformiv(GLuint(program->handle()), program->getUniformLocation("Sol"), &sol);
  EXPECT_TRUE(last == 4.0f && sol == 0) << last << " " << sol;
  const ZelPaletteState palette = testPalette();
  const float value = 0.5f;
  for (ZelBufferTriangle* b : {&buffer, &empty}) {
    b->setPaletteState(&palette);
    b->uploadTextures(gl(), 1, &value);
  }
  EXPECT_TRUE(buffer.hasPalette() && !empty.hasPalette());
}

}  // namespace
}  // namespace gputest
