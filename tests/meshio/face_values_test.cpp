// Values of volume fields on element faces, directly and through the orientation codes.
#include "meshio/face_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/node_order.h"

namespace {

// A field of `elements` elements whose value at node n of element e is 100 e + n.
std::vector<double> numberedField(int shape, int deg, int elements) {
  const int nodes = deg == 0 ? 1 : LatticeNodeCount(shape, deg);
  std::vector<double> field((elements + 1) * nodes);
  for (int e = 0; e <= elements; ++e)
    for (int n = 0; n < nodes; ++n) field[e * nodes + n] = 100 * e + n;
  return field;
}

TEST(FaceValues, ValuesFollowTheFaceNodeOrderAtEveryDegree) {
  char status[ZEL_STATUS_SIZE];
  for (int deg = 1; deg <= 10; ++deg) {
    SCOPED_TRACE(deg);
    const std::vector<double> field = numberedField(EntityType::Prism, deg, 3);
    const int faces[6] = {0, 2, 1, 0, 3, 4};  // face 1 of element 2, face 4 of element 3
    const int triTyp = zel_SolTyp2EntTyp(SolTyp::Triangle, deg),
              quaTyp = zel_SolTyp2EntTyp(SolTyp::Quadrilateral, deg);
    const ZelLocalTopology& topo = *zel_LocalTopology(EntityType::Prism, deg);
    double* tri = zel_GetFaceValues(deg, SolTyp::Prism, field.data(), triTyp, 1, faces, status);
    ASSERT_NE(tri, nullptr);
    for (size_t k = 0; k < topo.faces[1].size(); ++k) EXPECT_EQ(tri[k], 200 + topo.faces[1][k]);
    std::free(tri);
    double* qua =
        zel_GetFaceValues(deg, SolTyp::PrismP3, field.data(), quaTyp, 1, faces + 3, status);
    ASSERT_NE(qua, nullptr);
    for (size_t k = 0; k < topo.faces[4].size(); ++k) EXPECT_EQ(qua[k], 300 + topo.faces[4][k]);
    std::free(qua);
    // A triangle surface on a quadrilateral face does not fit.
    testing::internal::CaptureStderr();
    EXPECT_EQ(zel_GetFaceValues(deg, SolTyp::Prism, field.data(), triTyp, 1, faces + 3, status),
              nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "incompatibility between surface and volume entities\n");
  }
  // Degree 0: the element's single value per face.
  const std::vector<double> constant = {0, 7, 9};
  const int faces[6] = {0, 2, 3, 0, 1, 0};
  double* values = zel_GetFaceValues(0, SolTyp::Tetrahedron, constant.data(), EntityType::Triangle,
                                     2, faces, status);
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(std::vector<double>(values, values + 2), (std::vector<double>{9, 7}));
  std::free(values);
  testing::internal::CaptureStderr();
  EXPECT_EQ(zel_GetFaceValues(11, SolTyp::Tetrahedron, constant.data(), EntityType::Triangle, 2,
                              faces, status),
            nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "wrong degree in input\n");
  // A degree-2 field on degree-1 triangles: the node counts disagree.
  const std::vector<double> p2 = numberedField(EntityType::Tetrahedron, 2, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(
      zel_GetFaceValues(2, SolTyp::Tetrahedron, p2.data(), EntityType::Triangle, 1, faces, status),
      nullptr);
  testing::internal::GetCapturedStderr();
  ZelFaceMark mark = {1, 1, 0, {0, 1, 2}, EntityType::TetrahedronP2};
  testing::internal::CaptureStderr();
  EXPECT_EQ(zel_GetOrientedFaceValues(2, SolTyp::TetrahedronP2, p2.data(), EntityType::Triangle, 1,
                                      &mark, status),
            nullptr);
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "incompatibility between surface and volume entities sizFac 6 nbrNod 3 because deg is 2\n");
}

TEST(FaceValues, OrientationCodesAreTheSymmetriesOfTheFace) {
  // Every code set maps the lattice of the face onto itself, and distinct codes differ.
  for (int shape : {EntityType::Triangle, EntityType::Quadrilateral})
    for (int deg = 1; deg <= 4; ++deg) {
      const LatticeOrder& order = *LatticeNodeOrder(shape, deg);
      std::vector<std::vector<int>> maps;
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
          for (int t = 0; t < 4; ++t) {
            const int codes[3] = {a, b, t};
            std::vector<int> map;
            for (int n = 0; n < order.count; ++n) {
              int row[3];
              if (!zel_OrientFaceRow(shape, deg, codes, order.row(n), row)) break;
              ASSERT_TRUE(IsLatticeNode(shape, deg, row));
              map.push_back(row[0] * 100 + row[1] * 10 +
                            (shape == EntityType::Triangle ? row[2] : 0));
            }
            if (map.empty()) continue;
            std::vector<int> sorted = map;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
            maps.push_back(map);
          }
      EXPECT_EQ(maps.size(), shape == EntityType::Triangle ? 6u : 8u);
      std::sort(maps.begin(), maps.end());
      if (deg > 1) {
        EXPECT_EQ(std::unique(maps.begin(), maps.end()), maps.end());
      }
    }
  // The vertices of a surface element select its codes.
  const int face[4] = {10, 20, 30, 40}, reflected[4] = {20, 10, 40, 30}, rotated[3] = {30, 10, 20};
  int codes[3];
  ASSERT_TRUE(zel_FaceOrientationCodes(EntityType::Quadrilateral, face, reflected, codes));
  EXPECT_EQ(codes[0], 1);
  ASSERT_TRUE(zel_FaceOrientationCodes(EntityType::Triangle, face, rotated, codes));
  EXPECT_EQ(std::vector<int>(codes, codes + 3), (std::vector<int>{1, 2, 0}));
  const int other[4] = {10, 20, 30, 50};
  EXPECT_FALSE(zel_FaceOrientationCodes(EntityType::Quadrilateral, face, other, codes));
}

}  // namespace
