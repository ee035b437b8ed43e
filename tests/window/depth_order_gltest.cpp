// What the depth test lets through in the mesh viewer: the scene-centre marker shows even
// inside a volume, and mesh edges win over the element lines of the faces they border (no
// pixel-by-pixel alternation along a seam) while edges behind the surface stay hidden.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/screenshot.h"

namespace {

// Grey 0.7 of the default face colouring: the colour of mesh edges and of the marker, which
// are drawn unlit; lit faces stay below 0.8 x 0.7.
bool isUnlitGrey(QRgb p) {
  return std::abs(qRed(p) - 178) <= 3 && std::abs(qGreen(p) - 178) <= 3 &&
         std::abs(qBlue(p) - 178) <= 3;
}

std::unique_ptr<ZelMeshViewer> open(const char* mesh) {
  auto viewer = std::make_unique<ZelMeshViewer>(pellonSurfaceFormat());
  assembleScene(viewer.get(), std::string(ZEL_TEST_DATA) + "/ho/" + mesh, "none");
  return viewer;
}

TEST(DepthOrder, SceneCentreMarkerShowsInsideAVolume) {
  auto viewer = open("sphere_p2.mesh");
  // The rotation centre is the middle of the ball: projected to the middle of the window.
  const QImage hidden = screenshotOf(*viewer);
  QTest::keyClick(viewer.get(), 'C');
  const QImage shown = screenshotOf(*viewer);
  auto markerPixels = [](const QImage& image) {
    int count = 0;
    for (int y = 300 - 6; y <= 300 + 6; ++y)
      for (int x = 400 - 6; x <= 400 + 6; ++x) count += isUnlitGrey(image.pixel(x, y));
    return count;
  };
  EXPECT_EQ(markerPixels(hidden), 0);
  // An 8-pixel disc: about 50 pixels, fewer where antialiasing blends its rim.
  EXPECT_GE(markerPixels(shown), 30);
  EXPECT_TRUE(isUnlitGrey(shown.pixel(400, 300)));
}

// The seam of sphere_shell_p2.mesh: ten P2 edges along the meridian y = 0, x > 0, which are
// also edges of its triangles. In each view `toward` is turned to face the camera (+z), then
// the view is tilted by `pitch` degrees about the screen's horizontal axis, along which the
// seam then runs. Pixels fully covered by the seam drawn alone must show the edge colour when
// the faces are drawn too (seam in front) or none of them (seam behind). Pixels near the
// outline are left out: there the faces are seen edge-on and the seam's ends run behind the
// rim.
TEST(DepthOrder, SeamEdgesWinOverTheFacesElementLinesAndHideBehindTheSurface) {
  auto viewer = open("sphere_shell_p2.mesh");
  viewer->displaySettings().lineWidth = 2.0f;  // a seam several pixels wide
  // The unit sphere is normalised to radius 0.5 and seen from distance 3 with a 15-degree
  // field of view in a 600-pixel-high window.
  const double radius = 0.5 / (3.0 * std::tan(7.5 * M_PI / 180.0)) * 300.0;
  const auto showFaces = [&](bool visible) {
    for (ZelDrawObject* object : viewer->allObjects())
      if (object->kind() == DrawKind::TriangleP2) object->setVisible(visible);
  };
  for (const auto& [toward, pitch, front] : {std::make_tuple(QVector3D(1, 0, 0), 0.0f, true),
                                             {QVector3D(1, 0, 0), 35.0f, true},
                                             {QVector3D(-1, 0, 0), 30.0f, false}}) {
    SCOPED_TRACE(std::to_string(toward.x()) + " pitch " + std::to_string(pitch));
    viewer->camera().setRotation(QQuaternion::fromAxisAndAngle(1, 0, 0, pitch) *
                                 QQuaternion::rotationTo(toward, QVector3D(0, 0, 1)));
    const QImage scene = screenshotOf(*viewer);
    showFaces(false);
    const QImage edgesAlone = screenshotOf(*viewer);
    showFaces(true);
    int seam = 0, edgeColoured = 0;
    for (int y = 0; y < scene.height(); ++y)
      for (int x = 0; x < scene.width(); ++x)
        if (std::hypot(x + 0.5 - 400, y + 0.5 - 300) <= 0.9 * radius &&
            isUnlitGrey(edgesAlone.pixel(x, y))) {
          ++seam;
          edgeColoured += isUnlitGrey(scene.pixel(x, y));
        }
    ASSERT_GT(seam, 500);
    if (front)
      EXPECT_GE(edgeColoured, seam * 99 / 100);
    else
      EXPECT_EQ(edgeColoured, 0);
  }
}

}  // namespace
