// Pictures against what geometry predicts: volume fields of another degree than their elements
// on the boundary faces, per pixel as evaluated; the cut-plane keys F1 to F4 on unit cubes.
#include <gtest/gtest.h>

#include <QTest>
#include <fstream>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "meshio/entity_faces.h"
#include "meshio/keyword_writer.h"
#include "tests/app/cut_cube.h"
#include "tests/app/screen_geometry.h"
#include "tests/support/screenshot.h"
#include "tests/support/temporary_directory.h"
#include "window/state_file.h"

namespace {

using testmesh::Cell;
using testmesh::Vec;

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
  double (*field)(double, double);  // of the field's degree
};

// The slab [-1, 1]^2 x [0, kHeight] of 2 x 2 cubes, one high, at `p` of the builder's cells.
constexpr double kHeight = 0.4;
Vec slab(const Vec& p) { return {p[0] - 1, p[1] - 1, kHeight * p[2]}; }

// Writes the mesh (bent) and the solution of `c` into `directory`; returns the mesh's path.
std::string writeVolumeCase(const VolumeCase& c, const TemporaryDirectory& directory) {
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
      Vec p = at[0];
      for (int a = 0; a < 3; ++a)
        for (int k = 0; k < 4; ++k)  // from vertex 0 along the edges to vertices 1 to 3, or 6
          p[a] += tetrahedra ? row[k] * (at[size_t(k)][a] - at[0][a]) / c.fieldDegree
                             : (k == a) * row[a] * (at[6][a] - at[0][a]) / c.fieldDegree;
      solution << c.field(p[0], p[1]) << (n + 1 < lattice.count ? " " : "\n");
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
  const VolumeCase cases[] = {{"tet_p1_field2", Cell::Tetrahedra, 1, 2, 0.0, false, quadratic},
                              {"tet_p2_field3", Cell::Tetrahedra, 2, 3, 0.3, true, cubic},
                              {"hex_q1_field2", Cell::Hexahedra, 1, 2, 0.0, true, quadratic},
                              {"hex_q2_field3", Cell::Hexahedra, 2, 3, 0.3, false, cubic}};
  for (const VolumeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string mesh = writeVolumeCase(c, scratch);
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
        mismatched +=
            colourError(image.pixelColor(px, py), viewer.palette(), c.field(x, y)) > 3.0 / 255;
        ++compared;
      }
    EXPECT_TRUE(mismatched == 0 && compared > 150) << mismatched << " of " << compared;
  }
}

void press(ZelMeshViewer& viewer, std::initializer_list<Qt::Key> keys) {
  for (Qt::Key key : keys) QTest::keyClick(&viewer, key);
}

// The viewer's cut plane (a, b, c, d) in mesh units.
void expectPlane(ZelMeshViewer& viewer, std::array<double, 4> expected) {
  double plane[4];
  viewer.meshCutPlane(plane);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(plane[i], expected[size_t(i)], 1e-5) << i;
}

bool isBackground(const QColor& c) { return c.red() > 250 && c.green() > 250 && c.blue() > 250; }

// Of the sampled pixels below the legend inside (or outside) `region`: how many fail `test`, and
// how many there are.
template <class Test>
std::pair<int, int> countPixels(const QImage& image, const QRectF& region, bool inside, Test test) {
  int failing = 0, total = 0;
  for (int y = 50; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2)
      if (region.contains(x, y) == inside) ++total, failing += !test(image.pixelColor(x, y));
  return {failing, total};
}

TEST(CutPlaneWindow, KeysClipCapAndShowCrossedFacesAndTheStateFileKeepsThePlane) {
  const TemporaryDirectory scratch(true);
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    SCOPED_TRACE(cell == Cell::Hexahedra ? "hexahedra" : "tetrahedra");
    cutcube::CubeFiles cube;
    cutcube::writeCube(&cube, cell, cutcube::Given::Vertices, false, scratch.path(), "cube");
    ZelMeshViewer viewer(pellonSurfaceFormat());
    assembleScene(&viewer, cube.mesh, cube.solution);
    expectPlane(viewer, {1, 0, 0, 0.5});  // the start plane: x through the box's middle
    viewer.displaySettings().shadingModel = 3;
    viewer.displaySettings().lineOn = false;
    viewer.camera().setRotation(QQuaternion::fromAxisAndAngle(0, 1, 0, 90));  // along +x
    press(viewer, {Qt::Key_F1});
    ASSERT_TRUE(viewer.cutPlaneShown());
    press(viewer, {Qt::Key_F4, Qt::Key_F4});  // leaving the plane mode caps
    QTest::keyClick(&viewer, '>');            // the next field, 1 - x, is 0.5 all over the cap
    ASSERT_EQ(viewer.displayedField(), 2);
    const QImage capped = screenshotOf(viewer);
    // The cap's corners (0.5, 0|1, 0|1): the cap's colour within, background beyond.
    QMatrix4x4 m = meshToDevice(viewer);
    const QRectF cap = QRectF(pixelOf(m, 0.5, 1, 0), pixelOf(m, 0.5, 0, 1)).normalized();
    ASSERT_GT(cap.width(), 100);
    const auto capColour = [&](const QColor& c) {
      return colourError(c, viewer.palette(), 0.5) < 3.0 / 255;
    };
    const auto within = countPixels(capped, cap.adjusted(3, 3, -3, -3), true, capColour);
    EXPECT_EQ(within.first, 0) << "of " << within.second;
    EXPECT_EQ(countPixels(capped, cap.adjusted(-3, -3, 3, 3), false, isBackground).first, 0);
    // The faces of the crossed elements reach to x = 1/3, nearer than the cap.
    press(viewer, {Qt::Key_F2, Qt::Key_F2});
    EXPECT_GT(
        countPixels(screenshotOf(viewer), cap.adjusted(-3, -3, 3, 3), false, isBackground).first,
        1000);
    // Seen from above, the half x < 0.5 is gone while the plane is shown, back once hidden.
    viewer.camera().setRotation(QQuaternion());
    press(viewer, {Qt::Key_F4, Qt::Key_F4});
    m = meshToDevice(viewer);
    const QRectF half = QRectF(pixelOf(m, 0.05, 0.95, 1), pixelOf(m, 0.4, 0.05, 1)).normalized();
    const auto removed = countPixels(screenshotOf(viewer), half, true, isBackground);
    EXPECT_TRUE(removed.second > 500 && removed.first == 0) << removed.first;
    press(viewer, {Qt::Key_F1});
    const auto shown = countPixels(screenshotOf(viewer), half, true, isBackground);
    EXPECT_EQ(shown.first, shown.second);
    // F3 sets the plane in the scene's normalised frame: half the scene above its centre.
    press(viewer, {Qt::Key_F1, Qt::Key_F3});
    expectPlane(viewer, {0, 1, 0, 1});
    // The state file keeps the plane in mesh units.
    const double tilted[3] = {0.6, 0, 0.8}, point[3] = {0.25, 0.5, 0.5}, distance = 0.55;
    viewer.setCutPlane(point, tilted);
    viewer.writeStateFile();
    ViewState state;
    ASSERT_TRUE(readViewStateFile("zelmor.data", &state, stdout) && state.cutPlane);
    EXPECT_NEAR((*state.cutPlane)[3], distance, 1e-5);
    press(viewer, {Qt::Key_F3});
    viewer.readStateFile("zelmor.data");
    expectPlane(viewer, {0.6, 0, 0.8, distance});
  }
}

}  // namespace
