// Faces met once within a list of elements (the elements a cut plane crosses): compared with a
// brute-force count over the list, for every volume kind at degrees 1 and 2 with vertex numbers
// in random order; and the refusals of bad lists.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "capping/boundary_faces.h"
#include "meshio/entity_faces.h"
#include "meshio/status.h"
#include "tests/capping/faces_met_once.h"
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
      int count = 0;
      zel_GetNumberOfEntities(mesh, typ, &count, status);
      // About half the elements, ascending.
      std::vector<int> list;
      std::mt19937 random(s + 10 * deg);
      for (int e = 1; e <= count; ++e)
        if (random() % 2) list.push_back(e);
      ZelSurfaceGroup got{};
      ASSERT_EQ(zel_ExtractElementFaces(mesh, typ, 7, int(list.size()), list.data(), &got, status),
                0)
          << status;
      EXPECT_EQ(got.ref, 7);
      testmesh::expectFaces(got, testmesh::facesMetOnce(mesh, typ, list, false)[0]);
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
