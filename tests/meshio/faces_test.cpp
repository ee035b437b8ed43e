// Faces and edges of every volume shape and degree, checked from the coordinates of the lattice
// nodes on the reference elements; values of volume fields on element faces.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "meshio/entity_faces.h"
#include "meshio/face_values.h"
#include "tests/meshio/mesh_builder.h"

using testmesh::cross, testmesh::dot, testmesh::sub, testmesh::Vec;

static bool same(Vec a, Vec b) {
  return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]) < 1e-12;
}

// a + (b - a) s + (c - a) t.
static Vec along(const Vec& a, const Vec& b, const Vec& c, double s, double t) {
  return {a[0] + (b[0] - a[0]) * s + (c[0] - a[0]) * t,
          a[1] + (b[1] - a[1]) * s + (c[1] - a[1]) * t,
          a[2] + (b[2] - a[2]) * s + (c[2] - a[2]) * t};
}

// Volume types of every shape, degrees 1 to 4.
static const int kVolumeTypes[] = {7, 14, 21, 28, 8, 16, 23, 30, 9, 17, 24, 31, 10, 15, 22, 29};

TEST(LocalFaces, EveryFaceHoldsTheNodesOnItsPlaneInItsOwnOrderAndFacesOutward) {
  for (int shape = EntityType::Tetrahedron; shape <= EntityType::Hexahedron; ++shape)
    for (int deg = 1; deg <= zel::kMaxLatticeDegree; ++deg) {
      SCOPED_TRACE("shape " + std::to_string(shape) + " degree " + std::to_string(deg));
      const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, deg);
      const ZelLocalTopology& topo = *zel_LocalTopology(shape, deg);
      // Reference positions: tetrahedron on the origin and the unit points, pyramid with its
      // apex above vertex 0, prism over the unit right triangle, unit cube.
      const int skip = shape == EntityType::Tetrahedron || shape == EntityType::Prism;
      std::vector<Vec> at;
      Vec centre = {0, 0, 0};
      for (int n = 0; n < order.count; ++n) {
        const int* r = order.row(n) + skip;
        at.push_back({r[0] / double(deg), r[1] / double(deg), r[2] / double(deg)});
        for (int c = 0; c < 3; ++c) centre[c] += at.back()[c] / order.count;
      }
      std::set<std::set<int>> faceSets, edgeSets;
      for (int f = 0; f < topo.nbrFaces; ++f) {
        const std::vector<int>& face = topo.faces[f];
        const bool triangle = topo.faceShape[f] == EntityType::Triangle;
        const zel::LatticeOrder& own = *zel::latticeNodeOrder(topo.faceShape[f], deg);
        ASSERT_EQ(static_cast<int>(face.size()), own.count);
        // The face's vertices come first: its plane and outward normal.
        const Vec a = at[face[0]], b = at[face[1]], e = at[face[triangle ? 2 : 3]];
        const Vec normal = cross(sub(b, a), sub(e, a));
        EXPECT_GT(dot(normal, sub(a, centre)), 0) << "face " << f << " points inward";
        std::set<int> onPlane;
        for (int n = 0; n < order.count; ++n)
          if (std::fabs(dot(normal, sub(at[n], a))) < 1e-12) onPlane.insert(n);
        EXPECT_EQ(std::set<int>(face.begin(), face.end()), onPlane) << "face " << f;
        faceSets.insert(onPlane);
        // Node k of the face sits where the face's own order puts row k.
        for (int k = 0; k < own.count; ++k) {
          const int* r = own.row(k);
          const Vec expect = triangle
                                 ? along(a, b, at[face[2]], r[1] / double(deg), r[2] / double(deg))
                                 : along(a, b, e, r[0] / double(deg), r[1] / double(deg));
          EXPECT_TRUE(same(at[face[k]], expect)) << "face " << f << " node " << k;
        }
      }
      EXPECT_EQ(static_cast<int>(faceSets.size()), topo.nbrFaces);
      // Edges: from start to end, interior nodes evenly spaced in between.
      for (int e = 0; e < topo.nbrEdges; ++e) {
        const std::vector<int>& edge = topo.edges[e];
        ASSERT_EQ(static_cast<int>(edge.size()), deg + 1);
        for (int k = 2; k <= deg; ++k)
          EXPECT_TRUE(
              same(at[edge[k]], along(at[edge[0]], at[edge[1]], at[edge[0]], (k - 1.0) / deg, 0)))
              << "edge " << e << " node " << k;
        edgeSets.insert({edge[0], edge[1]});
      }
      EXPECT_EQ(static_cast<int>(edgeSets.size()), topo.nbrEdges);
    }
}

