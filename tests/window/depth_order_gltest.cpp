// What the depth test lets through in the mesh viewer: the scene-centre marker shows even
// inside a volume, and mesh edges win over the element lines of the faces they border (no
// pixel-by-pixel alternation along a seam) while edges behind the surface stay hidden.
#include <gtest/gtest.h>

#include <QQuaternion>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/screenshot.h"

namespace {

// Grey 0.7 of the default face colouring: the colour of mesh edges and of the marker, which
// are drawn unlit; lit faces stay below 0.8 x 0.7.
const int kUnlitGrey = 178;

bool isUnlitGrey(QRgb p) {
  return std::abs(qRed(p) - kUnlitGrey) <= 3 && std::abs(qGreen(p) - kUnlitGrey) <= 3 &&
         std::abs(qBlue(p) - kUnlitGrey) <= 3;
}

class DepthOrder : public testing::Test {
 protected:
  void open(const char* mesh) {
    viewer = std::make_unique<ZelMeshViewer>(pellonSurfaceFormat());
    ASSERT_TRUE(viewer->isInitialised());
    assembleScene(viewer.get(), std::string(ZEL_TEST_DATA) + "/ho/" + mesh, "none");
  }

  QImage picture(const std::string& keep) {
    return screenshotOf(*viewer, QString::fromStdString("depth_" + keep));
  }

  // Shows or hides every object of the kinds in [first, last].
  void showKinds(int first, int last, bool visible) {
    for (ZelDrawObject* object : viewer->allObjects())
      if (object->kind() >= first && object->kind() <= last) object->setVisible(visible);
  }

  std::unique_ptr<ZelMeshViewer> viewer;
};

TEST_F(DepthOrder, SceneCentreMarkerShowsInsideAVolume) {
  open("sphere_p2.mesh");
  // The rotation centre is the middle of the ball: projected to the middle of the window.
  const QImage hidden = picture("marker_hidden");
  QTest::keyClick(viewer.get(), 'C');
  const QImage shown = picture("marker_shown");
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
// also edges of its triangles. `toward` is turned to face the camera (+z), then the view is
// tilted by `pitch` degrees about the screen's horizontal axis, along which the seam then runs.
QQuaternion seamView(const QVector3D& toward, float pitch) {
  return QQuaternion::fromAxisAndAngle(1, 0, 0, pitch) *
         QQuaternion::rotationTo(toward, QVector3D(0, 0, 1));
}

// The unit sphere is normalised to radius 0.5 and seen from distance 3 with a 15-degree field
// of view in a 600-pixel-high window.
const double kSphereRadius = 0.5 / (3.0 * std::tan(7.5 * M_PI / 180.0)) * 300.0;

// Pixels fully covered by the seam drawn alone, and how many of them show the edge colour
// when the faces are drawn too. Pixels near the outline are left out: there the faces are
// seen edge-on and the seam's ends run behind the rim.
struct SeamCount {
  int seam = 0;
  int edgeColoured = 0;
};

SeamCount countSeam(const QImage& edgesAlone, const QImage& scene) {
  SeamCount count;
  for (int y = 0; y < scene.height(); ++y)
    for (int x = 0; x < scene.width(); ++x) {
      if (std::hypot(x + 0.5 - 400, y + 0.5 - 300) > 0.9 * kSphereRadius) continue;
      if (!isUnlitGrey(edgesAlone.pixel(x, y))) continue;
      ++count.seam;
      count.edgeColoured += isUnlitGrey(scene.pixel(x, y));
    }
  return count;
}

TEST_F(DepthOrder, SeamEdgesWinOverTheFacesElementLinesAndHideBehindTheSurface) {
  open("sphere_shell_p2.mesh");
  viewer->displaySettings().lineWidth = 2.0f;  // a seam several pixels wide
  struct View {
    QVector3D toward;
    float pitch;
    bool front;
  };
  for (const View& view :
       {View{{1, 0, 0}, 0, true}, View{{1, 0, 0}, 35, true}, View{{-1, 0, 0}, 30, false}}) {
    viewer->camera().setRotation(seamView(view.toward, view.pitch));
    const std::string label =
        std::to_string(int(view.toward.x())) + "_" + std::to_string(int(view.pitch));
    const QImage scene = picture("scene_" + label);
    showKinds(DrawKind::TriangleP2, DrawKind::TriangleP2, false);
    const QImage edgesAlone = picture("edges_" + label);
    showKinds(DrawKind::TriangleP2, DrawKind::TriangleP2, true);
    const SeamCount count = countSeam(edgesAlone, scene);
    ASSERT_GT(count.seam, 500) << label;
    if (view.front)
      EXPECT_GE(count.edgeColoured, count.seam * 99 / 100) << label;
    else
      EXPECT_EQ(count.edgeColoured, 0) << label;
  }
}

}  // namespace
