// A high-order solution attached through the scene window is coloured per pixel as the CPU
// evaluation of the field through the palette and the colour map predicts.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>

#include "app/pellon.h"
#include "gpu/colour_maps.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"
#include "window/ZelSceneWindow.h"

namespace {

// A cubic field over the triangle (-1,-1), (1,-1), (-1,1).
double field(double x, double y) { return 0.5 * x * x * x + x * y - y * y + 0.25 * y; }

TEST(SolutionColour, CubicFieldMatchesTheProcessorEvaluation) {
  ZelSceneWindow window(pellonSurfaceFormat());
  window.resize(800, 600);
  window.show();
  window.waitForInitialisation();

  const double vertices[3][2] = {{-1, -1}, {1, -1}, {-1, 1}};
  const double coords[] = {0, 0, 0, -1, -1, 0, 1, -1, 0, -1, 1, 0};
  const int nodes[] = {0, 0, 0, 1, 2, 3};
  ZelDrawObject* triangle = ZelDrawObject::create(DrawKind::Triangle, 1);
  window.addObject(triangle);
  window.attachData(triangle, 3, coords, 1, nodes);

  // Lagrange values at the degree-3 nodes, in the default node order.
  const zel::LatticeOrder* order = zel::latticeNodeOrder(EntityType::Triangle, 3);
  std::vector<double> values;
  double low = 1e300, high = -1e300;
  for (int n = 0; n < order->count; ++n) {
    const int* row = order->row(n);
    double x = 0, y = 0;
    for (int k = 0; k < 3; ++k) {
      x += row[k] / 3.0 * vertices[k][0];
      y += row[k] / 3.0 * vertices[k][1];
    }
    values.push_back(field(x, y));
    low = std::min(low, values.back());
    high = std::max(high, values.back());
  }
  window.attachData(new ZelDrawSolution(1), triangle, nullptr, values.data(), 1, 10);
  ASSERT_TRUE(window.displaySettings().solutionOn);
  ZelDrawPalette* palette = triangle->getPalette();
  ASSERT_NE(palette, nullptr);

  const double box[6] = {-1, 1, -1, 1, 0, 0};
  window.storeBoundingBox(box);
  window.setDimension(2);
  window.resetView();
  window.displaySettings().shadingModel = 3;  // flat colour: no lighting on top of the map
  window.displaySettings().lineOn = false;
  const QString path = QDir::temp().filePath("zel_solution_colour_test.png");
  window.requestScreenshot(path.toStdString());
  const QImage image(path);
  QFile::remove(path);
  ASSERT_EQ(image.size(), QSize(800, 600));

  // Mesh point of a pixel centre: the box is normalised to [-0.5, 0.5] and seen from distance
  // 3 with a 15-degree field of view.
  const double pixelsPerUnit = 0.5 / (3.0 * std::tan(7.5 * M_PI / 180.0)) * 300.0;
  int compared = 0;
  for (int py = 20; py < 600; py += 37) {
    for (int px = 20; px < 800; px += 41) {
      const double x = (px + 0.5 - 400.0) / pixelsPerUnit, y = (300.0 - (py + 0.5)) / pixelsPerUnit;
      if (x < -0.97 || y < -0.97 || x + y > -0.03) continue;  // keep away from the edges
      const zel::Rgb expected = zel::colourMapAt(
          palette->colourMap(), zel::palettePosition(palette->values(), field(x, y)));
      const QColor actual = image.pixelColor(px, py);
      EXPECT_NEAR(actual.redF(), expected[0], 3.0 / 255) << px << "," << py;
      EXPECT_NEAR(actual.greenF(), expected[1], 3.0 / 255) << px << "," << py;
      EXPECT_NEAR(actual.blueF(), expected[2], 3.0 / 255) << px << "," << py;
      ++compared;
    }
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
