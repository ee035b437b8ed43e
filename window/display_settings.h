// Display settings of a scene window: the switches and sizes handed to every shader program,
// toggled by keys and saved in the state file.
#pragma once

#include <cstdint>

struct DisplaySettings {
  // Bits 1-2: face colouring mode; bits 0 and 4 are kept and saved but do not change drawing.
  int32_t renderFlags = 23;
  bool lineOn = true;
  bool tessellationOn = false;
  bool solutionOn = false;
  bool isoLinesOn = false;
  bool paletteShown = true;
  bool checkInOut = false;
  bool discardUnpicked = false;
  int8_t shadingModel = 0;  // 0 diffuse, 1 Phong, 2 toon, 3 flat colour
  float shrink = 1.0f;
  float lineWidth = 0.8f;   // pixels before the device pixel ratio
  float unnamedFloat = 1.0f;
  float pointSize = 8.0f;   // pixels before the device pixel ratio
  int tessellationLevel = 4;  // 1 to 125
  double scaleFactors[2] = {1.0, 1.0};
  double unnamedDouble = 0.0;

  // Face colouring mode 0 (wire-frame), 1 (hidden line), 2 (reference colours), 3 (grey).
  int faceColouringMode() const { return (renderFlags >> 1) & 3; }
  void setFaceColouringMode(int mode) { renderFlags = (renderFlags & ~6) | ((mode & 3) << 1); }
};
