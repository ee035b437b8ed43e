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
  std::vector<float> nodal;
  std::vector<int> identity;
  for (int n = 0; n < order.count; ++n) {
    const int* row = order.row(n) + (triangle ? 1 : 0);  // (u, v) times the degree
    nodal.push_back(float(std::cos(M_PI * std::hypot(row[0], row[1]) / degree)));
    identity.push_back(n);
  }
  std::vector<float> coeffs = nodal;
  LagrangeToBezier(order.count, degree, coeffs.data(), 1, 1, identity.data(), order.count);
  const auto at = [=](double u, double v) {
    return triangle ? zel_EvaluateValueOnTriangle(coeffs.data(), degree, 1 - u - v, u, v)
                    : zel_EvaluateValueOnQuadrilateral(coeffs.data(), degree, u, v);
  };
  for (int n = 0; n < order.count; ++n) {  // the interpolant takes the nodal values
    const int* row = order.row(n) + (triangle ? 1 : 0);
    EXPECT_NEAR(at(row[0] / double(degree), row[1] / double(degree)), nodal[size_t(n)], 1e-4);
  }
  return at;
}

// Each size: every kind once apart from the gallery, every element on its own, and each gallery
// element coloured as its field through the palette and colour map.
TEST(DemoScenes, EveryKindOnceAndTheGalleryColoursFollowThePaletteAndColourMap) {
  for (const auto& [size, degrees] :
       {std::pair{DemoSize::Small, 4}, std::pair{DemoSize::Full, 10}}) {
    ZelSceneWindow window(pellonSurfaceFormat());
    window.resize(800, 600);
    window.show();
    ASSERT_TRUE(window.waitForInitialisation());
    const ZelDrawPalette* palette = buildDemoScene(&window, size);
    std::map<int, int> plain;                 // objects without a solution, by kind
    std::vector<ZelDrawObject*> elements;     // the gallery: objects with a solution
    std::map<int, ZelDrawObject*> triangles;  // its triangles by degree
    for (ZelDrawObject* object : window.allObjects()) {
      if (!window.solutionOf(object)) {
        ++plain[object->kind()];
        continue;
      }
      elements.push_back(object);
      if (object->kind() == DrawKind::Triangle) triangles[object->reference()] = object;
    }
    for (int kind : {DrawKind::Triangle, DrawKind::Quadrilateral, DrawKind::QuadrilateralQ2,
                     DrawKind::QuadrilateralQ3, DrawKind::QuadrilateralQ4, DrawKind::TriangleP2,
                     DrawKind::TriangleP3, DrawKind::TriangleP4, DrawKind::Edge, DrawKind::EdgeP2,
                     DrawKind::EdgeP3, DrawKind::EdgeP4, DrawKind::Vertex, DrawKind::Palette})
      EXPECT_EQ(plain[kind], 1) << ZelDrawObject::kindName(kind);
    EXPECT_EQ(plain.size(), 14u);
    // As many triangles as quadrilaterals, of degrees 1 to `degrees`.
    ASSERT_EQ(int(elements.size()), 2 * degrees);
    ASSERT_EQ(int(triangles.size()), degrees);
    EXPECT_EQ(triangles.rbegin()->first, degrees);
    const auto box = [&](const ZelDrawObject* object) {
      return window.bufferOf(object)->boundingBox();
    };
    // The first gallery triangles: (3,0,1) (4,0,1) (3,1,1), then one up and half a unit down.
    for (int k = 1; k <= 3; ++k) {
      const double z = 1.0 - 0.5 * (k - 1), expected[6] = {3, 4, double(k - 1), double(k), z, z};
      for (int i = 0; i < 6; ++i) EXPECT_NEAR(box(triangles.at(k))[i], expected[i], 1e-6) << k;
    }
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

    // Zoom out (key "Z") until every gallery element lies inside the window.
    screenshotOf(window);
    const auto fits = [&] {
      const QMatrix4x4 m = meshToDevice(window);
      for (ZelDrawObject* object : elements)
        for (int corner = 0; corner < 4; ++corner)
          if (!QRectF(2, 2, 796, 596)
                   .contains(pixelOf(m, box(object)[corner & 1], box(object)[2 + corner / 2],
                                     box(object)[4])))
            return false;
      return true;
    };
    for (int presses = 0; !fits(); ++presses) {
      ASSERT_LT(presses, 30) << "the gallery never fits the window";
      QTest::keyClick(&window, 'Z');
    }
    const QImage image = screenshotOf(window);
    const QMatrix4x4 m = meshToDevice(window), deviceToMesh = m.inverted();
    // Whether pixel (px, py) shows a gallery element nearer to the eye than height z, within a
    // pixel or two of its box (the gallery climbs away from the eye, so seen from below each
    // element hides the edge of the next).
    const auto hiddenByCloser = [&](int px, int py, double z) {
      for (const ZelDrawObject* other : elements) {
        const double* b = box(other);
        const QPointF p = meshPointOf(deviceToMesh, px, py, b[4]);
        if (b[4] > z && p.x() > b[0] - 0.1 && p.x() < b[1] + 0.1 && p.y() > b[2] - 0.1 &&
            p.y() < b[3] + 0.1)
          return true;
      }
      return false;
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
      EXPECT_GT(compared, 40) << object->typeName() << "degree " << degree;
      EXPECT_EQ(wrong, 0) << object->typeName() << "degree " << degree << ": of " << compared;
    }
  }
}

}  // namespace
