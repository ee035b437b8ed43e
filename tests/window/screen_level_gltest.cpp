// Curved elements stay within a pixel of their exact shape at the default tessellation level at
// every degree and zoom, and the faces of a curved surface close up without cracks.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "app/ZelMeshViewer.h"
#include "app/scene_assembly.h"
#include "tests/support/screenshot.h"
#include "tests/window/disc_window.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kFaceGrey = 178;  // the default face colour 0.7, flat
constexpr int kWhite = 3 * 255;

int lightness(const QImage& image, int x, int y) {
  const QRgb c = image.pixel(x, y);
  return qRed(c) + qGreen(c) + qBlue(c);
}

int coveredPixels(const QImage& image) {
  int covered = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) covered += lightness(image, x, y) < kWhite;
  return covered;
}

// The picture in flat grey without element edges after `presses` of "z" (negative: of "Z"),
// sent straight to the window so that only the screenshot draws.
QImage flatPicture(ZelSceneWindow& window, int presses) {
  window.displaySettings().lineOn = false;
  window.displaySettings().shadingModel = 3;
  for (int i = 0; i < std::abs(presses); ++i) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, presses > 0 ? Qt::NoModifier : Qt::ShiftModifier,
                    presses > 0 ? "z" : "Z");
    QCoreApplication::sendEvent(&window, &press);
  }
  return screenshotOf(window);
}

bool built(const ZelSceneWindow& window, const std::string& program) {
  const std::vector<std::string> names = window.builtPrograms();
  return std::find(names.begin(), names.end(), program) != names.end();
}

// Projected radius of normalised radius 0.5 about the centre's depth, the eye 3 units away.
double projectedRadius(double fieldOfView) {
  return 0.5 / (3.0 * std::tan(fieldOfView * M_PI / 360.0)) * kHeight / 2;
}

// Largest distance in pixels from the silhouette to the circle of `radius` about (cx, cy) over
// the rows that cross it in the image (`measured` of them). A crossing is placed to a fraction
// of a pixel by the coverage summed over 24 pixels around it, read between white and the face.
double silhouetteError(const QImage& image, double cx, double cy, double radius, int& measured) {
  double worst = 0;
  measured = 0;
  for (int y = 0; y < image.height(); ++y) {
    const double dy = y + 0.5 - cy;
    if (std::abs(dy) > 0.9 * radius) continue;  // steep crossings measure badly along rows
    for (const bool left : {true, false}) {
      const double x = cx + (left ? -1 : 1) * std::sqrt(radius * radius - dy * dy);
      const int first = int(std::floor(x)) - 12, end = first + 24;
      const int inside = left ? end + 2 : first - 3;
      if (first < 0 || end > image.width() || inside < 0 || inside >= image.width()) continue;
      const double face = lightness(image, inside, y);
      if (face > kWhite - 60) continue;  // no face there to compare with
      double covered = 0;
      for (int px = first; px < end; ++px)
        covered += std::clamp((kWhite - lightness(image, px, y)) / (kWhite - face), 0.0, 1.0);
      const double found = left ? end - covered : first + covered;
      worst = std::max(worst, std::abs(std::hypot(found - cx, dy) - radius));
      ++measured;
    }
  }
  return worst;
}

// Pixels lighter than the face (by half a sample of four) that no path of such pixels joins to
// the border: background showing through cracks, however thin.
int enclosedBackground(const QImage& image) {
  const int w = image.width(), h = image.height();
  const auto background = [&](int x, int y) {
    return lightness(image, x, y) > 3 * kFaceGrey + (kWhite - 3 * kFaceGrey) / 8;
  };
  std::vector<char> reached(size_t(w) * h, 0);
  std::vector<int> stack;
  const auto visit = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h || reached[size_t(y) * w + x] || !background(x, y))
      return;
    reached[size_t(y) * w + x] = 1;
    stack.push_back(y * w + x);
  };
  for (int x = 0; x < w; ++x) visit(x, 0), visit(x, h - 1);
  for (int y = 0; y < h; ++y) visit(0, y), visit(w - 1, y);
  while (!stack.empty()) {
    const int x = stack.back() % w, y = stack.back() / w;
    stack.pop_back();
    visit(x + 1, y), visit(x - 1, y), visit(x, y + 1), visit(x, y - 1);
  }
  int holes = 0;
  for (int p = 0; p < w * h; ++p) holes += background(p % w, p / w) && !reached[size_t(p)];
  return holes;
}

