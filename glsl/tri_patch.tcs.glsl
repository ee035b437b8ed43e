// Shared body of trip2.tcs-trip4.tcs (DEGREE and CONTROL_POINTS defined): outer level i from the deviation of the
// edge opposite vertex i, inner level the largest of the three.
#include "tess_level.glsl"

const int K = DEGREE;
layout(vertices = CONTROL_POINTS) out;

// Edge from vertex a to vertex b whose inner points start at control point `first`.
float triangleEdgeLevel(int a, int b, int first) {
  vec3 inner[3];
  for (int m = 0; m < 3; ++m) inner[m] = gl_in[first + min(m, K - 2)].gl_Position.xyz;
  return levelFor(edgeDeviation(gl_in[a].gl_Position.xyz, gl_in[b].gl_Position.xyz, inner, K,
                                false), 32.0);
}

void main() {
  gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
  if (gl_InvocationID == 0) {
    float edge01 = triangleEdgeLevel(0, 1, 3);
    float edge12 = triangleEdgeLevel(1, 2, 3 + (K - 1));
    float edge20 = triangleEdgeLevel(2, 0, 3 + 2 * (K - 1));
    gl_TessLevelOuter[0] = edge12;
    gl_TessLevelOuter[1] = edge20;
    gl_TessLevelOuter[2] = edge01;
    gl_TessLevelInner[0] = min(max(edge01, max(edge12, edge20)), 32.0);
  }
}
