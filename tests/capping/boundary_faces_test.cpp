// Boundary faces of scrambled cubes of every volume kind, of a cube of mixed kinds and of a file
// with broken elements, and the faces met once within a list of their elements, against a
// brute-force count; mesh faces marked with the codes of every symmetry of their shape.
#include "capping/boundary_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/capping/faces_met_once.h"
#include "tests/meshio/mesh_builder.h"

namespace {

using testmesh::Cell, testmesh::MeshBuilder;

struct Extracted {
  ZelSurfaceGroup* groups = nullptr;
  int count = 0, invalid = 0;
  ~Extracted() { zel_FreeSurfaceGroups(groups, count); }
};

void extract(ZelObject* mesh, int typ, Extracted* out, ZelFaceMark* tri = nullptr,
             ZelFaceMark* qua = nullptr) {
  char status[zel::kStatusSize];
  ASSERT_EQ(zel_ExtractBoundaryFaces(mesh, typ, tri, qua, &out->count, &out->groups, &out->invalid,
                                     status),
            0)
      << status;
}

const Cell kCellOfShape[4] = {Cell::Tetrahedra, Cell::Pyramids, Cell::Prisms, Cell::Hexahedra};

// The boundary faces of each reference group by brute force: the faces of the valid elements
// met once. The faces met once within a random half of them, as one group; an element outside
// the type and a type that is not a volume are refused there.
void expectBruteForceFaces(ZelObject* mesh, int typ, int invalid) {
  char status[zel::kStatusSize];
  int count = 0, per = 0, nbrVer = 0;
  const int* nodes = static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &nbrVer, status);
  std::vector<int> valid, half;
  std::mt19937 random(count);
  for (int e = 1; e <= count; ++e)
    if (std::all_of(nodes + e * per, nodes + (e + 1) * per,
                    [&](int v) { return v >= 1 && v <= nbrVer; })) {
      valid.push_back(e);
      if (random() % 2) half.push_back(e);
    }
  ASSERT_EQ(count - int(valid.size()), invalid);  // the case is what it claims
  const auto expected = testmesh::facesMetOnce(mesh, typ, valid, true);
  Extracted out;
  extract(mesh, typ, &out);
  EXPECT_EQ(out.invalid, invalid);
  ASSERT_EQ(out.count, static_cast<int>(expected.size()));
  int g = 0;
  for (const auto& [ref, faces] : expected) {
    EXPECT_EQ(out.groups[g].ref, ref);
    testmesh::expectFaces(out.groups[g++], faces);
  }
  ZelSurfaceGroup got{};
  ASSERT_EQ(zel_ExtractElementFaces(mesh, typ, 7, int(half.size()), half.data(), &got, status), 0)
      << status;
  EXPECT_EQ(got.ref, 7);
  testmesh::expectFaces(got, testmesh::facesMetOnce(mesh, typ, half, false)[0]);
  zel_FreeSurfaceGroupArrays(&got);
  EXPECT_EQ(got.triNodes, nullptr);
  const int outside[2] = {1, count + 1};
  EXPECT_EQ(zel_ExtractElementFaces(mesh, typ, 1, 2, outside, &got, status), 2);
  EXPECT_EQ(std::string(status),
            "Element out of range for the faces of Type " + std::to_string(typ) + "\n");
  EXPECT_EQ(zel_ExtractElementFaces(mesh, EntityType::Triangle, 1, 1, outside, &got, status), 2);
  EXPECT_EQ(got.nbrTri + got.nbrQua, 0);
  Extracted none;
  EXPECT_EQ(zel_ExtractBoundaryFaces(mesh, EntityType::TriangleP2, nullptr, nullptr, &none.count,
                                     &none.groups, nullptr, status),
            2);
}

