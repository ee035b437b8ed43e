// Picking reports on a small mesh read from a file: elements through an object's element
// list, vertices, faces of tetrahedra through their origin triples, capping faces, bad
// origins; and the point under the pointer used for re-centring.
#include "app/picking_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/ZelMeshViewer.h"
#include "app/picked_point.h"
#include "meshio/entity_faces.h"
#include "meshio/zel_object.h"
#include "scene/ZelDrawObject.h"

namespace {

const char* kMesh =
    "MeshVersionFormatted 2\nDimension 3\nVertices\n5\n"
    "0 0 0 1\n1 0 0 2\n0 1 0 3\n0 0 1.5 4\n0.75 1.25 2 5\n"
    "Edges\n1\n1 2 7\n"
    "Triangles\n2\n1 2 3 10\n2 3 5 11\n"
    "Tetrahedra\n2\n1 2 3 4 20\n2 3 4 5 21\nEnd\n";

class PickingReport : public testing::Test {
 protected:
  void SetUp() override {
    path = testing::TempDir() + "zel_picking_report.mesh";
    std::ofstream(path) << kMesh;
    char status[zel::kStatusSize] = {};
    ASSERT_EQ(zel_NewInterface(&mesh), 0);
    ASSERT_EQ(zel_OpenMesh(mesh, path.c_str(), status), 0) << status;
  }
  void TearDown() override {
    zel_FreeInterface(&mesh);
    std::remove(path.c_str());
  }
  // Report of primitive `local` of `object`; `entity` receives what it names.
  std::string report(const ZelDrawObject& object, int local, const ObjectSource* source,
                     bool expectEntity = true) {
    std::ostringstream out;
    entity = PickedEntity{};
    EXPECT_EQ(writePickingReport(out, mesh, object, local, source, &entity), expectEntity);
    return out.str();
  }
  // An object of `kind` with one origin triple per face.
  std::unique_ptr<ZelDrawObject> withOrigins(int kind, std::vector<int> origins) {
    std::unique_ptr<ZelDrawObject> object(ZelDrawObject::create(kind, 1));
    object->setEntityCount(int(origins.size()) / 3);
    object->setEntityOrigins(origins.data());
    return object;
  }

