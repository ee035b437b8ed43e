// The node-order rule (every kind and degree a permutation of its lattice in vertex, edge, face,
// interior group order, and the orders the catalogue stores) and the entity catalogue.
#include "meshio/node_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"

struct KindInfo {
  int kind, dimension, vertices, edges, triangleFaces, quadrilateralFaces;
};

const KindInfo kKinds[] = {
    {EntityType::Edge, 1, 2, 1, 0, 0},          {EntityType::Triangle, 2, 3, 3, 0, 0},
    {EntityType::Quadrilateral, 2, 4, 4, 0, 0}, {EntityType::Tetrahedron, 3, 4, 6, 4, 0},
    {EntityType::Pyramid, 3, 5, 8, 4, 1},       {EntityType::Prism, 3, 6, 9, 2, 3},
    {EntityType::Hexahedron, 3, 8, 12, 0, 6},
};

// Number of bounding constraints of the reference shape that a node satisfies with equality.
int activeConstraints(int kind, int d, const int* r) {
  const int lows = (r[0] == 0) + (kind != EntityType::Edge && r[1] == 0);
  switch (kind) {
    case EntityType::Edge:
    case EntityType::Quadrilateral:
      return lows + (r[0] == d) + (kind == EntityType::Quadrilateral && r[1] == d);
    case EntityType::Triangle:
      return lows + (r[2] == 0);
    case EntityType::Tetrahedron:
      return lows + (r[2] == 0) + (r[3] == 0);
    case EntityType::Prism:
      return lows + (r[2] == 0) + (r[3] == 0) + (r[3] == d);
    case EntityType::Pyramid:
      return lows + (r[2] == 0) + (r[0] + r[2] == d) + (r[1] + r[2] == d);
    default:
      return lows + (r[2] == 0) + (r[0] == d) + (r[1] == d) + (r[2] == d);
  }
}

// Every lattice point of the kind at degree d, enumerated independently of the rule.
std::set<std::vector<int>> lattice(int kind, int d) {
  std::set<std::vector<int>> all;
  const int width = zel::latticeWidth(kind);
  std::vector<int> row(width, 0);
  for (;;) {
    if (zel::isLatticeNode(kind, d, row.data())) all.insert(row);
    int c = 0;
    while (c < width && ++row[c] > d) row[c++] = 0;
    if (c == width) return all;
  }
}

TEST(NodeOrder, EveryKindAndDegreeIsAPermutationOfItsLatticeInGroupOrder) {
  for (const KindInfo& k : kKinds) {
    for (int d = 1; d <= zel::kMaxLatticeDegree; d++) {
      SCOPED_TRACE("kind " + std::to_string(k.kind) + " degree " + std::to_string(d));
      const zel::LatticeOrder* order = zel::latticeNodeOrder(k.kind, d);
      ASSERT_NE(order, nullptr);
      ASSERT_EQ(order->count, zel::latticeNodeCount(k.kind, d));
      ASSERT_EQ(order->rows.size(), static_cast<size_t>(order->count * order->width));
      std::set<std::vector<int>> seen;
      std::vector<int> perGroup(4, 0);
      int lastGroup = 0;
      for (int n = 0; n < order->count; n++) {
        const int* r = order->row(n);
        seen.insert(std::vector<int>(r, r + order->width));
        // 0 vertex, 1 edge, 2 face, 3 interior: must never go back.
        int group = k.dimension - std::min(activeConstraints(k.kind, d, r), k.dimension);
        if (k.dimension == 2 && group == 2) group = 3;
        ASSERT_GE(group, lastGroup) << "node " << n;
        lastGroup = group;
        perGroup[group]++;
      }
      EXPECT_EQ(seen, lattice(k.kind, d));
      EXPECT_EQ(perGroup[0], k.vertices);
      EXPECT_EQ(perGroup[1], k.edges * (d - 1));
      EXPECT_EQ(perGroup[2],
                k.triangleFaces * (d - 1) * (d - 2) / 2 + k.quadrilateralFaces * (d - 1) * (d - 1));
    }
  }
  // The prism interior is a stack of triangle layers at levels 1, d-1, then inwards.
  for (const auto& [d, levels] : {std::pair{5, std::vector<int>{1, 4, 2, 3}},
                                  {6, {1, 5, 2, 4, 3}},
                                  {10, {1, 9, 2, 8, 3, 7, 4, 6, 5}}}) {
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(EntityType::Prism, d);
    const int layer = (d - 2) * (d - 1) / 2;
    std::vector<int> seen;
    for (int n = order.count - layer * (d - 1); n < order.count; n += layer) {
      seen.push_back(order.row(n)[3]);
      for (int m = n; m < n + layer; m++) EXPECT_EQ(order.row(m)[3], order.row(n)[3]);
    }
    EXPECT_EQ(seen, levels) << "degree " << d;
  }
  EXPECT_EQ(zel::latticeNodeOrder(5, 2), nullptr);
  EXPECT_EQ(zel::latticeNodeOrder(EntityType::Triangle, 11), nullptr);
  const zel::LatticeOrder* zero = zel::latticeNodeOrder(EntityType::Prism, 0);
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->rows, std::vector<int>(4, 0));
}

