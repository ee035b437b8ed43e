// The demonstration scenes on screen: every element kind once, the gallery of each size, and
// each gallery element coloured as its interpolated field through the palette and colour map.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "app/demo_scenes.h"
#include "app/pellon.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/colour_maps.h"
#include "homath/evaluate.h"
#include "homath/lagrange_to_bezier.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"
#include "tests/support/screenshot.h"
#include "window/ZelSceneWindow.h"

namespace {

void openWindow(ZelSceneWindow& window) {
  window.resize(800, 600);
  window.show();
  ASSERT_TRUE(window.waitForInitialisation());
}

// Gallery elements of one kind by degree (the objects that carry a solution).
std::map<int, ZelDrawObject*> gallery(ZelSceneWindow& window, int kind) {
  std::map<int, ZelDrawObject*> found;
  for (ZelDrawObject* object : window.allObjects())
    if (object->kind() == kind && window.solutionOf(object)) found[object->reference()] = object;
  return found;
}

TEST(DemoScenes, EveryKindOnceAndTheGalleryOfEachSize) {
  for (const auto& [size, degrees] :
       {std::pair{DemoSize::Small, 4}, std::pair{DemoSize::Full, 10}}) {
    ZelSceneWindow window(pellonSurfaceFormat());
    openWindow(window);
    buildDemoScene(&window, size);
    std::map<int, int> plain;  // objects without a solution, by kind
    for (ZelDrawObject* object : window.allObjects())
      if (!window.solutionOf(object)) ++plain[object->kind()];
    for (int kind : {DrawKind::Triangle, DrawKind::Quadrilateral, DrawKind::QuadrilateralQ2,
                     DrawKind::QuadrilateralQ3, DrawKind::QuadrilateralQ4, DrawKind::TriangleP2,
                     DrawKind::TriangleP3, DrawKind::TriangleP4, DrawKind::Edge, DrawKind::EdgeP2,
                     DrawKind::EdgeP3, DrawKind::EdgeP4, DrawKind::Vertex, DrawKind::Palette})
      EXPECT_EQ(plain[kind], 1) << ZelDrawObject::kindName(kind);
    EXPECT_EQ(plain.size(), 14u);

    const auto triangles = gallery(window, DrawKind::Triangle);
    const auto quadrilaterals = gallery(window, DrawKind::Quadrilateral);
    ASSERT_EQ(int(triangles.size()), degrees);
    ASSERT_EQ(int(quadrilaterals.size()), degrees);
    EXPECT_EQ(triangles.begin()->first, 1);
    EXPECT_EQ(triangles.rbegin()->first, degrees);
    // The first gallery triangles: (3,0,1) (4,0,1) (3,1,1), then one up and half a unit down.
    for (int k = 1; k <= 3; ++k) {
      const double* box = window.bufferOf(triangles.at(k))->boundingBox();
      const double z = 1.0 - 0.5 * (k - 1);
      const double expected[6] = {3, 4, double(k - 1), double(k), z, z};
      for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], expected[i], 1e-6) << k << " " << i;
    }
    // Every element of the demonstration is on its own: no two boxes overlap in x and y.
    std::vector<const double*> boxes;
    for (ZelDrawObject* object : window.allObjects())
      if (object->kind() != DrawKind::Palette)
        boxes.push_back(window.bufferOf(object)->boundingBox());
    for (size_t a = 0; a < boxes.size(); ++a)
      for (size_t b = a + 1; b < boxes.size(); ++b) {
        const bool apart = boxes[a][1] <= boxes[b][0] || boxes[b][1] <= boxes[a][0] ||
                           boxes[a][3] <= boxes[b][2] || boxes[b][3] <= boxes[a][2];
        EXPECT_TRUE(apart) << "objects " << a << " and " << b << " overlap";
      }
  }
}

