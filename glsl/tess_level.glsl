// Shared by the tessellation-control stages: how curved an edge is, the level rule, and the
// screen level that keeps every drawn curve within half a pixel of the exact one.

uniform int tess_level;
uniform mat4 MVP;             // world to clip coordinates
uniform mat4 ViewportMatrix;  // NDC to window pixels about the window centre

// Level for a dimensionless deviation: min(1 + int(5 tess_level d), cap).
float levelFor(float deviation, float cap) {
  float scaled = clamp(5.0 * float(tess_level) * deviation, 0.0, 1.0e6);
  return min(1.0 + float(int(scaled)), cap);
}

// Length of the control polygon a, inner[0..k-2], b. Summed from both ends and the larger
// taken, so that the faces on either side of an edge, which list its points in opposite
// orders, get the same number to the last bit.
float controlPolygonLength(vec3 a, vec3 b, vec3 inner[3], int k) {
  float forward = distance(a, inner[0]), backward = distance(b, inner[k - 2]);
  for (int m = 1; m < k - 1; ++m) {
    forward += distance(inner[m - 1], inner[m]);
    backward += distance(inner[k - 1 - m], inner[k - 2 - m]);
  }
  return max(forward + distance(inner[k - 2], b), backward + distance(inner[0], a));
}

// Deviation of the edge a -> b from straight: largest distance of inner point m (1..k-1,
// listed from a to b) to the point m/k of the chord, over |a - b|; a closed edge divides by
// its control-polygon length. `polygonAlways`: divide by max(|a - b|, polygon) instead.
float edgeDeviation(vec3 a, vec3 b, vec3 inner[3], int k, bool polygonAlways) {
  float largest = 0.0;
  for (int m = 1; m < k; ++m) {
    vec3 chord = (float(k - m) * a + float(m) * b) / float(k);
    largest = max(largest, distance(chord, inner[m - 1]));
  }
  float span = distance(a, b);
  float divisor = span;
  if (polygonAlways || span < 1.0e-8) divisor = max(span, controlPolygonLength(a, b, inner, k));
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

// ---- Screen level ----------------------------------------------------------------------
// Drawn curves stay this close to the exact ones, in pixels.
const float kPixelTolerance = 0.5;
// Points this close to the eye plane, or behind it, have no usable screen position.
const float kNearestW = 1.0e-5;
// Level asked for when a piece reaches behind the eye: the cap applies.
const float kUnmeasured = 1.0e6;

vec4 clipOf(vec3 world) { return MVP * vec4(world, 1.0); }
vec2 pixelsOf(vec4 clip) { return (ViewportMatrix * vec4(clip.xy / clip.w, 0.0, 0.0)).xy; }

// Where a set of points lies against the view volume, from its clip coordinates: `low` is the
// largest x + w, y + w, z + w over the set, `high` the smallest x - w, y - w, z - w. Bezier
// pieces stay in the hull of their control points, so when every control point is beyond
// the same side, so is the piece.
struct ViewExtent {
  vec3 low;
  vec3 high;
  float nearestW;
};

ViewExtent noPoints() { return ViewExtent(vec3(-1.0e30), vec3(1.0e30), 1.0e30); }

ViewExtent widened(ViewExtent e, vec4 clip) {
  return ViewExtent(max(e.low, clip.xyz + clip.w), min(e.high, clip.xyz - clip.w),
                    min(e.nearestW, clip.w));
}

// Fewest equal segments of a piece whose second derivative on the screen is at most `bend`
// pixels per unit parameter squared: a segment of parameter length h leaves its curve by at
// most h^2 bend / 8 (exactly that for a parabola), so n segments keep within the tolerance
// once n^2 >= bend / (8 tolerance). Unseen pieces need one segment; pieces reaching behind
// the eye cannot be measured and get the cap.
float screenLevel(ViewExtent e, float bend) {
  if (any(lessThan(e.low, vec3(0.0))) || any(greaterThan(e.high, vec3(0.0)))) return 1.0;
  if (e.nearestW < kNearestW) return kUnmeasured;
  return max(1.0, ceil(sqrt(bend / (8.0 * kPixelTolerance))));
}

// Second difference a - 2 b + c of three screen points, with a and c added first: the same
// bits whichever end the points are listed from.
float bendOf(vec2 a, vec2 b, vec2 c) { return length((a + c) - 2.0 * b); }

// Screen level of the Bezier curve of degree k with clip-coordinate control points
// curve[0..k] in order along it. Its second derivative is k (k - 1) times a blend of the
// control polygon's second differences. Depends only on these points and not on their
// direction, so faces sharing an edge agree on its level and no crack opens between them.
float curveScreenLevel(vec4 curve[5], int k) {
  ViewExtent e = noPoints();
  for (int m = 0; m <= k; ++m) e = widened(e, curve[m]);
  float bend = 0.0;
  for (int m = 0; m + 2 <= k; ++m)
    bend = max(bend, bendOf(pixelsOf(curve[m]), pixelsOf(curve[m + 1]), pixelsOf(curve[m + 2])));
  return screenLevel(e, float(k * (k - 1)) * bend);
}

// The "SubPixel" programs define SUB_PIXEL_ELEMENTS: the renderer uses them for objects whose
// elements it has bounded below the size at which any screen level exceeds 1, so the rule's
// level is the one drawn. A constant false here lets the compiler drop the screen measures,
// which the software driver would otherwise run for every patch even behind a false run-time
// condition.
#ifdef SUB_PIXEL_ELEMENTS
const bool kScreenFloor = false;
#else
const bool kScreenFloor = true;
#endif

// The level drawn: the curvature rule's level raised to the screen level, within `cap` and
// the driver's limit. A user level of 0 asks for straight elements and keeps them.
float drawnLevel(float ruleLevel, float screen, float cap) {
  if (!kScreenFloor || tess_level <= 0) return ruleLevel;
  return min(max(ruleLevel, screen), min(cap, float(gl_MaxTessGenLevel)));
}
