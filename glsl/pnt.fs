// PntSha, CrnSha fragment stage: points as discs of Material.Kd, picking ids, highlight.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "lighting.glsl"
#include "picking.glsl"

layout(location = 0) out vec4 FragColor;

void main() {
  if (Picking) {
    FragColor = pickingColour(BasePicking + gl_PrimitiveID);
    return;
  }
  if (length(gl_PointCoord - vec2(0.5)) > 0.5) discard;
  FragColor = applyHighlight(vec4(Material.Kd, 1.0), gl_PrimitiveID);
}
