// Picking reports on a small mesh read from a file: elements through an object's element
// list, vertices, faces of tetrahedra through their origin triples, capping faces, bad
// origins; and the point under the pointer used for re-centring.
#include "app/picking_report.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/ZelMeshViewer.h"
#include "app/picked_point.h"
#include "meshio/entity_faces.h"
#include "scene/ZelDrawObject.h"
#include "tests/support/temporary_directory.h"

namespace {

class PickingReport : public testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(scratch.file("p.mesh")) << "MeshVersionFormatted 2\nDimension 3\nVertices\n5\n"
                                             "0 0 0 1\n1 0 0 2\n0 1 0 3\n0 0 1.5 4\n0.75 1.25 2 5\n"
                                             "Edges\n1\n1 2 7\nTriangles\n2\n1 2 3 10\n2 3 5 11\n"
                                             "Tetrahedra\n2\n1 2 3 4 20\n2 3 4 5 21\nEnd\n";
    char status[zel::kStatusSize] = {};
    ASSERT_EQ(zel_NewInterface(&mesh), 0);
    ASSERT_EQ(zel_OpenMesh(mesh, scratch.file("p.mesh").c_str(), status), 0) << status;
  }
  void TearDown() override { zel_FreeInterface(&mesh); }
  // Report of primitive `local` of `object`, marked when it names no entity (else `entity`).
  std::string report(const ZelDrawObject& object, int local, const ObjectSource* source = nullptr) {
    std::ostringstream out;
    entity = PickedEntity{};
    const bool named = writePickingReport(out, mesh, object, local, source, &entity);
    return (named ? "" : "none: ") + out.str();
  }
  // An object of `kind` with one origin triple per face.
  std::unique_ptr<ZelDrawObject> withOrigins(int kind, std::vector<int> origins) {
    std::unique_ptr<ZelDrawObject> object(ZelDrawObject::create(kind, 1));
    object->setEntityCount(int(origins.size()) / 3);
    object->setEntityOrigins(origins.data());
    return object;
  }

  const TemporaryDirectory scratch;
  ZelObject* mesh = nullptr;
  PickedEntity entity;
};

TEST_F(PickingReport, ElementsAreNumberedThroughTheObjectsElementList) {
  std::unique_ptr<ZelDrawObject> triangles(ZelDrawObject::create(DrawKind::Triangle, 11));
  ObjectSource source;
  source.object = triangles.get(), source.entityType = EntityType::Triangle;
  source.elements = {2, 1};
  EXPECT_EQ(report(*triangles, 0, &source),
            "Triangle number 2 picked\nwhose vertices are [2, 3, 5]\nReference 11\n");
  EXPECT_TRUE(entity.entityType == EntityType::Triangle && entity.number == 2);
  EXPECT_EQ(report(*triangles, 1, &source),
            "Triangle number 1 picked\nwhose vertices are [1, 2, 3]\nReference 10\n");
  // Past the list, without a source, or an element the mesh does not have: nothing reported.
  EXPECT_EQ(report(*triangles, 2, &source), "none: ");
  EXPECT_EQ(report(*triangles, 0), "none: ");
  source.elements = {3};
  EXPECT_EQ(report(*triangles, 0, &source), "none: ");
  std::unique_ptr<ZelDrawObject> edges(ZelDrawObject::create(DrawKind::Edge, 7));
  source.entityType = EntityType::Edge, source.elements = {1};
  EXPECT_EQ(report(*edges, 0, &source),
            "Edge number 1 picked\nwhose vertices are [1, 2]\nReference 7\n");
  std::unique_ptr<ZelDrawObject> cloud(ZelDrawObject::create(DrawKind::Vertex, 0));
  EXPECT_EQ(report(*cloud, 4),
            "Vertex number 5 picked\nwhose coordinates are [0.75, 1.25, 2]\nReference 5\n");
  EXPECT_EQ(report(*cloud, 5), "none: ");
}

