// Screenshot capture through glReadPixels and stb_image_write.
#include "window/screenshot.h"

#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "meshio/status.h"

std::string screenshotFileName(const std::string& requested, std::time_t now) {
  if (!requested.empty()) return requested;
  char name[64];
  std::snprintf(name, sizeof name, "screenshot_%ld.png",
                static_cast<long>(static_cast<int32_t>(now)));
  return name;
}

bool writePngBottomUp(const std::string& fileName, int width, int height,
                      const std::vector<uint8_t>& rgba) {
  if (width <= 0 || height <= 0 || rgba.size() < size_t(width) * size_t(height) * 4) return false;
  const int stride = width * 4;
  // Start at the last row with a negative stride, so the file is stored top row first.
  const uint8_t* lastRow = rgba.data() + size_t(height - 1) * size_t(stride);
  return stbi_write_png(fileName.c_str(), width, height, 4, lastRow, -stride) != 0;
}

std::vector<uint8_t> readFramePixels(QOpenGLFunctions_4_0_Core* gl, int width, int height,
                                     bool multisampled) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
  GLint previousPack = 4;
  gl->glGetIntegerv(GL_PACK_ALIGNMENT, &previousPack);
  gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!multisampled) {
    gl->glReadBuffer(GL_BACK);
    gl->glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  } else {
    // Reading a multisampled buffer returns unresolved samples: resolve into a single-sample
    // framebuffer first.
    GLuint framebuffer = 0, colour = 0;
    gl->glGenFramebuffers(1, &framebuffer);
    gl->glGenRenderbuffers(1, &colour);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, colour);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    gl->glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colour);
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gl->glReadBuffer(GL_BACK);
    gl->glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl->glReadBuffer(GL_COLOR_ATTACHMENT0);
    gl->glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl->glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl->glDeleteRenderbuffers(1, &colour);
    gl->glDeleteFramebuffers(1, &framebuffer);
  }
  gl->glPixelStorei(GL_PACK_ALIGNMENT, previousPack);
  return pixels;
}

void takeScreenshot(QOpenGLFunctions_4_0_Core* gl, int width, int height, bool multisampled,
                    const std::string& requestedName) {
  const std::vector<uint8_t> pixels = readFramePixels(gl, width, height, multisampled);
  const std::string name = screenshotFileName(requestedName, std::time(nullptr));
  if (!writePngBottomUp(name, width, height, pixels))
    std::fprintf(stderr, "ERROR: could not write screenshot file %s\n", name.c_str());
  zel::printMessage("\n  screen shot done in file : %s \n", name.c_str());
}
