// Pixel measurements on rendered images: where the drawn shape starts and ends on a row, and
// how far a silhouette lies from an exact circle.
#pragma once

#include <QImage>

// True when the pixel is covered by geometry, i.e. clearly darker than the white background
// (an antialiased edge pixel counts once it is about half covered).
bool isCovered(const QImage& image, int x, int y);

// Largest distance, in pixels, between the left and right ends of the covered span of every
// row and the circle of `radius` pixels about (cx, cy), over the rows within `rowFraction` of
// the radius from the centre that lie inside the image. `rows` receives the rows compared.
double silhouetteDeviation(const QImage& image, double cx, double cy, double radius,
                           double rowFraction, int* rows = nullptr);
