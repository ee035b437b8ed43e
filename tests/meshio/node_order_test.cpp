// Checks the node-order rule: lattice permutations, group order, counts, and the stored tables.
#include "meshio/node_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"

namespace {

struct KindInfo {
  int kind;
  const char* name;
  int dimension;  // of the reference shape
  int vertices;
  int edges;
  int triangleFaces;
  int quadrilateralFaces;
};

const KindInfo kKinds[] = {
    {EntityType::Edge, "Edge", 1, 2, 1, 0, 0},
    {EntityType::Triangle, "Triangle", 2, 3, 3, 0, 0},
    {EntityType::Quadrilateral, "Quadrilateral", 2, 4, 4, 0, 0},
    {EntityType::Tetrahedron, "Tetrahedra", 3, 4, 6, 4, 0},
    {EntityType::Pyramid, "Pyramid", 3, 5, 8, 4, 1},
    {EntityType::Prism, "Prism", 3, 6, 9, 2, 3},
    {EntityType::Hexahedron, "Hexahedra", 3, 8, 12, 0, 6},
};

// Number of bounding constraints of the reference shape that a node satisfies with equality.
int ActiveConstraints(int kind, int d, const int* r) {
  auto count = [](std::initializer_list<bool> list) {
    return static_cast<int>(std::count(list.begin(), list.end(), true));
  };
  switch (kind) {
    case EntityType::Edge:
      return count({r[0] == 0, r[0] == d});
    case EntityType::Triangle:
      return count({r[0] == 0, r[1] == 0, r[2] == 0});
    case EntityType::Quadrilateral:
      return count({r[0] == 0, r[0] == d, r[1] == 0, r[1] == d});
    case EntityType::Tetrahedron:
      return count({r[0] == 0, r[1] == 0, r[2] == 0, r[3] == 0});
    case EntityType::Prism:
      return count({r[0] == 0, r[1] == 0, r[2] == 0, r[3] == 0, r[3] == d});
    case EntityType::Pyramid:
      return count({r[0] == 0, r[1] == 0, r[2] == 0, r[0] + r[2] == d, r[1] + r[2] == d});
    default:
      return count({r[0] == 0, r[0] == d, r[1] == 0, r[1] == d, r[2] == 0, r[2] == d});
  }
}

// Every lattice point of the kind at degree d, enumerated independently of the rule.
std::set<std::vector<int>> Lattice(int kind, int d) {
  std::set<std::vector<int>> all;
  const int width = zel::latticeWidth(kind);
  std::vector<int> row(width, 0);
  for (;;) {
    if (zel::isLatticeNode(kind, d, row.data())) all.insert(row);
    int c = 0;
    while (c < width && ++row[c] > d) row[c++] = 0;
    if (c == width) break;
  }
  return all;
}

TEST(NodeOrder, EveryKindAndDegreeIsAPermutationOfItsLatticeInGroupOrder) {
  for (const KindInfo& k : kKinds) {
    for (int d = 1; d <= zel::kMaxLatticeDegree; d++) {
      SCOPED_TRACE(std::string(k.name) + " degree " + std::to_string(d));
      const zel::LatticeOrder* order = zel::latticeNodeOrder(k.kind, d);
      ASSERT_NE(order, nullptr);
      ASSERT_EQ(order->count, zel::latticeNodeCount(k.kind, d));
      ASSERT_EQ(order->rows.size(), static_cast<size_t>(order->count * order->width));
      std::set<std::vector<int>> seen;
      std::vector<int> perGroup(4, 0);
      int lastGroup = 0;
      for (int n = 0; n < order->count; n++) {
        const int* r = order->row(n);
        ASSERT_TRUE(zel::isLatticeNode(k.kind, d, r)) << "node " << n;
        seen.insert(std::vector<int>(r, r + order->width));
        // 0 vertex, 1 edge, 2 face, 3 interior: must never go back.
        int group = k.dimension - std::min(ActiveConstraints(k.kind, d, r), k.dimension);
        if (k.dimension == 2 && group == 2) group = 3;
        if (k.dimension == 1 && group == 1) group = 1;
        ASSERT_GE(group, lastGroup) << "node " << n;
        lastGroup = group;
        perGroup[group]++;
      }
      EXPECT_EQ(seen, Lattice(k.kind, d));
      EXPECT_EQ(perGroup[0], k.vertices);
      EXPECT_EQ(perGroup[1], k.edges * (d - 1));
      EXPECT_EQ(perGroup[2],
                k.triangleFaces * (d - 1) * (d - 2) / 2 + k.quadrilateralFaces * (d - 1) * (d - 1));
    }
  }
}

TEST(NodeOrder, CountsFollowTheClosedFormulas) {
  const int triangle[] = {1, 3, 6, 10, 15};
  const int pyramid[] = {1, 5, 14, 30, 55};
  const int prism[] = {1, 6, 18, 40, 75};
  for (int d = 0; d <= 4; d++) {
    EXPECT_EQ(zel::latticeNodeCount(EntityType::Triangle, d), triangle[d]);
    EXPECT_EQ(zel::latticeNodeCount(EntityType::Pyramid, d), pyramid[d]);
    EXPECT_EQ(zel::latticeNodeCount(EntityType::Prism, d), prism[d]);
  }
  EXPECT_EQ(zel::latticeNodeCount(EntityType::Prism, 10), 726);
  EXPECT_EQ(zel::latticeNodeCount(EntityType::Hexahedron, 10), 1331);
  EXPECT_EQ(zel::latticeNodeCount(EntityType::Tetrahedron, 10), 286);
  EXPECT_EQ(zel::latticeNodeCount(5, 2), 0);
  EXPECT_EQ(zel::latticeNodeOrder(5, 2), nullptr);
  EXPECT_EQ(zel::latticeNodeOrder(EntityType::Triangle, 11), nullptr);
  const zel::LatticeOrder* zero = zel::latticeNodeOrder(EntityType::Prism, 0);
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->count, 1);
  EXPECT_EQ(zero->rows, std::vector<int>(4, 0));
}

