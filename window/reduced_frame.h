// Cheap frames drawn at half the resolution: the frame draws into an offscreen framebuffer of
// half the window's pixels a side, which is then shown over the whole window, each of its
// pixels doubled. While the view moves, the cost of a frame of many small triangles is mostly
// per pixel; a quarter of the pixels makes it about half.
#pragma once

#include "window/offscreen_framebuffer.h"

class GLSLProgram;
class QOpenGLFunctions_4_0_Core;

namespace zel {

class ReducedFrame {
 public:
  // Size of the reduced picture of a window of `full` pixels along one side.
  static int reducedSize(int full) { return (full + 1) / 2; }

  // Binds the reduced framebuffer of a width x height window (rebuilt when the size changes)
  // and sets the viewport to it. False when none could be made, then and ever after (its
  // message is printed once): the frame is then drawn into the window at full size.
  bool begin(QOpenGLFunctions_4_0_Core* gl, int width, int height);
  // Draws the reduced picture with `upscale` ("UpscaleSha") over the whole of `window`, the
  // framebuffer of the window, and leaves it bound with the window's viewport.
  void present(GLSLProgram& upscale, unsigned window, int width, int height);
  // Frees the OpenGL names (with the context current).
  void release();

 private:
  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  OffscreenFramebuffer m_framebuffer;
  bool m_failed = false;  // a framebuffer could not be made: not tried again
  unsigned m_emptyArray = 0;
};

}  // namespace zel