// The silhouette error of a disc seen whole or zoomed in about its circle's point at `angle`.
double discSilhouetteError(int shape, int degree, int cells, int presses, double angle,
                           int level = 4) {
  ZelSceneWindow window(pellonSurfaceFormat());
  showDisc(window, makeDiscMesh(shape, degree, cells), kWidth, kHeight);
  window.displaySettings().tessellationLevel = level;
  const double a = angle * M_PI / 180, onCircle[3] = {std::cos(a), std::sin(a), 0};
  if (presses > 0) window.setRotationCentre(onCircle);
  const QImage image = flatPicture(window, presses);
  // Zoomed in, the circle's point is at the window's centre.
  const double radius = projectedRadius(window.fieldOfView()), shift = presses > 0 ? radius : 0;
  int measured = 0;
  const double error = silhouetteError(image, kWidth / 2.0 - shift * onCircle[0],
                                       kHeight / 2.0 + shift * onCircle[1], radius, measured);
  EXPECT_GT(measured, 500) << "too few rows cross the circle in the window";
  EXPECT_EQ(enclosedBackground(image), 0) << "cracks between elements";
  return error;
}

// Zoomed in ten times onto an element corner and an element's inside, the 8 x 8 disc: the
// curves of the 4 x 4 disc's quadratic elements themselves stray 4.8 pixels from the circle.
TEST(ScreenLevel, CurvedDiscsStayWithinAPixelOfTheCircleAtEveryZoom) {
  for (const int shape : {int(EntityType::Triangle), int(EntityType::Quadrilateral)})
    for (int degree = 2; degree <= 4; ++degree)
      for (const auto& [cells, presses, angle] :
           {std::make_tuple(4, 0, 0.0), {8, 22, 0.0}, {8, 22, 10.0}}) {
        SCOPED_TRACE(testing::Message() << (shape == EntityType::Triangle ? "P" : "Q") << degree
                                        << " zoomed " << presses << " at " << angle);
        EXPECT_LE(discSilhouetteError(shape, degree, cells, presses, angle), 1.0);
      }
  // The measure can fail: straight elements, and curved ones at level 0, miss the circle.
  EXPECT_GT(discSilhouetteError(EntityType::Triangle, 1, 4, 0, 0), 3.0);
  EXPECT_GT(discSilhouetteError(EntityType::Triangle, 2, 4, 0, 0, 0), 3.0);
}

// 8,192 P2 elements of 12 pixels bend by a small part of a pixel: drawn through the twin without
// screen measures, without cracks, covering their area even 15 pixels wide. Zoomed in onto the
// circle they bend by pixels and P2TriSha draws them.
TEST(ScreenLevel, ElementsThatBendBelowAPixelAreDrawnWithoutTheScreenMeasures) {
  ZelSceneWindow window(pellonSurfaceFormat());
  showDisc(window, makeDiscMesh(EntityType::Triangle, 2, 64), kWidth, kHeight);
  EXPECT_EQ(enclosedBackground(flatPicture(window, 0)), 0);
  EXPECT_TRUE(built(window, "P2TriShaSubPixel"));
  EXPECT_FALSE(built(window, "P2TriSha"));
  const QImage far = flatPicture(window, -25);
  EXPECT_FALSE(built(window, "P2TriSha"));
  // The disc still covers its area, about pi r^2 pixels.
  const double radius = projectedRadius(window.fieldOfView());
  EXPECT_NEAR(coveredPixels(far), M_PI * radius * radius, 2 * M_PI * radius + 4) << radius;
  window.resetView();
  const double onCircle[3] = {1, 0, 0};
  window.setRotationCentre(onCircle);
  flatPicture(window, 10);
  EXPECT_TRUE(built(window, "P2TriSha"));
}

// The P2 sphere whole and zoomed in 10, 100 and 1000 times onto its silhouette and its front.
TEST(ScreenLevel, CurvedSphereHasNoCracksAtAnyZoom) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, std::string(ZEL_TEST_DATA) + "/ho/sphere_p2.mesh", "");
  viewer.resetView();
  const QQuaternion toWorld = viewer.camera().rotation().inverted();
  for (const QVector3D& towards :
       {toWorld.rotatedVector(QVector3D(1, 0, 0)), toWorld.rotatedVector(QVector3D(0, 0, 1))})
    for (int presses : {0, 22, 44, 66}) {
      viewer.resetView();
      const double centre[3] = {towards.x(), towards.y(), towards.z()};
      viewer.setRotationCentre(centre);
      SCOPED_TRACE(testing::Message() << presses << " presses towards " << towards.x() << " "
                                      << towards.y() << " " << towards.z());
      const QImage image = flatPicture(viewer, presses);
      EXPECT_GT(coveredPixels(image), kWidth * kHeight / 8) << "the sphere is not in view";
      EXPECT_EQ(enclosedBackground(image), 0);
    }
}

}  // namespace
