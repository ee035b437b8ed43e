// Offscreen OpenGL target for tests.
#include "tests/support/offscreen_target.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <QSurfaceFormat>

OffscreenTarget::OffscreenTarget(int width, int height) : m_width(width), m_height(height) {
  QSurfaceFormat format;
  format.setVersion(4, 5);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  m_surface = std::make_unique<QOffscreenSurface>();
  m_surface->setFormat(format);
  m_surface->create();
  m_context = std::make_unique<QOpenGLContext>();
  m_context->setFormat(format);
  if (!m_context->create() || !m_context->makeCurrent(m_surface.get())) return;
  if (m_context->format().majorVersion() < 4) return;
  auto* gl = m_context->versionFunctions<QOpenGLFunctions_4_0_Core>();
  if (!gl || !gl->initializeOpenGLFunctions()) return;
  gl->glGenFramebuffers(1, &m_framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
  gl->glGenRenderbuffers(2, m_renderbuffers);
  const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
  const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
  for (int i = 0; i < 2; ++i) {
    gl->glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[i]);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, formats[i], width, height);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER,
                                  m_renderbuffers[i]);
  }
  if (gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return;
  gl->glViewport(0, 0, width, height);
  gl->glEnable(GL_DEPTH_TEST);
  gl->glDepthFunc(GL_LEQUAL);
  gl->glEnable(GL_PROGRAM_POINT_SIZE);
  m_gl = gl;
}

OffscreenTarget::~OffscreenTarget() {
  if (m_gl) {
    m_gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    m_gl->glDeleteRenderbuffers(2, m_renderbuffers);
    m_gl->glDeleteFramebuffers(1, &m_framebuffer);
  }
  if (m_context) m_context->doneCurrent();
}

void OffscreenTarget::clear(float r, float g, float b, float a) {
  m_gl->glClearColor(r, g, b, a);
  m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<std::uint8_t> OffscreenTarget::read() const {
  std::vector<std::uint8_t> pixels(static_cast<size_t>(m_width) * m_height * 4);
  m_gl->glFinish();
  m_gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
  m_gl->glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
