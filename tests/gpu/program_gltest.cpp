// Shader programs and buffer objects on a real context: compile and link rules, uniform
// clamping, fatal build messages, geometry replacement, placeholder textures and traces.
#include <sys/wait.h>
#include <unistd.h>

#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gpu_fixture.h"

namespace gputest {
namespace {

const char kVertex[] =
    "#version 410 core\nlayout(location = 0) in vec3 P;\nvoid main() { gl_Position = vec4(P, 1); "
    "}\n";
const char kFragment[] =
    "#version 410 core\nuniform float values[12];\nuniform int counts[12];\nout vec4 c;\n"
    "void main() { c = vec4(values[11] + float(counts[11]), values[0], 0, 1); }\n";

using ProgramTest = GpuTest;

TEST_F(ProgramTest, CompileErrorsLeaveTheDriverLogAndMissingFilesSaySo) {
  GLSLProgram program(gl());
  EXPECT_FALSE(program.compileShaderFromString("#version 410 core\nvoid main() { nope(); }\n",
                                               GLSLProgram::Vertex));
  EXPECT_FALSE(program.log().empty());
  EXPECT_GT(program.handle(), 0) << "the program object exists after the first compile";
  EXPECT_FALSE(program.compileShaderFromString(kVertex, 7));
  EXPECT_FALSE(program.compileShaderFromResource(":/glsl/nothing.vs", GLSLProgram::Vertex));
  EXPECT_EQ(program.log(), "File not found.");
  EXPECT_FALSE(program.compileShaderFromFile("/nonexistent/tri.vs", GLSLProgram::Vertex));
  EXPECT_EQ(program.log(), "File not found.");
  EXPECT_FALSE(program.isLinked());
}

TEST_F(ProgramTest, FilesAndResourcesCompileTheSameSources) {
  const std::string folder = std::string(ZEL_TEST_DATA) + "/../../glsl/";
  GLSLProgram fromFiles(gl());
  EXPECT_TRUE(fromFiles.buildProgramFromFiles(
      "P2TriSha", (folder + "tripk.vs").c_str(), (folder + "tri.fs").c_str(),
      (folder + "tripk.gs").c_str(), (folder + "trip2.tcs").c_str(),
      (folder + "trip2.tes").c_str()));
  EXPECT_TRUE(fromFiles.isLinked());
}

TEST_F(ProgramTest, LinkOnceUniformClampingAndUnknownNames) {
  GLSLProgram program(gl());
  EXPECT_FALSE(program.link()) << "nothing compiled yet";
  ASSERT_TRUE(program.compileShaderFromString(kVertex, GLSLProgram::Vertex));
  ASSERT_TRUE(program.compileShaderFromString(kFragment, GLSLProgram::Fragment));
  ASSERT_TRUE(program.link());
  EXPECT_TRUE(program.link());
  program.use();
  const GLuint handle = GLuint(program.handle());

  std::vector<float> twelve(12);
  std::vector<int> twelveInts(12);
  for (int i = 0; i < 12; ++i) twelve[i] = twelveInts[i] = i + 1;
  program.setUniformArray("values", 12, twelve.data());
  program.setUniformArray("counts", 12, twelveInts);
  float value = -1;
  GLint count = -1;
  gl()->glGetUniformfv(handle, program.getUniformLocation("values[9]"), &value);
  EXPECT_EQ(value, 10.0f);
  gl()->glGetUniformfv(handle, program.getUniformLocation("values[10]"), &value);
  EXPECT_EQ(value, 0.0f) << "only ten values are sent";
  gl()->glGetUniformiv(handle, program.getUniformLocation("counts[10]"), &count);
  EXPECT_EQ(count, 0);
  program.setUniformArray("counts", 12, twelveInts.data());  // the pointer form sends all
  gl()->glGetUniformiv(handle, program.getUniformLocation("counts[11]"), &count);
  EXPECT_EQ(count, 12);

  while (gl()->glGetError() != GL_NO_ERROR) {
  }
  program.setUniform("noSuchUniform", 1.0f);
  program.setUniform("noSuchUniform", 3);
  program.setUniformArray("noSuchUniform", 3, twelve.data());
  EXPECT_EQ(gl()->glGetError(), GLenum(GL_NO_ERROR));

  testing::internal::CaptureStdout();
  program.printActiveUniforms();
  const std::string table = testing::internal::GetCapturedStdout();
  EXPECT_EQ(table.rfind(" Location | Name\n------------------------------------------------\n", 0),
            0u);
  EXPECT_NE(table.find("values"), std::string::npos);
  testing::internal::CaptureStdout();
  program.printActiveAttribs();
  EXPECT_NE(testing::internal::GetCapturedStdout().find(" 0     | P\n"), std::string::npos);
}

// Locations are kept per name: by the name's text, not its address, and only once linked.
TEST_F(ProgramTest, UniformLocationsAreKeptByNameOnceLinked) {
  GLSLProgram program(gl());
  ASSERT_TRUE(program.compileShaderFromString(kVertex, GLSLProgram::Vertex));
  ASSERT_TRUE(program.compileShaderFromString(kFragment, GLSLProgram::Fragment));
  const float seven = 7;
  program.setUniformArray("values", 1, &seven);  // not linked yet: no location to keep
  ASSERT_TRUE(program.link());
  program.use();
  const GLuint handle = GLuint(program.handle());
  char name[16] = "values[1]";
  const float ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  program.setUniformArray("values", 10, ten);
  program.setUniform(name, 20.0f);
  std::strcpy(name, "values[2]");  // same address, another uniform
  program.setUniform(name, 30.0f);
  for (int i : {0, 1, 2, 3}) {
    float value = -1;
    gl()->glGetUniformfv(
        handle, program.getUniformLocation(("values[" + std::to_string(i) + "]").c_str()), &value);
    EXPECT_EQ(value, i == 0 ? 1.0f : i == 1 ? 20.0f : i == 2 ? 30.0f : 4.0f) << i;
  }
  while (gl()->glGetError() != GL_NO_ERROR) {
  }
}

TEST_F(ProgramTest, ATessellationStageAloneIsIgnored) {
  GLSLProgram program(gl());
  ASSERT_TRUE(program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs", QString(),
                                   ":/glsl/trip2.tcs", QString()));
  GLint attached = 0;
  gl()->glGetProgramiv(GLuint(program.handle()), GL_ATTACHED_SHADERS, &attached);
  EXPECT_EQ(attached, 2);
}

// Messages of the fatal paths, checked on standard output in a child process.
TEST_F(ProgramTest, BuildFailuresEndTheProcessWithTheirMessage) {
  const auto messageOf = [](const char* vs) {
    fflush(stdout);
    testing::internal::CaptureStdout();
    // The fatal path is taken in a forked child; its output is what we capture here.
    pid_t child = fork();
    if (child == 0) {
      GLSLProgram program(gl());
      program.buildProgram("PntSha", vs ? QString(vs) : QString(), ":/glsl/pnt.fs");
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    return output;
  };
  EXPECT_EQ(messageOf(nullptr),
            "  GLSL programm error: PntSha: vertex and fragment shaders are mandatory to compile "
            "a GLSL programm \n");
  EXPECT_EQ(messageOf(":/glsl/gone.vs"),
            "  GLSL programm error: PntSha: Vertex shader(:/glsl/gone.vs) failed to compile !\n"
            "File not found.");
}

using BufferTest = GpuTest;

TEST_F(BufferTest, NewGeometryReplacesTheOldObjects) {
  const std::vector<float> coords = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
  const std::vector<unsigned> indices = {0, 1, 2};
  ZelBufferTriangle buffer;
  buffer.updateVao(gl(), 3, coords.data(), 1, indices.data());
  const unsigned first = buffer.vertexArray();
  ASSERT_TRUE(gl()->glIsVertexArray(first));
  buffer.updateVao(gl(), 3, coords.data(), 1, indices.data());
  EXPECT_FALSE(gl()->glIsVertexArray(first) && first != buffer.vertexArray());
  EXPECT_TRUE(gl()->glIsVertexArray(buffer.vertexArray()));
  // Refused uploads keep what is there.
  const unsigned live = buffer.vertexArray();
  buffer.updateVao(gl(), 0, coords.data(), 1, indices.data());
  buffer.updateVao(gl(), 3, coords.data(), 1, nullptr);
  EXPECT_EQ(buffer.vertexArray(), live);
  EXPECT_EQ(buffer.elementCount(), 1);
}

TEST_F(BufferTest, HiddenOrEmptyObjectsDrawNothing) {
  const std::vector<float> coords = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
  const std::vector<unsigned> indices = {0, 1, 2};
  GLSLProgram* program = useProgram("TriSha");
  ZelBufferTriangle buffer;
  ZelDrawState state;
  buffer.setVerbose(true);
  testing::internal::CaptureStdout();
  EXPECT_EQ(buffer.draw(gl(), state, program), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  ZelBufferTriangle::render:   nothing to print \n");
  testing::internal::CaptureStdout();
  buffer.updateVao(gl(), 3, coords.data(), 1, indices.data());
  state.visible = false;
  EXPECT_EQ(buffer.draw(gl(), state, program), 0);
  state.visible = true;
  state.reference = 42;
  EXPECT_EQ(buffer.draw(gl(), state, program), 1);
  const std::string trace = testing::internal::GetCapturedStdout();
  char expected[200];
  EXPECT_EQ(trace.rfind(" ZelBufferTriangle::updateVao vaoHandle ", 0), 0u) << trace;
  std::snprintf(expected, sizeof expected,
                "  ZelBufferTriangle::render:           1 faces send to rendered vao %d \n",
                buffer.vertexArray());
  EXPECT_NE(trace.find(expected), std::string::npos) << trace;
  EXPECT_EQ(buffer.reference(), 42);
  EXPECT_EQ(state.displayed, 1);
}

TEST_F(BufferTest, WithoutSolutionPlaceholdersAndTheIdentityPaletteAreSent) {
  const std::vector<float> coords = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
  const std::vector<unsigned> indices = {0, 1, 2};
  GLSLProgram* program = useProgram("TriSha");
  ZelBufferTriangle buffer;
  buffer.updateVao(gl(), 3, coords.data(), 1, indices.data());
  ZelDrawState state;
  program->setUniform("Sol", 1);
  ASSERT_EQ(buffer.draw(gl(), state, program), 1);
  EXPECT_EQ(gl()->glGetError(), GLenum(GL_NO_ERROR)) << "placeholder textures bound";
  float last = -1;
  gl()->glGetUniformfv(GLuint(program->handle()), program->getUniformLocation("Palette[4]"), &last);
  EXPECT_EQ(last, 4.0f);
  GLint sol = -1;
  gl()->glGetUniformiv(GLuint(program->handle()), program->getUniformLocation("Sol"), &sol);
  EXPECT_EQ(sol, 0);

  ZelPaletteState state5;
  state5.colourMap = jetMap().data();
  state5.colourMapSize = 9;
  buffer.setPaletteState(&state5);
  buffer.setVerbose(true);
  const float value = 0.5f;
  testing::internal::CaptureStdout();
  buffer.uploadTextures(gl(), 1, &value);
  const std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_NE(trace.find(" texture colmap id = "), std::string::npos);
  EXPECT_NE(trace.find(" texture tex id = "), std::string::npos);
  EXPECT_TRUE(buffer.hasPalette());

  // Without geometry an upload only clears: the palette is detached.
  ZelBufferTriangle empty;
  empty.setPaletteState(&state5);
  empty.uploadTextures(gl(), 1, &value);
  EXPECT_FALSE(empty.hasPalette());
}

}  // namespace
}  // namespace gputest
