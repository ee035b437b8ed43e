// Shared body of tripk.vs, quaqk.vs and edgpk.vs: control points go on in world coordinates;
// projection happens after tessellation.
#include "transform.glsl"

layout(location = 0) in vec3 VertexPosition;

void main() { gl_Position = vec4(worldPosition(VertexPosition), 1.0); }
