// Shared by the tessellation-control stages: how curved an edge is, and the level rule.

uniform int tess_level;

// Level for a dimensionless deviation: min(1 + int(5 tess_level d), cap).
float levelFor(float deviation, float cap) {
  float scaled = min(5.0 * float(tess_level) * deviation, 1.0e6);
  return min(1.0 + float(int(scaled)), cap);
}

// Deviation of the edge a -> b from straight: largest distance of inner point m (1..k-1,
// listed from a to b) to the point m/k of the chord, over |a - b|; a closed edge divides by
// its control-polygon length. `polygonAlways`: divide by max(|a - b|, polygon) instead.
float edgeDeviation(vec3 a, vec3 b, vec3 inner[3], int k, bool polygonAlways) {
  float largest = 0.0;
  float polygon = 0.0;
  vec3 previous = a;
  for (int m = 1; m < k; ++m) {
    vec3 chord = (float(k - m) * a + float(m) * b) / float(k);
    largest = max(largest, distance(chord, inner[m - 1]));
    polygon += distance(previous, inner[m - 1]);
    previous = inner[m - 1];
  }
  polygon += distance(previous, b);
  float span = distance(a, b);
  float divisor = polygonAlways ? max(span, polygon) : (span < 1.0e-8 ? polygon : span);
  return divisor > 0.0 ? largest / divisor : 0.0;
}

// Non-planarity of the corners p00, p10, p11, p01.
float nonPlanarity(vec3 p00, vec3 p10, vec3 p11, vec3 p01) {
  float norms = length(p11 - p00) * length(p01 - p00) * length(p10 - p00);
  return norms > 0.0 ? abs(dot(p01 - p00, cross(p11 - p00, p10 - p00))) / norms : 0.0;
}

// Distance of the corners to a parallelogram, relative to the sides.
float parallelogramDeviation(vec3 p00, vec3 p10, vec3 p11, vec3 p01) {
  float side = max(length(p10 - p00), length(p11 - p01));
  return side > 0.0 ? length(p00 - p10 - p01 + p11) / side : 0.0;
}