// The catalogue stores the orders of types 3..31 as data; they must be the rule's rows.
TEST(NodeOrder, CatalogueStoredOrdersEqualTheRule) {
  int checked = 0;
  for (int typ = EntityType::Edge; typ <= EntityType::PrismP4; typ++) {
    int nodes = 0, width = 0;
    const int* stored = zel_Typ2Ordering(typ, &nodes, &width);
    if (typ == 5) {
      EXPECT_EQ(stored, nullptr);
      EXPECT_EQ(nodes + width, 0);
      continue;
    }
    ASSERT_NE(stored, nullptr) << typ;
    const zel::LatticeOrder& rule = *zel::latticeNodeOrder(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
    ASSERT_EQ(nodes, rule.count) << typ;
    ASSERT_EQ(width, rule.width) << typ;
    EXPECT_EQ(std::vector<int>(stored, stored + nodes * width), rule.rows) << typ;
    checked++;
  }
  EXPECT_EQ(checked, 28);
  EXPECT_EQ(zel_Typ2Ordering(32, nullptr, nullptr), nullptr);
}

TEST(EntityCatalogue, NodeCountsAndCodesOfEveryShapeAndDegree) {
  // Entity codes of the shapes of SolTyp 100..106 at degrees 1..10; node counts: the lattice's.
  const int codes[7][10] = {
      {3, 11, 18, 25, 32, 40, 47, 54, 61, 68}, {4, 12, 19, 26, 33, 41, 48, 55, 62, 69},
      {6, 13, 20, 27, 34, 42, 49, 56, 63, 70}, {7, 14, 21, 28, 35, 43, 50, 57, 64, 71},
      {8, 16, 23, 30, 37, 45, 52, 59, 66, 73}, {9, 17, 24, 31, 38, 46, 53, 60, 67, 74},
      {10, 15, 22, 29, 36, 44, 51, 58, 65, 72}};
  for (int g = 0; g < 7; ++g) {
    const int solTyp = 100 + g, shape = codes[g][0];
    for (int k = 1; k <= 10; ++k) {
      const int typ = codes[g][k - 1];
      EXPECT_EQ(zel_SolTyp2EntTyp(solTyp, k), typ);
      EXPECT_EQ(zel_Typ2Shape(typ), shape) << typ;
      const int nodes = static_cast<int>(lattice(shape, k).size());
      EXPECT_EQ(zel_Typ2Siz(typ), nodes) << typ;
      EXPECT_EQ(zel_Typ2SizElt(typ), static_cast<int>(lattice(shape, 1).size())) << typ;
      EXPECT_EQ(zel_SolTyp2Siz(solTyp + 21, k), nodes);
      EXPECT_EQ(zel_Typ2Deg(typ), k <= 4 ? k : 0) << typ;
      if (k <= 4) {
        EXPECT_EQ(zel_EntTyp2SolTyp(typ), solTyp + 7 * (k - 1)) << typ;
      }
    }
    EXPECT_EQ(zel_SolTyp2EntTyp(solTyp, 0) + zel_SolTyp2EntTyp(solTyp, 11), 0);
  }
  EXPECT_EQ(zel_SolTyp2EntTyp(99, 1) + zel_SolTyp2EntTyp(128, 1) + zel_SolTyp2Siz(99, 2), 0);
  // Undefined codes give 0 and their message.
  char status[1024] = "";
  for (int typ : {5, 39, 75, 0, 2, -1, 129})
    EXPECT_EQ(zel_Typ2Siz(typ) + zel_Typ2Siz(typ, status) + zel_Typ2SizElt(typ, status) +
                  zel_EntTyp2SolTyp(typ, status),
              0)
        << typ;
  EXPECT_STREQ(status, " zel_EntTyp2SolTyp is undefined for Typ 129 !\n");
}

// Entity type -> scene kind, including the cut families and the normals; distinct kinds.
TEST(EntityCatalogue, LabelsAndSceneKindNames) {
  EXPECT_STREQ(zel_Typ2Label(30), " P4 Pyramid       ");
  EXPECT_STREQ(zel_Typ2Label(5), "unknown type");
  EXPECT_STREQ(zel_DrawKindName(53), "UsrCutQuadrilateralQ4 ");
  EXPECT_STREQ(zel_DrawKindName(62), "Unknown ");
  EXPECT_STREQ(zel_EntTypName(30), "PyramidP4 ");
  const int pairs[][2] = {{1, 0},   {2, 1},   {3, 2},   {4, 6},   {6, 11},  {10, 18},
                          {15, 19}, {25, 35}, {28, 17}, {31, 25}, {75, 38}, {76, 42},
                          {82, 45}, {83, 46}, {90, 53}, {91, 54}, {98, 61}, {128, 5}};
  for (auto& p : pairs) EXPECT_EQ(zel_EntTyp2DrawKind(p[0]), p[1]) << p[0];
  std::set<int> kinds;
  for (int typ = -1; typ <= 129; ++typ)
    EXPECT_TRUE(zel_EntTyp2DrawKind(typ) == -1 || kinds.insert(zel_EntTyp2DrawKind(typ)).second)
        << typ;
  EXPECT_EQ(kinds.size(), 55u);
}