// The faces by type code are those of the shape at the type's degree; the faces and edges of
// mesh elements hold the global numbers of those local nodes.
TEST(ElementFaces, FacesByTypeCodeAndGlobalNumbersOfFacesAndEdgesOfMeshElements) {
  ZelObject* mesh = testmesh::syntheticMesh(3, 500, 11);
  char status[zel::kStatusSize];
  int count = 0, perEntity = 0, nbrFaces = 0, sizes[6], nodes[6 * kZelFaceSlots], nbrEdges = 0,
      edges[12 * kZelEdgeSlots];
  const int* faceNodes = nullptr;
  for (int typ : kVolumeTypes) {
    SCOPED_TRACE(typ);
    const ZelLocalTopology& topo = *zel_LocalTopology(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
    ASSERT_EQ(GetEntityFaces(typ, topo.nbrFaces - 1, &count, &faceNodes, status), 0);
    EXPECT_EQ(std::vector<int>(faceNodes, faceNodes + count), topo.faces[topo.nbrFaces - 1]);
    EXPECT_EQ(GetEntityFaces(typ, topo.nbrFaces, &count, &faceNodes, status), 2);
    const int* indices =
        static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &perEntity, status));
    const int* last = indices + count * perEntity;
    ASSERT_EQ(zel_GetElementFaces(mesh, count, typ, &nbrFaces, sizes, nodes, status), 0);
    ASSERT_EQ(nbrFaces, topo.nbrFaces);
    for (int f = 0; f < nbrFaces; ++f)
      for (int k = 0; k < sizes[f]; ++k)
        EXPECT_EQ(nodes[f * kZelFaceSlots + k], last[topo.faces[f][k]]);
    ASSERT_EQ(zel_GetElementEdges(mesh, count, typ, &nbrEdges, edges, status), 0);
    ASSERT_EQ(nbrEdges, topo.nbrEdges);
    EXPECT_EQ(edges[(nbrEdges - 1) * kZelEdgeSlots + zel_Typ2Deg(typ)],
              last[topo.edges[nbrEdges - 1].back()]);
    for (int bad : {0, count + 1}) {
      EXPECT_EQ(zel_GetElementFaces(mesh, bad, typ, &nbrFaces, sizes, nodes, status), 2);
      EXPECT_EQ(zel_GetElementEdges(mesh, bad, typ, &nbrEdges, edges, status), 2);
    }
  }
  for (int typ : {0, 4, 13, 32, -1})
    EXPECT_EQ(GetEntityFaces(typ, 0, &count, &faceNodes, status), 2);
  EXPECT_EQ(zel_GetElementFaces(mesh, 1, EntityType::TriangleP2, &count, sizes, nodes, status), 2);
  EXPECT_STREQ(status, "Type 12 is not handled in GetEntityFaces ! \n");
  zel_FreeInterface(&mesh);
}

// A field of `elements` elements whose value at node n of element e is 100 e + n.
static std::vector<double> numberedField(int shape, int deg, int elements) {
  const int nodes = zel::latticeNodeCount(shape, deg);
  std::vector<double> field((elements + 1) * nodes);
  for (size_t k = 0; k < field.size(); ++k) field[k] = 100 * (k / nodes) + k % nodes;
  return field;
}

TEST(FaceValues, EveryFaceOfEveryShapeAtTheFieldDegreeWhateverTheSurfaceDegree) {
  char status[zel::kStatusSize];
  for (int shape = EntityType::Tetrahedron; shape <= EntityType::Hexahedron; ++shape)
    for (int deg = 0; deg <= 10; ++deg) {
      SCOPED_TRACE(testing::Message() << "shape " << shape << " degree " << deg);
      const std::vector<double> field = numberedField(shape, deg, 3);
      const ZelLocalTopology& topo = *zel_LocalTopology(shape, deg == 0 ? 1 : deg);
      // Mesh and surface degrees 1..4 differ from the field's in most combinations.
      for (int meshDegree = 1; meshDegree <= 4; ++meshDegree) {
        const int volumeType = zel_SolTyp2EntTyp(SolTyp::Tetrahedron + shape - 7, meshDegree);
        const ZelVolumeField record = {deg, zel_EntTyp2SolTyp(volumeType), field.data(), 3,
                                       zel::latticeNodeCount(shape, deg)};
        for (int f = 0; f < topo.nbrFaces; ++f) {
          const int faces[6] = {0, 3, f, 0, 1, f};
          const bool triangle = topo.faceShape[f] == EntityType::Triangle;
          const int surfTyp =
              zel_SolTyp2EntTyp(triangle ? SolTyp::Triangle : SolTyp::Quadrilateral, meshDegree);
          double* values = zel_GetFaceValues(record, surfTyp, 2, faces, status);
          ASSERT_NE(values, nullptr) << status;
          const size_t m = deg == 0 ? 1 : topo.faces[f].size();
          ASSERT_EQ(m, size_t(zel::latticeNodeCount(topo.faceShape[f], deg)));
          for (size_t k = 0; k < m; ++k) {
            EXPECT_EQ(values[k], 300 + (deg == 0 ? 0 : topo.faces[f][k])) << f << " " << k;
            EXPECT_EQ(values[m + k], 100 + (deg == 0 ? 0 : topo.faces[f][k])) << f << " " << k;
          }
          std::free(values);
          // A surface of the other shape does not fit the face.
          const int otherTyp =
              zel_SolTyp2EntTyp(triangle ? SolTyp::Quadrilateral : SolTyp::Triangle, meshDegree);
          testing::internal::CaptureStderr();
          EXPECT_EQ(zel_GetFaceValues(record, otherTyp, 1, faces, status), nullptr);
          EXPECT_NE(testing::internal::GetCapturedStderr(), "");
        }
      }
    }
  const std::vector<double> constant = {0, 7, 9};
  const int faces[3] = {0, 2, 3};
  testing::internal::CaptureStderr();
  EXPECT_EQ(zel_GetFaceValues({11, SolTyp::Tetrahedron, constant.data(), 2, 1},
                              EntityType::Triangle, 1, faces, status),
            nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "wrong degree in input\n");
}

