// Recursive halving of a Bezier curve, locating its crossings with a plane on the control
// polygon and checking them against the curve.
#include "homath/edge_root.h"

#include <cmath>
#include <cstdio>

#include "meshio/status.h"

namespace {

constexpr int kMaxSide = 11;
// Halving more often than this brings a half below any useful length.
constexpr int kMaxLevels = 40;

struct Curve {
  int deg;
  double p[kMaxSide][3];
};

struct Found {
  int count = 0;
  double point[3] = {0, 0, 0};
  double param = 0;
};

void split(const Curve& c, Curve& left, Curve& right) {
  double level[kMaxSide][3];
  for (int i = 0; i <= c.deg; i++)
    for (int x = 0; x < 3; x++) level[i][x] = c.p[i][x];
  left.deg = right.deg = c.deg;
  for (int x = 0; x < 3; x++) {
    left.p[0][x] = level[0][x];
    right.p[c.deg][x] = level[c.deg][x];
  }
  for (int m = c.deg; m > 0; m--) {
    for (int i = 0; i < m; i++)
      for (int x = 0; x < 3; x++) level[i][x] = 0.5 * (level[i][x] + level[i + 1][x]);
    for (int x = 0; x < 3; x++) {
      left.p[c.deg - m + 1][x] = level[0][x];
      right.p[m - 1][x] = level[m - 1][x];
    }
  }
}

void pointAt(const Curve& c, double s, double out[3]) {
  double level[kMaxSide][3];
  for (int i = 0; i <= c.deg; i++)
    for (int x = 0; x < 3; x++) level[i][x] = c.p[i][x];
  for (int m = c.deg; m > 0; m--)
    for (int i = 0; i < m; i++)
      for (int x = 0; x < 3; x++) level[i][x] = (1 - s) * level[i][x] + s * level[i + 1][x];
  for (int x = 0; x < 3; x++) out[x] = level[0][x];
}

double distance(const double* a, const double* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

// Looks at one half (parameters t0..t1 of the whole curve): the first sign change of its
// control polygon gives an estimate; a half still too curved there is halved again.
void searchHalf(const Curve& half, double t0, double t1, const double* plane, const char* side,
                int level, Found& found);

void search(const Curve& c, double t0, double t1, const double* plane, int level, Found& found) {
  Curve left, right;
  split(c, left, right);
  const double mid = 0.5 * (t0 + t1);
  searchHalf(left, t0, mid, plane, "dl", level, found);
  searchHalf(right, mid, t1, plane, "dr", level, found);
}

void searchHalf(const Curve& half, double t0, double t1, const double* plane, const char* side,
                int level, Found& found) {
  double dist[kMaxSide];
  int changes = 0;
  for (int i = 0; i <= half.deg; i++) {
    dist[i] =
        plane[0] * half.p[i][0] + plane[1] * half.p[i][1] + plane[2] * half.p[i][2] - plane[3];
    if (i > 0) changes += (dist[i - 1] < 0) != (dist[i] < 0);
  }
  if (changes == 0) return;
  // Several sign changes of the control polygon may hide several crossings: halve until each
  // piece shows at most one.
  if (changes > 1 && level < kMaxLevels) return search(half, t0, t1, plane, level + 1, found);
  for (int i = 0; i < half.deg; i++) {
    if ((dist[i] < 0) == (dist[i + 1] < 0)) continue;
    double fraction = 1.0;
    if (std::fabs(dist[i + 1] - dist[i]) > 1e-10)
      fraction = std::fabs(dist[i] / (dist[i + 1] - dist[i]));
    else
      zel::printMessage(
          "zel_EvaluateInterEdge : fabs(%s[i] / (%s[i + 1] - %s[i])) almost equal to zero", side,
          side, side);
    double onPolygon[3];
    for (int x = 0; x < 3; x++)
      onPolygon[x] = half.p[i][x] + fraction * (half.p[i + 1][x] - half.p[i][x]);
    const double segment = distance(half.p[i + 1], half.p[i]);
    const double along = segment > 0 ? distance(onPolygon, half.p[i]) / segment : fraction;
    // Chord-length estimate of the parameter within the half.
    const double s = 0.5 * (i + along);
    double onCurve[3];
    pointAt(half, s, onCurve);
    if (distance(onPolygon, onCurve) > 0.001 && level < kMaxLevels)
      return search(half, t0, t1, plane, level + 1, found);
    found.count++;
    for (int x = 0; x < 3; x++) found.point[x] = onCurve[x];
    found.param = t0 + s * (t1 - t0);
  }
}

}  // namespace

void zel_FindEdgePlaneCrossings(const double* ctrl, int deg, const double plane[4], int* nbrInt,
                                double point[3], double* param) {
  *nbrInt = 0;
  if (deg < 1 || deg >= kMaxSide) return;
  Curve curve;
  curve.deg = deg;
  for (int i = 0; i <= deg; i++)
    for (int x = 0; x < 3; x++) curve.p[i][x] = ctrl[3 * i + x];
  Found found;
  search(curve, 0.0, 1.0, plane, 0, found);
  *nbrInt = found.count;
  if (found.count >= 1) {
    for (int x = 0; x < 3; x++) point[x] = found.point[x];
    *param = found.param;
  }
}
