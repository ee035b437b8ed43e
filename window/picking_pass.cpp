// Picking: id decoding and reading, and the resolution of an id to a scene object.
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

int readPickingId(QOpenGLFunctions_4_0_Core* gl, FramebufferPixel pixel) {
  unsigned char rgba[4] = {0, 0, 0, 0};
  if (!gl) return 0;
  gl->glReadBuffer(GL_COLOR_ATTACHMENT0);
  gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
  gl->glReadPixels(pixel.column, pixel.row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return decodePickingId(rgba);
}

}  // namespace zel
