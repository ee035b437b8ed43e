// QuaSha, Q2QuaSha-Q4QuaSha geometry stage: passes each generated triangle on to qua.fs with
// tessellation distances, clip distance and the element number from the evaluation stage.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#include "surface_pass.gs.glsl"
