// The cut plane on screen: the keys F1 to F4 on unit cubes of tetrahedra and hexahedra. With
// capping the cap fills exactly the projection of the plane's section of the cube, in the colour
// of the field there; the faces of the crossed elements reach beyond it; the clipped half is
// gone while the plane is shown; the state file keeps the plane in mesh units.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QQuaternion>
#include <cmath>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "gpu/colour_maps.h"
#include "scene/ZelDrawPalette.h"
#include "tests/app/cut_cube.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"
#include "window/state_file.h"

namespace {

using cutcube::Cell;

void press(ZelMeshViewer& viewer, Qt::Key key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&viewer, &event);
}

// Window pixel of a mesh point, through the frame's matrices (800 x 600 window).
QPointF pixelOf(ZelMeshViewer& viewer, const QVector3D& mesh) {
  QVector3D normalised;
  for (int axis = 0; axis < 3; ++axis)
    normalised[axis] = float((mesh[axis] - viewer.sceneCentre()[axis]) * viewer.sceneScale());
  const QMatrix4x4 mvp = viewer.camera().projectionMatrix(float(viewer.fieldOfView())) *
                         viewer.camera().modelViewMatrix();
  const QVector3D ndc = mvp.map(normalised);
  return {(ndc.x() + 1.0) * 400.0, (1.0 - ndc.y()) * 300.0};
}

bool isBackground(const QColor& c) { return c.red() > 250 && c.green() > 250 && c.blue() > 250; }

// Pixels inside (margin > 0: at least `margin` pixels in) or outside (margin < 0) the
// axis-aligned rectangle spanned by the corners, counted as background or not.
struct PixelCount {
  int matching = 0, total = 0;
};
template <class Test>
PixelCount countPixels(const QImage& image, QPointF low, QPointF high, double margin, bool inside,
                       Test test) {
  PixelCount count;
  for (int y = 50; y < image.height(); y += 2)  // below the legend
    for (int x = 0; x < image.width(); x += 2) {
      const double m = inside ? margin : -margin;
      const bool in =
          x >= low.x() + m && x <= high.x() - m && y >= low.y() + m && y <= high.y() - m;
      if (in != inside) continue;
      ++count.total;
      count.matching += test(image.pixelColor(x, y));
    }
  return count;
}

