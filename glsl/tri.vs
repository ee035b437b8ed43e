// TriSha, EdgSha, CliPSha vertex stage: attribute 0 VertexPosition (normalised); outputs eye
// and world positions, the normal and the clip position.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"

layout(location = 0) in vec3 VertexPosition;
layout(location = 1) in vec3 VertexNormal;  // never supplied by the buffers

out vec3 vEye;
out vec3 vNormal;
out vec3 vWorld;

void main() {
  vec3 world = worldPosition(VertexPosition);
  vWorld = world;
  vEye = (ModelViewMatrix * vec4(world, 1.0)).xyz;
  vNormal = NormalMatrix * VertexNormal;
  gl_Position = MVP * vec4(world, 1.0);
}
