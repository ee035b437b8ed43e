// Display settings: the block of switches and sizes that a scene window keeps and copies into
// every object it draws (keys toggle them, the state file stores them).
#pragma once

#include <cstdint>

// Bits of the render flags.
namespace RenderFlag {
constexpr int32_t kCarried = 1 << 0;       // key "a": kept and saved, not drawn
constexpr int32_t kFaceModeMask = 3 << 1;  // face colouring mode 0..3
constexpr int kFaceModeShift = 1;
constexpr int32_t kReferenceColours = 1 << 2;  // key "B": the mode's high bit (0<->2, 1<->3)
constexpr int32_t kClearedByFaceKey = 1 << 3;  // cleared by key "f"
}  // namespace RenderFlag

struct ZelDisplaySettings {
  // Bits 1-2: face colouring mode (3 by default: grey faces); bits 0 and 4 are carried and
  // stored without changing the drawing; bit 3 is cleared by key "f".
  int32_t renderFlags = 23;
  bool lineOn = true;           // element edges over faces
  bool tessellationOn = false;  // curved elements tessellated
  bool solutionOn = false;      // solution colours shown
  bool isoLinesOn = false;
  bool paletteShown = true;      // palette legend drawn
  bool checkInOut = false;       // shaders tint by side of the cut plane
  bool discardUnpicked = false;  // only picked elements drawn
  int8_t shadingModel = 0;       // 0 diffuse, 1 Phong, 2 toon, 3 flat colour
  float shrink = 1.0f;           // element shrink factor (<= 1)
  float lineWidth = 0.8f;        // pixels before the device pixel ratio
  float unnamedFloat = 1.0f;
  float pointSize = 8.0f;     // pixels before the device pixel ratio, for vertex kinds
  int tessellationLevel = 4;  // 1 to 125
  double scaleFactors[2] = {1.0, 1.0};
  double unnamedDouble = 0.0;

  // Face colouring mode 0..3 from bits 1-2 of the render flags.
  int faceMode() const {
    return (renderFlags & RenderFlag::kFaceModeMask) >> RenderFlag::kFaceModeShift;
  }
};
