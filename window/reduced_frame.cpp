// Cheap frames drawn at half the resolution, then shown over the whole window.
#include "window/reduced_frame.h"

#include <QOpenGLFunctions_4_0_Core>

#include "gpu/GLSLProgram.h"

namespace zel {

bool ReducedFrame::begin(QOpenGLFunctions_4_0_Core* gl, int width, int height) {
  if (m_failed) return false;
  m_gl = gl;
  const int w = reducedSize(width), h = reducedSize(height);
  if (!m_framebuffer.framebuffer() || m_framebuffer.width() != w || m_framebuffer.height() != h) {
    if (!m_framebuffer.rebuild(gl, w, h, stderr)) {
      m_framebuffer.release();
      m_failed = true;
      return false;
    }
  }
  gl->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer.framebuffer());
  gl->glViewport(0, 0, w, h);
  return true;
}

void ReducedFrame::present(GLSLProgram& upscale, unsigned window, int width, int height) {
  QOpenGLFunctions_4_0_Core* gl = m_gl;
  gl->glBindFramebuffer(GL_FRAMEBUFFER, window);
  gl->glViewport(0, 0, width, height);
  // The picture replaces every pixel: no depth test, no blending, no cut-plane clipping.
  gl->glDisable(GL_DEPTH_TEST);
  gl->glDisable(GL_BLEND);
  gl->glDisable(GL_CLIP_DISTANCE0);
  if (!m_emptyArray) gl->glGenVertexArrays(1, &m_emptyArray);
  gl->glBindVertexArray(m_emptyArray);
  gl->glActiveTexture(GL_TEXTURE0);
  gl->glBindTexture(GL_TEXTURE_2D, m_framebuffer.texture());
  upscale.use();
  upscale.setUniform("Picture", 0);
  gl->glDrawArrays(GL_TRIANGLES, 0, 3);
  gl->glBindTexture(GL_TEXTURE_2D, 0);
  gl->glBindVertexArray(0);
  gl->glEnable(GL_BLEND);
  gl->glEnable(GL_DEPTH_TEST);
}

void ReducedFrame::release() {
  m_framebuffer.release();
  if (m_gl && m_emptyArray) m_gl->glDeleteVertexArrays(1, &m_emptyArray);
  m_emptyArray = 0;
}

}  // namespace zel