// The field the gallery element shows at reference point (u, v): the degree-k interpolant of
// cos(pi d) (d the x-y distance to the first vertex) through the element's lattice nodes.
class GalleryField {
 public:
  GalleryField(int kind, int degree) : m_kind(kind), m_degree(degree) {
    const int shape = kind == DrawKind::Triangle ? EntityType::Triangle : EntityType::Quadrilateral;
    const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
    std::vector<int> identity;
    for (int n = 0; n < order->count; ++n) {
      const int* row = order->row(n);
      // The first vertex is the box's lower left corner; unit elements, so (u, v) are offsets.
      const double u = (kind == DrawKind::Triangle ? row[1] : row[0]) / double(degree);
      const double v = (kind == DrawKind::Triangle ? row[2] : row[1]) / double(degree);
      m_nodes.push_back({u, v});
      m_coeffs.push_back(float(std::cos(M_PI * std::hypot(u, v))));
      identity.push_back(n);
    }
    m_nodal = m_coeffs;
    LagrangeToBezier(order->count, degree, m_coeffs.data(), 1, 1, identity.data(), order->count);
  }
  double at(double u, double v) const {
    if (m_kind == DrawKind::Triangle)
      return zel_EvaluateValueOnTriangle(m_coeffs.data(), m_degree, 1 - u - v, u, v);
    return zel_EvaluateValueOnQuadrilateral(m_coeffs.data(), m_degree, u, v);
  }
  // The interpolant takes the nodal values at the nodes (checks the evaluation convention).
  double worstNodeError() const {
    double worst = 0;
    for (size_t n = 0; n < m_nodes.size(); ++n)
      worst = std::max(worst, std::abs(at(m_nodes[n][0], m_nodes[n][1]) - m_nodal[n]));
    return worst;
  }

 private:
  int m_kind, m_degree;
  std::vector<std::array<double, 2>> m_nodes;
  std::vector<float> m_nodal, m_coeffs;
};

// Mesh-unit point (x, y) of the plane z = `z` seen at the centre of pixel (px, py).
QPointF unproject(ZelSceneWindow& window, const QImage& image, int px, int py, double z) {
  const QMatrix4x4 inverse = (window.camera().projectionMatrix(float(window.fieldOfView())) *
                              window.camera().modelViewMatrix())
                                 .inverted();
  const float nx = float((px + 0.5) / image.width() * 2 - 1);
  const float ny = float(1 - (py + 0.5) / image.height() * 2);
  const QVector3D nearPoint = inverse.map(QVector3D(nx, ny, -1));
  const QVector3D farPoint = inverse.map(QVector3D(nx, ny, 1));
  const double scale = window.sceneScale();
  const double planeZ = (z - window.sceneCentre()[2]) * scale;
  const double t = (planeZ - nearPoint.z()) / (farPoint.z() - nearPoint.z());
  const QVector3D hit = nearPoint + float(t) * (farPoint - nearPoint);
  return {hit.x() / scale + window.sceneCentre()[0], hit.y() / scale + window.sceneCentre()[1]};
}

// Window pixel of a mesh point.
QPointF project(ZelSceneWindow& window, const QImage& image, const double p[3]) {
  QVector3D normalised;
  for (int axis = 0; axis < 3; ++axis)
    normalised[axis] = float((p[axis] - window.sceneCentre()[axis]) * window.sceneScale());
  const QVector3D ndc = (window.camera().projectionMatrix(float(window.fieldOfView())) *
                         window.camera().modelViewMatrix())
                            .map(normalised);
  return {(ndc.x() + 1) / 2 * image.width(), (1 - ndc.y()) / 2 * image.height()};
}

// True when the pixel also shows a gallery element nearer to the eye than `seen` (the gallery
// climbs away from the eye, so seen from below each element hides the edge of the next).
bool hiddenByCloser(ZelSceneWindow& window, const QImage& image, int px, int py,
                    const std::vector<ZelDrawObject*>& elements, const ZelDrawObject* seen) {
  const double z = window.bufferOf(seen)->boundingBox()[4];
  for (const ZelDrawObject* other : elements) {
    const double* box = window.bufferOf(other)->boundingBox();
    if (box[4] <= z) continue;
    const QPointF p = unproject(window, image, px, py, box[4]);
    // Pixels within a pixel or two of the nearer element's box count as covered.
    const double slack = 0.1;
    if (p.x() > box[0] - slack && p.x() < box[1] + slack && p.y() > box[2] - slack &&
        p.y() < box[3] + slack)
      return true;
  }
  return false;
}

