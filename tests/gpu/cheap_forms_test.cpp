// Cheap forms of the buffer classes: which program draws a curved kind's straight shape, the
// corner indices taken from its elements, and the subset of large vertex clouds.
#include "gpu/cheap_forms.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gpu/ZelBufferObject.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"

namespace {

using zel::BufferClass;

// Every drawn kind: a curved one gets a straight program of its own family that draws a
// straight kind of the same number of corners; a straight one keeps its program.
TEST(CheapForms, CurvedKindsAreDrawnByTheStraightProgramOfTheirFamily) {
  const std::pair<int, const char*> families[] = {{DrawKind::TriangleP2, "TriSha"},
                                                  {DrawKind::SrfTriangleP4, "TriSha"},
                                                  {DrawKind::CutQuadrilateralQ3, "QuaSha"},
                                                  {DrawKind::EdgeP3, "EdgSha"},
                                                  {DrawKind::Vertex, "PntSha"},
                                                  {-1, nullptr},
                                                  {DrawKind::Count, nullptr}};
  for (const auto& [kind, program] : families)
    EXPECT_EQ(std::string(program ? program : "-"),
              zel::straightProgram(kind) ? zel::straightProgram(kind) : "-")
        << kind;
  for (const zel::DrawKindRow& row : zel::kDrawKinds) {
    if (!row.program) continue;
    const char* straight = zel::straightProgram(row.kind);
    ASSERT_NE(straight, nullptr) << row.kind;
    if (row.degree < 2) {
      EXPECT_STREQ(straight, row.program) << row.kind;
      continue;
    }
    const zel::DrawKindRow* drawn = nullptr;
    for (const zel::DrawKindRow& other : zel::kDrawKinds)
      if (other.program && std::strcmp(other.program, straight) == 0) drawn = &other;
    ASSERT_NE(drawn, nullptr) << straight;
    EXPECT_TRUE(drawn->degree == 1 && drawn->solution == row.solution) << row.kind;
    EXPECT_EQ(drawn->buffer, zel::straightBufferClass(row.buffer)) << row.kind;
  }
}

// The corner indices are the first of each element's nodes: this holds only if the corners
// lead the node order, in the order the straight shapes take them (triangle corner c at
// barycentric count c = k; quadrilateral corners (0,0), (k,0), (k,k), (0,k)).
TEST(CheapForms, CurvedElementsKeepTheirLeadingCornerIndicesInElementOrder) {
  const int square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int k = 2; k <= 4; ++k)
    for (int c = 0; c < 4; ++c) {
      const int* q = zel::latticeNodeOrder(EntityType::Quadrilateral, k)->row(c);
      EXPECT_TRUE(q[0] == k * square[c][0] && q[1] == k * square[c][1]) << "Q" << k << " " << c;
      EXPECT_TRUE(c == 3 || zel::latticeNodeOrder(EntityType::Triangle, k)->row(c)[c] == k) << k;
    }
  for (const auto& [curved, nodes, corners] : {std::tuple{BufferClass::TriangleP2, 6u, 3u},
                                               {BufferClass::TriangleP4, 15u, 3u},
                                               {BufferClass::QuadQ3, 16u, 4u},
                                               {BufferClass::EdgeP2, 3u, 2u},
                                               {BufferClass::EdgeP4, 5u, 2u}}) {
    // Three elements with distinct indices: element e, node n holds 100 e + n.
    std::vector<unsigned> indices, expected;
    for (unsigned e = 0; e < 3; ++e)
      for (unsigned n = 0; n < nodes; ++n) {
        indices.push_back(100 * e + n);
        if (n < corners) expected.push_back(100 * e + n);
      }
    ASSERT_EQ(zel::bufferShape(curved).indicesPerElement, int(nodes));
    EXPECT_EQ(zel::cheapIndices(curved, 3, indices.data()), expected)
        << zel::bufferShape(curved).className;
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
    EXPECT_GT(subset.size(), size_t(zel::kCheapPointBudget / 2)) << "fewer points than needed";
    // Evenly spread over the whole cloud: equal steps from the first point to near the last.
    const unsigned step = subset[1] - subset[0];
    EXPECT_EQ(subset[0], 0u);
    for (size_t i = 1; i < subset.size(); ++i) ASSERT_EQ(subset[i] - subset[i - 1], step) << i;
    EXPECT_TRUE(subset.back() < unsigned(count) && subset.back() + step >= unsigned(count))
        << "the end of the cloud is left out";
  }
}

}  // namespace
