// The demonstration scenes: every drawable element kind and the high-order solution gallery.
#include "app/demo_scenes.h"

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <memory>

#include "meshio/entity_types.h"
#include "meshio/node_order.h"
#include "meshio/status.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"
#include "window/ZelSceneWindow.h"
#include "window/driver_banner.h"

namespace {

// One element of the demonstration: its scene-object kind, its shape (the entity type of the
// linear element, which names its node lattice) and its degree.
struct DemoElement {
  int drawKind;
  int shape;
  int degree;
};

const DemoElement kDemoElements[] = {
    {DrawKind::Triangle, EntityType::Triangle, 1},
    {DrawKind::Quadrilateral, EntityType::Quadrilateral, 1},
    {DrawKind::QuadrilateralQ2, EntityType::Quadrilateral, 2},
    {DrawKind::QuadrilateralQ3, EntityType::Quadrilateral, 3},
    {DrawKind::QuadrilateralQ4, EntityType::Quadrilateral, 4},
    {DrawKind::TriangleP2, EntityType::Triangle, 2},
    {DrawKind::TriangleP3, EntityType::Triangle, 3},
    {DrawKind::TriangleP4, EntityType::Triangle, 4},
    {DrawKind::Edge, EntityType::Edge, 1},
    {DrawKind::EdgeP2, EntityType::Edge, 2},
    {DrawKind::EdgeP3, EntityType::Edge, 3},
    {DrawKind::EdgeP4, EntityType::Edge, 4},
};

// The demonstration elements sit in a grid left of the gallery: a row per shape, a column per
// degree, each element inside a square of this side.
const double kElementSize = 0.6;
const double kColumnStep = 0.7;
const double kRowStep = 0.8;   // room for the bulge of curved elements
const double kFirstRow = 0.6;  // leaves the point at (0.25, 0.25) free
const double kPoint[3] = {0.25, 0.25, -0.1};
// Curved elements bulge by this fraction of their size, so that their degree shows.
const double kBulge = 0.2;

const float kDemoPalette[5] = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};
const int kDemoColourMap = 0;
const int kDemoIsoLines = 9;

int vertexCountOf(int shape) {
  return shape == EntityType::Edge ? 2 : shape == EntityType::Triangle ? 3 : 4;
}

// Weights of the vertices at lattice node `row` of `shape` and `degree`: barycentric for the
// edge and the triangle, bilinear for the quadrilateral.
void vertexWeights(int shape, int degree, const int* row, double weights[4]) {
  if (shape == EntityType::Quadrilateral) {
    const double u = double(row[0]) / degree, v = double(row[1]) / degree;
    weights[0] = (1 - u) * (1 - v);
    weights[1] = u * (1 - v);
    weights[2] = u * v;
    weights[3] = (1 - u) * v;
  } else if (shape == EntityType::Triangle) {
    for (int k = 0; k < 3; ++k) weights[k] = double(row[k]) / degree;
  } else {
    weights[0] = double(degree - row[0]) / degree;
    weights[1] = double(row[0]) / degree;
  }
}

// Positions (x, y, z each) of the nodes of one element of `shape` and `degree` with the given
// vertices, in the default node order.
std::vector<double> nodePositions(int shape, int degree, const double* vertices) {
  const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
  std::vector<double> positions;
  if (!order) return positions;
  for (int n = 0; n < order->count; ++n) {
    double weights[4] = {0, 0, 0, 0};
    vertexWeights(shape, degree, order->row(n), weights);
    for (int axis = 0; axis < 3; ++axis) {
      double x = 0;
      for (int v = 0; v < vertexCountOf(shape); ++v) x += weights[v] * vertices[3 * v + axis];
      positions.push_back(x);
    }
  }
  return positions;
}

// Adds one object of `kind` holding a single element whose nodes, numbered 1 to n, are at
// `positions` (x, y, z each).
ZelDrawObject* addElement(ZelSceneWindow* window, int kind, int reference,
                          const std::vector<double>& positions) {
  const int n = int(positions.size() / 3);
  // Mesh form: vertex and element slots 0 are empty.
  std::vector<double> coords(3, 0.0);
  coords.insert(coords.end(), positions.begin(), positions.end());
  std::vector<int> nodes(size_t(n), 0);
  for (int v = 1; v <= n; ++v) nodes.push_back(v);
  ZelDrawObject* object = ZelDrawObject::create(kind, reference);
  window->addObject(object);
  window->attachData(object, n, coords.data(), 1, nodes.data());
  return object;
}

