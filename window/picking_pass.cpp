// Picking framebuffer, id decoding and the resolution of an id to a scene object.
#include "window/picking_pass.h"

#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <cmath>

#include "scene/ZelDrawObject.h"

namespace zel {

int decodePickingId(const unsigned char rgba[4]) {
  // Unsigned arithmetic: an alpha of 128 or more sets the sign bit of the 32-bit id.
  const unsigned id = unsigned(rgba[0]) << 16 | unsigned(rgba[1]) << 8 | unsigned(rgba[2]) |
                      unsigned(rgba[3]) << 24;
  return int(id);
}

FramebufferPixel pickingPixel(int x, int y, double ratio, int width, int height) {
  FramebufferPixel pixel;
  pixel.column = int(std::lround(x * ratio));
  pixel.row = int(std::lround(height - y * ratio));
  pixel.column = std::clamp(pixel.column, 0, std::max(width - 1, 0));
  pixel.row = std::clamp(pixel.row, 0, std::max(height - 1, 0));
  return pixel;
}

int nearestPixel(double coordinate) { return int(std::floor(coordinate + 0.5)); }

PickResolution resolvePick(const ZelPickingTable& table, int x, int y, int id,
                           bool highlightElements, std::vector<ZelDrawObject*>& picked) {
  PickResolution result;
  for (const auto& [base, object] : table) {
    if (!object) continue;
    // 64-bit bounds: ids near the top of the int range must not wrap.
    const long long first = base, last = first + object->displayedCount() - 1;
    std::vector<int>& highlight = object->highlightList();
    if (id < first || id > last) {
      highlight.clear();
      continue;
    }
    const int local = int(id - first);
    if (!highlight.empty() && highlight.front() == local) {
      // The same primitive again: it is unpicked, and the pick ends with no object.
      highlight.clear();
      if (!picked.empty()) picked.pop_back();
      continue;
    }
    if (highlightElements) {
      if (highlight.empty()) {
        highlight.push_back(local);
      } else {
        highlight.front() = local;
      }
    }
    picked.push_back(object);
    object->setLastPick(x, y, local);
    result.object = object;
    result.localIndex = local;
    return result;
  }
  return result;
}

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

PickingFramebuffer::~PickingFramebuffer() { release(); }

void PickingFramebuffer::release() {
  if (!m_gl) return;
  if (m_framebuffer) m_gl->glDeleteFramebuffers(1, &m_framebuffer);
  if (m_texture) m_gl->glDeleteTextures(1, &m_texture);
  if (m_depth) m_gl->glDeleteRenderbuffers(1, &m_depth);
  m_framebuffer = m_texture = m_depth = 0;
}

bool PickingFramebuffer::rebuild(QOpenGLFunctions_4_0_Core* gl, int width, int height,
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

int PickingFramebuffer::readId(FramebufferPixel pixel) const {
  unsigned char rgba[4] = {0, 0, 0, 0};
  if (!m_gl || !m_framebuffer) return 0;
  m_gl->glReadBuffer(GL_COLOR_ATTACHMENT0);
  m_gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
  m_gl->glReadPixels(pixel.column, pixel.row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return decodePickingId(rgba);
}

}  // namespace zel
