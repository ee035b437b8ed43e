// Shared body of quaq2.tcs-quaq4.tcs (DEGREE and CONTROL_POINTS defined): outer levels from
// the four edges, inner levels from the face deviation (interior points against the bilinear
// corners, both diagonals, non-planarity, parallelogram distance when a solution is shown).
#include "bernstein.glsl"
#include "tess_level.glsl"

layout(vertices = CONTROL_POINTS) out;

uniform bool SolOn;
uniform bool IsoOn;

const int K = DEGREE;

vec3 controlPoint(int i, int j) { return gl_in[quaNode(K, i, j)].gl_Position.xyz; }

// Deviation of the control line from (i0, j0) to (i0 + K di, j0 + K dj).
float lineDeviation(int i0, int j0, int di, int dj) {
  vec3 inner[3];
  for (int m = 0; m < 3; ++m) {
    int step = min(m + 1, K - 1);
    inner[m] = controlPoint(i0 + step * di, j0 + step * dj);
  }
  return edgeDeviation(controlPoint(i0, j0), controlPoint(i0 + K * di, j0 + K * dj), inner, K,
                       K == 2);
}

// Edge level: Q2 always takes the parallelogram term into account; Q3 and Q4 fall back on it
// for a straight edge when a solution is shown.
float edgeLevel(float deviation, float l) {
  if (K == 2) return levelFor(max(l, deviation), 32.0);
  return levelFor((deviation > 1.0e-6 || !SolOn) ? deviation : l, 32.0);
}

void main() {
  gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
  if (gl_InvocationID != 0) return;
  vec3 p00 = controlPoint(0, 0), p10 = controlPoint(K, 0);
  vec3 p11 = controlPoint(K, K), p01 = controlPoint(0, K);
  float longest = max(max(distance(p00, p10), distance(p10, p11)),
                      max(distance(p11, p01), distance(p01, p00)));
  float face = 0.0;
  for (int i = 1; i < K; ++i)
    for (int j = 1; j < K; ++j) {
      float x = float(i) / float(K), y = float(j) / float(K);
      vec3 bilinear = mix(mix(p00, p10, x), mix(p01, p11, x), y);
      if (longest > 0.0) face = max(face, distance(controlPoint(i, j), bilinear) / longest);
    }
  face = max(face, max(lineDeviation(0, 0, 1, 1), lineDeviation(K, 0, -1, 1)));
  face = max(face, nonPlanarity(p00, p10, p11, p01));
  float l = 0.0;
  if (SolOn || IsoOn) {
    l = parallelogramDeviation(p00, p10, p11, p01);
    face = max(face, l);
  }
  float outer0 = edgeLevel(lineDeviation(0, 0, 0, 1), l);  // u = 0 side
  float outer1 = edgeLevel(lineDeviation(0, 0, 1, 0), l);  // v = 0 side
  float outer2 = edgeLevel(lineDeviation(K, 0, 0, 1), l);  // u = 1 side
  float outer3 = edgeLevel(lineDeviation(0, K, 1, 0), l);  // v = 1 side
  float faceLevel = levelFor(face, 32.0);
  gl_TessLevelOuter[0] = outer0;
  gl_TessLevelOuter[1] = outer1;
  gl_TessLevelOuter[2] = outer2;
  gl_TessLevelOuter[3] = outer3;
  gl_TessLevelInner[0] = min(max(faceLevel, max(outer1, outer3)), 32.0);
  gl_TessLevelInner[1] = min(max(faceLevel, max(outer0, outer2)), 32.0);
}