TEST(FaceValues, RecordsAreReadByTheirOwnNodeCountAndElementCount) {
  char status[zel::kStatusSize];
  // A header of degree 3 whose node count is that of degree 2: blocks of 10, not 20. More
  // nodes than the degree has: their order is unknown, the record is refused too.
  const std::vector<double> p2 = numberedField(EntityType::Tetrahedron, 2, 2);
  const int faces[3] = {0, 2, 0};
  EXPECT_EQ(zel_GetFaceValues({3, SolTyp::TetrahedronP2, p2.data(), 2, 10}, EntityType::TriangleP2,
                              1, faces, status),
            nullptr);
  EXPECT_STREQ(status, "Invalid face values request: 10 nodes per element, degree 3 needs 20\n");
  EXPECT_EQ(zel_GetFaceValues({1, SolTyp::Tetrahedron, p2.data(), 2, 10}, EntityType::Triangle, 1,
                              faces, status),
            nullptr);
  // Faces naming elements the record does not hold.
  const ZelVolumeField record = {2, SolTyp::TetrahedronP2, p2.data(), 2, 10};
  for (int element : {0, 3, -1}) {
    const int outside[3] = {0, element, 0};
    EXPECT_EQ(zel_GetFaceValues(record, EntityType::TriangleP2, 1, outside, status), nullptr);
    EXPECT_EQ(std::string(status), "Invalid face values request: element " +
                                       std::to_string(element) + " outside 1..2\n");
    ZelFaceMark mark = {1, element, 0, {0, 1, 2}, EntityType::TetrahedronP2};
    EXPECT_EQ(zel_GetOrientedFaceValues(record, EntityType::TriangleP2, 1, &mark, status), nullptr);
  }
  // Marks on volumes of another kind are not in this record: they stay zero, like unmarked
  // entries; the others are served at the field's degree through their codes.
  const ZelFaceMark marks[3] = {{1, 2, 0, {0, 1, 2}, EntityType::Tetrahedron},
                                {2, 2, 0, {0, 1, 2}, EntityType::Pyramid},
                                {0, 2, 0, {0, 1, 2}, EntityType::Tetrahedron}};
  const std::vector<double> p3 = numberedField(EntityType::Tetrahedron, 3, 2);
  double* values = zel_GetOrientedFaceValues({3, SolTyp::Tetrahedron, p3.data(), 2, 20},
                                             EntityType::Triangle, 3, marks, status);
  ASSERT_NE(values, nullptr) << status;
  std::vector<double> expected(30, 0);
  const std::vector<int>& face = zel_LocalTopology(EntityType::Tetrahedron, 3)->faces[0];
  for (size_t k = 0; k < face.size(); ++k) expected[k] = 200 + face[k];
  EXPECT_EQ(std::vector<double>(values, values + 30), expected);
  std::free(values);
  // A quadrilateral surface on a triangular face names both node counts.
  ZelFaceMark mark = {1, 1, 0, {0, 1, 2}, EntityType::TetrahedronP2};
  testing::internal::CaptureStderr();
  EXPECT_EQ(zel_GetOrientedFaceValues(record, EntityType::Quadrilateral, 1, &mark, status),
            nullptr);
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "incompatibility between surface and volume entities sizFac 6 nbrNod 9 because deg is 2\n");
}
