// EdgSha, CliPSha geometry stage: straight segments from tri.vs as thick screen-space strips;
// the clip distance is taken at the end points moved toward the midpoint by `shrink`.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"
#include "thick_line.glsl"

layout(lines) in;
layout(triangle_strip, max_vertices = 4) out;

in vec3 vWorld[];

void main() {
  vec3 middle = 0.5 * (vWorld[0] + vWorld[1]);
  emitThickLine(gl_in[0].gl_Position, gl_in[1].gl_Position,
                cutDistance(middle + shrink * (vWorld[0] - middle)),
                cutDistance(middle + shrink * (vWorld[1] - middle)), gl_PrimitiveIDIn);
}