std::string Digits(const zel::LatticeOrder& order, int n) {
  std::string text;
  for (int c = 0; c < order.width; c++) text += std::to_string(order.row(n)[c]);
  return text;
}

TEST(NodeOrder, NamedNodesSitWhereExpected) {
  EXPECT_EQ(Digits(*zel::latticeNodeOrder(EntityType::Triangle, 3), 9), "111");
  const zel::LatticeOrder& tet3 = *zel::latticeNodeOrder(EntityType::Tetrahedron, 3);
  EXPECT_EQ(tet3.count, 20);
  const char* centres[] = {"1110", "1101", "0111", "1011"};
  for (int f = 0; f < 4; f++) EXPECT_EQ(Digits(tet3, 16 + f), centres[f]);
  const zel::LatticeOrder& pyr2 = *zel::latticeNodeOrder(EntityType::Pyramid, 2);
  EXPECT_EQ(Digits(pyr2, 11), "111");  // the eighth edge node sits on edge 2-4
  EXPECT_EQ(Digits(pyr2, 13), "110");
}

// The prism interior is a stack of triangle layers at levels 1, d-1, then inwards.
TEST(NodeOrder, PrismInteriorLayersAlternateFromOutsideIn) {
  const std::vector<int> expected5 = {1, 4, 2, 3};
  const std::vector<int> expected6 = {1, 5, 2, 4, 3};
  const std::vector<int> expected10 = {1, 9, 2, 8, 3, 7, 4, 6, 5};
  for (const auto& [d, levels] : {std::make_pair(5, expected5), std::make_pair(6, expected6),
                                  std::make_pair(10, expected10)}) {
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(EntityType::Prism, d);
    const int layer = (d - 2) * (d - 1) / 2;
    const int first = order.count - layer * (d - 1);
    std::vector<int> seen;
    for (int n = first; n < order.count; n += layer) {
      seen.push_back(order.row(n)[3]);
      for (int m = n; m < n + layer; m++) EXPECT_EQ(order.row(m)[3], order.row(n)[3]);
    }
    EXPECT_EQ(seen, levels) << "degree " << d;
  }
}

// The default node orders of the element catalogue, rows written as their digits.
struct StoredTable {
  const char* name;
  const char* rows;
};

