// Picking: the id framebuffer that a picking pass draws into, the decoding of the id read back,
// and the resolution of an id to a scene object and a primitive inside it.
#pragma once

#include <cstdio>
#include <vector>

#include "gpu/ZelBufferObject.h"

class QOpenGLFunctions_4_0_Core;
class ZelDrawObject;

namespace zel {

// Id of a picking colour, bytes in the order red, green, blue, alpha:
// red x 65536 + green x 256 + blue + alpha x 16777216. 0 is the background.
int decodePickingId(const unsigned char rgba[4]);

// Framebuffer pixel (column, row from the bottom) read for a pick at window position (x, y)
// (logical pixels, y down): (x ratio, height - y ratio), clamped into the width x height
// framebuffer so that a click on the window's edge still reads a pixel of its own.
struct FramebufferPixel {
  int column = 0;
  int row = 0;
};
FramebufferPixel pickingPixel(int x, int y, double ratio, int width, int height);

// Window position of a mouse event rounded to the nearest pixel, halves rounded up.
int nearestPixel(double coordinate);

// What resolving a pick changes besides the objects' highlight lists and last picks.
struct PickResolution {
  ZelDrawObject* object = nullptr;  // the picked object, null when none
  int localIndex = -1;              // the primitive inside it (0-based)
};

// Resolves `id` against the picking table of the frame that drew it (entries in draw order,
// each object's range [base, base + displayed count - 1]). Entries before the match, and all
// of them when nothing matches, lose their highlight lists; later entries keep theirs. Picking
// the primitive that heads the object's highlight list again clears the list and drops the
// last object of `picked` (no object). Otherwise the match is appended to `picked`, stores
// (x, y, local index) as its last pick and, when `highlightElements` is set, puts the local
// index first in its highlight list.
PickResolution resolvePick(const ZelPickingTable& table, int x, int y, int id,
                           bool highlightElements, std::vector<ZelDrawObject*>& picked);

// Reads the id at `pixel` of the colour attachment 0 of the bound read framebuffer; the bytes
// are zeroed first, so a failed read gives 0 (the background), never stale bytes.
int readPickingId(QOpenGLFunctions_4_0_Core* gl, FramebufferPixel pixel);

}  // namespace zel
