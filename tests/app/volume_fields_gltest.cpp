// Volume solutions on the boundary of volume meshes: a field whose degree differs from the
// elements' own degree colours the boundary faces (those found by surface extraction and the
// mesh faces lying on volumes) per pixel as the processor's evaluation of the field predicts.
#include <gtest/gtest.h>

#include <QQuaternion>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "gpu/colour_maps.h"
#include "meshio/entity_faces.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"
#include "scene/ZelDrawObject.h"
#include "scene/ZelDrawPalette.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"

namespace {

using Point = std::array<double, 3>;
using Field = std::function<double(double, double)>;

// Fields exactly representable at their degree on the top face, whatever the element shape.
double quadratic(double x, double y) { return x * x - 0.5 * x * y + 0.5 * y; }
double cubic(double x, double y) { return 0.5 * x * x * x + x * y - y * y + 0.25 * y; }

struct VolumeCase {
  const char* name;
  int shape;        // EntityType::Tetrahedron or EntityType::Hexahedron
  int meshDegree;   // geometric degree of the elements
  int fieldDegree;  // degree of the "HOSolAt" header, another one
  double bend;      // y is moved by bend * (1 - x^2): a curved mesh when not 0
  bool meshFaces;   // the top face is also listed as mesh faces (they lie on the volumes)
  const char* meshKeyword;
  const char* faceKeyword;
  const char* solutionKeyword;
};

// The slab [-1, 1]^2 x [0, kHeight], 2 x 2 cells in x and y, one cell high; each cube is one
// hexahedron or six tetrahedra around its diagonal. Positions are logical until bent.
constexpr double kHeight = 0.4;

// Element vertices (logical positions) of one cube at `origin`, cell size 1.
std::vector<std::vector<Point>> cubeElements(int shape, const Point& origin) {
  std::vector<std::vector<Point>> elements;
  if (shape == EntityType::Hexahedron) {
    const zel::LatticeOrder& corners = *zel::latticeNodeOrder(EntityType::Hexahedron, 1);
    std::vector<Point> hexahedron;
    for (int v = 0; v < 8; ++v)
      hexahedron.push_back({origin[0] + corners.row(v)[0], origin[1] + corners.row(v)[1],
                            origin[2] + kHeight * corners.row(v)[2]});
    return {hexahedron};
  }
  const int paths[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (const auto& path : paths) {
    std::vector<Point> tetrahedron = {origin};
    for (int axis : path) {
      Point next = tetrahedron.back();
      next[axis] += axis == 2 ? kHeight : 1.0;
      tetrahedron.push_back(next);
    }
    elements.push_back(tetrahedron);
  }
  return elements;
}

// Logical position of the lattice node `row` of degree `deg` in an element with `vertices`.
Point nodePosition(int shape, int deg, const int* row, const std::vector<Point>& vertices) {
  Point p = {0, 0, 0};
  if (shape == EntityType::Tetrahedron) {
    for (int v = 0; v < 4; ++v)
      for (int c = 0; c < 3; ++c) p[c] += double(row[v]) / deg * vertices[v][c];
    return p;
  }
  // A hexahedron here is a box: its lattice spans it from the lowest corner to the highest.
  for (int c = 0; c < 3; ++c) {
    double low = vertices[0][c], high = vertices[0][c];
    for (const Point& v : vertices) low = std::min(low, v[c]), high = std::max(high, v[c]);
    p[c] = low + double(row[c]) / deg * (high - low);
  }
  return p;
}

// The slab's elements: vertex positions (logical), node numbers per element, the top faces'
// node numbers (when the case lists them) and the field's Lagrange values per element.
struct VolumeMesh {
  std::vector<Point> positions;
  std::vector<std::vector<int>> elements, topFaces;
  std::vector<std::vector<double>> values;
};

VolumeMesh buildVolumeMesh(const VolumeCase& c, const Field& field) {
  VolumeMesh mesh;
  std::map<std::array<long, 3>, int> numbers;  // logical position -> vertex number
  auto vertexAt = [&](const Point& p) {
    const std::array<long, 3> key = {std::lround(p[0] * 1e6), std::lround(p[1] * 1e6),
                                     std::lround(p[2] * 1e6)};
    const auto found = numbers.emplace(key, int(mesh.positions.size()) + 1);
    if (found.second) mesh.positions.push_back(p);
    return found.first->second;
  };
  const zel::LatticeOrder& geometry = *zel::latticeNodeOrder(c.shape, c.meshDegree);
  const zel::LatticeOrder& nodes = *zel::latticeNodeOrder(c.shape, c.fieldDegree);
  const ZelLocalTopology& topology = *zel_LocalTopology(c.shape, c.meshDegree);
  for (double x0 : {-1.0, 0.0})
    for (double y0 : {-1.0, 0.0})
      for (const std::vector<Point>& vertices : cubeElements(c.shape, {x0, y0, 0.0})) {
        std::vector<int> element;
        std::vector<Point> logical;
        for (int n = 0; n < geometry.count; ++n) {
          logical.push_back(nodePosition(c.shape, c.meshDegree, geometry.row(n), vertices));
          element.push_back(vertexAt(logical.back()));
        }
        std::vector<double> nodal;
        for (int n = 0; n < nodes.count; ++n) {
          const Point p = nodePosition(c.shape, c.fieldDegree, nodes.row(n), vertices);
          nodal.push_back(field(p[0], p[1]));
        }
        for (int f = 0; f < topology.nbrFaces && c.meshFaces; ++f) {
          bool top = true;
          for (int local : topology.faces[f]) top = top && logical[local][2] == kHeight;
          if (!top) continue;
          mesh.topFaces.emplace_back();
          for (int local : topology.faces[f]) mesh.topFaces.back().push_back(element[local]);
        }
        mesh.elements.push_back(element);
        mesh.values.push_back(nodal);
      }
  return mesh;
}

// Writes the mesh (bent) and the solution of `c` into `directory`; returns the mesh's path.
std::string writeVolumeCase(const VolumeCase& c, const Field& field,
                            const std::filesystem::path& directory) {
  const VolumeMesh mesh = buildVolumeMesh(c, field);
  const std::string path = (directory / (std::string(c.name) + ".mesh")).string();
  std::ofstream out(path);
  out.precision(17);
  out << "MeshVersionFormatted 2\nDimension 3\nVertices\n" << mesh.positions.size() << "\n";
  for (const Point& p : mesh.positions)
    out << p[0] << " " << p[1] + c.bend * (1 - p[0] * p[0]) << " " << p[2] << " 0\n";
  auto writeElements = [&](const char* keyword, const std::vector<std::vector<int>>& list) {
    out << keyword << "\n" << list.size() << "\n";
    for (const std::vector<int>& element : list) {
      for (int v : element) out << v << " ";
      out << "1\n";
    }
  };
  writeElements(c.meshKeyword, mesh.elements);
  if (c.meshFaces) writeElements(c.faceKeyword, mesh.topFaces);
  out << "End\n";

  std::ofstream solution(directory / (std::string(c.name) + ".sol"));
  solution.precision(17);
  solution << "MeshVersionFormatted 2\nDimension 3\n"
           << c.solutionKeyword << "\n"
           << mesh.values.size() << "\n1 1\n"
           << c.fieldDegree << " " << mesh.values.front().size() << "\n";
  for (const std::vector<double>& nodal : mesh.values) {
    for (double v : nodal) solution << v << " ";
    solution << "\n";
  }
  solution << "End\n";
  return path;
}

// Number of objects of `kind` that show a solution.
int colouredObjects(ZelMeshViewer& viewer, int kind) {
  int count = 0;
  for (ZelDrawObject* object : viewer.allObjects())
    count += object->kind() == kind && viewer.solutionOf(object);
  return count;
}

// Renders the boundary of the case's slab from above and compares every sampled pixel of the
// top face with the colour of the field there, through the palette and the colour map.
void checkVolumeCase(const VolumeCase& c, const std::filesystem::path& directory) {
  const Field field = c.fieldDegree == 2 ? Field(quadratic) : Field(cubic);
  const std::string mesh = writeVolumeCase(c, field, directory);
  ZelMeshViewer viewer(pellonSurfaceFormat());
  assembleScene(&viewer, mesh, mesh);
  // The top face carries the field: as mesh faces lying on the volumes, or as extracted
  // boundary faces.
  const int linearKind = c.shape == EntityType::Tetrahedron
                             ? (c.meshFaces ? DrawKind::Triangle : DrawKind::SrfTriangle)
                             : (c.meshFaces ? DrawKind::Quadrilateral : DrawKind::SrfQuadrilateral);
  EXPECT_EQ(colouredObjects(viewer, linearKind + c.meshDegree - 1), 1);
  ASSERT_TRUE(viewer.displaySettings().solutionOn);
  viewer.camera().setRotation(QQuaternion());  // looking down on the top face
  viewer.displaySettings().shadingModel = 3;   // flat colour: no lighting on top of the map
  viewer.displaySettings().lineOn = false;
  viewer.displaySettings().tessellationLevel = 16;
  const QImage image = screenshotOf(viewer, c.name);
  ASSERT_EQ(image.size(), QSize(800, 600));
  const ZelDrawPalette* palette = viewer.palette();

  // Mesh point of a pixel centre on the top face: normalised coordinates seen from distance
  // 3 with a 15-degree field of view, the face lying kHeight / 2 nearer than the centre.
  double box[6];
  viewer.getBoundingBox(box);
  const double scale = 1.0 / std::max({box[1] - box[0], box[3] - box[2], box[5] - box[4]});
  const double depth = (kHeight - 0.5 * (box[4] + box[5])) * scale;
  const double pixelsPerUnit = 300.0 / ((3.0 - depth) * std::tan(7.5 * M_PI / 180.0)) * scale;
  int compared = 0, mismatched = 0;
  // Below the legend band (rows 15 to 45).
  for (int py = 60; py < 600; py += 23) {
    for (int px = 20; px < 800; px += 29) {
      const double x = 0.5 * (box[0] + box[1]) + (px + 0.5 - 400.0) / pixelsPerUnit;
      const double bentY = 0.5 * (box[2] + box[3]) + (300.0 - (py + 0.5)) / pixelsPerUnit;
      const double y = bentY - c.bend * (1 - x * x);
      if (std::abs(x) > 0.95 || std::abs(y) > 0.95) continue;  // away from the silhouette
      const zel::Rgb expected = zel::colourMapAt(
          palette->colourMap(), zel::palettePosition(palette->values(), field(x, y)));
      const QColor actual = image.pixelColor(px, py);
      const double channels[3] = {actual.redF(), actual.greenF(), actual.blueF()};
      bool near = true;
      for (int k = 0; k < 3; ++k) near = near && std::abs(channels[k] - expected[k]) <= 3.0 / 255;
      if (!near && mismatched++ == 0)
        ADD_FAILURE() << "pixel " << px << "," << py << " is " << actual.name().toStdString()
                      << ", the field " << field(x, y) << " gives (" << expected[0] << ", "
                      << expected[1] << ", " << expected[2] << ")";
      ++compared;
    }
  }
  EXPECT_EQ(mismatched, 0) << "of " << compared;
  EXPECT_GT(compared, 150);
}

TEST(VolumeFields, FieldsOfAnotherDegreeColourTheBoundaryAsEvaluated) {
  const TemporaryDirectory scratch;
  const VolumeCase cases[] = {
      {"tet_p1_field2", EntityType::Tetrahedron, 1, 2, 0.0, false, "Tetrahedra", "Triangles",
       "HOSolAtTetrahedraP1"},
      {"tet_p2_field3", EntityType::Tetrahedron, 2, 3, 0.3, true, "TetrahedraP2", "TrianglesP2",
       "HOSolAtTetrahedraP2"},
      {"hex_q1_field2", EntityType::Hexahedron, 1, 2, 0.0, true, "Hexahedra", "Quadrilaterals",
       "HOSolAtHexahedraQ1"},
      {"hex_q2_field3", EntityType::Hexahedron, 2, 3, 0.3, false, "HexahedraQ2", "QuadrilateralsQ2",
       "HOSolAtHexahedraQ2"},
  };
  for (const VolumeCase& c : cases) {
    SCOPED_TRACE(c.name);
    checkVolumeCase(c, scratch.path());
  }
}

}  // namespace
