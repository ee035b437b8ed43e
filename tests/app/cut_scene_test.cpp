// Cut objects built through the scene model without an OpenGL context: the faces of crossed
// elements per reference, the capping polygons and the solution values on them, the hiding of
// objects the capping does not write, and planes that cross nothing or pass through vertices.
#include "app/cut_scene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/field_values.h"
#include "capping/capping.h"
#include "gpu/ZelBufferObject.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawKinds.h"
#include "tests/app/cut_cube.h"
#include "tests/capping/capping_output.h"
#include "tests/support/temporary_directory.h"

namespace {

using cutcube::Cell;
using cutcube::cubeLinear;
using cutcube::Given;

struct CubeMesh {
  ZelObject* mesh = nullptr;
  cutcube::CubeFiles files;
  int typ = 0;
  TemporaryDirectory directory;
  ~CubeMesh() { zel_FreeInterface(&mesh); }
};

// The test cube written to files and read back with its solution.
void buildCube(CubeMesh* cube, Cell cell, Given given, bool twoReferences) {
  cutcube::writeCube(&cube->files, cell, given, twoReferences, cube->directory.path(), "cube");
  cube->typ = cube->files.typ;
  char status[zel::kStatusSize] = {};
  zel_NewInterface(&cube->mesh);
  ASSERT_EQ(zel_OpenMesh(cube->mesh, cube->files.mesh.c_str(), status), 0) << status;
  ASSERT_EQ(zel_OpenSolution(cube->mesh, cube->files.solution.c_str(), status), 0) << status;
}

// Runs `action` and returns what it printed on standard output.
std::string printedBy(const std::function<void()>& action) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  action();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

const int kTetrahedronKey = CutScene::key(0, 1, 0), kHexahedronKey = CutScene::key(3, 1, 0);

TEST(CutScene, CapsLieInThePlaneAndSpanTheCubesSection) {
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    CubeMesh cube;
    buildCube(&cube, cell, Given::Vertices, false);
    zel::SceneModel model;
    CutScene cuts;
    const CutTarget target{&model, cube.mesh, nullptr, 1};
    const double plane[4] = {0, 0, 1, 0.4};  // z = 0.4 crosses the cells' inside
    cuts.updateCapping(target, plane);
    const int key = cell == Cell::Hexahedra ? kHexahedronKey : kTetrahedronKey;
    int polygons = 0;
    for (ZelDrawObject* object : {cuts.triangleObject(key), cuts.quadrilateralObject(key)}) {
      if (!object || object->entityCount() == 0) continue;
      polygons += object->entityCount();
      EXPECT_TRUE(object->visible());
      const double* box = model.bufferOf(object)->boundingBox();
      EXPECT_NEAR(box[4], 0.4, 1e-12);
      EXPECT_NEAR(box[5], 0.4, 1e-12);
      // Each origin names the parent element and the capping's reference.
      int origin[3];
      ASSERT_TRUE(object->getEntityOrigin(0, origin));
      EXPECT_EQ(origin[0], cube.typ);
      EXPECT_EQ(origin[2], 1000);
    }
    double box[6];
    ASSERT_TRUE(model.sceneBox(box));
    for (int axis = 0; axis < 2; ++axis) {
      EXPECT_NEAR(box[2 * axis], 0.0, 1e-12);
      EXPECT_NEAR(box[2 * axis + 1], 1.0, 1e-12);
    }
    EXPECT_GE(polygons, 9);
  }
}

// The parent's value at a capping point: the linear field, or for one value per element the
// value the element was given (at its centroid).
TEST(CutScene, CapValuesAreTheFieldAtTheCapNodes) {
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra})
    for (Given given : {Given::Vertices, Given::ElementP1, Given::ElementP0}) {
      SCOPED_TRACE(int(given) + 10 * (cell == Cell::Hexahedra));
      CubeMesh cube;
      buildCube(&cube, cell, given, false);
      const double plane[4] = {0.3, -0.5, 0.8, 0.21};
      const testmesh::CappingOutput cap(cube.mesh, plane, cube.typ);
      FieldValues values[2];
      bool sizeError = true;
      cappingFieldValues(cube.mesh, cube.typ, 1, cap.nbrTri, cap.triRef, cap.triInf, cap.nbrQua,
                         cap.quaRef, cap.quaInf, &values[0], &values[1], &sizeError);
      EXPECT_FALSE(sizeError);
      for (const bool triangle : {true, false}) {
        const int points = triangle ? 3 : 4, count = triangle ? cap.nbrTri : cap.nbrQua;
        const int perFace = given == Given::ElementP0 ? 1 : points;
        const FieldValues& got = values[triangle ? 0 : 1];
        ASSERT_EQ(got.nodesPerEntity, perFace);
        ASSERT_EQ(got.values.size(), size_t(count * perFace));
        for (int f = 1; f <= count; ++f) {
          const testmesh::Vec centroid = cube.files.centroid(cap.parent(triangle, f));
          const auto polygon = cap.polygon(triangle, f, points);
          // Solution values travel in single precision.
          for (int n = 0; n < perFace; ++n)
            EXPECT_NEAR(got.values[size_t((f - 1) * perFace + n)],
                        cubeLinear(given == Given::ElementP0 ? centroid : polygon[size_t(n)]),
                        1e-6);
        }
      }
    }
}

