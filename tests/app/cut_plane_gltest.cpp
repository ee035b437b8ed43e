// The cut plane on screen: the keys F1 to F4 on unit cubes of tetrahedra and hexahedra. With
// capping the cap fills exactly the projection of the plane's section of the cube, in the colour
// of the field there; the faces of the crossed elements reach beyond it; the clipped half is
// gone while the plane is shown; F3 and the state file keep the plane in mesh units.
#include <gtest/gtest.h>

#include <QTest>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "tests/app/cut_cube.h"
#include "tests/app/screen_geometry.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"
#include "window/state_file.h"

namespace {

using cutcube::Cell;

void press(ZelMeshViewer& viewer, std::initializer_list<Qt::Key> keys) {
  for (Qt::Key key : keys) QTest::keyClick(&viewer, key);
}

bool isBackground(const QColor& c) { return c.red() > 250 && c.green() > 250 && c.blue() > 250; }

// Of the sampled pixels below the legend inside (or outside) `region`: how many fail `test`, and
// how many there are.
template <class Test>
std::pair<int, int> countPixels(const QImage& image, const QRectF& region, bool inside, Test test) {
  int failing = 0, total = 0;
  for (int y = 50; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2)
      if (region.contains(x, y) == inside) ++total, failing += !test(image.pixelColor(x, y));
  return {failing, total};
}

TEST(CutPlaneWindow, KeysClipCapAndShowCrossedFacesAndTheStateFileKeepsThePlane) {
  const TemporaryDirectory scratch(true);
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    SCOPED_TRACE(cell == Cell::Hexahedra ? "hexahedra" : "tetrahedra");
    cutcube::CubeFiles cube;
    cutcube::writeCube(&cube, cell, cutcube::Given::Vertices, false, scratch.path(), "cube");
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, cube.mesh, cube.solution);
    double plane[4];
    viewer.meshCutPlane(plane);  // the start plane: x through the box's middle
    EXPECT_NEAR(plane[0], 1.0, 1e-6);
    EXPECT_NEAR(plane[3], 0.5, 1e-6);
    viewer.displaySettings().shadingModel = 3;
    viewer.displaySettings().lineOn = false;
    const double centre[3] = {0.5, 0.5, 0.5}, normal[3] = {1, 0, 0};
    viewer.setCutPlane(centre, normal);
    viewer.camera().setRotation(QQuaternion::fromAxisAndAngle(0, 1, 0, 90));  // along +x
    press(viewer, {Qt::Key_F1});
    ASSERT_TRUE(viewer.cutPlaneShown());
    press(viewer, {Qt::Key_F4, Qt::Key_F4});  // leaving the plane mode caps
    QTest::keyClick(&viewer, '>');            // the next field, 1 - x, is 0.5 all over the cap
    ASSERT_EQ(viewer.displayedField(), 2);
    const QImage capped = screenshotOf(viewer);
    // The cap's corners (0.5, 0|1, 0|1): the cap's colour within, background beyond.
    QMatrix4x4 m = meshToDevice(viewer);
    const QRectF cap = QRectF(pixelOf(m, 0.5, 1, 0), pixelOf(m, 0.5, 0, 1)).normalized();
    ASSERT_GT(cap.width(), 100);
    const auto capColour = [&](const QColor& c) {
      return colourError(c, viewer.palette(), 0.5) < 3.0 / 255;
    };
    const auto within = countPixels(capped, cap.adjusted(3, 3, -3, -3), true, capColour);
    EXPECT_EQ(within.first, 0) << "of " << within.second;
    EXPECT_EQ(countPixels(capped, cap.adjusted(-3, -3, 3, 3), false, isBackground).first, 0);
    // The faces of the crossed elements reach to x = 1/3, nearer than the cap.
    press(viewer, {Qt::Key_F2, Qt::Key_F2});
    EXPECT_GT(
        countPixels(screenshotOf(viewer), cap.adjusted(-3, -3, 3, 3), false, isBackground).first,
        1000);
    // Seen from above, the half x < 0.5 is gone while the plane is shown, back once hidden.
    viewer.camera().setRotation(QQuaternion());
    press(viewer, {Qt::Key_F4, Qt::Key_F4});
    m = meshToDevice(viewer);
    const QRectF half = QRectF(pixelOf(m, 0.05, 0.95, 1), pixelOf(m, 0.4, 0.05, 1)).normalized();
    const auto removed = countPixels(screenshotOf(viewer), half, true, isBackground);
    EXPECT_GT(removed.second, 500);
    EXPECT_EQ(removed.first, 0);
    press(viewer, {Qt::Key_F1});
    const auto shown = countPixels(screenshotOf(viewer), half, true, isBackground);
    EXPECT_EQ(shown.first, shown.second);

    // F3 sets the plane in the scene's normalised frame: half the scene above its centre.
    press(viewer, {Qt::Key_F1, Qt::Key_F3});
    viewer.meshCutPlane(plane);
    EXPECT_NEAR(plane[1], 1.0, 1e-6);
    EXPECT_NEAR(plane[3], 1.0, 1e-6);
    // The state file keeps the plane in mesh units.
    const double tilted[3] = {0.6, 0.0, 0.8}, distance = 0.6 * 0.25 + 0.8 * 0.5;
    const double point[3] = {0.25, 0.5, 0.5};
    viewer.setCutPlane(point, tilted);
    viewer.writeStateFile();
    ViewState state;
    ASSERT_TRUE(readViewStateFile("zelmor.data", &state, stdout));
    ASSERT_TRUE(state.cutPlane.has_value());
    EXPECT_NEAR((*state.cutPlane)[3], distance, 1e-5);
    press(viewer, {Qt::Key_F3});
    viewer.readStateFile("zelmor.data");
    viewer.meshCutPlane(plane);
    EXPECT_NEAR(plane[0], 0.6, 1e-6);
    EXPECT_NEAR(plane[2], 0.8, 1e-6);
    EXPECT_NEAR(plane[3], distance, 1e-5);
  }
}

}  // namespace