TEST(CutPlaneWindow, KeysClipCapAndShowCrossedFaces) {
  const TemporaryDirectory scratch;
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    SCOPED_TRACE(cell == Cell::Hexahedra ? "hexahedra" : "tetrahedra");
    cutcube::CubeFiles cube;
    cutcube::writeCube(&cube, cell, cutcube::Given::Vertices, false, scratch.path(), "cube");
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, cube.mesh, cube.solution);
    viewer.displaySettings().shadingModel = 3;
    viewer.displaySettings().lineOn = false;
    const double centre[3] = {0.5, 0.5, 0.5}, normal[3] = {1, 0, 0};
    viewer.setCutPlane(centre, normal);
    // Looking along +x from the clipped side.
    viewer.camera().setRotation(QQuaternion::fromAxisAndAngle(0, 1, 0, 90));
    press(viewer, Qt::Key_F1);
    ASSERT_TRUE(viewer.cutPlaneShown());
    press(viewer, Qt::Key_F4);
    press(viewer, Qt::Key_F4);  // leaving the plane mode caps
    // The next field, 1 - x, has one value on the cap x = 0.5.
    QKeyEvent next(QEvent::KeyPress, Qt::Key_Greater, Qt::NoModifier, ">");
    QCoreApplication::sendEvent(&viewer, &next);
    ASSERT_EQ(viewer.displayedField(), 2);
    const QImage capped = screenshotOf(viewer);
    // The cap's corners (0.5, 0|1, 0|1); +y is up on screen, +z to the right.
    const QPointF a = pixelOf(viewer, {0.5f, 1.0f, 0.0f}), b = pixelOf(viewer, {0.5f, 0.0f, 1.0f});
    const QPointF low(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    const QPointF high(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
    ASSERT_GT(high.x() - low.x(), 100);
    const ZelDrawPalette* palette = viewer.palette();
    const zel::Rgb expected =
        zel::colourMapAt(palette->colourMap(), zel::palettePosition(palette->values(), 0.5));
    auto capColour = [&](const QColor& c) {
      return std::abs(c.redF() - expected[0]) < 3.0 / 255 &&
             std::abs(c.greenF() - expected[1]) < 3.0 / 255 &&
             std::abs(c.blueF() - expected[2]) < 3.0 / 255;
    };
    const PixelCount cap = countPixels(capped, low, high, 3, true, capColour);
    EXPECT_EQ(cap.matching, cap.total);
    const PixelCount beyond = countPixels(capped, low, high, 3, false, isBackground);
    EXPECT_EQ(beyond.matching, beyond.total);
    // The faces of the crossed elements reach to x = 1/3, nearer than the cap.
    press(viewer, Qt::Key_F2);
    press(viewer, Qt::Key_F2);
    const QImage faces = screenshotOf(viewer);
    const PixelCount around = countPixels(faces, low, high, 3, false, isBackground);
    EXPECT_LT(around.matching, around.total - 1000);
    // Seen from above, the half x < 0.5 is gone while the plane is shown, back once hidden.
    viewer.camera().setRotation(QQuaternion());
    press(viewer, Qt::Key_F4);
    press(viewer, Qt::Key_F4);
    const QPointF c = pixelOf(viewer, {0.05f, 0.95f, 1.0f}),
                  d = pixelOf(viewer, {0.4f, 0.05f, 1.0f});
    const QImage clipped = screenshotOf(viewer);
    const PixelCount removed = countPixels(clipped, c, d, 0, true, isBackground);
    EXPECT_GT(removed.total, 500);
    EXPECT_EQ(removed.matching, removed.total);
    press(viewer, Qt::Key_F1);
    const PixelCount shown = countPixels(screenshotOf(viewer), c, d, 0, true, isBackground);
    EXPECT_EQ(shown.matching, 0);
  }
}

// F3 sets the plane in the scene's normalised frame, and the state file keeps it in mesh units:
// a cube far from the origin is cut where its own frame says, and reads back the same plane.
TEST(CutPlaneWindow, PlaneFollowsTheSceneFrameAndTheStateFile) {
  const TemporaryDirectory scratch(true);
  cutcube::CubeFiles cube;
  cutcube::writeCube(&cube, Cell::Tetrahedra, cutcube::Given::Vertices, false, scratch.path(),
                     "far", 1000.0);
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, cube.mesh, cube.solution);
  double plane[4];
  viewer.meshCutPlane(plane);  // the start plane: x through the box's middle
  EXPECT_NEAR(plane[0], 1.0, 1e-6);
  EXPECT_NEAR(plane[3], 1000.5, 1e-3);
  press(viewer, Qt::Key_F1);
  press(viewer, Qt::Key_F3);
  viewer.meshCutPlane(plane);
  EXPECT_NEAR(plane[1], 1.0, 1e-6);
  EXPECT_NEAR(plane[3], 1001.0, 1e-3);  // half the scene above its centre

  const double centre[3] = {1000.25, 1000.5, 1000.5}, normal[3] = {0.6, 0.0, 0.8};
  viewer.setCutPlane(centre, normal);
  viewer.writeStateFile();
  ViewState state;
  ASSERT_TRUE(readViewStateFile("zelmor.data", &state, stdout));
  ASSERT_TRUE(state.cutPlane.has_value());
  EXPECT_NEAR((*state.cutPlane)[3], 0.6 * 1000.25 + 0.8 * 1000.5, 1e-2);
  press(viewer, Qt::Key_F3);
  viewer.readStateFile("zelmor.data");
  viewer.meshCutPlane(plane);
  EXPECT_NEAR(plane[0], 0.6, 1e-6);
  EXPECT_NEAR(plane[2], 0.8, 1e-6);
  EXPECT_NEAR(plane[3], 0.6 * 1000.25 + 0.8 * 1000.5, 1e-2);
}

}  // namespace
