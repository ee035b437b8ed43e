// Element extents on the screen.
#include "gpu/screen_extent.h"

#include <QMatrix4x4>
#include <QVector3D>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "meshio/entity_types.h"
#include "meshio/node_order.h"

namespace zel {
namespace {

// Closer to the eye plane than this, the stages cannot measure a piece (they stop at 1e-5).
constexpr double kNearestW = 1.0e-4;
// Part of the stages' threshold of 4 used: the rest covers single-precision rounding.
constexpr double kUsedThreshold = 0.9 * 4.0;

// How a box of buffer coordinates lies in clip space: its smallest w and largest |x / w| and
// |y / w|. x / w and y / w are ratios of affine functions, so over the box, where w stays
// positive, they take their extremes at its corners, and so does w.
struct BoxView {
  double nearest = INFINITY, farthestX = 0, farthestY = 0;
};

bool viewOfBox(const float box[6], const QMatrix4x4& mvp, float scaling, const QVector3D& trans,
               BoxView& view) {
  for (int corner = 0; corner < 8; ++corner) {
    const QVector3D p(box[corner & 1], box[2 + ((corner >> 1) & 1)], box[4 + ((corner >> 2) & 1)]);
    const QVector4D clip = mvp * QVector4D(scaling * p + trans, 1.0f);
    if (!(clip.w() >= kNearestW)) return false;
    view.nearest = std::min(view.nearest, double(clip.w()));
    view.farthestX = std::max(view.farthestX, std::abs(double(clip.x() / clip.w())));
    view.farthestY = std::max(view.farthestY, std::abs(double(clip.y() / clip.w())));
  }
  return true;
}

// Upper bound, in pixels, of the image of any displacement within the box whose components
// are at most `span` along x, y and z: d(x / w) / dp = scaling (dx/dp - (x / w) dw/dp) / w,
// bounded over the box axis by axis.
double pixelsAlong(const BoxView& view, const float span[3], const QMatrix4x4& mvp,
                   const QMatrix4x4& viewport, float scaling) {
  double ndcX = 0, ndcY = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const double step = std::abs(double(scaling)) * span[axis] / view.nearest;
    const double w = std::abs(mvp(3, axis));
    ndcX += step * (std::abs(mvp(0, axis)) + view.farthestX * w);
    ndcY += step * (std::abs(mvp(1, axis)) + view.farthestY * w);
  }
  const double x = std::abs(viewport(0, 0)) * ndcX + std::abs(viewport(0, 1)) * ndcY;
  const double y = std::abs(viewport(1, 0)) * ndcX + std::abs(viewport(1, 1)) * ndcY;
  return std::hypot(x, y);
}

// Unit steps of the lattice of each kind, as steps of its first two multi-index components:
// along the curve; along the three sides of a triangle (barycentric (1, -1, 0), (0, 1, -1)
// and (-1, 0, 1), the last seen from the other end); along the two sides of a quadrilateral.
struct LatticeSteps {
  int kind;
  int count;
  int steps[3][2];
};
constexpr LatticeSteps kLatticeSteps[] = {
    {EntityType::Edge, 1, {{1, 0}}},
    {EntityType::Triangle, 3, {{1, -1}, {0, 1}, {1, 0}}},
    {EntityType::Quadrilateral, 2, {{1, 0}, {0, 1}}},
};

}  // namespace

std::vector<NetDifference> netDifferences(int latticeKind, int degree) {
  std::vector<NetDifference> differences;
  const LatticeSteps* lattice = nullptr;
  for (const LatticeSteps& row : kLatticeSteps)
    if (row.kind == latticeKind) lattice = &row;
  const LatticeOrder* order =
      degree >= 2 && lattice ? latticeNodeOrder(latticeKind, degree) : nullptr;
  if (!order) return differences;
  std::map<std::pair<int, int>, int> nodeAt;
  for (int n = 0; n < order->count; ++n)
    nodeAt[{order->row(n)[0], order->width > 1 ? order->row(n)[1] : 0}] = n;
  const auto find = [&](int i, int j) {
    const auto at = nodeAt.find({i, j});
    return at == nodeAt.end() ? -1 : at->second;
  };
  for (const auto& [position, p] : nodeAt)
    for (int a = 0; a < lattice->count; ++a)
      for (int b = a; b < lattice->count; ++b) {
        const int* e1 = lattice->steps[a];
        const int* e2 = lattice->steps[b];
        const int r = find(position.first + e1[0], position.second + e1[1]);
        const int s = find(position.first + e2[0], position.second + e2[1]);
        const int q = find(position.first + e1[0] + e2[0], position.second + e1[1] + e2[1]);
        if (r >= 0 && s >= 0 && q >= 0) differences.push_back({p, q, r, s});
      }
  return differences;
}

