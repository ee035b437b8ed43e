// Values of volume fields on element faces, directly and through the orientation codes.
#include "meshio/face_values.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/node_order.h"

// A field of `elements` elements whose value at node n of element e is 100 e + n.
static std::vector<double> numberedField(int shape, int deg, int elements) {
  const int nodes = deg == 0 ? 1 : zel::latticeNodeCount(shape, deg);
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
                                       deg == 0 ? 1 : zel::latticeNodeCount(shape, deg)};
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
          EXPECT_EQ(testing::internal::GetCapturedStderr(),
                    "incompatibility between surface and volume entities\n");
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
