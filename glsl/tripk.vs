// P2TriSha-P4TriSha vertex stage: attribute 0 VertexPosition (normalised control point); output the
// world position as gl_Position.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "control_point.glsl"
