// PalSha fragment stage: the colour map along x, black separators at the three inner palette
// values in the upper half, a black border; background (0) when picking.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "colour_map.glsl"

uniform bool Picking;
uniform struct LineInfo {
  float Width;
  vec4 Color;
} Line;

in vec2 gParam;

layout(location = 0) out vec4 FragColor;

void main() {
  if (Picking) {
    FragColor = vec4(0.0);
    return;
  }
  float x = gParam.x, y = gParam.y;
  vec2 spread = max(fwidth(gParam), vec2(1.0e-9));
  vec3 colour = colourMapAt(x, 0.0, 1.0);
  if (y > 0.5) {
    for (int k = 1; k <= 3; ++k)
      if (abs(x - 0.25 * float(k)) < 0.5 * Line.Width * spread.x) colour = vec3(0.0);
  }
  float border = min(min(x, 1.0 - x) / spread.x, min(y, 1.0 - y) / spread.y);
  if (border < Line.Width) colour = vec3(0.0);
  FragColor = vec4(colour, 1.0);
}