TEST_F(PickingReport, FacesOfVolumesReportTheirTetrahedron) {
  auto surface = withOrigins(DrawKind::SrfTriangle,
                             {EntityType::Tetrahedron, 2, 3, EntityType::Tetrahedron, 1, 0});
  EXPECT_EQ(report(*surface, 0),
            "Picking of face 3 of the following volume element: \n"
            "Tetrahedron number 2\nwhose vertices are [2, 3, 4, 5]\nReference 21\n");
  EXPECT_TRUE(entity.number == 2 && entity.face == 3);
  EXPECT_EQ(report(*surface, 1),
            "Picking of face 0 of the following volume element: \n"
            "Tetrahedron number 1\nwhose vertices are [1, 2, 3, 4]\nReference 20\n");
  auto capping = withOrigins(DrawKind::CutTriangle, {EntityType::Tetrahedron, 1, 1000});
  EXPECT_EQ(report(*capping, 0),
            "Picking of a capping subelement associated to the following volume element: \n"
            "Tetrahedron number 1\nwhose vertices are [1, 2, 3, 4]\nReference 20\n");
  EXPECT_EQ(entity.face, 1000);
  // Origins past the tetrahedra, element 0, no P2 tetrahedra; indices past the faces.
  auto bad =
      withOrigins(DrawKind::SrfTriangleP2, {EntityType::Tetrahedron, 3, 0, EntityType::Tetrahedron,
                                            0, 0, EntityType::TetrahedronP2, 1, 0});
  for (int local : {0, 1, 2, 3, -1})
    EXPECT_EQ(report(*bad, local), "none: error with a surface element deduced from volume\n");
}

// Parallel projection: x to the right, y up, 100 pixels per unit; depth does not shrink.
QVector3D parallel(const double p[3]) {
  return QVector3D(float(400 + 100 * p[0]), float(300 - 100 * p[1]), 1.0f);
}
// Perspective from an eye on the z axis: w = 3 - z.
QVector3D perspective(const double p[3]) {
  const double w = 3.0 - p[2];
  return QVector3D(float(400 + 300 * p[0] / w), float(300 - 300 * p[1] / w), float(w));
}

TEST_F(PickingReport, CentringFindsThePointUnderThePointer) {
  // The pointer over a point of the picked entity finds that point.
  const auto expectFound = [&](PickedEntity picked, const double at[3],
                               const WindowProjection& project) {
    const QVector3D under = project(at);
    double point[3];
    ASSERT_TRUE(pointUnderPointer(mesh, picked, QPointF(under.x(), under.y()), project, point));
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(point[axis], at[axis], 1e-5);
  };
  // A point of triangle 2 (vertices 2, 3, 5), with and without perspective.
  const double inside[3] = {0.25 + 0.5 * 0.75, 0.25 + 0.5 * 1.25, 0.5 * 2};
  expectFound({EntityType::Triangle, 2, -1}, inside, parallel);
  expectFound({EntityType::Triangle, 2, -1}, inside, perspective);
  // Tetrahedron 2 (vertices 2, 3, 4, 5) through each of its faces: that face's centroid.
  const int tetrahedron[4] = {2, 3, 4, 5};
  for (int face = 0, count = 0; face < 4; ++face) {
    const int* local = nullptr;
    ASSERT_EQ(GetEntityFaces(EntityType::Tetrahedron, face, &count, &local, nullptr), 0);
    double centroid[3] = {0, 0, 0};
    for (int corner = 0; corner < 3; ++corner)
      for (int axis = 0; axis < 3; ++axis)
        centroid[axis] += mesh->coordinates[3 * tetrahedron[local[corner]] + axis] / 3;
    expectFound({EntityType::Tetrahedron, 2, face}, centroid, perspective);
  }
  // An edge clamps to its ends; a vertex is itself; no such element, or no face, gives nothing.
  double point[3];
  EXPECT_TRUE(pointUnderPointer(mesh, {EntityType::Edge, 1, -1}, {900, 300}, parallel, point) &&
              std::abs(point[0] - 1.0) < 1e-9);
  EXPECT_TRUE(pointUnderPointer(mesh, {EntityType::Vertex, 4, -1}, {}, parallel, point) &&
              point[2] == 1.5);
  EXPECT_FALSE(pointUnderPointer(mesh, {EntityType::Triangle, 3, -1}, {}, parallel, point));
  EXPECT_FALSE(pointUnderPointer(mesh, {EntityType::Tetrahedron, 1, -1}, {}, parallel, point));
}

}  // namespace
