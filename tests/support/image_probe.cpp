// Silhouette measurements on rendered images.
#include "tests/support/image_probe.h"

#include <algorithm>
#include <cmath>

bool isCovered(const QImage& image, int x, int y) {
  const QRgb pixel = image.pixel(x, y);
  return qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 215;
}

double silhouetteDeviation(const QImage& image, double cx, double cy, double radius,
                           double rowFraction, int* rows) {
  double worst = 0.0;
  int compared = 0;
  for (int y = 0; y < image.height(); ++y) {
    const double dy = y + 0.5 - cy;
    if (std::fabs(dy) > rowFraction * radius) continue;
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x) {
      if (!isCovered(image, x, y)) continue;
      if (left < 0) left = x;
      right = x;
    }
    if (left < 0) return 1e9;  // a row that should cross the disc is empty
    const double half = std::sqrt(radius * radius - dy * dy);
    // Pixel edges: the span covers [left, right + 1).
    worst = std::max({worst, std::fabs(left - (cx - half)), std::fabs(right + 1 - (cx + half))});
    ++compared;
  }
  if (rows) *rows = compared;
  return worst;
}