TEST(CutScene, CutPlaneUpdateShowsEachReferencesCrossedElementsFaces) {
  CubeMesh cube;
  buildCube(&cube, Cell::Hexahedra, Given::Vertices, true);
  zel::SceneModel model;
  CutScene cuts;
  const CutTarget target{&model, cube.mesh, nullptr, 1};
  const double plane[4] = {0, 0, 1, 0.5};  // crosses the middle layer of 3 x 3 hexahedra
  const std::string printed = printedBy([&] { cuts.updateCutPlane(target, plane); });
  EXPECT_EQ(printed.substr(0, printed.find('\n') + 1),
            "CutPlane Equation 0.000000 0.000000 1.000000 0.500000 \n");
  // Reference 1 holds a column of 3 hexahedra of the layer, reference 2 the other 6: 3 x 6 - 2 x 2
  // and 6 x 6 - 2 x 7 faces met once.
  const int expected[2] = {14, 22};
  char status[zel::kStatusSize] = {};
  const int* refs = zel_GetReferenceArray(cube.mesh, cube.typ, status);
  for (int i = 0; i < 2; ++i) {
    ZelDrawObject* object = cuts.quadrilateralObject(kHexahedronKey + 16 * i);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->kind(), DrawKind::CutQuadrilateral);
    EXPECT_EQ(object->reference(), i + 1);
    EXPECT_EQ(object->entityCount(), expected[i]);
    EXPECT_NE(model.solutionOf(object), nullptr);
    for (int f = 0; f < object->entityCount(); ++f) {
      int origin[3];
      ASSERT_TRUE(object->getEntityOrigin(f, origin));
      EXPECT_EQ(refs[origin[1]], i + 1);
    }
    const double* box = model.bufferOf(object)->boundingBox();
    EXPECT_NEAR(box[4], 1.0 / 3, 1e-12);
    EXPECT_NEAR(box[5], 2.0 / 3, 1e-12);
  }
  EXPECT_EQ(cuts.triangleObject(kHexahedronKey), nullptr);
  // The same plane again: the same objects with the same faces.
  ZelDrawObject* first = cuts.quadrilateralObject(kHexahedronKey);
  cuts.updateCutPlane(target, plane);
  EXPECT_EQ(cuts.quadrilateralObject(kHexahedronKey), first);
  EXPECT_EQ(first->entityCount(), expected[0]);
  EXPECT_EQ(model.objectsOfKind(DrawKind::CutQuadrilateral).size(), 2u);
  // A cleared scene (as between movie frames) gets new objects, not the freed ones.
  model.clear();
  cuts.updateCutPlane(target, plane);
  ASSERT_NE(cuts.quadrilateralObject(kHexahedronKey), nullptr);
  EXPECT_TRUE(model.contains(cuts.quadrilateralObject(kHexahedronKey)));
  EXPECT_EQ(cuts.quadrilateralObject(kHexahedronKey)->entityCount(), expected[0]);
}

TEST(CutScene, CappingHidesTheFacesItDoesNotWrite) {
  CubeMesh cube;
  buildCube(&cube, Cell::Tetrahedra, Given::Vertices, true);
  zel::SceneModel model;
  CutScene cuts;
  const CutTarget target{&model, cube.mesh, nullptr, 1};
  const double plane[4] = {0, 0, 1, 0.5};
  cuts.updateCutPlane(target, plane);
  ZelDrawObject* second = cuts.triangleObject(kTetrahedronKey + 16);
  ASSERT_NE(second, nullptr);
  ASSERT_GT(second->entityCount(), 0);
  cuts.updateCapping(target, plane);
  EXPECT_EQ(second->entityCount(), 0);
  EXPECT_FALSE(second->visible());
  EXPECT_EQ(model.solutionOf(second), nullptr);
  ZelDrawObject* caps = cuts.triangleObject(kTetrahedronKey);
  ASSERT_GT(caps->entityCount() + cuts.quadrilateralObject(kTetrahedronKey)->entityCount(), 0);
  EXPECT_TRUE(caps->visible());
  EXPECT_NE(model.solutionOf(caps), nullptr);
  // Back to the faces: the capping's objects are rewritten as faces of crossed elements.
  cuts.updateCutPlane(target, plane);
  EXPECT_TRUE(second->visible());
  EXPECT_GT(second->entityCount(), 0);
  int origin[3];
  ASSERT_TRUE(caps->getEntityOrigin(0, origin));
  EXPECT_LT(origin[2], 4);  // a local face number, no longer the capping's reference
}

