// Patch-numbering probe (gpu/patch_draws.cpp), vertex stage: attribute 0 VertexPosition, a
// control point already in normalised device coordinates; output gl_Position.
#version 410 core

layout(location = 0) in vec3 VertexPosition;

void main() { gl_Position = vec4(VertexPosition, 1.0); }
