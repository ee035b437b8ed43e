// Shared body of quaq2.tcs-quaq4.tcs (DEGREE and CONTROL_POINTS defined): outer levels from
// the four edges, inner levels from the face deviation (interior points against the bilinear
// corners, both diagonals, non-planarity, parallelogram distance when a solution is shown);
// each raised to the number of segments that keeps the drawn edge (or the face inside) within
// half a pixel on the screen.
#include "bernstein.glsl"
#include "tess_level.glsl"

layout(vertices = CONTROL_POINTS) out;

uniform bool SolOn;
uniform bool IsoOn;

const int K = DEGREE;

vec4 clip[CONTROL_POINTS];  // control points in clip coordinates

vec3 controlPoint(int i, int j) { return gl_in[quaNode(K, i, j)].gl_Position.xyz; }
vec2 pixelsAt(int i, int j) { return pixelsOf(clip[quaNode(K, i, j)]); }

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

// Screen level of the side from (i0, j0) to (i0 + K di, j0 + K dj).
float sideScreenLevel(int i0, int j0, int di, int dj) {
  vec4 curve[5];
  for (int m = 0; m <= K; ++m) curve[m] = clip[quaNode(K, i0 + m * di, j0 + m * dj)];
  return curveScreenLevel(curve, K);
}

// Screen levels inside the face along u (x) and v (y). Along u the tessellated cells see the
// second derivative in u, K (K - 1) times a blend of the net's second differences along its
// rows, and the twist, K^2 times a blend of the cells' corner differences; counting the twist
// in both directions bounds the error of the cells' two triangles.
vec2 interiorScreenLevels() {
  ViewExtent e = noPoints();
  for (int n = 0; n < CONTROL_POINTS; ++n) e = widened(e, clip[n]);
  float alongU = 0.0, alongV = 0.0, twist = 0.0;
  for (int i = 0; i <= K; ++i)
    for (int j = 0; j <= K; ++j) {
      vec2 p = pixelsAt(i, j);
      if (i + 2 <= K) alongU = max(alongU, bendOf(p, pixelsAt(i + 1, j), pixelsAt(i + 2, j)));
      if (j + 2 <= K) alongV = max(alongV, bendOf(p, pixelsAt(i, j + 1), pixelsAt(i, j + 2)));
      if (i < K && j < K)
        twist = max(twist, length((p + pixelsAt(i + 1, j + 1)) -
                                  (pixelsAt(i + 1, j) + pixelsAt(i, j + 1))));
    }
  float curving = float(K * (K - 1)), twisting = float(K * K) * twist;
  return vec2(screenLevel(e, curving * alongU + twisting),
              screenLevel(e, curving * alongV + twisting));
}

// Edge level: Q2 always takes the parallelogram term into account; Q3 and Q4 fall back on it
// for a straight edge when a solution is shown.
float edgeLevel(float deviation, float l) {
  if (K == 2) return levelFor(max(l, deviation), 32.0);
  return levelFor((deviation > 1.0e-6 || !SolOn) ? deviation : l, 32.0);
}

// Level of the side from (i0, j0) along (di, dj): the curvature rule's, raised to the screen's.
float sideLevel(int i0, int j0, int di, int dj, float l) {
  return drawnLevel(edgeLevel(lineDeviation(i0, j0, di, dj), l), sideScreenLevel(i0, j0, di, dj),
                    32.0);
}

void main() {
  gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
  if (gl_InvocationID != 0) return;
  for (int n = 0; n < CONTROL_POINTS; ++n) clip[n] = clipOf(gl_in[n].gl_Position.xyz);
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
  float outer0 = sideLevel(0, 0, 0, 1, l);  // u = 0 side
  float outer1 = sideLevel(0, 0, 1, 0, l);  // v = 0 side
  float outer2 = sideLevel(K, 0, 0, 1, l);  // u = 1 side
  float outer3 = sideLevel(0, K, 1, 0, l);  // v = 1 side
  float faceLevel = levelFor(face, 32.0);
  vec2 interior = interiorScreenLevels();
  gl_TessLevelOuter[0] = outer0;
  gl_TessLevelOuter[1] = outer1;
  gl_TessLevelOuter[2] = outer2;
  gl_TessLevelOuter[3] = outer3;
  float inner0 = min(max(faceLevel, max(outer1, outer3)), 32.0);
  float inner1 = min(max(faceLevel, max(outer0, outer2)), 32.0);
  gl_TessLevelInner[0] = drawnLevel(inner0, interior.x, 32.0);
  gl_TessLevelInner[1] = drawnLevel(inner1, interior.y, 32.0);
}
