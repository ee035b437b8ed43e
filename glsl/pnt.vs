// PntSha, CrnSha vertex stage: attribute 0 VertexPosition (normalised); outputs the clip
// position, clip distance and point size.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"

layout(location = 0) in vec3 VertexPosition;

uniform float PointSize;  // diameter in pixels

void main() {
  vec3 world = worldPosition(VertexPosition);
  gl_Position = MVP * vec4(world, 1.0);
  gl_ClipDistance[0] = cutDistance(world);
  gl_PointSize = PointSize;
}