TEST(CutScene, PlanesCrossingNothingOrThroughVerticesPrintOnlyThePlane) {
  for (Cell cell : {Cell::Tetrahedra, Cell::Hexahedra}) {
    CubeMesh cube;
    buildCube(&cube, cell, Given::ElementP1, false);
    zel::SceneModel model;
    CutScene cuts;
    const CutTarget target{&model, cube.mesh, nullptr, 1};
    const double through[4] = {0, 0, 1, 0.5};
    cuts.updateCutPlane(target, through);
    // Grid planes through vertices, edges and faces, a corner plane, and planes beside the cube.
    const double planes[][4] = {{0, 0, 1, 1.0 / 3}, {1, 1, 1, 1}, {1, 0, 0, 0},
                                {1, 1, 0, 2.0},     {0, 0, 1, 5}, {0, 0, -1, 5}};
    for (const auto& plane : planes)
      for (bool capping : {false, true}) {
        const std::string printed = printedBy([&] {
          if (capping) {
            cuts.updateCapping(target, plane);
          } else {
            cuts.updateCutPlane(target, plane);
          }
        });
        EXPECT_EQ(printed.rfind("CutPlane Equation", 0), 0u) << printed;
        for (const char* failure : {"rror", "roblem", "Capping", "should", "undefined", "equal"})
          EXPECT_EQ(printed.find(failure), std::string::npos) << printed;
      }
    // The last plane lies beside the cube: everything emptied and hidden.
    for (ZelDrawObject* object : model.allObjects()) {
      EXPECT_EQ(object->entityCount(), 0);
      EXPECT_FALSE(object->visible());
    }
  }
}

TEST(CutScene, CurvedTypesOtherThanQuadraticTetrahedraAreNamedAndNotCapped) {
  testmesh::MeshBuilder builder(6.0);
  builder.fillCube({Cell::Tetrahedra}, 3, 1);  // tetrahedra of degree 3
  builder.fillCube({Cell::Hexahedra}, 1, 1);   // and a straight hexahedron
  ZelObject* mesh = builder.build();
  zel::SceneModel model;
  CutScene cuts;
  const double plane[4] = {0, 0, 1, 0.25};
  const std::string printed = printedBy([&] {
    cuts.updateCapping({&model, mesh, nullptr, 1}, plane);
  });
  EXPECT_NE(printed.find("Capping not done for element TetrahedronP3  of degree > 1 \n"),
            std::string::npos)
      << printed;
  ZelDrawObject* caps = cuts.quadrilateralObject(kHexahedronKey);
  ASSERT_NE(caps, nullptr);
  EXPECT_EQ(caps->entityCount() + cuts.triangleObject(kHexahedronKey)->entityCount() > 0, true);
  EXPECT_EQ(cuts.triangleObject(CutScene::key(0, 3, 0)), nullptr);
  zel_FreeInterface(&mesh);
}

// Quadratic tetrahedra are capped with 6-node triangles and 9-node quadrilaterals lying in the
// plane, in the objects of degree 2.
TEST(CutScene, QuadraticTetrahedraAreCappedInTheirOwnObjects) {
  testmesh::MeshBuilder builder(4.0);
  builder.fillCube({Cell::Tetrahedra}, 2, 1);  // one cell of side 4 filled by P2 tetrahedra
  ZelObject* mesh = builder.build();
  zel::SceneModel model;
  CutScene cuts;
  const double plane[4] = {0, 0.6, 0.8, 0.7};
  cuts.updateCapping({&model, mesh, nullptr, 1}, plane);
  const int key = CutScene::key(0, 2, 0);
  int polygons = 0;
  for (ZelDrawObject* object : {cuts.triangleObject(key), cuts.quadrilateralObject(key)}) {
    if (!object || object->entityCount() == 0) continue;
    polygons += object->entityCount();
    EXPECT_TRUE(object->kind() == DrawKind::CutTriangleP2 ||
                object->kind() == DrawKind::CutQuadrilateralQ2);
    const double* box = model.bufferOf(object)->boundingBox();
    // Every node lies in the plane: y in [0, 1] gives z = (0.7 - 0.6 y) / 0.8.
    EXPECT_NEAR(box[4], (0.7 - 0.6 * box[3]) / 0.8, 1e-9);
    EXPECT_NEAR(box[5], (0.7 - 0.6 * box[2]) / 0.8, 1e-9);
  }
  EXPECT_GE(polygons, 2);
  zel_FreeInterface(&mesh);
}

}  // namespace
