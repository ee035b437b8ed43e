// Intersection of one straight tetrahedron with the plane: a triangle, a quadrilateral or
// nothing, with the reference coordinates of its points in the parent element.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "capping/capping.h"
#include "capping/cut_common.h"
#include "meshio/status.h"

namespace zel::cut {
namespace {

// Vertex values this close to the plane count as on it: a plane through a vertex then gives
// the same polygon whichever side rounding puts the vertex on.
constexpr double kOnPlane = 1e-5;
// Squared side length under which a quadrilateral side has collapsed to a point.
constexpr double kShortSide = 1e-10;

// Point `slot` of out: the point at fraction t from vertex `from` towards vertex `to`.
void interpolate(const double* crd, const double* ref, int from, int to, double t, CutPolygon* out,
                 int slot) {
  for (int x = 0; x < 3; ++x)
    out->crd[slot][x] = crd[3 * from + x] + t * (crd[3 * to + x] - crd[3 * from + x]);
  for (int x = 0; x < 4; ++x)
    out->ref[slot][x] = ref[4 * from + x] + t * (ref[4 * to + x] - ref[4 * from + x]);
}

double squaredDistance(const double* p, const double* q) {
  return (p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
         (p[2] - q[2]) * (p[2] - q[2]);
}

void copyPoint(const CutPolygon& from, int a, CutPolygon* to, int b) {
  std::memcpy(to->crd[b], from.crd[a], sizeof from.crd[a]);
  std::memcpy(to->ref[b], from.ref[a], sizeof from.ref[a]);
}

// A quadrilateral with a collapsed side becomes the triangle of its distinct points.
void reduceDegenerateQuadrilateral(const double* dd, CutPolygon* polygon) {
  double side[4];
  bool degenerate = false;
  for (int j = 0; j < 4; ++j) {
    side[j] = squaredDistance(polygon->crd[j], polygon->crd[(j + 1) % 4]);
    degenerate = degenerate || side[j] < kShortSide;
  }
  if (!degenerate) return;
  if (side[3] < kShortSide) {
    polygon->count = 3;
    return;
  }
  CutPolygon triangle;
  int kept = 0;
  copyPoint(*polygon, 0, &triangle, kept++);
  for (int j = 0; j < 3; ++j)
    if (side[j] > kShortSide && kept < 4) copyPoint(*polygon, j + 1, &triangle, kept++);
  if (kept != 3) {
    zel::printMessage("Cappingtet ");
    zel::printMessage("indtri = %d shoud be equal to 3\n", kept);
    zel::printMessage("lengths : %.17g %.17g %.17g %.17g \n", side[0], side[1], side[2], side[3]);
    fatalExit(stdout, "dd : %f %f %f %f \n", dd[0], dd[1], dd[2], dd[3]);
  }
  triangle.count = 3;
  *polygon = triangle;
}

// Swaps points a and b of the polygon.
void swapPoints(CutPolygon* polygon, int a, int b) {
  CutPolygon keep;
  copyPoint(*polygon, a, &keep, 0);
  copyPoint(*polygon, b, polygon, a);
  copyPoint(keep, 0, polygon, b);
}

// Turns the polygon to face (a, b, c): the last point of a triangle, or the opposite corner of
// a quadrilateral, trades places with point 1.
void orient(const double* plane, CutPolygon* polygon) {
  double u[3], v[3];
  for (int x = 0; x < 3; ++x) {
    u[x] = polygon->crd[1][x] - polygon->crd[0][x];
    v[x] = polygon->crd[2][x] - polygon->crd[0][x];
  }
  const double facing = (u[1] * v[2] - u[2] * v[1]) * plane[0] +
                        (u[2] * v[0] - u[0] * v[2]) * plane[1] +
                        (u[0] * v[1] - u[1] * v[0]) * plane[2];
  if (facing < 0) swapPoints(polygon, 1, polygon->count == 3 ? 2 : 3);
}

}  // namespace

void cutTetrahedron(const double* plane, const double* crd, const double* ref, CutPolygon* out) {
  double dd[4];
  int pos[4], neg[4], nbrPos = 0, nbrNeg = 0;
  for (int k = 0; k < 4; ++k) {
    dd[k] = planeValue(plane, crd + 3 * k);
    if (std::fabs(dd[k]) < kOnPlane) dd[k] = 0;
    if (dd[k] >= 0)
      pos[nbrPos++] = k;
    else
      neg[nbrNeg++] = k;
  }
  out->count = 0;
  if (nbrPos == 0 || nbrNeg == 0) return;
  if (nbrPos == 2) {
    const int pairs[4][2] = {
        {neg[0], pos[0]}, {neg[0], pos[1]}, {neg[1], pos[1]}, {neg[1], pos[0]}};
    for (int j = 0; j < 4; ++j) {
      const int k1 = pairs[j][0], k2 = pairs[j][1];
      double t = 1;
      if (std::fabs(dd[k2] - dd[k1]) <= 1e-10)
        zel::printMessage("zel_Cappingtet : fabs(dd[k2] - dd[k1])  almost equal to zero");
      else
        t = std::fabs(dd[k1] / (dd[k2] - dd[k1]));
      interpolate(crd, ref, k1, k2, t, out, j);
    }
    out->count = 4;
    reduceDegenerateQuadrilateral(dd, out);
  } else {
    const int lone = nbrNeg == 1 ? neg[0] : pos[0];
    int slot = 0;
    for (int o = 0; o < 4; ++o) {
      if (o == lone) continue;
      const double t = dd[lone] - dd[o] != 0 ? std::fabs(dd[o] / (dd[lone] - dd[o])) : 1.0;
      interpolate(crd, ref, o, lone, t, out, slot++);
    }
    out->count = 3;
  }
  orient(plane, out);
}

}  // namespace zel::cut

int zel_Cappingtet(ZelObject* mesh, const double* plane, const double* crd, const double* crdRef,
                   int* nbrTri, double* tri, double* triRef, int* nbrQua, double* qua,
                   double* quaRef, char* status) {
  using zel::cut::missingArgument;
  if (!status) return zel::kFailure;
  if (!mesh) return zel::setStatus(status, "NULL (ZelObject)    parameter on input\n");
  const struct {
    const void* pointer;
    const char* name;
  } required[] = {{plane, "plane"},   {crd, "crd"}, {crdRef, "crdRef"},
                  {nbrTri, "nbrTri"}, {tri, "tri"}, {triRef, "triRef"},
                  {nbrQua, "nbrQua"}, {qua, "qua"}, {quaRef, "quaRef"}};
  for (const auto& r : required)
    if (!r.pointer) return missingArgument(status, r.name);
  zel::cut::CutPolygon polygon;
  zel::cut::cutTetrahedron(plane, crd, crdRef, &polygon);
  *nbrTri = polygon.count == 3;
  *nbrQua = polygon.count == 4;
  double* outCrd = polygon.count == 3 ? tri : qua;
  double* outRef = polygon.count == 3 ? triRef : quaRef;
  for (int p = 0; p < polygon.count; ++p) {
    std::memcpy(outCrd + 3 * p, polygon.crd[p], sizeof polygon.crd[p]);
    std::memcpy(outRef + 4 * p, polygon.ref[p], sizeof polygon.ref[p]);
  }
  return zel::kSuccess;
}
