// Shared body of edgp2.tcs-edgp4.tcs (DEGREE, CONTROL_POINTS and LEVEL_CAP defined): one line,
// subdivided by the edge's deviation from its chord, and at least into as many segments as
// keep it within half a pixel on the screen.
#include "bernstein.glsl"
#include "tess_level.glsl"

layout(vertices = CONTROL_POINTS) out;

const int K = DEGREE;

void main() {
  gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
  if (gl_InvocationID == 0) {
    vec3 inner[3];
    for (int m = 0; m < 3; ++m) inner[m] = gl_in[2 + min(m, K - 2)].gl_Position.xyz;
    float deviation = edgeDeviation(gl_in[0].gl_Position.xyz, gl_in[1].gl_Position.xyz, inner,
                                    K, false);
    vec4 curve[5];
    for (int m = 0; m <= K; ++m) curve[m] = clipOf(gl_in[edgNode(K, m)].gl_Position.xyz);
    gl_TessLevelOuter[0] = 1.0;
    gl_TessLevelOuter[1] =
        drawnLevel(levelFor(deviation, LEVEL_CAP), curveScreenLevel(curve, K), LEVEL_CAP);
  }
}
