// The probe of the driver's patch numbering and the choice of patches per draw call.
#include "gpu/patch_draws.h"

#include <QOpenGLFunctions_4_0_Core>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"

namespace {

// 64 x 64 patches, one per pixel: more than the software driver's restart period (170
// patches of 6 points) many times over, and a draw large enough to lose patches there.
constexpr int kSide = 64;
constexpr int kPatches = kSide * kSide;
constexpr int kControlPoints = 6;

// Control points of patch i: a right triangle with legs of 1.5 pixels from 0.1 pixel inside
// the corner of pixel i, so that it covers that pixel's centre and no other, then the three
// mid-edge points (unused by the probe's evaluation, present to give the patch its size).
std::vector<float> probeControlPoints() {
  std::vector<float> points;
  points.reserve(size_t(kPatches) * kControlPoints * 3);
  const auto add = [&points](double x, double y) {
    points.push_back(float(x / (0.5 * kSide) - 1.0));
    points.push_back(float(y / (0.5 * kSide) - 1.0));
    points.push_back(0.0f);
  };
  for (int i = 0; i < kPatches; ++i) {
    const double x = i % kSide + 0.1, y = i / kSide + 0.1;
    add(x, y);
    add(x + 1.5, y);
    add(x, y + 1.5);
    add(x + 0.75, y);
    add(x + 0.75, y + 0.75);
    add(x, y + 0.75);
  }
  return points;
}

// The probe patches in a vertex array of their own, bound; `buffers` receives its vertex and
// index buffers. Indexed, as the buffer objects draw: the software driver's restart period
// differs between indexed and plain draws.
GLuint uploadProbePatches(QOpenGLFunctions_4_0_Core* gl, GLuint buffers[2]) {
  const std::vector<float> points = probeControlPoints();
  std::vector<unsigned> indices(size_t(kPatches) * kControlPoints);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = unsigned(i);
  GLuint vertexArray = 0;
  gl->glGenVertexArrays(1, &vertexArray);
  gl->glBindVertexArray(vertexArray);
  gl->glGenBuffers(2, buffers);
  gl->glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  gl->glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(points.size() * sizeof(float)), points.data(),
                   GL_STATIC_DRAW);
  gl->glEnableVertexAttribArray(0);
  gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  gl->glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(unsigned)),
                   indices.data(), GL_STATIC_DRAW);
  return vertexArray;
}

// GLSLProgram keeps its OpenGL objects for the window's life; the probe's go at once.
void deleteProgram(QOpenGLFunctions_4_0_Core* gl, const GLSLProgram& program) {
  if (program.handle() <= 0) return;
  const GLuint handle = GLuint(program.handle());
  GLuint shaders[5] = {};
  GLsizei count = 0;
  gl->glGetAttachedShaders(handle, 5, &count, shaders);
  for (GLsizei i = 0; i < count; ++i) gl->glDeleteShader(shaders[i]);
  gl->glDeleteProgram(handle);
}

// The OpenGL state the probe changes, restored by the destructor.
class SavedState {
 public:
  explicit SavedState(QOpenGLFunctions_4_0_Core* gl) : m_gl(gl) {
    gl->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &m_drawFramebuffer);
    gl->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &m_readFramebuffer);
    gl->glGetIntegerv(GL_VIEWPORT, m_viewport);
    gl->glGetIntegerv(GL_CURRENT_PROGRAM, &m_program);
    gl->glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &m_vertexArray);
    gl->glGetIntegerv(GL_PATCH_VERTICES, &m_patchVertices);
    m_depthTest = gl->glIsEnabled(GL_DEPTH_TEST);
    m_blend = gl->glIsEnabled(GL_BLEND);
  }
  ~SavedState() {
    m_gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(m_drawFramebuffer));
    m_gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(m_readFramebuffer));
    m_gl->glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
    m_gl->glUseProgram(GLuint(m_program));
    m_gl->glBindVertexArray(GLuint(m_vertexArray));
    m_gl->glPatchParameteri(GL_PATCH_VERTICES, m_patchVertices);
    if (m_depthTest) m_gl->glEnable(GL_DEPTH_TEST);
    if (m_blend) m_gl->glEnable(GL_BLEND);
  }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  QOpenGLFunctions_4_0_Core* m_gl;
  GLint m_drawFramebuffer = 0, m_readFramebuffer = 0, m_viewport[4] = {}, m_program = 0;
  GLint m_vertexArray = 0, m_patchVertices = 3;
  GLboolean m_depthTest = GL_FALSE, m_blend = GL_FALSE;
};