  std::string path;
  ZelObject* mesh = nullptr;
  PickedEntity entity;
};

TEST_F(PickingReport, ElementsAreNumberedThroughTheObjectsElementList) {
  std::unique_ptr<ZelDrawObject> triangles(ZelDrawObject::create(DrawKind::Triangle, 11));
  ObjectSource source;
  source.object = triangles.get();
  source.entityType = EntityType::Triangle;
  source.elements = {2, 1};
  EXPECT_EQ(report(*triangles, 0, &source),
            "Triangle number 2 picked\nwhose vertices are [2, 3, 5]\nReference 11\n");
  EXPECT_EQ(entity.entityType, EntityType::Triangle);
  EXPECT_EQ(entity.number, 2);
  EXPECT_EQ(report(*triangles, 1, &source),
            "Triangle number 1 picked\nwhose vertices are [1, 2, 3]\nReference 10\n");
  // Past the list, or without a source, nothing is reported.
  EXPECT_EQ(report(*triangles, 2, &source, false), "");
  EXPECT_EQ(report(*triangles, 0, nullptr, false), "");
  // An element list naming an element the mesh does not have.
  source.elements = {3};
  EXPECT_EQ(report(*triangles, 0, &source, false), "");

  std::unique_ptr<ZelDrawObject> edges(ZelDrawObject::create(DrawKind::Edge, 7));
  source.entityType = EntityType::Edge;
  source.elements = {1};
  EXPECT_EQ(report(*edges, 0, &source),
            "Edge number 1 picked\nwhose vertices are [1, 2]\nReference 7\n");
}

TEST_F(PickingReport, VerticesPrintTheirCoordinates) {
  std::unique_ptr<ZelDrawObject> cloud(ZelDrawObject::create(DrawKind::Vertex, 0));
  EXPECT_EQ(report(*cloud, 4, nullptr),
            "Vertex number 5 picked\nwhose coordinates are [0.75, 1.25, 2]\nReference 5\n");
  EXPECT_EQ(report(*cloud, 5, nullptr, false), "");
}

TEST_F(PickingReport, FacesOfVolumesReportTheirTetrahedron) {
  auto surface = withOrigins(DrawKind::SrfTriangle,
                             {EntityType::Tetrahedron, 2, 3, EntityType::Tetrahedron, 1, 0});
  EXPECT_EQ(report(*surface, 0, nullptr),
            "Picking of face 3 of the following volume element: \n"
            "Tetrahedron number 2\nwhose vertices are [2, 3, 4, 5]\nReference 21\n");
  EXPECT_EQ(entity.number, 2);
  EXPECT_EQ(entity.face, 3);
  EXPECT_EQ(report(*surface, 1, nullptr),
            "Picking of face 0 of the following volume element: \n"
            "Tetrahedron number 1\nwhose vertices are [1, 2, 3, 4]\nReference 20\n");

  auto capping = withOrigins(DrawKind::CutTriangle, {EntityType::Tetrahedron, 1, 1000});
  EXPECT_EQ(report(*capping, 0, nullptr),
            "Picking of a capping subelement associated to the following volume element: \n"
            "Tetrahedron number 1\nwhose vertices are [1, 2, 3, 4]\nReference 20\n");
  EXPECT_EQ(entity.face, 1000);
}

TEST_F(PickingReport, FacesWithoutTheirVolumeReportAnError) {
  const std::string error = "error with a surface element deduced from volume\n";
  auto surface =
      withOrigins(DrawKind::SrfTriangleP2, {EntityType::Tetrahedron, 3, 0, EntityType::Tetrahedron,
                                            0, 0, EntityType::TetrahedronP2, 1, 0});
  EXPECT_EQ(report(*surface, 0, nullptr, false), error);  // past the tetrahedra
  EXPECT_EQ(report(*surface, 1, nullptr, false), error);  // element 0
  EXPECT_EQ(report(*surface, 2, nullptr, false), error);  // no P2 tetrahedra
  EXPECT_EQ(report(*surface, 3, nullptr, false), error);  // past the faces
  EXPECT_EQ(report(*surface, -1, nullptr, false), error);
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
  double point[3];
  // Triangle 2 (vertices 2, 3, 5): the pointer over a known point of its plane finds it, with
  // and without perspective.
  const double inside[3] = {0.25 * 1 + 0.25 * 0 + 0.5 * 0.75, 0.25 * 0 + 0.25 * 1 + 0.5 * 1.25,
                            0.5 * 2};
  for (const WindowProjection& project :
       {WindowProjection(parallel), WindowProjection(perspective)}) {
    const QVector3D under = project(inside);
    ASSERT_TRUE(pointUnderPointer(mesh, PickedEntity{EntityType::Triangle, 2, -1},
                                  QPointF(under.x(), under.y()), project, point));
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(point[axis], inside[axis], 1e-5);
  }
  // An edge clamps to its end points.
  ASSERT_TRUE(pointUnderPointer(mesh, PickedEntity{EntityType::Edge, 1, -1}, QPointF(900, 300),
                                parallel, point));
  EXPECT_NEAR(point[0], 1.0, 1e-9);
  // A vertex is itself; elements that are not in the mesh give nothing.
  ASSERT_TRUE(
      pointUnderPointer(mesh, PickedEntity{EntityType::Vertex, 4, -1}, QPointF(), parallel, point));
  EXPECT_EQ(point[2], 1.5);
  EXPECT_FALSE(pointUnderPointer(mesh, PickedEntity{EntityType::Triangle, 3, -1}, QPointF(),
                                 parallel, point));
  EXPECT_FALSE(pointUnderPointer(mesh, PickedEntity{EntityType::Tetrahedron, 1, -1}, QPointF(),
                                 parallel, point));
}

TEST_F(PickingReport, CentringOnATetrahedronUsesThePickedFace) {
  // Tetrahedron 2 (vertices 2, 3, 4, 5) reached through each of its faces: the point found
  // lies on that face's plane and under the pointer.
  const double* xyz = mesh->coordinates;
  const int tetrahedron[4] = {2, 3, 4, 5};
  for (int face = 0; face < 4; ++face) {
    int count = 0;
    const int* local = nullptr;
    ASSERT_EQ(GetEntityFaces(EntityType::Tetrahedron, face, &count, &local, nullptr), 0);
    const double* a = xyz + 3 * tetrahedron[local[0]];
    const double* b = xyz + 3 * tetrahedron[local[1]];
    const double* c = xyz + 3 * tetrahedron[local[2]];
    double centroid[3];
    for (int axis = 0; axis < 3; ++axis) centroid[axis] = (a[axis] + b[axis] + c[axis]) / 3;
    const QVector3D under = perspective(centroid);
    double point[3];
    ASSERT_TRUE(pointUnderPointer(mesh, PickedEntity{EntityType::Tetrahedron, 2, face},
                                  QPointF(under.x(), under.y()), perspective, point));
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(point[axis], centroid[axis], 1e-5) << face;
  }
}

}  // namespace
