// Element extents on the screen.
#include "gpu/screen_extent.h"

#include <QMatrix4x4>
#include <QVector3D>
#include <algorithm>
#include <cmath>

namespace zel {
namespace {

// Closer to the eye plane than this, the stages cannot measure a piece (they stop at 1e-5).
constexpr double kNearestW = 1.0e-4;
// Part of the stages' threshold of 4 used: the rest covers single-precision rounding.
constexpr double kUsedThreshold = 0.9 * 4.0;

}  // namespace

ElementExtent elementExtentOf(int vertexCount, const float* coords, int elementCount,
                              int perElement, const unsigned* indices) {
  ElementExtent extent;
  if (!coords || !indices || vertexCount <= 0 || elementCount <= 0 || perElement <= 0)
    return extent;
  for (int axis = 0; axis < 3; ++axis) {
    extent.box[2 * axis] = INFINITY;
    extent.box[2 * axis + 1] = -INFINITY;
  }
  const unsigned* index = indices;
  for (int e = 0; e < elementCount; ++e) {
    float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int n = 0; n < perElement; ++n, ++index) {
      if (*index >= unsigned(vertexCount)) return ElementExtent();
      const float* p = coords + 3 * size_t(*index);
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
  }
  extent.known = true;
  return extent;
}

double elementPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans) {
  if (!extent.known) return -1;
  // x / w and y / w are ratios of affine functions, so over the box, where w stays positive,
  // they take their extremes at its corners, and so does w.
  double nearest = INFINITY, farthestX = 0, farthestY = 0;
  for (int corner = 0; corner < 8; ++corner) {
    const QVector3D p(extent.box[corner & 1], extent.box[2 + ((corner >> 1) & 1)],
                      extent.box[4 + ((corner >> 2) & 1)]);
    const QVector4D clip = mvp * QVector4D(scaling * p + trans, 1.0f);
    if (!(clip.w() >= kNearestW)) return -1;
    nearest = std::min(nearest, double(clip.w()));
    farthestX = std::max(farthestX, std::abs(double(clip.x() / clip.w())));
    farthestY = std::max(farthestY, std::abs(double(clip.y() / clip.w())));
  }
  // d(x / w) / dp = scaling (dx/dp - (x / w) dw/dp) / w: bounded over the box axis by axis,
  // times the largest extent of one element along that axis.
  double ndcX = 0, ndcY = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const double step = std::abs(double(scaling)) * extent.largest[axis] / nearest;
    const double w = std::abs(mvp(3, axis));
    ndcX += step * (std::abs(mvp(0, axis)) + farthestX * w);
    ndcY += step * (std::abs(mvp(1, axis)) + farthestY * w);
  }
  const double x = std::abs(viewport(0, 0)) * ndcX + std::abs(viewport(0, 1)) * ndcY;
  const double y = std::abs(viewport(1, 0)) * ndcX + std::abs(viewport(1, 1)) * ndcY;
  const double bound = std::hypot(x, y);
  return std::isfinite(bound) ? bound : -1;
}

bool screenLevelIsOne(double pixels, float bend) {
  return bend > 0 && pixels >= 0 && bend * 2.0 * pixels <= kUsedThreshold;
}

}  // namespace zel