// The demonstration element in its grid cell (a row per shape, a column per degree); curved
// kinds bulge upwards along x.
void addDemoElement(ZelSceneWindow* window, const DemoElement& element) {
  // Vertices of each shape in a unit cell, x and y each.
  static const double unitEdge[] = {0, 0, 1, 0};
  static const double unitTriangle[] = {0, 0, 1, 0, 0, 1};
  static const double unitSquare[] = {0, 0, 1, 0, 1, 1, 0, 1};
  const bool triangle = element.shape == EntityType::Triangle;
  const bool edge = element.shape == EntityType::Edge;
  const double* unit = edge ? unitEdge : triangle ? unitTriangle : unitSquare;
  const int row = triangle ? 0 : edge ? 2 : 1;
  const double x0 = kColumnStep * (element.degree - 1), y0 = kFirstRow + kRowStep * row;
  double vertices[12] = {};
  for (int v = 0; v < vertexCountOf(element.shape); ++v) {
    vertices[3 * v] = x0 + kElementSize * unit[2 * v];
    vertices[3 * v + 1] = y0 + kElementSize * unit[2 * v + 1];
  }
  std::vector<double> positions = nodePositions(element.shape, element.degree, vertices);
  if (element.degree > 1) {
    for (size_t p = 0; p < positions.size(); p += 3)
      positions[p + 1] +=
          kBulge * kElementSize * std::sin(M_PI * (positions[p] - x0) / kElementSize);
  }
  addElement(window, element.drawKind, 0, positions);
}

}  // namespace

int galleryHighestDegree(DemoSize size) { return size == DemoSize::Full ? 10 : 4; }

std::vector<double> galleryNodalValues(int drawKind, int degree, const double* vertices) {
  if (drawKind != DrawKind::Triangle && drawKind != DrawKind::Quadrilateral)
    zel::fatalExit(stdout, " no gallery solution on elements of type %s\n",
                   ZelDrawObject::kindName(drawKind));
  if (degree < 1 || degree > 10)
    zel::fatalExit(stdout, " no gallery solution of degree %d\n", degree);
  const int shape =
      drawKind == DrawKind::Triangle ? EntityType::Triangle : EntityType::Quadrilateral;
  const std::vector<double> positions = nodePositions(shape, degree, vertices);
  std::vector<double> values;
  for (size_t p = 0; p < positions.size(); p += 3) {
    const double d = std::hypot(positions[p] - vertices[0], positions[p + 1] - vertices[1]);
    values.push_back(std::cos(M_PI * d));
  }
  return values;
}

std::vector<double> galleryVertices(int drawKind, int degree) {
  const double y = degree - 1, z = 1.0 - 0.5 * (degree - 1);
  if (drawKind == DrawKind::Triangle) return {3, y, z, 4, y, z, 3, y + 1, z};
  return {5, y, z, 6, y, z, 6, y + 1, z, 5, y + 1, z};
}

ZelDrawPalette* buildDemoScene(ZelSceneWindow* window, DemoSize size) {
  window->setIsoLineWidth(1.0);
  auto* palette = new ZelDrawPalette(kDemoPalette, kDemoColourMap, kDemoIsoLines, true);
  window->addObject(palette);
  // The legend: a bar along the top, in normalised window coordinates.
  const double legend[12] = {-0.9, 0.95, 0, -0.9, 0.85, 0, 0.9, 0.85, 0, 0.9, 0.95, 0};
  const unsigned corners[4] = {0, 1, 2, 3};
  window->attachLocalData(palette, 4, legend, 1, corners);

  for (const DemoElement& element : kDemoElements) addDemoElement(window, element);
  addElement(window, DrawKind::Vertex, 0, std::vector<double>(kPoint, kPoint + 3));

  for (int kind : {int(DrawKind::Triangle), int(DrawKind::Quadrilateral)}) {
    for (int degree = 1; degree <= galleryHighestDegree(size); ++degree) {
      const std::vector<double> vertices = galleryVertices(kind, degree);
      ZelDrawObject* element = addElement(window, kind, degree, vertices);
      const std::vector<double> values = galleryNodalValues(kind, degree, vertices.data());
      window->attachData(new ZelDrawSolution(degree), element, palette, values.data(), 1,
                         int(values.size()));
    }
  }
  window->setRotationCentre(kPoint);
  window->renderNow();
  return palette;
}

int runDemo(QApplication& application, const QSurfaceFormat& format, DemoSize size) {
  auto window = std::make_unique<ZelSceneWindow>(format);
  window->resize(800, 600);
  window->show();
  if (!window->waitForInitialisation()) {
    printOpenGLTooOld(stdout, 0, 0);
    return 1;
  }
  zel::printMessage(size == DemoSize::Full ? "  Launching demo full version !\n"
                                           : "  Launching demo version !\n");
  buildDemoScene(window.get(), size);
  const int code = application.exec();
  window.reset();
  return code;
}
