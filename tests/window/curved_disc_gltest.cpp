// Curved geometry on screen: a disc of curved triangles or quadrilaterals drawn by the scene
// window has the exact circle as its silhouette; straight elements miss it.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>

#include "app/pellon.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/disc_mesh.h"
#include "tests/support/image_probe.h"
#include "tests/window/disc_window.h"
#include "window/ZelSceneWindow.h"

namespace {

// Renders the unit disc at the default 2D view and returns the image.
QImage renderDisc(const CurvedMesh& mesh, int tessellationLevel) {
  ZelSceneWindow window(pellonSurfaceFormat());
  showDisc(window, mesh, 800, 600);
  window.displaySettings().tessellationLevel = tessellationLevel;
  const QString path = QDir::temp().filePath("zel_disc_test.png");
  window.requestScreenshot(path.toStdString());
  QImage image(path);
  if (qEnvironmentVariableIsSet("ZEL_KEEP_IMAGES")) {
    image.save(QDir::temp().filePath(
        QString("zel_disc_%1_%2_%3.png").arg(mesh.shape).arg(mesh.degree).arg(tessellationLevel)));
  }
  QFile::remove(path);
  return image;
}

// The unit disc is normalised to radius 0.5 and seen from distance 3 with a 15-degree field
// of view in a 600-pixel-high window.
const double kRadius = 0.5 / (3.0 * std::tan(7.5 * M_PI / 180.0)) * 300.0;

struct DiscCase {
  int shape;
  int degree;
};

TEST(CurvedDisc, SilhouetteOfCurvedElementsIsTheCircle) {
  for (const DiscCase c :
       {DiscCase{EntityType::Triangle, 2}, DiscCase{EntityType::Triangle, 3},
        DiscCase{EntityType::Triangle, 4}, DiscCase{EntityType::Quadrilateral, 2}}) {
    const QImage image = renderDisc(makeDiscMesh(c.shape, c.degree, 4), 8);
    ASSERT_EQ(image.size(), QSize(800, 600));
    int rows = 0;
    const double deviation = silhouetteDeviation(image, 400, 300, kRadius, 1.0, &rows);
    EXPECT_EQ(rows, 600);  // the disc is cropped at top and bottom: every row crosses it
    EXPECT_LE(deviation, 1.5) << "shape " << c.shape << " degree " << c.degree;
  }
}

TEST(CurvedDisc, StraightElementsOrNoTessellationMissTheCircle) {
  const QImage straight = renderDisc(makeDiscMesh(EntityType::Triangle, 1, 4), 8);
  EXPECT_GT(silhouetteDeviation(straight, 400, 300, kRadius, 1.0), 3.0);
  // Level 0 draws every element as its straight shape; any other level is held above the
  // screen floor and stays curved.
  const QImage flat = renderDisc(makeDiscMesh(EntityType::Triangle, 2, 4), 0);
  EXPECT_GT(silhouetteDeviation(flat, 400, 300, kRadius, 1.0), 3.0);
}

}  // namespace

namespace {

TEST(CurvedDisc, EachReferenceGetsItsColourInReferenceMode) {
  const CurvedMesh mesh = makeDiscMesh(EntityType::Triangle, 2, 4);
  ZelSceneWindow window(pellonSurfaceFormat());
  window.resize(800, 600);
  window.show();
  window.waitForInitialisation();
  for (int reference : {1, 2, 3}) {
    std::vector<int> selection;
    for (int e = 1; e <= mesh.elementCount; ++e)
      if (mesh.refs[e] == reference) selection.push_back(e);
    ZelDrawObject* object = ZelDrawObject::create(DrawKind::TriangleP2, reference);
    window.addObject(object);
    window.attachData(object, mesh.vertexCount, mesh.coords.data(), mesh.elementCount,
                      mesh.nodes.data(), selection.data(), int(selection.size()));
    EXPECT_EQ(object->entityCount(), int(selection.size()));
  }
  const double box[6] = {-1, 1, -1, 1, 0, 0};
  window.storeBoundingBox(box);
  window.setDimension(2);
  window.resetView();
  window.displaySettings().renderFlags = (window.displaySettings().renderFlags & ~6) | (2 << 1);
  window.displaySettings().lineOn = false;
  const QString path = QDir::temp().filePath("zel_references_test.png");
  window.requestScreenshot(path.toStdString());
  const QImage image(path);
  QFile::remove(path);
  // Lower half: reference 1; upper left: 2; upper right: 3 (the disc's y grows upwards).
  const QColor one = image.pixelColor(400, 450), two = image.pixelColor(250, 150),
               three = image.pixelColor(550, 150);
  EXPECT_NE(one, two);
  EXPECT_NE(two, three);
  EXPECT_NE(one, three);
  // Reference colours 1 (120, 40, 40) and 2 (80, 120, 40): red dominates one, green the other.
  EXPECT_GT(one.red(), one.green());
  EXPECT_GT(two.green(), two.red());
}

}  // namespace
