// Pixel measurements on rendered images: where the drawn shape starts and ends on a row, how
// far a silhouette lies from an exact circle, and how many pixels two pictures differ in.
#pragma once

#include <QImage>
#include <cstdlib>

// True when the pixel is covered by geometry, i.e. clearly darker than the white background
// (an antialiased edge pixel counts once it is about half covered).
bool isCovered(const QImage& image, int x, int y);

// Largest distance, in pixels, between the left and right ends of the covered span of every
// row and the circle of `radius` pixels about (cx, cy), over the rows within `rowFraction` of
// the radius from the centre that lie inside the image. `rows` receives the rows compared.
double silhouetteDeviation(const QImage& image, double cx, double cy, double radius,
                           double rowFraction, int* rows = nullptr);

// Pixels of two images of the same size whose colours differ by more than a rounding step.
inline int differingPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      count += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) >
               6;
    }
  return count;
}
