// CliPSha fragment stage: the cut-plane outline in flat Material.Kd; background (0) when
// picking, since the outline is not pickable.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "lighting.glsl"

uniform bool Picking;

flat in int gElement;

layout(location = 0) out vec4 FragColor;

void main() { FragColor = Picking ? vec4(0.0) : vec4(Material.Kd, 1.0); }
