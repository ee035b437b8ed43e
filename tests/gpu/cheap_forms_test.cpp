// Cheap forms of the buffer classes: which program draws a curved kind's straight shape, the
// corner indices taken from its elements, and the subset of large vertex clouds.
#include "gpu/cheap_forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gpu/ZelBufferObject.h"
#include "homath/reference_nodes.h"
#include "meshio/entity_types.h"

namespace {

using zel::BufferClass;

TEST(CheapForms, CurvedKindsAreDrawnByTheStraightProgramOfTheirFamily) {
  EXPECT_STREQ(zel::straightProgram(DrawKind::TriangleP2), "TriSha");
  EXPECT_STREQ(zel::straightProgram(DrawKind::SrfTriangleP4), "TriSha");
  EXPECT_STREQ(zel::straightProgram(DrawKind::CutQuadrilateralQ3), "QuaSha");
  EXPECT_STREQ(zel::straightProgram(DrawKind::EdgeP3), "EdgSha");
  EXPECT_STREQ(zel::straightProgram(DrawKind::Vertex), "PntSha");
  EXPECT_EQ(zel::straightProgram(-1), nullptr);
  EXPECT_EQ(zel::straightProgram(DrawKind::Count), nullptr);

  // Every drawn kind: a curved one gets a straight program of its own family that draws a
  // straight kind of the same number of corners; a straight one keeps its program.
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    if (!row.program) continue;
    const char* straight = zel::straightProgram(row.kind);
    ASSERT_NE(straight, nullptr) << row.kind;
    if (row.degree < 2) {
      EXPECT_STREQ(straight, row.program) << row.kind;
      continue;
    }
    EXPECT_STRNE(straight, row.program) << row.kind;
    const zel::DrawKindRow* drawn = nullptr;
    for (const zel::DrawKindRow& other : zel::kDrawKinds)
      if (other.program && std::strcmp(other.program, straight) == 0) drawn = &other;
    ASSERT_NE(drawn, nullptr) << straight;
    EXPECT_EQ(drawn->degree, 1) << row.kind;
    EXPECT_EQ(drawn->solution, row.solution) << row.kind;
    EXPECT_EQ(drawn->buffer, zel::straightBufferClass(row.buffer)) << row.kind;
  }
}

// The corner indices are the first of each element's nodes: this holds only if the corners
// lead the node order, in the order the straight shapes take them (triangle node c at
// barycentric coordinate c = 1; quadrilateral corners (0,0), (1,0), (1,1), (0,1)).
TEST(CheapForms, CornersLeadTheNodeOrderOfEveryCurvedSurfaceKind) {
  const double quadCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int degree = 2; degree <= 4; ++degree) {
    int dim = 0;
    double* tri = GetCrdNodByTyp(EntityType::Triangle, degree, &dim);
    ASSERT_EQ(dim, 3);
    for (int corner = 0; corner < 3; ++corner)
      EXPECT_DOUBLE_EQ(tri[corner * dim + corner], 1.0) << "P" << degree << " corner " << corner;
    std::free(tri);
    double* quad = GetCrdNodByTyp(EntityType::Quadrilateral, degree, &dim);
    ASSERT_EQ(dim, 2);
    for (int corner = 0; corner < 4; ++corner)
      for (int axis = 0; axis < 2; ++axis)
        EXPECT_DOUBLE_EQ(quad[corner * dim + axis], quadCorners[corner][axis])
            << "Q" << degree << " corner " << corner;
    std::free(quad);
  }
}

TEST(CheapForms, CurvedElementsKeepTheirCornerIndicesInElementOrder) {
  struct Case {
    BufferClass curved;
    int nodes, corners;
  };
  for (const Case& c : {Case{BufferClass::TriangleP2, 6, 3}, Case{BufferClass::TriangleP4, 15, 3},
                        Case{BufferClass::QuadQ3, 16, 4}, Case{BufferClass::EdgeP2, 3, 2},
                        Case{BufferClass::EdgeP4, 5, 2}}) {
    // Three elements with distinct indices: element e, node n holds 100 e + n.
    std::vector<unsigned> indices;
    for (unsigned e = 0; e < 3; ++e)
      for (unsigned n = 0; n < unsigned(c.nodes); ++n) indices.push_back(100 * e + n);
    ASSERT_EQ(zel::bufferShape(c.curved).indicesPerElement, c.nodes);
    const std::vector<unsigned> cheap = zel::cheapIndices(c.curved, 3, indices.data());
    std::vector<unsigned> expected;
    for (unsigned e = 0; e < 3; ++e)
      for (unsigned n = 0; n < unsigned(c.corners); ++n) expected.push_back(100 * e + n);
    EXPECT_EQ(cheap, expected) << zel::bufferShape(c.curved).className;
  }
  // Straight and other classes have no cheap form; neither do empty or missing arrays.
  const unsigned some[16] = {};
  for (BufferClass plain : {BufferClass::Triangle, BufferClass::Quad, BufferClass::Edge,
                            BufferClass::Palette, BufferClass::CutPlane, BufferClass::IsoLine})
    EXPECT_TRUE(zel::cheapIndices(plain, 1, some).empty()) << zel::bufferShape(plain).className;
  EXPECT_TRUE(zel::cheapIndices(BufferClass::TriangleP2, 0, some).empty());
  EXPECT_TRUE(zel::cheapIndices(BufferClass::TriangleP2, 2, nullptr).empty());
}

TEST(CheapForms, LargeVertexCloudsKeepAnEvenlySpreadSubsetWithinTheBudget) {
  EXPECT_TRUE(zel::cheapIndices(BufferClass::Point, zel::kCheapPointBudget, nullptr).empty());
  for (int count : {zel::kCheapPointBudget + 1, 6751269}) {
    const std::vector<unsigned> subset = zel::cheapIndices(BufferClass::Point, count, nullptr);
    ASSERT_FALSE(subset.empty()) << count;
    EXPECT_LE(int(subset.size()), zel::kCheapPointBudget) << count;
    // Evenly spread over the whole cloud: equal steps from the first point to near the last.
    const unsigned step = subset[1] - subset[0];
    EXPECT_EQ(subset[0], 0u);
    for (size_t i = 1; i < subset.size(); ++i) ASSERT_EQ(subset[i] - subset[i - 1], step) << i;
    EXPECT_LT(subset.back(), unsigned(count));
    EXPECT_GE(subset.back() + step, unsigned(count)) << "the end of the cloud is left out";
    EXPECT_GT(subset.size(), size_t(zel::kCheapPointBudget / 2)) << "fewer points than needed";
  }
}

}  // namespace