TEST(DemoScenes, GalleryColoursFollowThePaletteAndColourMap) {
  ZelSceneWindow window(pellonSurfaceFormat());
  openWindow(window);
  const ZelDrawPalette* palette = buildDemoScene(&window, DemoSize::Full);
  EXPECT_EQ(palette->colourMap(), 0);
  EXPECT_TRUE(palette->isForced());
  EXPECT_EQ(palette->values(), (zel::PaletteValues{-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}));
  window.displaySettings().shadingModel = 3;  // flat colour: no lighting on top of the map
  window.displaySettings().lineOn = false;
  window.displaySettings().paletteShown = false;
  std::vector<ZelDrawObject*> elements;
  for (int kind : {DrawKind::Triangle, DrawKind::Quadrilateral})
    for (const auto& [degree, object] : gallery(window, kind)) elements.push_back(object);
  ASSERT_EQ(elements.size(), 20u);

  // Zoom out (key "Z") until every gallery element lies inside the window.
  QImage image = screenshotOf(window);
  for (int presses = 0;; ++presses) {
    bool inside = true;
    for (ZelDrawObject* object : elements) {
      const double* box = window.bufferOf(object)->boundingBox();
      for (int corner = 0; corner < 4; ++corner) {
        const double p[3] = {box[corner & 1], box[2 + corner / 2], box[4]};
        const QPointF pixel = project(window, image, p);
        inside = inside && pixel.x() > 2 && pixel.y() > 2 && pixel.x() < image.width() - 2 &&
                 pixel.y() < image.height() - 2;
      }
    }
    if (inside) break;
    ASSERT_LT(presses, 30) << "the gallery never fits the window";
    const double before = window.fieldOfView();
    QTest::keyClick(&window, 'Z');
    ASSERT_GT(window.fieldOfView(), before);
    image = screenshotOf(window);
  }

  for (ZelDrawObject* object : elements) {
    const int degree = object->reference();
    const double* box = window.bufferOf(object)->boundingBox();
    const GalleryField field(object->kind(), degree);
    ASSERT_LT(field.worstNodeError(), 1e-4) << "degree " << degree;
    const double low[3] = {box[0], box[2], box[4]}, high[3] = {box[1], box[3], box[4]};
    const QPointF a = project(window, image, low), b = project(window, image, high);
    // Pixels whose centre lies at least 2.5 pixels inside the element (clear of antialiasing).
    const double margin = 2.5 / std::abs(b.x() - a.x());
    int compared = 0, wrong = 0;
    double worst = 0;
    for (int py = int(b.y()); py <= int(a.y()) + 1; ++py) {
      for (int px = int(a.x()); px <= int(b.x()) + 1; ++px) {
        const QPointF p = unproject(window, image, px, py, box[4]);
        const double u = p.x() - box[0], v = p.y() - box[2];
        const bool interior = object->kind() == DrawKind::Triangle
                                  ? u > margin && v > margin && u + v < 1 - 1.5 * margin
                                  : u > margin && v > margin && u < 1 - margin && v < 1 - margin;
        if (!interior || hiddenByCloser(window, image, px, py, elements, object)) continue;
        const zel::Rgb expected = zel::colourMapAt(
            palette->colourMap(), zel::palettePosition(palette->values(), field.at(u, v)));
        const QColor actual = image.pixelColor(px, py);
        const double error = std::max({std::abs(actual.redF() - expected[0]),
                                       std::abs(actual.greenF() - expected[1]),
                                       std::abs(actual.blueF() - expected[2])});
        worst = std::max(worst, error);
        wrong += error > 2.0 / 255;
        ++compared;
      }
    }
    EXPECT_GT(compared, 40) << object->typeName() << "degree " << degree;
    EXPECT_EQ(wrong, 0) << object->typeName() << "degree " << degree << ": worst " << worst * 255
                        << "/255 over " << compared << " pixels";
  }
}

}  // namespace
