// Shared by the GPU benchmarks: an offscreen OpenGL 4.5 context drawing into a single-sample
// framebuffer of a large window's size, the suite's programs, and the time of one frame.
// Programs using it run under tests/support/headless.sh.
#pragma once

#include <QFileInfo>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <functional>
#include <memory>
#include <string>

#include "bench/bench_clock.h"
#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_resources.h"
#include "gpu/shader_programs.h"

namespace bench {

constexpr int kFrameWidth = 1280, kFrameHeight = 1024;

// A 4.5 core context made current on an offscreen surface, drawing into a kFrameWidth x
// kFrameHeight RGBA8 framebuffer with a 24-bit depth buffer and the depth test on. gl() is
// null when no such context could be made. Needs the QGuiApplication first.
class GLBench {
 public:
  GLBench() {
    zelInitGpuResources();
    QSurfaceFormat format;
    format.setVersion(4, 5);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    m_surface.setFormat(format);
    m_surface.create();
    m_context.setFormat(format);
    if (!m_context.create() || !m_context.makeCurrent(&m_surface)) return;
    auto* gl = m_context.versionFunctions<QOpenGLFunctions_4_0_Core>();
    if (!gl || !gl->initializeOpenGLFunctions()) return;
    m_gl = gl;
    GLuint framebuffer = 0, renderbuffers[2] = {};
    gl->glGenFramebuffers(1, &framebuffer);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl->glGenRenderbuffers(2, renderbuffers);
    const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int k = 0; k < 2; ++k) {
      gl->glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[k]);
      gl->glRenderbufferStorage(GL_RENDERBUFFER, formats[k], kFrameWidth, kFrameHeight);
      gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[k], GL_RENDERBUFFER,
                                    renderbuffers[k]);
    }
    gl->glViewport(0, 0, kFrameWidth, kFrameHeight);
    gl->glEnable(GL_DEPTH_TEST);
  }
  QOpenGLFunctions_4_0_Core* gl() const { return m_gl; }

 private:
  QOffscreenSurface m_surface;
  QOpenGLContext m_context;
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
};

// The suite's program `name`, from the compiled-in shaders or, given `folder`, from the files
// of the same names in that folder (the shaders of another commit, say).
inline std::unique_ptr<GLSLProgram> buildProgram(QOpenGLFunctions_4_0_Core* gl, const char* name,
                                                 const char* folder = nullptr) {
  const ZelShaderProgramSources* s = zelShaderProgram(name);
  auto program = std::make_unique<GLSLProgram>(gl);
  const char* files[5] = {s->vs, s->fs, s->gs, s->tcs, s->tes};
  if (!folder) {
    const auto path = [](const char* file) { return file ? QString(file) : QString(); };
    program->buildProgram(s->name, path(files[0]), path(files[1]), path(files[2]), path(files[3]),
                          path(files[4]));
    return program;
  }
  std::string paths[5];
  for (int k = 0; k < 5; ++k)
    if (files[k])
      paths[k] = std::string(folder) + "/" + QFileInfo(files[k]).fileName().toStdString();
  const auto path = [&](int k) { return files[k] ? paths[k].c_str() : nullptr; };
  program->buildProgramFromFiles(s->name, path(0), path(1), path(2), path(3), path(4));
  return program;
}

// Seconds of one frame, from a finished command stream to the next: clear, bind `program`,
// `setUniforms`, draw `buffer`, finish.
inline double frameSeconds(QOpenGLFunctions_4_0_Core* gl, ZelBufferObject& buffer,
                           GLSLProgram& program,
                           const std::function<void(GLSLProgram&)>& setUniforms) {
  gl->glFinish();
  const double start = now();
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  program.use();
  setUniforms(program);
  ZelDrawState state;
  buffer.draw(gl, state, &program);
  gl->glFinish();
  return now() - start;
}

}  // namespace bench
