// Cut objects built through the scene model without an OpenGL context: the faces of crossed
// elements per reference, the capping polygons and the solution values on them, the hiding of
// objects the capping does not write, and planes that cross nothing or pass through vertices.
#include "app/cut_scene.h"

#include <gtest/gtest.h>

#include "app/field_values.h"
#include "gpu/ZelBufferObject.h"
#include "meshio/solution_loading.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawKinds.h"
#include "tests/app/cut_cube.h"
#include "tests/capping/capping_output.h"
#include "tests/capping/faces_met_once.h"
#include "tests/support/temporary_directory.h"

namespace {

using cutcube::Cell;
using cutcube::cubeLinear;
using cutcube::Given;

// The test cube written to files and read back with its solution, and a scene for its cuts.
struct CubeScene {
  CubeScene(Cell cell, Given given, bool twoReferences) {
    cutcube::writeCube(&files, cell, given, twoReferences, directory.path(), "cube");
    char status[zel::kStatusSize] = {};
    zel_NewInterface(&mesh);
    EXPECT_EQ(zel_OpenMesh(mesh, files.mesh.c_str(), status), 0) << status;
    EXPECT_EQ(zel_OpenSolution(mesh, files.solution.c_str(), status), 0) << status;
  }
  ~CubeScene() { zel_FreeInterface(&mesh); }
  // The main plane's object of `key`: triangles (shape 0) or quadrilaterals (1).
  ZelDrawObject* object(int key, int shape) const {
    return shape ? cuts.quadrilateralObject(key) : cuts.triangleObject(key);
  }

  TemporaryDirectory directory;
  cutcube::CubeFiles files;
  ZelObject* mesh = nullptr;
  zel::SceneModel model;
  CutScene cuts;
};

// What the cut plane (or, with `capping`, the capping) of `plane` printed on standard output.
std::string printedBy(CutScene& cuts, const CutTarget& target, const double* plane, bool capping) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  capping ? cuts.updateCapping(target, plane) : cuts.updateCutPlane(target, plane);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// The (type, element, local face) origins of an object's faces, one after the other.
std::vector<int> origins(const ZelDrawObject* object) {
  std::vector<int> triples;
  for (int f = 0; f < object->entityCount(); ++f) {
    int origin[3];
    EXPECT_TRUE(object->getEntityOrigin(f, origin));
    triples.insert(triples.end(), origin, origin + 3);
  }
  return triples;
}

TEST(CutScene, CrossedFacesPerReferenceGiveWayToCapsInThePlane) {
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    SCOPED_TRACE(cell == Cell::Hexahedra ? "hexahedra" : "tetrahedra");
    CubeScene cube(cell, Given::Vertices, true);
    const CutTarget target{&cube.model, cube.mesh, nullptr, 1};
    const int shape = cell == Cell::Hexahedra, key = CutScene::key(3 * shape, 1, 0);
    const double plane[4] = {0, 0, 1, 0.5};  // crosses the middle layer of cells
    cube.cuts.updateCutPlane(target, plane);
    // Expected: the faces met once among the crossed elements of each reference.
    std::vector<int> crossed;
    for (int e = 1; e <= cube.files.count; ++e)
      if (std::abs(cube.files.centroid(e)[2] - 0.5) < 1.0 / 6) crossed.push_back(e);
    const auto faces = testmesh::facesMetOnce(cube.mesh, cube.files.typ, crossed, true);
    ZelDrawObject* objects[2];
    for (int i = 0; i < 2; ++i) {
      ZelDrawObject* object = objects[i] = cube.object(key + 16 * i, shape);
      ASSERT_TRUE(object &&
                  object->kind() == (shape ? DrawKind::CutQuadrilateral : DrawKind::CutTriangle) &&
                  object->reference() == i + 1 && cube.model.solutionOf(object));
      EXPECT_EQ(origins(object), faces.at(i + 1).links[shape]);
    }
    EXPECT_EQ(cube.object(key, 1 - shape), nullptr);
    // Caps carry the field and name their crossed element with the capping's code; the other
    // reference's faces are hidden without a field.
    cube.cuts.updateCapping(target, plane);
    EXPECT_TRUE(objects[1]->entityCount() == 0 && !objects[1]->visible() &&
                !cube.model.solutionOf(objects[1]));
    int polygons = 0;
    for (int s : {0, 1}) {
      ZelDrawObject* caps = cube.object(key, s);
      if (!caps || caps->entityCount() == 0) continue;
      polygons += caps->entityCount();
      EXPECT_TRUE(caps->visible() && cube.model.solutionOf(caps));
      const std::vector<int> found = origins(caps);
      for (size_t f = 0; f < found.size(); f += 3)
        EXPECT_TRUE(found[f] == cube.files.typ && found[f + 2] == 1000 &&
                    std::abs(cube.files.centroid(found[f + 1])[2] - 0.5) < 1.0 / 6);
    }
    EXPECT_GE(polygons, 9);  // their place and extent: CutPlaneWindow's picture
    // Back to the faces: the same objects rewritten as faces of crossed elements.
    cube.cuts.updateCutPlane(target, plane);
    EXPECT_EQ(cube.model.objectsOfKind(objects[0]->kind()).size(), 2u);
    for (int i = 0; i < 2; ++i)
      EXPECT_TRUE(objects[i]->visible() && origins(objects[i]) == faces.at(i + 1).links[shape]);
    ZelDrawObject* other = cube.object(key, 1 - shape);
    EXPECT_TRUE(!other || other->entityCount() == 0);
    // A cleared scene (as between movie frames) gets new objects, not the freed ones.
    cube.model.clear();
    cube.cuts.updateCutPlane(target, plane);
    ZelDrawObject* fresh = cube.object(key, shape);
    EXPECT_TRUE(fresh && cube.model.contains(fresh) && origins(fresh) == faces.at(1).links[shape]);
  }
}

