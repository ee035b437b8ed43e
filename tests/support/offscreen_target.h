// OpenGL tests: a 4.5 core context on an offscreen surface with a single-sample framebuffer
// object to draw into and read back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFunctions_4_0_Core;

class OffscreenTarget {
 public:
  // Creates the context and a width x height RGBA8 + depth framebuffer, bound and current.
  // valid() tells whether that worked.
  OffscreenTarget(int width, int height);
  ~OffscreenTarget();

  bool valid() const { return m_gl != nullptr; }
  QOpenGLFunctions_4_0_Core* gl() const { return m_gl; }
  int width() const { return m_width; }
  int height() const { return m_height; }

  // Clears colour (to r, g, b, a) and depth.
  void clear(float r, float g, float b, float a);
  // Reads the framebuffer: 4 bytes (RGBA) per pixel, rows from the bottom (y up).
  std::vector<std::uint8_t> read() const;

 private:
  int m_width;
  int m_height;
  std::unique_ptr<QOffscreenSurface> m_surface;
  std::unique_ptr<QOpenGLContext> m_context;
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  unsigned m_framebuffer = 0;
  unsigned m_renderbuffers[2] = {};
};
