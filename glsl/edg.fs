// EdgSha, P2EdgSha-P4EdgSha fragment stage: edges in the material colour, with picking ids
// and highlight; input the element number from edg.gs or edgpk.gs.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "lighting.glsl"
#include "picking.glsl"

flat in int gElement;

layout(location = 0) out vec4 FragColor;

void main() {
  if (Picking) {
    FragColor = pickingColour(BasePicking + gElement);
    return;
  }
  FragColor = applyHighlight(vec4(Material.Kd, 1.0), gElement);
}