const StoredTable kStored[] = {
    {"Edge", "0; 1"},
    {"EdgeP2", "0; 2; 1"},
    {"EdgeP3", "0; 3; 1; 2"},
    {"EdgeP4", "0; 4; 1; 2; 3"},
    {"Triangle", "100; 010; 001"},
    {"TriangleP2", "200; 020; 002; 110; 011; 101"},
    {"TriangleP3", "300; 030; 003; 210; 120; 021; 012; 102; 201; 111"},
    {"TriangleP4", "400; 040; 004; 310; 220; 130; 031; 022; 013; 103; 202; 301; 211; 121; 112"},
    {"Quadrilateral", "00; 10; 11; 01"},
    {"QuadrilateralQ2", "00; 20; 22; 02; 10; 21; 12; 01; 11"},
    {"QuadrilateralQ3", "00; 30; 33; 03; 10; 20; 31; 32; 23; 13; 02; 01; 11; 21; 22; 12"},
    {"QuadrilateralQ4",
     "00; 40; 44; 04; 10; 20; 30; 41; 42; 43; 34; 24; 14; 03; 02; 01; 11; 31; 33; 13; 21; 32; 23; "
     "12; 22"},
    {"Tetrahedron", "1000; 0100; 0010; 0001"},
    {"TetrahedronP2", "2000; 0200; 0020; 0002; 1100; 0110; 1010; 1001; 0101; 0011"},
    {"TetrahedronP3",
     "3000; 0300; 0030; 0003; 2100; 1200; 0210; 0120; 1020; 2010; 2001; 1002; 0201; 0102; 0021; "
     "0012; 1110; 1101; 0111; 1011"},
    {"TetrahedronP4",
     "4000; 0400; 0040; 0004; 3100; 2200; 1300; 0310; 0220; 0130; 1030; 2020; 3010; 3001; 2002; "
     "1003; 0301; 0202; 0103; 0031; 0022; 0013; 2110; 1210; 1120; 2101; 1201; 1102; 0211; 0121; "
     "0112; 1021; 2011; 1012; 1111"},
    {"Pyramid", "000; 100; 110; 010; 001"},
    {"PyramidP2", "000; 200; 220; 020; 002; 100; 210; 120; 010; 001; 101; 111; 011; 110"},
    {"PyramidP3",
     "000; 300; 330; 030; 003; 100; 200; 310; 320; 230; 130; 020; 010; 001; 002; 201; 102; 221; "
     "112; 021; 012; 110; 210; 220; 120; 101; 211; 121; 011; 111"},
    {"PyramidP4",
     "000; 400; 440; 040; 004; 100; 200; 300; 410; 420; 430; 340; 240; 140; 030; 020; 010; 001; "
     "002; 003; 301; 202; 103; 331; 222; 113; 031; 022; 013; 110; 310; 330; 130; 210; 320; 230; "
     "120; 220; 101; 201; 102; 311; 321; 212; 231; 131; 122; 021; 011; 012; 111; 211; 221; 121; "
     "112"},
    {"Prism", "1000; 0100; 0010; 1001; 0101; 0011"},
    {"PrismP2",
     "2000; 0200; 0020; 2002; 0202; 0022; 1100; 0110; 1010; 1102; 0112; 1012; 2001; 0201; 0021; "
     "1101; 0111; 1011"},
    {"PrismP3",
     "3000; 0300; 0030; 3003; 0303; 0033; 2100; 1200; 0210; 0120; 1020; 2010; 2103; 1203; 0213; "
     "0123; 1023; 2013; 3001; 3002; 0301; 0302; 0031; 0032; 1110; 1113; 2101; 1201; 1202; 2102; "
     "0211; 0121; 0122; 0212; 1021; 2011; 2012; 1022; 1111; 1112"},
    {"PrismP4",
     "4000; 0400; 0040; 4004; 0404; 0044; 3100; 2200; 1300; 0310; 0220; 0130; 1030; 2020; 3010; "
     "3104; 2204; 1304; 0314; 0224; 0134; 1034; 2024; 3014; 4001; 4002; 4003; 0401; 0402; 0403; "
     "0041; 0042; 0043; 2110; 1210; 1120; 2114; 1214; 1124; 3101; 1301; 1303; 3103; 2201; 1302; "
     "2203; 3102; 2202; 0311; 0131; 0133; 0313; 0221; 0132; 0223; 0312; 0222; 1031; 3011; 3013; "
     "1033; 2021; 3012; 2023; 1032; 2022; 2111; 1211; 1121; 2113; 1213; 1123; 2112; 1212; 1122"},
    {"Hexahedron", "000; 100; 110; 010; 001; 101; 111; 011"},
    {"HexahedronQ2",
     "000; 200; 220; 020; 002; 202; 222; 022; 100; 210; 120; 010; 102; 212; 122; 012; 001; 201; "
     "221; 021; 110; 112; 101; 211; 121; 011; 111"},
    {"HexahedronQ3",
     "000; 300; 330; 030; 003; 303; 333; 033; 100; 200; 310; 320; 230; 130; 020; 010; 103; 203; "
     "313; 323; 233; 133; 023; 013; 001; 002; 301; 302; 331; 332; 031; 032; 110; 210; 220; 120; "
     "113; 213; 223; 123; 101; 201; 202; 102; 311; 321; 322; 312; 231; 131; 132; 232; 021; 011; "
     "012; 022; 111; 211; 221; 121; 112; 212; 222; 122"},
    {"HexahedronQ4",
     "000; 400; 440; 040; 004; 404; 444; 044; 100; 200; 300; 410; 420; 430; 340; 240; 140; 030; "
     "020; 010; 104; 204; 304; 414; 424; 434; 344; 244; 144; 034; 024; 014; 001; 002; 003; 401; "
     "402; 403; 441; 442; 443; 041; 042; 043; 110; 310; 330; 130; 210; 320; 230; 120; 220; 114; "
     "314; 334; 134; 214; 324; 234; 124; 224; 101; 301; 303; 103; 201; 302; 203; 102; 202; 411; "
     "431; 433; 413; 421; 432; 423; 412; 422; 341; 141; 143; 343; 241; 142; 243; 342; 242; 031; "
     "011; 013; 033; 021; 012; 023; 032; 022; 111; 311; 331; 131; 113; 313; 333; 133; 211; 321; "
     "231; 121; 213; 323; 233; 123; 112; 312; 332; 132; 221; 223; 212; 322; 232; 122; 222"},
};

