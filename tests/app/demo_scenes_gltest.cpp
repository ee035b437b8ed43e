// The demonstration scenes on screen: every element kind once, the gallery of each size, and
// each gallery element coloured as its interpolated field through the palette and colour map.
#include <gtest/gtest.h>

#include <QTest>

#include "app/demo_scenes.h"
#include "app/pellon.h"
#include "homath/evaluate.h"
#include "homath/lagrange_to_bezier.h"
#include "meshio/node_order.h"
#include "tests/app/screen_geometry.h"
#include "tests/support/screenshot.h"

namespace {

// The field a gallery element shows at reference point (u, v): the interpolant of cos(pi d) (d
// the x-y distance to the first vertex, the box's lower left corner) through the element's
// lattice nodes, evaluated from its Bezier coefficients.
std::function<double(double, double)> galleryField(int kind, int degree) {
  const bool triangle = kind == DrawKind::Triangle;
  const zel::LatticeOrder& order =
      *zel::latticeNodeOrder(triangle ? EntityType::Triangle : EntityType::Quadrilateral, degree);
  std::vector<float> coeffs;
  std::vector<int> identity;
  for (int n = 0; n < order.count; ++n) {
    const int* row = order.row(n) + (triangle ? 1 : 0);  // (u, v) times the degree
    coeffs.push_back(float(std::cos(M_PI * std::hypot(row[0], row[1]) / degree)));
    identity.push_back(n);
  }
  LagrangeToBezier(order.count, degree, coeffs.data(), 1, 1, identity.data(), order.count);
  return [=](double u, double v) {
    return triangle ? zel_EvaluateValueOnTriangle(coeffs.data(), degree, 1 - u - v, u, v)
                    : zel_EvaluateValueOnQuadrilateral(coeffs.data(), degree, u, v);
  };
}

// Each size: every kind once apart from the gallery, every element on its own, and each gallery
// element coloured as its field through the palette and colour map.
TEST(DemoScenes, EveryKindOnceAndTheGalleryColoursFollowThePaletteAndColourMap) {
  for (const auto& [size, degrees, zoomOut] :
       {std::tuple{DemoSize::Small, 4, 7}, {DemoSize::Full, 10, 9}}) {
    ZelSceneWindow window(pellonSurfaceFormat());
    window.resize(800, 600);
    window.show();
    ASSERT_TRUE(window.waitForInitialisation());
    const ZelDrawPalette* palette = buildDemoScene(&window, size);
    std::map<int, int> plain;              // objects without a solution, by kind
    std::vector<ZelDrawObject*> elements;  // the gallery: objects with a solution
    for (ZelDrawObject* object : window.allObjects())
      window.solutionOf(object) ? elements.push_back(object) : void(++plain[object->kind()]);
    for (int kind : {DrawKind::Triangle, DrawKind::Quadrilateral, DrawKind::QuadrilateralQ2,
                     DrawKind::QuadrilateralQ3, DrawKind::QuadrilateralQ4, DrawKind::TriangleP2,
                     DrawKind::TriangleP3, DrawKind::TriangleP4, DrawKind::Edge, DrawKind::EdgeP2,
                     DrawKind::EdgeP3, DrawKind::EdgeP4, DrawKind::Vertex, DrawKind::Palette})
      EXPECT_EQ(plain[kind], 1) << ZelDrawObject::kindName(kind);
    EXPECT_EQ(plain.size(), 14u);
    // A triangle and a quadrilateral of each degree 1 to `degrees` (their colours below).
    ASSERT_EQ(int(elements.size()), 2 * degrees);
    const auto box = [&](const ZelDrawObject* object) {
      return window.bufferOf(object)->boundingBox();
    };
    // No two boxes overlap in x and y (the legend aside).
    for (ZelDrawObject* a : window.allObjects())
      for (ZelDrawObject* b : window.allObjects())
        EXPECT_TRUE(a == b || a->kind() == DrawKind::Palette || b->kind() == DrawKind::Palette ||
                    box(a)[1] <= box(b)[0] || box(b)[1] <= box(a)[0] || box(a)[3] <= box(b)[2] ||
                    box(b)[3] <= box(a)[2]);
    EXPECT_EQ(std::make_tuple(palette->colourMap(), palette->isForced(), palette->values()),
              std::make_tuple(0, true, zel::PaletteValues{-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}));
    window.displaySettings().shadingModel = 3;  // flat colour: no lighting on top of the map
    window.displaySettings().lineOn = false;
    window.displaySettings().paletteShown = false;
    // Zoomed out (key "Z") until every gallery element lies inside the window.
    for (int press = 0; press < zoomOut; ++press) QTest::keyClick(&window, 'Z');
    const QImage image = screenshotOf(window);
    const QMatrix4x4 m = meshToDevice(window), deviceToMesh = m.inverted();
    // Whether pixel (px, py) shows a gallery element nearer to the eye than height z, within a
    // pixel or two of its box (the gallery climbs away from the eye, so seen from below each
    // element hides the edge of the next).
    const auto hiddenByCloser = [&](int px, int py, double z) {
      return std::any_of(elements.begin(), elements.end(), [&](const ZelDrawObject* other) {
        const double* b = box(other);
        return b[4] > z && QRectF(b[0] - 0.1, b[2] - 0.1, b[1] - b[0] + 0.2, b[3] - b[2] + 0.2)
                               .contains(meshPointOf(deviceToMesh, px, py, b[4]));
      });
    };
    for (ZelDrawObject* object : elements) {
      const int degree = object->reference();
      const bool triangle = object->kind() == DrawKind::Triangle;
      const double* b = box(object);
      const auto field = galleryField(object->kind(), degree);
      const QPointF low = pixelOf(m, b[0], b[2], b[4]), high = pixelOf(m, b[1], b[3], b[4]);
      // Pixels whose centre lies at least 2.5 pixels inside the element (clear of antialiasing).
      const double margin = 2.5 / std::abs(high.x() - low.x());
      int compared = 0, wrong = 0;
      for (int py = int(high.y()); py <= int(low.y()) + 1; ++py)
        for (int px = int(low.x()); px <= int(high.x()) + 1; ++px) {
          const QPointF p = meshPointOf(deviceToMesh, px, py, b[4]);
          const double u = p.x() - b[0], v = p.y() - b[2];
          if (u < margin || v < margin || hiddenByCloser(px, py, b[4]) ||
              (triangle ? u + v > 1 - 1.5 * margin : u > 1 - margin || v > 1 - margin))
            continue;
          const double error = colourError(image.pixelColor(px, py), palette, field(u, v));
          wrong += error > 2.0 / 255;
          ++compared;
        }
      EXPECT_TRUE(compared > 40 && wrong == 0)
          << object->typeName() << "degree " << degree << ": " << wrong << " of " << compared;
    }
  }
}

}  // namespace
