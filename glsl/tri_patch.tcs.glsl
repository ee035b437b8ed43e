// Shared body of trip2.tcs-trip4.tcs (DEGREE and CONTROL_POINTS defined): outer level i from the
// edge opposite vertex i, inner level the largest of the three; each raised to the number of
// segments that keeps the drawn edge (or the face inside) within half a pixel on the screen.
#include "bernstein.glsl"
#include "tess_level.glsl"

const int K = DEGREE;
layout(vertices = CONTROL_POINTS) out;

vec4 clip[CONTROL_POINTS];  // control points in clip coordinates

vec3 world(int node) { return gl_in[node].gl_Position.xyz; }

// Edge from vertex a to vertex b whose inner points start at control point `first`.
float triangleEdgeLevel(int a, int b, int first) {
  vec3 inner[3];
  for (int m = 0; m < 3; ++m) inner[m] = world(first + min(m, K - 2));
  float rule = levelFor(edgeDeviation(world(a), world(b), inner, K, false), 32.0);
  vec4 curve[5];
  curve[0] = clip[a];
  for (int m = 1; m < K; ++m) curve[m] = clip[first + m - 1];
  curve[K] = clip[b];
  return drawnLevel(rule, curveScreenLevel(curve, K), 32.0);
}

// Screen level inside the face: its second derivatives along the three edge directions, the
// directions of the sides of the tessellated triangles, are K (K - 1) times blends of the
// control net's second differences along them.
float interiorScreenLevel() {
  ViewExtent e = noPoints();
  for (int n = 0; n < CONTROL_POINTS; ++n) e = widened(e, clip[n]);
  float bend = 0.0;
  for (int i = 0; i <= K - 2; ++i)
    for (int j = 0; i + j <= K - 2; ++j) {
      int l = K - 2 - i - j;
      vec2 a = pixelsOf(clip[triNode(K, i + 2, j, l)]);
      vec2 b = pixelsOf(clip[triNode(K, i, j + 2, l)]);
      vec2 c = pixelsOf(clip[triNode(K, i, j, l + 2)]);
      bend = max(bend, bendOf(a, pixelsOf(clip[triNode(K, i + 1, j + 1, l)]), b));
      bend = max(bend, bendOf(b, pixelsOf(clip[triNode(K, i, j + 1, l + 1)]), c));
      bend = max(bend, bendOf(c, pixelsOf(clip[triNode(K, i + 1, j, l + 1)]), a));
    }
  return screenLevel(e, float(K * (K - 1)) * bend);
}

void main() {
  gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
  if (gl_InvocationID == 0) {
    for (int n = 0; n < CONTROL_POINTS; ++n) clip[n] = clipOf(world(n));
    float edge01 = triangleEdgeLevel(0, 1, 3);
    float edge12 = triangleEdgeLevel(1, 2, 3 + (K - 1));
    float edge20 = triangleEdgeLevel(2, 0, 3 + 2 * (K - 1));
    gl_TessLevelOuter[0] = edge12;
    gl_TessLevelOuter[1] = edge20;
    gl_TessLevelOuter[2] = edge01;
    float rule = min(max(edge01, max(edge12, edge20)), 32.0);
    gl_TessLevelInner[0] = drawnLevel(rule, interiorScreenLevel(), 32.0);
  }
}
