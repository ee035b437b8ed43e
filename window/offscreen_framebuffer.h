// An offscreen framebuffer: what the picking pass draws its ids into, and what cheap frames
// are drawn into at reduced size before they are shown over the whole window.
#pragma once

#include <cstdio>

class QOpenGLFunctions_4_0_Core;

namespace zel {

// An RGBA 8-bit colour texture (nearest filtering, repeat wrapping) and a depth renderbuffer,
// both of the size asked for. Owns its OpenGL names; the context that made them must be
// current when it is rebuilt or destroyed.
class OffscreenFramebuffer {
 public:
  OffscreenFramebuffer() = default;
  ~OffscreenFramebuffer();
  OffscreenFramebuffer(const OffscreenFramebuffer&) = delete;
  OffscreenFramebuffer& operator=(const OffscreenFramebuffer&) = delete;

  // Deletes the previous names and builds a framebuffer of width x height device pixels, left
  // unbound. Returns false when it is incomplete, after "ERROR: incomplete framebuffer\n" and
  // the status line ("GL_FRAMEBUFFER_UNSUPPORTED\n", ..., "unspecified error\n") on `errors`.
  bool rebuild(QOpenGLFunctions_4_0_Core* gl, int width, int height, std::FILE* errors);
  // Frees the names (with the context current); nothing without them.
  void release();
  unsigned framebuffer() const { return m_framebuffer; }
  unsigned texture() const { return m_texture; }
  int width() const { return m_width; }
  int height() const { return m_height; }

 private:
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  unsigned m_framebuffer = 0;
  unsigned m_texture = 0;
  unsigned m_depth = 0;
  int m_width = 0;
  int m_height = 0;
};

// Status line of an incomplete framebuffer, as printed after "ERROR: incomplete framebuffer".
const char* framebufferStatusText(unsigned status);

}  // namespace zel
