// P2EdgSha-P4EdgSha geometry stage: each generated segment as a thick screen-space strip,
// with the element number of its edge.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "transform.glsl"
#include "thick_line.glsl"

layout(lines) in;
layout(triangle_strip, max_vertices = 4) out;

in vec3 teWorld[];
flat in int teElement[];

void main() {
  emitThickLine(gl_in[0].gl_Position, gl_in[1].gl_Position, cutDistance(teWorld[0]),
                cutDistance(teWorld[1]), teElement[0]);
}
