// Entity catalogue: node counts by formula through every query, type codes, messages of
// undefined codes, labels and scene-kind names.
#include "meshio/entity_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Node count of a shape at degree d, written independently of the library.
int expectedNodes(int shape, int d) {
  const int n = d + 1;
  const int counts[] = {n,
                        n * (n + 1) / 2,
                        0,
                        n * n,
                        n * (n + 1) * (n + 2) / 6,
                        n * (n + 1) * (2 * n + 1) / 6,
                        n * n * (n + 1) / 2,
                        n * n * n};
  return counts[shape - EntityType::Edge];
}

TEST(EntityCatalogue, NodeCountsAndCodesOfEveryShapeAndDegree) {
  // Entity codes of the shapes of SolTyp 100..106 at degrees 1..10.
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
      EXPECT_EQ(zel_Typ2Siz(typ), expectedNodes(shape, k)) << typ;
      EXPECT_EQ(zel_Typ2SizElt(typ), expectedNodes(shape, 1)) << typ;
      EXPECT_EQ(zel_SolTyp2Siz(solTyp + 21, k), expectedNodes(shape, k));
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
}

TEST(EntityCatalogue, LabelsAndSceneKindNames) {
  EXPECT_STREQ(zel_Typ2Label(13), " Q2 Quadrilateral ");
  EXPECT_STREQ(zel_Typ2Label(30), " P4 Pyramid       ");
  for (int typ : {2, 5, 32, 74, 128, -3}) EXPECT_STREQ(zel_Typ2Label(typ), "unknown type");
  for (int typ = 3; typ <= 31; ++typ)
    EXPECT_EQ(std::string(zel_Typ2Label(typ)).size(), typ == 5 ? 12u : 18u) << typ;
  for (int kind : {9, 34, 62, -1}) EXPECT_STREQ(zel_DrawKindName(kind), "Unknown ");
  EXPECT_STREQ(zel_DrawKindName(53), "UsrCutQuadrilateralQ4 ");
  EXPECT_STREQ(zel_EntTypName(30), "PyramidP4 ");
  // Entity type -> scene kind, including the cut families and the normals; distinct kinds.
  const int pairs[][2] = {{1, 0},   {2, 1},   {3, 2},   {4, 6},   {6, 11},  {10, 18},
                          {15, 19}, {25, 35}, {28, 17}, {31, 25}, {75, 38}, {76, 42},
                          {82, 45}, {83, 46}, {90, 53}, {91, 54}, {98, 61}, {128, 5}};
  for (auto& p : pairs) EXPECT_EQ(zel_EntTyp2DrawKind(p[0]), p[1]) << p[0];
  for (int typ : {0, 5, 32, 39, 74, 99, 127, 129}) EXPECT_EQ(zel_EntTyp2DrawKind(typ), -1) << typ;
  std::set<int> kinds;
  for (int typ = 1; typ <= 128; ++typ)
    EXPECT_TRUE(zel_EntTyp2DrawKind(typ) < 0 || kinds.insert(zel_EntTyp2DrawKind(typ)).second)
        << typ;
}

}  // namespace
