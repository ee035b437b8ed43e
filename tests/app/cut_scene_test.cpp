// Cut objects built through the scene model without an OpenGL context: the faces of crossed
// elements per reference, the capping polygons and the solution values on them, the hiding of
// objects the capping does not write, and planes that cross nothing or pass through vertices.
#include "app/cut_scene.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

namespace {

using cutcube::Cell;
using cutcube::Given;

double linear(const testmesh::Vec& p) { return cutcube::cubeLinear(p); }

struct CubeMesh {
  ZelObject* mesh = nullptr;
  cutcube::CubeFiles files;
  int typ = 0;
  std::filesystem::path directory;
  ~CubeMesh() {
    zel_FreeInterface(&mesh);
    if (!directory.empty()) std::filesystem::remove_all(directory);
  }
};

// The test cube written to files and read back with its solution.
void buildCube(CubeMesh* cube, Cell cell, Given given, bool twoReferences) {
  // Per process: the test cases run side by side.
  const auto dir =
      std::filesystem::temp_directory_path() / ("zel_cut_scene_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  cube->directory = dir;
  cutcube::writeCube(&cube->files, cell, given, twoReferences, dir, "cube");
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
      char status[zel::kStatusSize] = {};
      int nbrCut = 0, *list = nullptr, nbrTri = 0, nbrQua = 0, *triInf = nullptr, *quaInf = nullptr;
      double *triCrd = nullptr, *triRef = nullptr, *quaCrd = nullptr, *quaRef = nullptr;
      zel_GetCutEntities(cube.mesh, plane, cube.typ, &nbrCut, &list, status);
      zel_capping(cube.mesh, plane, cube.typ, nbrCut, list, &nbrTri, &triCrd, &triRef, &triInf,
                  &nbrQua, &quaCrd, &quaRef, &quaInf, status);
      FieldValues values[2];
      bool sizeError = true;
      cappingFieldValues(cube.mesh, cube.typ, 1, nbrTri, triRef, triInf, nbrQua, quaRef, quaInf,
                         &values[0], &values[1], &sizeError);
      EXPECT_FALSE(sizeError);
      const int counts[2] = {nbrTri, nbrQua}, points[2] = {3, 4};
      const double* crds[2] = {triCrd, quaCrd};
      const int* infos[2] = {triInf, quaInf};
      for (int shape = 0; shape < 2; ++shape) {
        const int perFace = given == Given::ElementP0 ? 1 : points[shape];
        ASSERT_EQ(values[shape].nodesPerEntity, perFace);
        ASSERT_EQ(values[shape].values.size(), size_t(counts[shape] * perFace));
        for (int f = 1; f <= counts[shape]; ++f) {
          const testmesh::Vec centroid = cube.files.centroid(infos[shape][3 * f + 1]);
          for (int n = 0; n < perFace; ++n) {
            const double* p = crds[shape] + 3 * (points[shape] * f + n);
            const double expected =
                given == Given::ElementP0 ? linear(centroid) : linear({p[0], p[1], p[2]});
            // Solution values travel in single precision.
            EXPECT_NEAR(values[shape].values[size_t((f - 1) * perFace + n)], expected, 1e-6);
          }
        }
      }
      for (void* p : {(void*)list, (void*)triCrd, (void*)triRef, (void*)triInf, (void*)quaCrd,
                      (void*)quaRef, (void*)quaInf})
        std::free(p);
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
