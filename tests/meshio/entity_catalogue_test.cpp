// Entity catalogue: node counts by formula, labels and scene-kind names, SolTyp round trips.
#include "meshio/entity_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Node count of a shape at degree d, written independently of the library.
int expectedNodes(int shape, int d) {
  switch (shape) {
    case 3:
      return d + 1;
    case 4:
      return (d + 1) * (d + 2) / 2;
    case 6:
      return (d + 1) * (d + 1);
    case 7:
      return (d + 1) * (d + 2) * (d + 3) / 6;
    case 8:
      return (d + 1) * (d + 2) * (2 * d + 3) / 6;
    case 9:
      return (d + 1) * (d + 1) * (d + 2) / 2;
    case 10:
      return (d + 1) * (d + 1) * (d + 1);
  }
  return -1;
}

}  // namespace

TEST(EntityCatalogue, NodeCountsFollowTheFormulasForEveryDegree) {
  // Codes of shape s at degree k, as listed for the SolTyp -> EntityType query.
  const int hexCodes[] = {10, 15, 22, 29, 36, 44, 51, 58, 65, 72};
  const int prismCodes[] = {9, 17, 24, 31, 38, 46, 53, 60, 67, 74};
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(zel_Typ2Siz(hexCodes[k - 1]), expectedNodes(10, k));
    EXPECT_EQ(zel_Typ2Siz(prismCodes[k - 1]), expectedNodes(9, k));
    EXPECT_EQ(zel_Typ2SizElt(prismCodes[k - 1]), 6);
  }
  EXPECT_EQ(zel_Typ2Siz(74), 726);
  EXPECT_EQ(zel_Typ2Siz(72), 1331);
  // Every shape and degree through the SolTyp queries, which must agree with zel_Typ2Siz.
  for (int g = 0; g < 7; ++g) {
    int solTyp = 100 + g;
    int shape = zel_SolTyp2EntTyp(solTyp, 1);
    for (int k = 1; k <= 10; ++k) {
      int typ = zel_SolTyp2EntTyp(solTyp, k);
      ASSERT_GT(typ, 0);
      EXPECT_EQ(zel_Typ2Shape(typ), shape) << typ;
      EXPECT_EQ(zel_Typ2Siz(typ), expectedNodes(shape, k)) << typ;
      EXPECT_EQ(zel_SolTyp2Siz(solTyp + 21, k), expectedNodes(shape, k));
      if (k <= 4) {
        EXPECT_EQ(zel_Typ2Deg(typ), k);
        EXPECT_EQ(zel_EntTyp2SolTyp(typ), solTyp + 7 * (k - 1)) << typ;
      }
    }
    EXPECT_EQ(zel_SolTyp2EntTyp(solTyp, 0), 0);
    EXPECT_EQ(zel_SolTyp2EntTyp(solTyp, 11), 0);
  }
  EXPECT_EQ(zel_SolTyp2EntTyp(104, 5), 37);
  EXPECT_EQ(zel_SolTyp2EntTyp(106, 6), 44);
  EXPECT_EQ(zel_SolTyp2EntTyp(99, 1), 0);
  EXPECT_EQ(zel_SolTyp2EntTyp(128, 1), 0);
  const int pyramidNodes[] = {5, 14, 30, 55};
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(zel_SolTyp2Siz(104, k), pyramidNodes[k - 1]);
  EXPECT_EQ(zel_SolTyp2Siz(99, 2), 0);
}

TEST(EntityCatalogue, UndefinedCodesReportTheirMessage) {
  char status[1024] = "";
  for (int typ : {5, 39, 75, 0, 2, -1, 129}) {
    EXPECT_EQ(zel_Typ2Siz(typ, status), 0);
    EXPECT_EQ(std::string(status),
              " zel_Typ2Siz is undefined for Typ " + std::to_string(typ) + " !\n");
    EXPECT_EQ(zel_Typ2SizElt(typ, status), 0);
    EXPECT_EQ(std::string(status),
              " zel_Typ2SizElt is undefined for Typ " + std::to_string(typ) + " !\n");
  }
  EXPECT_EQ(zel_EntTyp2SolTyp(32, status), 0);
  EXPECT_STREQ(status, " zel_EntTyp2SolTyp is undefined for Typ 32 !\n");
  EXPECT_EQ(zel_Typ2Siz(5), 0);  // no status: still 0, nothing written
  EXPECT_EQ(zel_Typ2Deg(32), 0);
  EXPECT_EQ(zel_Typ2Deg(1), 0);
}

TEST(EntityCatalogue, LabelsAndSceneKindNames) {
  EXPECT_STREQ(zel_Typ2Label(0), " Any       type   ");
  EXPECT_STREQ(zel_Typ2Label(7), " Tetrahedra       ");
  EXPECT_STREQ(zel_Typ2Label(13), " Q2 Quadrilateral ");
  EXPECT_STREQ(zel_Typ2Label(30), " P4 Pyramid       ");
  EXPECT_STREQ(zel_Typ2Label(39), " Reference        ");
  for (int typ : {2, 5, 32, 74, 128, -3}) EXPECT_STREQ(zel_Typ2Label(typ), "unknown type");
  for (int typ = 3; typ <= 31; ++typ)
    if (typ != 5) {
      EXPECT_EQ(std::string(zel_Typ2Label(typ)).size(), 18u) << typ;
    }

  EXPECT_STREQ(zel_DrawKindName(9), "Unknown ");
  EXPECT_STREQ(zel_DrawKindName(34), "Unknown ");
  EXPECT_STREQ(zel_DrawKindName(62), "Unknown ");
  EXPECT_STREQ(zel_DrawKindName(-1), "Unknown ");
  EXPECT_STREQ(zel_DrawKindName(21), "HexahedronQ4 ");
  EXPECT_STREQ(zel_DrawKindName(53), "UsrCutQuadrilateralQ4 ");
  // Entity type -> scene kind, including the cut families and the normals.
  const int pairs[][2] = {{1, 0},   {2, 1},   {3, 2},   {4, 6},   {6, 11},  {10, 18},
                          {15, 19}, {25, 35}, {28, 17}, {31, 25}, {75, 38}, {76, 42},
                          {82, 45}, {83, 46}, {90, 53}, {91, 54}, {98, 61}, {128, 5}};
  for (auto& p : pairs) EXPECT_EQ(zel_EntTyp2DrawKind(p[0]), p[1]) << p[0];
  for (int typ : {0, 5, 32, 39, 74, 99, 127, 129}) EXPECT_EQ(zel_EntTyp2DrawKind(typ), -1) << typ;
  EXPECT_STREQ(zel_EntTypName(30), "PyramidP4 ");
  EXPECT_STREQ(zel_EntTypName(40), "Unknown ");
  // Every defined scene kind is distinct per entity code.
  std::set<int> kinds;
  for (int typ = 1; typ <= 128; ++typ)
    if (zel_EntTyp2DrawKind(typ) >= 0) {
      EXPECT_TRUE(kinds.insert(zel_EntTyp2DrawKind(typ)).second) << typ;
    }
}
