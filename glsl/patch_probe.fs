// Patch-numbering probe, fragment stage: the patch number from patch_probe.tes plus one,
// packed as a picking id (0 is the background).
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "picking.glsl"

flat in int teElement;

layout(location = 0) out vec4 FragColor;

void main() { FragColor = pickingColour(teElement + 1); }
