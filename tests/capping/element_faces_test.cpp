// Faces met once within a list of elements (the elements a cut plane crosses): compared with a
// brute-force count over the list, for every volume kind at degrees 1 and 2 with vertex numbers
// in random order; and the refusals of bad lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "capping/boundary_faces.h"
#include "meshio/entity_faces.h"
#include "meshio/status.h"
#include "tests/meshio/mesh_builder.h"

namespace {

using testmesh::Cell;

TEST(ElementFaces, FacesMetOnceWithinTheListAreThoseOfTheBruteForceCount) {
  const Cell cells[4] = {Cell::Tetrahedra, Cell::Pyramids, Cell::Prisms, Cell::Hexahedra};
  char status[zel::kStatusSize] = {};
  for (int s = 0; s < 4; ++s)
    for (int deg = 1; deg <= 2; ++deg) {
      const int typ = zel_SolTyp2EntTyp(SolTyp::Tetrahedron + s, deg);
      SCOPED_TRACE(zel_EntTypName(typ));
      testmesh::MeshBuilder builder(1);
      builder.numberGrid(6 * deg, 5 + s);
      builder.fillCube({cells[s]}, deg, 3);
      ZelObject* mesh = builder.build();
      int count = 0, per = 0;
      const int* nodes =
          static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
      // About half the elements, ascending.
      std::vector<int> list;
      std::mt19937 random(s + 10 * deg);
      for (int e = 1; e <= count; ++e)
        if (random() % 2) list.push_back(e);
      const ZelLocalTopology& topo = *zel_LocalTopology(zel_Typ2Shape(typ), deg);
      auto key = [&](int e, int f) {
        std::vector<int> k;
        for (int c = 0; c < (topo.faceShape[f] == EntityType::Triangle ? 3 : 4); ++c)
          k.push_back(nodes[e * per + topo.faces[f][c]]);
        std::sort(k.begin(), k.end());
        return k;
      };
      std::map<std::vector<int>, int> seen;
      for (int e : list)
        for (int f = 0; f < topo.nbrFaces; ++f) ++seen[key(e, f)];
      std::vector<int> expected[2], links[2];
      for (int e : list)
        for (int f = 0; f < topo.nbrFaces; ++f) {
          if (seen[key(e, f)] != 1) continue;
          const int q = topo.faceShape[f] == EntityType::Triangle ? 0 : 1;
          for (int local : topo.faces[f]) expected[q].push_back(nodes[e * per + local]);
          links[q].insert(links[q].end(), {typ, e, f});
        }
      ZelSurfaceGroup got{};
      ASSERT_EQ(zel_ExtractElementFaces(mesh, typ, 7, int(list.size()), list.data(), &got, status),
                0)
          << status;
      EXPECT_EQ(got.ref, 7);
      EXPECT_EQ(std::vector<int>(got.triNodes, got.triNodes + got.nbrTri * got.triSize),
                expected[0]);
      EXPECT_EQ(std::vector<int>(got.triLinks, got.triLinks + 3 * got.nbrTri), links[0]);
      EXPECT_EQ(std::vector<int>(got.quaNodes, got.quaNodes + got.nbrQua * got.quaSize),
                expected[1]);
      EXPECT_EQ(std::vector<int>(got.quaLinks, got.quaLinks + 3 * got.nbrQua), links[1]);
      zel_FreeSurfaceGroupArrays(&got);
      EXPECT_EQ(got.triNodes, nullptr);

      // An element outside the type and a type that is not a volume are refused.
      const int outside[2] = {1, count + 1};
      EXPECT_EQ(zel_ExtractElementFaces(mesh, typ, 1, 2, outside, &got, status), 2);
      EXPECT_EQ(std::string(status),
                "Element out of range for the faces of Type " + std::to_string(typ) + "\n");
      EXPECT_EQ(zel_ExtractElementFaces(mesh, EntityType::Triangle, 1, 1, outside, &got, status),
                2);
      EXPECT_EQ(got.nbrTri + got.nbrQua, 0);
      zel_FreeInterface(&mesh);
    }
}

}  // namespace
