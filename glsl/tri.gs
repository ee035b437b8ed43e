// TriSha geometry stage: straight triangles from tri.vs, shrunk about their centroid, with a
// face normal, wireframe distances, parameters, clip distance and element number for tri.fs.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"

layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;

in vec3 vEye[];
in vec3 vNormal[];
in vec3 vWorld[];

out vec3 gEye;
out vec3 gNormal;
out vec4 gEdgeDistance;
out vec4 gTessDistance;
out vec2 gParam;
flat out int gElement;

const vec2 kCornerParam[3] = vec2[3](vec2(1.0, 0.0), vec2(0.0, 1.0), vec2(0.0, 0.0));

void main() {
  vec4 clipCentre = (gl_in[0].gl_Position + gl_in[1].gl_Position + gl_in[2].gl_Position) / 3.0;
  vec3 worldCentre = (vWorld[0] + vWorld[1] + vWorld[2]) / 3.0;
  vec3 eyeCentre = (vEye[0] + vEye[1] + vEye[2]) / 3.0;
  vec3 normal = normalize(cross(vEye[1] - vEye[0], vEye[2] - vEye[0]));
  for (int k = 0; k < 3; ++k) {
    vec4 corner = vec4(0.0);
    corner[k] = 1.0;
    gl_Position = clipCentre + shrink * (gl_in[k].gl_Position - clipCentre);
    gl_ClipDistance[0] = cutDistance(worldCentre + shrink * (vWorld[k] - worldCentre));
    gEye = eyeCentre + shrink * (vEye[k] - eyeCentre);
    gNormal = normal;
    gEdgeDistance = corner;
    gTessDistance = corner;
    gParam = kCornerParam[k];
    gElement = gl_PrimitiveIDIn;
    gl_PrimitiveID = gl_PrimitiveIDIn;
    EmitVertex();
  }
  EndPrimitive();
}