TEST(NodeOrder, DegreesOneToFourEqualTheCatalogueTablesRowForRow) {
  const std::pair<const char*, int> prefixes[] = {{"Edge", EntityType::Edge},
                                                  {"Triangle", EntityType::Triangle},
                                                  {"Quadrilateral", EntityType::Quadrilateral},
                                                  {"Tetrahedron", EntityType::Tetrahedron},
                                                  {"Pyramid", EntityType::Pyramid},
                                                  {"Prism", EntityType::Prism},
                                                  {"Hexahedron", EntityType::Hexahedron}};
  int checked = 0;
  for (const StoredTable& table : kStored) {
    const std::string name = table.name;
    int kind = 0;
    for (const auto& [prefix, code] : prefixes)
      if (name.rfind(prefix, 0) == 0 && (name.size() == std::string(prefix).size() ||
                                         name.size() == std::string(prefix).size() + 2))
        kind = code;
    ASSERT_NE(kind, 0) << name;
    const char mark = name[name.size() - 2];
    const int deg = (mark == 'P' || mark == 'Q') ? name.back() - '0' : 1;
    const zel::LatticeOrder* found = zel::latticeNodeOrder(kind, deg);
    ASSERT_NE(found, nullptr) << name;
    const zel::LatticeOrder& order = *found;
    std::vector<std::string> expected;
    std::string text = table.rows;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find(';', start);
      if (end == std::string::npos) end = text.size();
      expected.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    ASSERT_EQ(static_cast<int>(expected.size()), order.count) << name;
    for (int n = 0; n < order.count; n++)
      EXPECT_EQ(Digits(order, n), expected[n]) << name << " " << n;
    checked++;
  }
  EXPECT_EQ(checked, 28);
}

// The catalogue stores the orders of types 3..31 as data; they must be the rule's rows.
TEST(NodeOrder, CatalogueStoredOrdersEqualTheRule) {
  int checked = 0;
  for (int typ = EntityType::Edge; typ <= EntityType::PrismP4; typ++) {
    int nodes = 0, width = 0;
    const int* stored = zel_Typ2Ordering(typ, &nodes, &width);
    if (typ == 5) {
      EXPECT_EQ(stored, nullptr);
      continue;
    }
    ASSERT_NE(stored, nullptr) << typ;
    const zel::LatticeOrder* rule = zel::latticeNodeOrder(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
    ASSERT_NE(rule, nullptr) << typ;
    ASSERT_EQ(nodes, rule->count) << typ;
    ASSERT_EQ(width, rule->width) << typ;
    EXPECT_EQ(std::vector<int>(stored, stored + nodes * width), rule->rows) << typ;
    checked++;
  }
  EXPECT_EQ(checked, 28);
}

}  // namespace
