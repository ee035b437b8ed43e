// Shared body of tripk.gs and quaqk.gs.
#include "transform.glsl"

layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;

in vec3 teEye[];
in vec3 teNormal[];
in vec3 teWorld[];
in vec4 teEdgeDistance[];
in vec2 teParam[];
flat in int teElement[];

out vec3 gEye;
out vec3 gNormal;
out vec4 gEdgeDistance;
out vec4 gTessDistance;
out vec2 gParam;
flat out int gElement;

void main() {
  for (int k = 0; k < 3; ++k) {
    vec4 corner = vec4(0.0);
    corner[k] = 1.0;
    gl_Position = gl_in[k].gl_Position;
    gl_ClipDistance[0] = cutDistance(teWorld[k]);
    gEye = teEye[k];
    gNormal = teNormal[k];
    gEdgeDistance = teEdgeDistance[k];
    gTessDistance = corner;
    gParam = teParam[k];
    gElement = teElement[k];
    gl_PrimitiveID = teElement[k];
    EmitVertex();
  }
  EndPrimitive();
}