// Cubes with vertex numbers in random order and references 1..3 at random, two elements
// repeated (their faces are met two or three times) and, for tetrahedra, a fan around vertex 1
// (one bucket holding a face of each); then a file with two elements naming vertices 0 and 28
// of its 27.
TEST(BoundaryFaces, ScrambledMeshesAndBrokenElementsGiveTheBruteForceFaces) {
  for (int typ : {EntityType::Tetrahedron, EntityType::TetrahedronP2, EntityType::Prism,
                  EntityType::PyramidP2, EntityType::Hexahedron, EntityType::HexahedronQ3,
                  EntityType::PrismP4, EntityType::PyramidP3}) {
    SCOPED_TRACE(zel_EntTypName(typ));
    const int deg = zel_Typ2Deg(typ);
    MeshBuilder builder(1);
    builder.numberGrid(6 * deg, 12345);
    builder.fillCube({kCellOfShape[zel_Typ2Shape(typ) - EntityType::Tetrahedron]}, deg, 3);
    std::mt19937 random(typ);
    for (int& ref : builder.refs(typ)) ref = 1 + random() % 3;
    for (int copy : {4, 17}) {
      const auto first = builder.nodes(typ).begin() + copy * zel_Typ2Siz(typ);
      builder.add(typ, std::vector<int>(first, first + zel_Typ2Siz(typ)), builder.refs(typ)[copy]);
    }
    for (int k = 0; typ == EntityType::Tetrahedron && k < 60; ++k)
      builder.add(typ, {1, 2 + k, 3 + k, 4 + k}, 4);
    ZelObject* mesh = builder.build();
    expectBruteForceFaces(mesh, typ, 0);
    zel_FreeInterface(&mesh);
  }
  // Columns of every kind side by side: faces shared with another kind stay boundary faces.
  MeshBuilder mixed(1);
  mixed.fillCube({Cell::Hexahedra, Cell::Pyramids, Cell::Prisms, Cell::TetrahedraAroundCentre,
                  Cell::Pyramids, Cell::Hexahedra, Cell::Tetrahedra, Cell::Prisms},
                 1, 2);
  ZelObject* mesh = mixed.build();
  for (int typ = EntityType::Tetrahedron; typ <= EntityType::Hexahedron; ++typ)
    expectBruteForceFaces(mesh, typ, 0);
  zel_FreeInterface(&mesh);
  zel_NewInterface(&mesh);
  char status[zel::kStatusSize];
  ASSERT_EQ(zel_OpenMesh(mesh, ZEL_TEST_DATA "/broken/node_index_bad.meshb", status), 0) << status;
  expectBruteForceFaces(mesh, EntityType::Tetrahedron, 2);
  zel_FreeInterface(&mesh);
}

// A mesh triangle that lies on no element, met before a real boundary triangle with the same
// smallest corner, must not stop the marking of the triangles after it; a single-reference mesh
// with a node one past the last vertex has that element left out like any other broken one.
TEST(BoundaryFaces, StrayMeshFacesAndNodesOnePastTheLastVertex) {
  MeshBuilder builder(1);
  for (int v = 1; v <= 14; ++v) builder.vertex({double(v), double(v * v % 7), double(v % 3)});
  for (const std::vector<int>& tet :
       {std::vector<int>{2, 3, 4, 5}, {6, 7, 8, 10}, {11, 12, 13, 14}})
    builder.add(EntityType::Tetrahedron, tet, 1);
  builder.add(EntityType::Triangle, {2, 6, 7}, 0);
  builder.add(EntityType::Triangle, {2, 4, 3}, 0);
  ZelObject* mesh = builder.build();
  std::vector<ZelFaceMark> marks(3, ZelFaceMark{});
  Extracted out;
  extract(mesh, EntityType::Tetrahedron, &out, marks.data());
  EXPECT_EQ(marks[1].face, 0) << "a triangle on no element is marked";
  EXPECT_EQ(marks[2].face, 2) << "the triangle after a stray one is not marked";
  EXPECT_EQ(marks[2].volumeType, EntityType::Tetrahedron);
  ASSERT_EQ(out.count, 1);
  EXPECT_EQ(out.groups[0].nbrTri, 11);  // 12 faces of three tetrahedra, one taken by the mark
  Extracted none;                       // a volume type without elements
  extract(mesh, EntityType::Prism, &none);
  EXPECT_EQ(none.count, 0);
  zel_FreeInterface(&mesh);

  MeshBuilder cube(1);
  cube.fillCube({Cell::Tetrahedra}, 1, 2);
  cube.add(EntityType::Tetrahedron, {1, 2, 3, cube.nbrVertices() + 1}, 1);
  ZelObject* broken = cube.build();
  expectBruteForceFaces(broken, EntityType::Tetrahedron, 1);
  zel_FreeInterface(&broken);
}

// Node n of a face seen through codes: the node of the volume face at row M(row n).
int orientedNode(int faceShape, int deg, const int* codes, int n) {
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(faceShape, deg);
  int row[3];
  if (!zel_OrientFaceRow(faceShape, deg, codes, order.row(n), row)) return -1;
  for (int m = 0; m < order.count; ++m)
    if (std::equal(row, row + order.width, order.row(m))) return m;
  return -1;
}

