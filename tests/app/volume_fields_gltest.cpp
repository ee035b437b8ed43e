// Volume solutions on the boundary of volume meshes: a field whose degree differs from the
// elements' own degree colours the boundary faces (those found by surface extraction and the
// mesh faces lying on volumes) per pixel as the processor's evaluation of the field predicts.
#include <gtest/gtest.h>

#include <fstream>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "meshio/entity_faces.h"
#include "meshio/keyword_writer.h"
#include "tests/app/screen_geometry.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"

namespace {

using testmesh::Cell;
using testmesh::Vec;
using Field = double (*)(double, double);

// Fields exactly representable at their degree on the top face, whatever the element shape.
double quadratic(double x, double y) { return x * x - 0.5 * x * y + 0.5 * y; }
double cubic(double x, double y) { return 0.5 * x * x * x + x * y - y * y + 0.25 * y; }

struct VolumeCase {
  const char* name;
  Cell cell;        // each cube: six tetrahedra around its diagonal or one hexahedron
  int meshDegree;   // geometric degree of the elements
  int fieldDegree;  // degree of the "HOSolAt" header, another one
  double bend;      // y is moved by bend * (1 - x^2): a curved mesh when not 0
  bool meshFaces;   // the top face is also listed as mesh faces (they lie on the volumes)
};

// The slab [-1, 1]^2 x [0, kHeight] of 2 x 2 cubes, one high; `p` a point of the builder's unit
// cells.
constexpr double kHeight = 0.4;
Vec slab(const Vec& p) { return {p[0] - 1, p[1] - 1, kHeight * p[2]}; }

// Writes the mesh (bent) and the solution of `c` into `directory`; returns the mesh's path.
std::string writeVolumeCase(const VolumeCase& c, Field field, const TemporaryDirectory& directory) {
  const bool tetrahedra = c.cell == Cell::Tetrahedra;
  const int shape = tetrahedra ? EntityType::Tetrahedron : EntityType::Hexahedron;
  testmesh::MeshBuilder builder(2.0 * c.meshDegree);
  for (int cube = 0; cube < 4; ++cube)
    builder.fillCell(c.cell, c.meshDegree, cube / 2, cube % 2, 0);
  const std::vector<int> nodes = builder.nodes(
      zel_SolTyp2EntTyp(tetrahedra ? SolTyp::Tetrahedron : SolTyp::Hexahedron, c.meshDegree));
  const int faceType =
      zel_SolTyp2EntTyp(tetrahedra ? SolTyp::Triangle : SolTyp::Quadrilateral, c.meshDegree);
  const int size = zel::latticeNodeOrder(shape, c.meshDegree)->count;
  const int count = int(nodes.size()) / size;
  const zel::LatticeOrder& lattice = *zel::latticeNodeOrder(shape, c.fieldDegree);
  const ZelLocalTopology& topology = *zel_LocalTopology(shape, c.meshDegree);
  std::ofstream solution(directory.file(std::string(c.name) + ".sol"));
  solution.precision(17);
  solution << "MeshVersionFormatted 2\nDimension 3\nHOSolAt"
           << (tetrahedra ? "TetrahedraP" : "HexahedraQ") << c.meshDegree << "\n"
           << count << "\n1 1\n"
           << c.fieldDegree << " " << lattice.count << "\n";
  for (int e = 0; e < count; ++e) {
    const int* element = &nodes[size_t(e * size)];
    std::vector<Vec> at;  // the element's nodes in the slab, vertices first
    for (int n = 0; n < size; ++n) at.push_back(slab(builder.position(element[n])));
    // The field's nodes on the straight element: barycentric in a tetrahedron, the lattice of
    // the box in a hexahedron.
    for (int n = 0; n < lattice.count; ++n) {
      const int* row = lattice.row(n);
      Vec p;
      for (int a = 0; a < 3; ++a)
        p[a] =
            tetrahedra
                ? (row[0] * at[0][a] + row[1] * at[1][a] + row[2] * at[2][a] + row[3] * at[3][a]) /
                      c.fieldDegree
                : at[0][a] + row[a] * (at[6][a] - at[0][a]) / c.fieldDegree;
      solution << field(p[0], p[1]) << (n + 1 < lattice.count ? " " : "\n");
    }
    for (int f = 0; f < topology.nbrFaces && c.meshFaces; ++f) {
      std::vector<int> face;
      for (int local : topology.faces[f])
        if (at[size_t(local)][2] == kHeight) face.push_back(element[local]);
      if (face.size() == topology.faces[f].size()) builder.add(faceType, face);
    }
  }
  solution << "End\n";
  ZelObject* mesh = builder.build();
  for (double* p = mesh->coordinates + 3; p < mesh->coordinates + 3 * (builder.nbrVertices() + 1);
       p += 3) {
    const Vec logical = slab({p[0], p[1], p[2]});
    p[0] = logical[0], p[1] = logical[1] + c.bend * (1 - p[0] * p[0]), p[2] = logical[2];
  }
  const std::string path = directory.file(std::string(c.name) + ".mesh");
  std::string error;
  EXPECT_TRUE(zel::writeMesh(mesh, path, {}, &error)) << error;
  zel_FreeInterface(&mesh);
  return path;
}

// Each case's slab rendered from above: every sampled pixel of the top face has the colour of the
// field there, through the palette and the colour map.
TEST(VolumeFields, FieldsOfAnotherDegreeColourTheBoundaryAsEvaluated) {
  const TemporaryDirectory scratch;
  const VolumeCase cases[] = {{"tet_p1_field2", Cell::Tetrahedra, 1, 2, 0.0, false},
                              {"tet_p2_field3", Cell::Tetrahedra, 2, 3, 0.3, true},
                              {"hex_q1_field2", Cell::Hexahedra, 1, 2, 0.0, true},
                              {"hex_q2_field3", Cell::Hexahedra, 2, 3, 0.3, false}};
  for (const VolumeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Field field = c.fieldDegree == 2 ? quadratic : cubic;
    const std::string mesh = writeVolumeCase(c, field, scratch);
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, mesh, mesh);
    // The top face carries the field: as mesh faces lying on the volumes, or as extracted
    // boundary faces.
    const int linearKind =
        c.cell == Cell::Tetrahedra
            ? (c.meshFaces ? DrawKind::Triangle : DrawKind::SrfTriangle)
            : (c.meshFaces ? DrawKind::Quadrilateral : DrawKind::SrfQuadrilateral);
    int coloured = 0;
    for (ZelDrawObject* object : viewer.allObjects())
      coloured += object->kind() == linearKind + c.meshDegree - 1 && viewer.solutionOf(object);
    EXPECT_EQ(coloured, 1);
    ASSERT_TRUE(viewer.displaySettings().solutionOn && viewer.palette());
    viewer.camera().setRotation(QQuaternion());  // looking down on the top face
    viewer.displaySettings().shadingModel = 3;   // flat colour: no lighting on top of the map
    viewer.displaySettings().lineOn = false;
    viewer.displaySettings().tessellationLevel = 16;
    const QImage image = screenshotOf(viewer, c.name);
    const QMatrix4x4 deviceToMesh = meshToDevice(viewer).inverted();
    int compared = 0, mismatched = 0;
    for (int py = 60; py < 600; py += 23)  // below the legend band (rows 15 to 45)
      for (int px = 20; px < 800; px += 29) {
        const QPointF seen = meshPointOf(deviceToMesh, px, py, kHeight);
        const double x = seen.x(), y = seen.y() - c.bend * (1 - x * x);
        if (std::abs(x) > 0.95 || std::abs(y) > 0.95) continue;  // away from the silhouette
        const double error = colourError(image.pixelColor(px, py), viewer.palette(), field(x, y));
        if (error > 3.0 / 255 && mismatched++ == 0)
          ADD_FAILURE() << "pixel " << px << "," << py << " is off by " << error * 255
                        << "/255 from the field's colour " << field(x, y);
        ++compared;
      }
    EXPECT_EQ(mismatched, 0) << "of " << compared;
    EXPECT_GT(compared, 150);
  }
}

}  // namespace
