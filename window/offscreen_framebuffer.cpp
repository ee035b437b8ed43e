// An offscreen framebuffer: colour texture and depth renderbuffer.
#include "window/offscreen_framebuffer.h"

#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>

namespace zel {

const char* framebufferStatusText(unsigned status) {
  switch (status) {
    case GL_FRAMEBUFFER_UNDEFINED:
      return "GL_FRAMEBUFFER_UNDEFINED\n";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
      return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT\n";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
      return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT\n";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
      return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER\n";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
      return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER\n";
    case GL_FRAMEBUFFER_UNSUPPORTED:
      return "GL_FRAMEBUFFER_UNSUPPORTED\n";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE:
      return "GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE\n";
    case GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS:
      return "GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS\n";
    default:
      return "unspecified error\n";
  }
}

OffscreenFramebuffer::~OffscreenFramebuffer() { release(); }

void OffscreenFramebuffer::release() {
  if (!m_gl) return;
  if (m_framebuffer) m_gl->glDeleteFramebuffers(1, &m_framebuffer);
  if (m_texture) m_gl->glDeleteTextures(1, &m_texture);
  if (m_depth) m_gl->glDeleteRenderbuffers(1, &m_depth);
  m_framebuffer = m_texture = m_depth = 0;
}

bool OffscreenFramebuffer::rebuild(QOpenGLFunctions_4_0_Core* gl, int width, int height,
                                   std::FILE* errors) {
  release();
  m_gl = gl;
  m_width = std::max(width, 1);
  m_height = std::max(height, 1);
  if (!gl) return false;
  gl->glGenFramebuffers(1, &m_framebuffer);
  gl->glGenTextures(1, &m_texture);
  gl->glGenRenderbuffers(1, &m_depth);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
  gl->glBindTexture(GL_TEXTURE_2D, m_texture);
  gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_width, m_height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   nullptr);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl->glBindTexture(GL_TEXTURE_2D, 0);
  gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, 0);
  gl->glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
  gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, m_width, m_height);
  gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
  gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
  const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
  gl->glDrawBuffers(1, &drawBuffer);
  const GLenum status = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status == GL_FRAMEBUFFER_COMPLETE) return true;
  std::fputs("ERROR: incomplete framebuffer\n", errors);
  std::fputs(framebufferStatusText(status), errors);
  std::fflush(errors);
  return false;
}

}  // namespace zel
