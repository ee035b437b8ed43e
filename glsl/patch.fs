// PatSha fragment stage: smooth patches lit diffuse (UsePhong 0) or Phong, picking ids per
// triangle, whole-member highlight.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "lighting.glsl"
#include "picking.glsl"

in vec3 vEye;
in vec3 vNormal;

layout(location = 0) out vec4 FragColor;

void main() {
  if (Picking) {
    FragColor = pickingColour(BasePicking + gl_PrimitiveID);
    return;
  }
  vec3 normal = normalize(gl_FrontFacing ? vNormal : -vNormal);
  vec3 colour = shadeWith(UsePhong == 0 ? 0 : 1, vEye, normal, Material.Kd);
  if (HighLightAll) colour = mix(colour, vec3(1.0, 0.0, 0.0), 0.6);
  FragColor = vec4(colour, 1.0);
}
