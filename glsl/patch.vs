// PatSha vertex stage: attributes 0 VertexPosition and 1 VertexNormal (normalised); outputs
// eye position, eye normal, clip distance.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"

layout(location = 0) in vec3 VertexPosition;
layout(location = 1) in vec3 VertexNormal;

out vec3 vEye;
out vec3 vNormal;

void main() {
  vec3 world = worldPosition(VertexPosition);
  vEye = (ModelViewMatrix * vec4(world, 1.0)).xyz;
  vNormal = NormalMatrix * VertexNormal;
  gl_ClipDistance[0] = cutDistance(world);
  gl_Position = MVP * vec4(world, 1.0);
}
