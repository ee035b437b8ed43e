// Frame time of a large curved surface whose elements are smaller than a pixel, drawn by the
// P2 triangle program built from the compiled-in shaders and by the same program built from
// another set of shader files (the previous tessellation-control stages, say): the screen
// level adds work per patch but must leave such patches at level 1.
// Needs an OpenGL 4 context: run under tests/support/headless.sh.
// Usage: bench_screen_level_speed GLSL_FOLDER [repeats]
#include <QFileInfo>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_resources.h"
#include "gpu/shader_programs.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024, kCells = 320;
using Clock = std::chrono::steady_clock;

// A wavy P2 triangle surface on a kCells x kCells grid over [-1, 1]^2, every node lifted by a
// sine so that each edge is curved; nodes shared.
void makeSurface(std::vector<float>& coords, std::vector<unsigned>& nodes, int& triangles) {
  const int side = 2 * kCells + 1;
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      const double x = -1 + 2.0 * i / (side - 1), y = -1 + 2.0 * j / (side - 1);
      coords.insert(coords.end(), {float(x), float(y), float(0.1 * std::sin(40 * x * y))});
    }
  const auto node = [side](int i, int j) { return unsigned(j * side + i); };
  triangles = 0;
  for (int j = 0; j < side - 1; j += 2)
    for (int i = 0; i < side - 1; i += 2) {
      const unsigned lower[6] = {node(i, j),     node(i + 2, j),     node(i, j + 2),
                                 node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)};
      const unsigned upper[6] = {node(i + 2, j),     node(i + 2, j + 2), node(i, j + 2),
                                 node(i + 2, j + 1), node(i + 1, j + 2), node(i + 1, j + 1)};
      nodes.insert(nodes.end(), lower, lower + 6);
      nodes.insert(nodes.end(), upper, upper + 6);
      triangles += 2;
    }
}

std::unique_ptr<GLSLProgram> buildP2Program(QOpenGLFunctions_4_0_Core* gl, const char* folder) {
  const ZelShaderProgramSources* s = zelShaderProgram("P2TriSha");
  auto program = std::make_unique<GLSLProgram>(gl);
  if (!folder) {
    program->buildProgram(s->name, s->vs, s->fs, s->gs, s->tcs, s->tes);
    return program;
  }
  // The same stages, read from files of the same names in `folder`.
  std::string paths[5];
  const char* files[5] = {s->vs, s->fs, s->gs, s->tcs, s->tes};
  for (int k = 0; k < 5; ++k)
    paths[k] = std::string(folder) + "/" + QFileInfo(files[k]).fileName().toStdString();
  program->buildProgramFromFiles(s->name, paths[0].c_str(), paths[1].c_str(), paths[2].c_str(),
                                 paths[3].c_str(), paths[4].c_str());
  return program;
}

// One frame: the surface seen whole in a 200-pixel square (each element about 0.6 pixel
// wide), at user level 4, as the frame would set the uniforms.
double frameSeconds(QOpenGLFunctions_4_0_Core* gl, ZelBufferObject& surface, GLSLProgram& p) {
  const float s = 200.0f / kWidth, t = 200.0f / kHeight;
  const float mvp[16] = {s, 0, 0, 0, 0, t, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
  const float viewport[16] = {
      kWidth / 2.0f, 0, 0, 0, 0, kHeight / 2.0f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
  const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  gl->glFinish();
  const Clock::time_point start = Clock::now();
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  p.use();
  p.setUniformMatrix4("MVP", mvp);
  p.setUniformMatrix4("ViewportMatrix", viewport);
  p.setUniformMatrix4("ModelViewMatrix", modelView);
  p.setUniformMatrix3("NormalMatrix", identity3);
  p.setUniform("scaling", 1.0f);
  p.setUniform("shrink", 1.0f);
  p.setUniform("tess_level", 4);
  p.setUniform("Material.Kd", 0.7f, 0.7f, 0.7f);
  p.setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
  ZelDrawState state;
  surface.draw(gl, state, &p);
  gl->glFinish();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s GLSL_FOLDER [repeats]\n", argv[0]);
    return 1;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  zelInitGpuResources();
  QSurfaceFormat format;
  format.setVersion(4, 5);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  QOffscreenSurface offscreen;
  offscreen.setFormat(format);
  offscreen.create();
  QOpenGLContext context;
  context.setFormat(format);
  QOpenGLFunctions_4_0_Core* gl = nullptr;
  if (context.create() && context.makeCurrent(&offscreen))
    gl = context.versionFunctions<QOpenGLFunctions_4_0_Core>();
  if (!gl || !gl->initializeOpenGLFunctions()) {
    std::fprintf(stderr, "no OpenGL 4 context (run under tests/support/headless.sh)\n");
    return 1;
  }
  GLuint framebuffer = 0, renderbuffers[2] = {};
  gl->glGenFramebuffers(1, &framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl->glGenRenderbuffers(2, renderbuffers);
  const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
  const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
  for (int k = 0; k < 2; ++k) {
    gl->glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[k]);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, formats[k], kWidth, kHeight);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[k], GL_RENDERBUFFER,
                                  renderbuffers[k]);
  }
  gl->glViewport(0, 0, kWidth, kHeight);
  gl->glEnable(GL_DEPTH_TEST);

  std::vector<float> coords;
  std::vector<unsigned> nodes;
  int triangles = 0;
  makeSurface(coords, nodes, triangles);
  ZelBufferTriangleP2 surface;
  surface.updateVao(gl, int(coords.size() / 3), coords.data(), triangles, nodes.data());
  const std::unique_ptr<GLSLProgram> current = buildP2Program(gl, nullptr);
  const std::unique_ptr<GLSLProgram> other = buildP2Program(gl, argv[1]);
  frameSeconds(gl, surface, *current);  // first frames compile the shaders' variants
  frameSeconds(gl, surface, *other);
  // Alternating, so that both see the same load on a shared machine.
  std::vector<double> currentTimes, otherTimes;
  for (int r = 0; r < repeats; ++r) {
    currentTimes.push_back(frameSeconds(gl, surface, *current));
    otherTimes.push_back(frameSeconds(gl, surface, *other));
  }
  const double a = median(currentTimes), b = median(otherTimes);
  std::printf("%d P2 triangles in a 200-pixel square, %dx%d frame, median of %d\n", triangles,
              kWidth, kHeight, repeats);
  std::printf("  shaders from %-24s %8.1f ms\n", argv[1], b * 1e3);
  std::printf("  compiled-in shaders            %8.1f ms   ratio %.2f\n", a * 1e3, a / b);
  return 0;
}