// Mesh faces made from the boundary faces under every symmetry are all marked with the codes
// of their symmetry, and a field's values read through the codes are their own nodes; codes
// out of range are not read.
TEST(BoundaryFaces, EverySymmetryOfAMeshFaceIsMarkedAndOriented) {
  for (int typ : {EntityType::Tetrahedron, EntityType::TetrahedronP2, EntityType::TetrahedronP4,
                  EntityType::Hexahedron, EntityType::HexahedronQ2, EntityType::HexahedronQ3,
                  EntityType::PrismP2, EntityType::PyramidP2}) {
    SCOPED_TRACE(zel_EntTypName(typ));
    const int deg = zel_Typ2Deg(typ);
    const bool triangle = zel_Typ2Shape(typ) == EntityType::Tetrahedron;
    const int faceShape = triangle ? EntityType::Triangle : EntityType::Quadrilateral;
    MeshBuilder builder(1);
    builder.orient = true;
    builder.fillCube({kCellOfShape[zel_Typ2Shape(typ) - EntityType::Tetrahedron]}, deg, 2);
    ZelObject* mesh = builder.build();
    Extracted first;
    extract(mesh, typ, &first);
    zel_FreeInterface(&mesh);
    const ZelSurfaceGroup& g = first.groups[0];
    const int count = triangle ? g.nbrTri : g.nbrQua, size = triangle ? g.triSize : g.quaSize;
    // The codes of every symmetry of the face shape.
    std::vector<std::array<int, 3>> codes;
    for (int c = 0; c < 36; ++c) {
      const int code[3] = {c / 12, c / 4 % 3, c % 4};
      if (orientedNode(faceShape, deg, code, 0) >= 0) codes.push_back({code[0], code[1], code[2]});
    }
    ASSERT_EQ(codes.size(), triangle ? 6u : 8u);
    const int meshTyp = zel_SolTyp2EntTyp(triangle ? SolTyp::Triangle : SolTyp::Quadrilateral, deg);
    const int* faceNodes = triangle ? g.triNodes : g.quaNodes;
    std::vector<int> surfaces;
    for (int f = 0; f < count; ++f) {
      const int* code = codes[f % codes.size()].data();
      for (int n = 0; n < size; ++n)
        surfaces.push_back(faceNodes[f * size + orientedNode(faceShape, deg, code, n)]);
      builder.add(meshTyp, std::vector<int>(surfaces.end() - size, surfaces.end()), 0);
    }
    ZelObject* marked = builder.build();
    std::vector<ZelFaceMark> marks(count + 1, ZelFaceMark{});
    Extracted second;
    extract(marked, typ, &second, triangle ? marks.data() : nullptr,
            triangle ? nullptr : marks.data());
    EXPECT_EQ(triangle ? second.groups[0].nbrTri : second.groups[0].nbrQua, 0);
    for (int m = 1; m <= count; ++m) {
      const auto& code = codes[(m - 1) % codes.size()];
      EXPECT_TRUE(marks[m].face == m && marks[m].volumeType == typ &&
                  std::equal(code.begin(), code.end(), marks[m].codes))
          << m;
    }
    // A volume field whose value at each node is the node's vertex number.
    int nbrEle = 0, per = 0;
    char status[zel::kStatusSize];
    const int* nodes =
        static_cast<const int*>(zel_GetIndicesArray(marked, typ, &nbrEle, &per, status));
    const std::vector<double> field(nodes, nodes + per * (nbrEle + 1));
    double* values =
        zel_GetOrientedFaceValues({deg, zel_EntTyp2SolTyp(typ), field.data(), nbrEle, per}, meshTyp,
                                  count, marks.data() + 1, status);
    ASSERT_NE(values, nullptr) << status;
    EXPECT_EQ(std::vector<double>(values, values + count * size),
              std::vector<double>(surfaces.begin(), surfaces.end()));
    std::free(values);
    zel_FreeInterface(&marked);
  }
  // Codes outside their range end the process.
  ZelFaceMark mark = {1, 1, 0, {3, 0, 1}, EntityType::TetrahedronP2};
  const std::vector<double> tets(10 * 2, 1.0);
  char status[zel::kStatusSize];
  EXPECT_EXIT(zel_GetOrientedFaceValues({2, SolTyp::TetrahedronP2, tets.data(), 1, 10},
                                        EntityType::TriangleP2, 1, &mark, status),
              testing::ExitedWithCode(1), "");
}

}  // namespace