ElementExtent elementExtentOf(int vertexCount, const float* coords, int elementCount,
                              int perElement, const unsigned* indices,
                              const std::vector<NetDifference>& differences) {
  ElementExtent extent;
  if (!coords || !indices || vertexCount <= 0 || elementCount <= 0 || perElement <= 0)
    return extent;
  for (const NetDifference& d : differences)
    for (int n : d)
      if (n < 0 || n >= perElement) return extent;
  for (int axis = 0; axis < 3; ++axis) {
    extent.box[2 * axis] = INFINITY;
    extent.box[2 * axis + 1] = -INFINITY;
  }
  for (int e = 0; e < elementCount; ++e) {
    const unsigned* element = indices + size_t(e) * perElement;
    float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int n = 0; n < perElement; ++n) {
      if (element[n] >= unsigned(vertexCount)) return ElementExtent();
      const float* p = coords + 3 * size_t(element[n]);
      for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(p[axis])) return ElementExtent();
        low[axis] = std::min(low[axis], p[axis]);
        high[axis] = std::max(high[axis], p[axis]);
      }
    }
    for (int axis = 0; axis < 3; ++axis) {
      extent.largest[axis] = std::max(extent.largest[axis], high[axis] - low[axis]);
      extent.box[2 * axis] = std::min(extent.box[2 * axis], low[axis]);
      extent.box[2 * axis + 1] = std::max(extent.box[2 * axis + 1], high[axis]);
    }
    for (const NetDifference& d : differences)
      for (int axis = 0; axis < 3; ++axis) {
        const auto at = [&](int n) { return coords[3 * size_t(element[d[n]]) + axis]; };
        extent.bend[axis] =
            std::max(extent.bend[axis], std::abs((at(0) + at(1)) - (at(2) + at(3))));
        extent.step[axis] =
            std::max({extent.step[axis], std::abs(at(2) - at(0)), std::abs(at(3) - at(0))});
      }
  }
  extent.known = true;
  return extent;
}

double elementPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans) {
  BoxView view;
  if (!extent.known || !viewOfBox(extent.box, mvp, scaling, trans, view)) return -1;
  const double bound = pixelsAlong(view, extent.largest, mvp, viewport, scaling);
  return std::isfinite(bound) ? bound : -1;
}

double netBendPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans) {
  const double points = elementPixelBound(extent, mvp, viewport, scaling, trans);
  if (points < 0) return -1;
  // Each difference is at most the sum of two distances between control points.
  const double crude = 2 * points;
  // With u = r - p, v = s - p and d = p + q - r - s, the image P splits the difference into
  // P(q) - P(q - d), at most the image of d, and the mixed second difference of P over the
  // parallelogram p, r, s, r + s - p, the integral of D2P(u, v). For P = x / w,
  // D2P(u, v) = -(DP(u) Dw(v) + DP(v) Dw(u)) / w, with u and v at most the net's steps: a
  // straight net only bends on the screen by perspective, and by less the finer its lattice.
  // The parallelogram stays within the box grown by the bends.
  float grown[6];
  for (int axis = 0; axis < 3; ++axis) {
    grown[2 * axis] = extent.box[2 * axis] - extent.bend[axis];
    grown[2 * axis + 1] = extent.box[2 * axis + 1] + extent.bend[axis];
  }
  BoxView view;
  if (!viewOfBox(grown, mvp, scaling, trans, view)) return crude;
  double wChange = 0;
  for (int axis = 0; axis < 3; ++axis)
    wChange += std::abs(double(scaling)) * extent.step[axis] * std::abs(mvp(3, axis));
  wChange /= view.nearest;
  const double own = pixelsAlong(view, extent.bend, mvp, viewport, scaling);
  const double perspective = 2 * pixelsAlong(view, extent.step, mvp, viewport, scaling) * wChange;
  const double bound = std::min(crude, own + perspective);
  return std::isfinite(bound) ? bound : crude;
}

bool screenLevelIsOne(double bendPixels, float bend) {
  return bend > 0 && bendPixels >= 0 && bend * bendPixels <= kUsedThreshold;
}

}  // namespace zel