// Draws every probe patch in one call at `level` and counts the pixels whose id is not their
// patch's number plus one.
int mismatchedPatches(QOpenGLFunctions_4_0_Core* gl, GLSLProgram& program, int level) {
  gl->glClearColor(0, 0, 0, 0);
  gl->glClear(GL_COLOR_BUFFER_BIT);
  program.setUniform("ProbeLevel", level);
  gl->glDrawElements(GL_PATCHES, kPatches * kControlPoints, GL_UNSIGNED_INT, nullptr);
  std::vector<std::uint8_t> pixels(size_t(kPatches) * 4);
  gl->glReadPixels(0, 0, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  int mismatched = 0;
  for (int i = 0; i < kPatches; ++i) {
    const std::uint8_t* p = &pixels[size_t(i) * 4];
    const std::uint32_t id =
        std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    mismatched += id != std::uint32_t(i + 1);
  }
  return mismatched;
}

}  // namespace

ZelPatchDraws requestedPatchDraws(const char* value) {
  if (value && std::strcmp(value, "one") == 0) return ZelPatchDraws::OneCall;
  if (value && std::strcmp(value, "batches") == 0) return ZelPatchDraws::Batches;
  return ZelPatchDraws::Probe;
}

bool patchNumberingIsExact(QOpenGLFunctions_4_0_Core* gl) {
  if (!gl) return false;
  GLSLProgram program(gl);
  const bool built =
      program.compileShaderFromResource(":/glsl/patch_probe.vs", GLSLProgram::Vertex) &&
      program.compileShaderFromResource(":/glsl/patch_probe.tcs", GLSLProgram::TessControl) &&
      program.compileShaderFromResource(":/glsl/patch_probe.tes", GLSLProgram::TessEvaluation) &&
      program.compileShaderFromResource(":/glsl/patch_probe.fs", GLSLProgram::Fragment) &&
      program.link();
  if (!built) {
    deleteProgram(gl, program);
    return false;
  }

  SavedState saved(gl);
  GLuint framebuffer = 0, colour = 0, buffers[2] = {};
  gl->glGenFramebuffers(1, &framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl->glGenRenderbuffers(1, &colour);
  gl->glBindRenderbuffer(GL_RENDERBUFFER, colour);
  gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSide, kSide);
  gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  const bool complete = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

  const GLuint vertexArray = uploadProbePatches(gl, buffers);
  gl->glViewport(0, 0, kSide, kSide);
  gl->glDisable(GL_DEPTH_TEST);
  gl->glDisable(GL_BLEND);  // ids below 2^24 have alpha 0
  program.use();
  gl->glPatchParameteri(GL_PATCH_VERTICES, kControlPoints);
  // Numbering first, at a level that costs little even where one draw is slow; losses show
  // at high levels only.
  bool exact = complete;
  for (int level : {1, 32})
    if (exact) exact = mismatchedPatches(gl, program, level) == 0;

  gl->glBindVertexArray(0);
  gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  gl->glDeleteBuffers(2, buffers);
  gl->glDeleteVertexArrays(1, &vertexArray);
  gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
  gl->glDeleteRenderbuffers(1, &colour);
  gl->glDeleteFramebuffers(1, &framebuffer);
  deleteProgram(gl, program);
  return exact;
}

ZelPatchDraws choosePatchDraws(QOpenGLFunctions_4_0_Core* gl) {
  static ZelPatchDraws probed = ZelPatchDraws::Probe;
  ZelPatchDraws choice = requestedPatchDraws(std::getenv("ZEL_PATCH_DRAWS"));
  if (choice == ZelPatchDraws::Probe) {
    if (probed == ZelPatchDraws::Probe)
      probed = patchNumberingIsExact(gl) ? ZelPatchDraws::OneCall : ZelPatchDraws::Batches;
    choice = probed;
  }
  ZelBufferObject::setMaxPatchesPerDraw(choice == ZelPatchDraws::OneCall ? INT_MAX : kBatchPatches);
  return choice;
}