// The parent's value at a capping point: the linear field, or for one value per element the
// value the element was given (at its centroid). Planes through vertices, edges and faces, or
// beside the cube, print only the plane.
TEST(CutScene, CapValuesAreTheFieldAtTheCapNodesAndDegeneratePlanesPrintOnlyThePlane) {
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra})
    for (Given given : {Given::Vertices, Given::ElementP1, Given::ElementP0}) {
      SCOPED_TRACE(int(given) + 10 * (cell == Cell::Hexahedra));
      CubeScene cube(cell, given, false);
      const double plane[4] = {0.3, -0.5, 0.8, 0.21};
      const testmesh::CappingOutput cap(cube.mesh, plane, cube.files.typ);
      FieldValues values[2];
      bool sizeError = true;  // the capping's faces and values agree in number
      cappingFieldValues(cube.mesh, cube.files.typ, 1, cap.nbrTri, cap.triRef, cap.triInf,
                         cap.nbrQua, cap.quaRef, cap.quaInf, &values[0], &values[1], &sizeError);
      EXPECT_FALSE(sizeError);
      for (int q : {0, 1}) {
        const int points = 3 + q, count = q ? cap.nbrQua : cap.nbrTri;
        const int perFace = given == Given::ElementP0 ? 1 : points;
        ASSERT_TRUE(values[q].nodesPerEntity == perFace &&
                    values[q].values.size() == size_t(count * perFace));
        for (int f = 1; f <= count; ++f)
          for (int n = 0; n < perFace; ++n)  // solution values travel in single precision
            EXPECT_NEAR(values[q].values[size_t((f - 1) * perFace + n)],
                        cubeLinear(perFace == 1 ? cube.files.centroid(cap.parent(!q, f))
                                                : cap.polygon(!q, f, points)[size_t(n)]),
                        1e-6);
      }
      const CutTarget target{&cube.model, cube.mesh, nullptr, 1};
      cube.cuts.updateCutPlane(target, plane);
      const double planes[][4] = {{0, 0, 1, 1.0 / 3}, {1, 1, 1, 1}, {1, 0, 0, 0},
                                  {1, 1, 0, 2.0},     {0, 0, 1, 5}, {0, 0, -1, 5}};
      for (const auto& degenerate : planes)
        for (bool capping : {false, true}) {
          const std::string printed = printedBy(cube.cuts, target, degenerate, capping);
          EXPECT_EQ(printed.rfind("CutPlane Equation", 0), 0u) << printed;
          for (const char* failure : {"rror", "roblem", "Capping", "should", "undefined", "equal"})
            EXPECT_EQ(printed.find(failure), std::string::npos) << printed;
        }
      // The last plane lies beside the cube: everything emptied and hidden.
      for (ZelDrawObject* object : cube.model.allObjects())
        EXPECT_TRUE(object->entityCount() == 0 && !object->visible());
    }
}

// Quadratic tetrahedra are capped with 6-node triangles and 9-node quadrilaterals lying in the
// plane, in the objects of degree 2; other curved types are named and not capped.
TEST(CutScene, QuadraticTetrahedraAreCappedInTheirOwnObjectsOtherCurvedTypesNamed) {
  testmesh::MeshBuilder builder(12.0);
  builder.fillCell(Cell::Tetrahedra, 2, 0, 0, 0);  // one cell of side 1/3 filled by P2 tetrahedra
  builder.fillCell(Cell::Tetrahedra, 3, 0, 0, 0);  // tetrahedra of degree 3 over [0, 1/2]^3
  builder.fillCell(Cell::Hexahedra, 1, 0, 0, 0);   // and a straight hexahedron
  ZelObject* mesh = builder.build();
  zel::SceneModel model;
  CutScene cuts;
  const double plane[4] = {0, 0.6, 0.8, 0.2};
  const std::string printed = printedBy(cuts, {&model, mesh, nullptr, 1}, plane, true);
  EXPECT_TRUE(printed.find("Capping not done for element TetrahedronP3  of degree > 1 \n") !=
                  std::string::npos &&
              printed.find("TetrahedronP2") == std::string::npos)
      << printed;
  EXPECT_EQ(cuts.triangleObject(CutScene::key(0, 3, 0)), nullptr);
  int polygons[2] = {0, 0};  // straight and quadratic caps
  for (int key : {CutScene::key(3, 1, 0), CutScene::key(0, 2, 0)})
    for (ZelDrawObject* object : {cuts.triangleObject(key), cuts.quadrilateralObject(key)}) {
      if (!object || object->entityCount() == 0) continue;
      polygons[key == 8] += object->entityCount();
      if (key != 8) continue;
      EXPECT_TRUE(object->kind() == DrawKind::CutTriangleP2 ||
                  object->kind() == DrawKind::CutQuadrilateralQ2);
      const double* box = model.bufferOf(object)->boundingBox();
      // Every node lies in the plane: z = (0.2 - 0.6 y) / 0.8.
      EXPECT_NEAR(box[4], (0.2 - 0.6 * box[3]) / 0.8, 1e-9);
      EXPECT_NEAR(box[5], (0.2 - 0.6 * box[2]) / 0.8, 1e-9);
    }
  EXPECT_TRUE(polygons[0] > 0 && polygons[1] >= 2) << polygons[0] << " " << polygons[1];
  zel_FreeInterface(&mesh);
}

}  // namespace
