// TriSha, P2TriSha-P4TriSha fragment stage: element faces of triangles; inputs from tri.gs or
// tripk.gs, output the colour or the picking id.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "surface.fs.glsl"
