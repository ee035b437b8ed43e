// QuaSha, Q2QuaSha-Q4QuaSha fragment stage: element faces of quadrilaterals; inputs from
// quaqk.gs, output the colour or the picking id.
#version 410 core
#extension GL_GOOGLE_include_directive : require
#define QUADRILATERAL
#include "surface.fs.glsl"
