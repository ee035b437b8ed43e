// Boundary faces of structured cubes of every volume kind and degree (outward, shared faces
// dropped), of scrambled cubes against a brute-force count, per volume type in mixed meshes, mesh
// faces marked with the orientation codes of every triangle permutation and every symmetry of the
// square, and real meshes whose boundary triangles are given in the file.
#include "capping/boundary_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/node_order.h"
#include "meshio/zel_object_slots.h"
#include "tests/capping/volume_cubes.h"

namespace {

using namespace volume_cubes;

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

// Every face lies on one side of the cube [0, k s]^3, with its normal pointing out of it.
void checkOnBoundaryAndOutward(const MeshBuilder& mesh, const int* nodes, int size, int count,
                               bool triangle, long side) {
  for (int f = 0; f < count; ++f) {
    const int* face = nodes + f * size;
    const Grid a = mesh.point(face[0]), b = mesh.point(face[1]),
               e = mesh.point(face[triangle ? 2 : 3]);
    const Grid normal = cross(minus(b, a), minus(e, a));
    int planes = 0;
    for (int c = 0; c < 3; ++c)
      for (long at : {0L, side}) {
        bool all = true;
        for (int k = 0; k < size; ++k) all &= mesh.point(face[k])[c] == at;
        if (!all) continue;
        ++planes;
        EXPECT_GT(normal[c] * (at == 0 ? -1 : 1), 0) << "face " << f << " points inward";
      }
    EXPECT_EQ(planes, 1) << "face " << f << " is not on one side of the cube";
  }
}

TEST(BoundaryFaces, StructuredCubesOfEveryKindAndDegree) {
  const int k = 3;
  struct Kind {
    int shape, tri, qua;  // boundary faces per k^2
  };
  const Kind kinds[] = {{7, 12, 0}, {8, 0, 6}, {9, 4, 4}, {10, 0, 6}};
  for (const Kind& kind : kinds)
    for (int deg = 1; deg <= 4; ++deg) {
      const int typ = zel_SolTyp2EntTyp(100 + 3 + kind.shape - 7, deg);
      SCOPED_TRACE(zel_EntTypName(typ));
      MeshBuilder builder(2 * deg);
      fillCube(&builder, typ, deg <= 2 ? k : 2);
      const int kk = deg <= 2 ? k : 2;
      ZelObject* mesh = builder.build();
      Extracted out;
      extract(mesh, typ, &out);
      ASSERT_EQ(out.count, 1);
      const ZelSurfaceGroup& g = out.groups[0];
      EXPECT_EQ(g.ref, 1);
      EXPECT_EQ(g.nbrTri, kind.tri * kk * kk);
      EXPECT_EQ(g.nbrQua, kind.qua * kk * kk);
      EXPECT_EQ(g.triSize, (deg + 1) * (deg + 2) / 2);
      EXPECT_EQ(g.quaSize, (deg + 1) * (deg + 1));
      checkOnBoundaryAndOutward(builder, g.triNodes, g.triSize, g.nbrTri, true, 2L * deg * kk);
      checkOnBoundaryAndOutward(builder, g.quaNodes, g.quaSize, g.nbrQua, false, 2L * deg * kk);
      // Links name the element and face whose nodes were emitted.
      char status[zel::kStatusSize];
      for (int f = 0; f < g.nbrTri; f += 7) {
        int nbrFaces, sizes[6], nodes[6 * kZelFaceSlots];
        ASSERT_EQ(g.triLinks[3 * f], typ);
        ASSERT_EQ(
            zel_GetElementFaces(mesh, g.triLinks[3 * f + 1], typ, &nbrFaces, sizes, nodes, status),
            0);
        EXPECT_EQ(std::vector<int>(g.triNodes + f * g.triSize, g.triNodes + (f + 1) * g.triSize),
                  std::vector<int>(nodes + g.triLinks[3 * f + 2] * kZelFaceSlots,
                                   nodes + g.triLinks[3 * f + 2] * kZelFaceSlots + g.triSize));
      }
      zel_FreeInterface(&mesh);
    }
}

// The boundary faces of each reference group by brute force: every face of every valid element
// counted under its sorted corners, those met once listed in element order, then face order.
struct Expected {
  std::vector<int> triNodes, triLinks, quaNodes, quaLinks;
};
std::map<int, Expected> bruteForce(ZelObject* mesh, int typ) {
  char status[zel::kStatusSize];
  int count = 0, per = 0, nbrVer = 0;
  const int* nodes = static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
  const int* refs = zel_GetReferenceArray(mesh, typ, status);
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &nbrVer, status);
  const ZelLocalTopology& topo = *zel_LocalTopology(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
  auto valid = [&](int e) {
    return std::all_of(nodes + e * per, nodes + (e + 1) * per,
                       [&](int v) { return v >= 1 && v <= nbrVer; });
  };
  auto key = [&](int e, int f) {
    const int corners = topo.faceShape[f] == EntityType::Triangle ? 3 : 4;
    std::vector<int> k;
    for (int c = 0; c < corners; ++c) k.push_back(nodes[e * per + topo.faces[f][c]]);
    std::sort(k.begin(), k.end());
    return std::make_pair(refs[e], k);
  };
  std::map<std::pair<int, std::vector<int>>, int> seen;
  for (int e = 1; e <= count; ++e)
    for (int f = 0; valid(e) && f < topo.nbrFaces; ++f) ++seen[key(e, f)];
  std::map<int, Expected> out;
  for (int e = 1; e <= count; ++e)
    for (int f = 0; valid(e) && f < topo.nbrFaces; ++f) {
      if (seen[key(e, f)] != 1) continue;
      const bool triangle = topo.faceShape[f] == EntityType::Triangle;
      Expected& x = out[refs[e]];
      for (int local : topo.faces[f])
        (triangle ? x.triNodes : x.quaNodes).push_back(nodes[e * per + local]);
      for (int link : {typ, e, f}) (triangle ? x.triLinks : x.quaLinks).push_back(link);
    }
  return out;
}

TEST(BoundaryFaces, ScrambledMeshesGiveTheBruteForceFacesInElementOrder) {
  for (int typ : {int(EntityType::Tetrahedron), int(EntityType::TetrahedronP2),
                  int(EntityType::Prism), int(EntityType::PyramidP2)}) {
    SCOPED_TRACE(zel_EntTypName(typ));
    MeshBuilder builder(2 * zel_Typ2Deg(typ));
    fillCube(&builder, typ, 3);
    ZelObject* mesh = scrambled(&builder, typ);
    const std::map<int, Expected> expected = bruteForce(mesh, typ);
    Extracted out;
    extract(mesh, typ, &out);
    ASSERT_EQ(out.count, static_cast<int>(expected.size()));
    int g = 0;
    for (const auto& [ref, x] : expected) {
      const ZelSurfaceGroup& got = out.groups[g++];
      EXPECT_EQ(got.ref, ref);
      EXPECT_EQ(std::vector<int>(got.triNodes, got.triNodes + got.nbrTri * got.triSize),
                x.triNodes);
      EXPECT_EQ(std::vector<int>(got.triLinks, got.triLinks + 3 * got.nbrTri), x.triLinks);
      EXPECT_EQ(std::vector<int>(got.quaNodes, got.quaNodes + got.nbrQua * got.quaSize),
                x.quaNodes);
      EXPECT_EQ(std::vector<int>(got.quaLinks, got.quaLinks + 3 * got.nbrQua), x.quaLinks);
    }
    zel_FreeInterface(&mesh);
  }
}

TEST(BoundaryFaces, CountedPerVolumeTypeAndPerReferenceInvalidElementsSkipped) {
  MeshBuilder builder(2);
  // A pyramid and a tetrahedron sharing the pyramid's face 1 (B, C, E).
  const Grid a = {0, 0, 0}, b = {2, 0, 0}, c = {2, 2, 0}, d = {0, 2, 0}, e = {1, 1, 1},
             f = {3, 1, 1};
  builder.add(EntityType::Pyramid, {a, b, c, d, e});
  builder.add(EntityType::Tetrahedron, {b, c, e, f});
  // Two hexahedra side by side with different references: their common face is kept by both.
  builder.add(
      EntityType::Hexahedron,
      {{0, 0, 4}, {2, 0, 4}, {2, 2, 4}, {0, 2, 4}, {0, 0, 6}, {2, 0, 6}, {2, 2, 6}, {0, 2, 6}}, 5);
  builder.add(
      EntityType::Hexahedron,
      {{2, 0, 4}, {4, 0, 4}, {4, 2, 4}, {2, 2, 4}, {2, 0, 6}, {4, 0, 6}, {4, 2, 6}, {2, 2, 6}}, 4);
  ZelObject* mesh = builder.build();
  // A third tetrahedron with a node beyond the vertices: filtered, never read.
  zel::EntitySlot slot;
  zel::entitySlot(mesh, EntityType::Tetrahedron, &slot);
  int* grown = static_cast<int*>(std::realloc(*slot.nodes, sizeof(int) * 12));
  grown[8] = 1, grown[9] = 2, grown[10] = 3, grown[11] = 1000000;
  *slot.nodes = grown;
  *slot.refs = static_cast<int*>(std::realloc(*slot.refs, sizeof(int) * 3));
  (*slot.refs)[2] = 1;
  *slot.count = 2;
  Extracted pyramid, tet, hex;
  extract(mesh, EntityType::Pyramid, &pyramid);
  extract(mesh, EntityType::Tetrahedron, &tet);
  extract(mesh, EntityType::Hexahedron, &hex);
  ASSERT_EQ(pyramid.count, 1);
  EXPECT_EQ(pyramid.groups[0].nbrTri, 4);
  EXPECT_EQ(pyramid.groups[0].nbrQua, 1);
  ASSERT_EQ(tet.count, 1);
  EXPECT_EQ(tet.groups[0].nbrTri, 4);
  EXPECT_EQ(tet.invalid, 1);
  ASSERT_EQ(hex.count, 2);
  EXPECT_EQ(hex.groups[0].ref, 4);
  EXPECT_EQ(hex.groups[1].ref, 5);
  EXPECT_EQ(hex.groups[0].nbrQua, 6);
  EXPECT_EQ(hex.groups[1].nbrQua, 6);
  Extracted none;
  char status[zel::kStatusSize];
  EXPECT_EQ(zel_ExtractBoundaryFaces(mesh, EntityType::Prism, nullptr, nullptr, &none.count,
                                     &none.groups, nullptr, status),
            0);
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(zel_ExtractBoundaryFaces(mesh, EntityType::TriangleP2, nullptr, nullptr, &none.count,
                                     &none.groups, nullptr, status),
            2);
  zel_FreeInterface(&mesh);
}

// Mesh faces made from the boundary faces under every symmetry are all marked with the codes
// of their symmetry, and their values read through the codes are their own nodes.
void checkSymmetries(int typ, int faceShape, int nbrCodes) {
  SCOPED_TRACE(zel_EntTypName(typ));
  const int deg = zel_Typ2Deg(typ);
  MeshBuilder builder(2 * deg);
  fillCube(&builder, typ, 2);
  ZelObject* mesh = builder.build();
  Extracted first;
  extract(mesh, typ, &first);
  const bool triangle = faceShape == EntityType::Triangle;
  const ZelSurfaceGroup& g = first.groups[0];
  const int count = triangle ? g.nbrTri : g.nbrQua, size = triangle ? g.triSize : g.quaSize;
  const int* faceNodes = triangle ? g.triNodes : g.quaNodes;
  ASSERT_GE(count, nbrCodes);
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(faceShape, deg);
  std::vector<std::vector<int>> codes;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      for (int t = 0; t < 4; ++t) {
        const int c[3] = {a, b, t};
        int row[3];
        if (zel_OrientFaceRow(faceShape, deg, c, order.row(0), row)) codes.push_back({a, b, t});
      }
  ASSERT_EQ(static_cast<int>(codes.size()), nbrCodes);
  const int meshTyp = zel_SolTyp2EntTyp(triangle ? 101 : 102, deg);
  ZelObject* marked = builder.build();
  std::vector<int> surfaces;
  for (int f = 0; f < count; ++f) {
    const std::vector<int>& c = codes[f % nbrCodes];
    for (int n = 0; n < size; ++n) {
      int row[3];
      ASSERT_TRUE(zel_OrientFaceRow(faceShape, deg, c.data(), order.row(n), row));
      for (int m = 0; m < size; ++m)
        if (std::equal(row, row + order.width, order.row(m)))
          surfaces.push_back(faceNodes[f * size + m]);
    }
  }
  ASSERT_EQ(static_cast<int>(surfaces.size()), count * size);
  zel::EntitySlot slot;
  zel::entitySlot(marked, meshTyp, &slot);
  *slot.nodes = static_cast<int*>(std::calloc(size * (count + 1), sizeof(int)));
  *slot.refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
  std::copy(surfaces.begin(), surfaces.end(), *slot.nodes + size);
  *slot.count = *slot.capacity = count;
  std::vector<ZelFaceMark> marks(count + 1, ZelFaceMark{});
  Extracted second;
  extract(marked, typ, &second, triangle ? marks.data() : nullptr,
          triangle ? nullptr : marks.data());
  EXPECT_EQ(triangle ? second.groups[0].nbrTri : second.groups[0].nbrQua, 0);
  for (int m = 1; m <= count; ++m) {
    ASSERT_EQ(marks[m].face, m);
    EXPECT_EQ(std::vector<int>(marks[m].codes, marks[m].codes + 3), codes[(m - 1) % nbrCodes]) << m;
    EXPECT_EQ(marks[m].volumeType, typ);
  }
  // A volume field whose value at each node is the node's vertex number.
  int nbrEle = 0, perElement = 0;
  char status[zel::kStatusSize];
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(marked, typ, &nbrEle, &perElement, status));
  std::vector<double> field(nodes, nodes + perElement * (nbrEle + 1));
  const ZelVolumeField volume = {deg, zel_EntTyp2SolTyp(typ), field.data(), nbrEle, perElement};
  double* values = zel_GetOrientedFaceValues(volume, meshTyp, count, marks.data() + 1, status);
  ASSERT_NE(values, nullptr) << status;
  EXPECT_EQ(std::vector<double>(values, values + count * size),
            std::vector<double>(surfaces.begin(), surfaces.end()));
  std::free(values);
  zel_FreeInterface(&marked);
  zel_FreeInterface(&mesh);
}

TEST(BoundaryFaces, EverySymmetryOfAMeshFaceIsMarkedAndOriented) {
  checkSymmetries(EntityType::HexahedronQ2, EntityType::Quadrilateral, 8);
  checkSymmetries(EntityType::HexahedronQ3, EntityType::Quadrilateral, 8);
  checkSymmetries(EntityType::TetrahedronP2, EntityType::Triangle, 6);
  checkSymmetries(EntityType::TetrahedronP4, EntityType::Triangle, 6);
  checkSymmetries(EntityType::PrismP2, EntityType::Quadrilateral, 8);
}

TEST(BoundaryFaces, OutOfRangeCodesEndTheProcess) {
  ZelFaceMark mark = {1, 1, 0, {0, 0, 1}, EntityType::HexahedronQ2};
  std::vector<double> field(27 * 2, 1.0);
  char status[zel::kStatusSize];
  EXPECT_EXIT(zel_GetOrientedFaceValues({2, SolTyp::HexahedronQ2, field.data(), 1, 27},
                                        EntityType::QuadrilateralQ2, 1, &mark, status),
              testing::ExitedWithCode(1), "");
  mark.codes[0] = 3;
  mark.volumeType = EntityType::TetrahedronP2;
  std::vector<double> tets(10 * 2, 1.0);
  const ZelVolumeField tetField = {2, SolTyp::TetrahedronP2, tets.data(), 1, 10};
  EXPECT_EXIT(zel_GetOrientedFaceValues(tetField, EntityType::TriangleP2, 1, &mark, status),
              testing::ExitedWithCode(1), "");
  // A quadrilateral surface on a triangular face is refused without ending the process.
  mark.codes[0] = 0;
  EXPECT_EQ(zel_GetOrientedFaceValues(tetField, EntityType::QuadrilateralQ2, 1, &mark, status),
            nullptr);
  EXPECT_EQ(zel_GetOrientedFaceValues({11, SolTyp::TetrahedronP2, tets.data(), 1, 10},
                                      EntityType::TriangleP2, 1, &mark, status),
            nullptr);
}

TEST(BoundaryFaces, RealMeshesMarkTheirBoundaryTriangles) {
  for (const char* name : {"/ho/sphere_p1.mesh", "/ho/sphere_p2.mesh", "/ho/hybrid_pyr_p2.mesh"}) {
    SCOPED_TRACE(name);
    ZelObject* mesh = nullptr;
    zel_NewInterface(&mesh);
    char status[zel::kStatusSize];
    ASSERT_EQ(zel_OpenMesh(mesh, (std::string(ZEL_TEST_DATA) + name).c_str(), status), 0) << status;
    const int deg = name[12] == '1' ? 1 : 2;
    int nbrTri = 0, nbrQua = 0;
    zel_GetNumberOfEntities(mesh, zel_SolTyp2EntTyp(101, deg), &nbrTri, status);
    zel_GetNumberOfEntities(mesh, zel_SolTyp2EntTyp(102, deg), &nbrQua, status);
    std::vector<ZelFaceMark> triMarks(nbrTri + 1, ZelFaceMark{}),
        quaMarks(nbrQua + 1, ZelFaceMark{});
    int emitted = 0;
    for (int shape = 3; shape <= 6; ++shape) {
      Extracted out;
      extract(mesh, zel_SolTyp2EntTyp(100 + shape, deg), &out, triMarks.data(), quaMarks.data());
      for (int g = 0; g < out.count; ++g) emitted += out.groups[g].nbrTri + out.groups[g].nbrQua;
    }
    int marked = 0;
    for (const auto* marks : {&triMarks, &quaMarks})
      for (size_t m = 1; m < marks->size(); ++m) marked += (*marks)[m].face == static_cast<int>(m);
    EXPECT_EQ(marked, nbrTri + nbrQua);  // every boundary face of the file is found
    // Each mesh face's node of row r is its volume face's node of row M(r).
    for (const auto* marks : {&triMarks, &quaMarks})
      for (size_t m = 1; m < marks->size(); ++m) {
        const ZelFaceMark& mark = (*marks)[m];
        const bool triangle = marks == &triMarks;
        const int shape = triangle ? EntityType::Triangle : EntityType::Quadrilateral;
        int count = 0, per = 0, nbrFaces, sizes[6], face[6 * kZelFaceSlots];
        const int* own =
            static_cast<const int*>(zel_GetIndicesArray(
                mesh, zel_SolTyp2EntTyp(triangle ? 101 : 102, deg), &count, &per, status)) +
            m * per;
        ASSERT_EQ(zel_GetElementFaces(mesh, mark.element, mark.volumeType, &nbrFaces, sizes, face,
                                      status),
                  0);
        const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, deg);
        for (int n = 0; n < order.count; ++n) {
          int row[3];
          ASSERT_TRUE(zel_OrientFaceRow(shape, deg, mark.codes, order.row(n), row));
          int at = 0;
          while (!std::equal(row, row + order.width, order.row(at))) ++at;
          EXPECT_EQ(own[n], face[mark.localFace * kZelFaceSlots + at])
              << "face " << m << " node " << n;
        }
      }
    EXPECT_GT(marked, 0);
    std::printf("  %s: %d faces marked, %d emitted\n", name, marked, emitted);
    zel_FreeInterface(&mesh);
  }
}

}  // namespace

namespace {

TEST(BoundaryFaces, RealMeshWithNodeIndicesOutsideTheVertices) {
  // Tetrahedron 11 has a node 0 and tetrahedron 21 a node 28 of 27 vertices.
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  char status[zel::kStatusSize];
  ASSERT_EQ(
      zel_OpenMesh(mesh, (std::string(ZEL_TEST_DATA) + "/broken/node_index_bad.meshb").c_str(),
                   status),
      0)
      << status;
  ZelObject* good = nullptr;
  zel_NewInterface(&good);
  ASSERT_EQ(
      zel_OpenMesh(good, (std::string(ZEL_TEST_DATA) + "/broken/cube3d.meshb").c_str(), status), 0);
  Extracted bad, reference;
  extract(mesh, EntityType::Tetrahedron, &bad);
  extract(good, EntityType::Tetrahedron, &reference);
  EXPECT_EQ(bad.invalid, 2);
  EXPECT_EQ(reference.invalid, 0);
  int faces = 0, referenceFaces = 0;
  for (int g = 0; g < bad.count; ++g) {
    faces += bad.groups[g].nbrTri;
    for (int f = 0; f < bad.groups[g].nbrTri; ++f) {
      EXPECT_NE(bad.groups[g].triLinks[3 * f + 1], 11);
      EXPECT_NE(bad.groups[g].triLinks[3 * f + 1], 21);
    }
  }
  // The same count by brute force over the valid elements.
  int count = 0, per = 0;
  const int* tets = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Tetrahedron, &count, &per, status));
  std::map<std::array<int, 3>, int> seen;
  for (int e = 1; e <= count; ++e) {
    if (e == 11 || e == 21) continue;
    for (int f = 0; f < 4; ++f) {
      std::array<int, 3> key;
      for (int k = 0; k < 3; ++k) key[k] = tets[e * per + (f + 1 + k) % 4];
      std::sort(key.begin(), key.end());
      ++seen[key];
    }
  }
  int once = 0;
  for (const auto& entry : seen) once += entry.second == 1;
  EXPECT_EQ(faces, once);
  for (int g = 0; g < reference.count; ++g) referenceFaces += reference.groups[g].nbrTri;
  EXPECT_EQ(referenceFaces, 48);
  zel_FreeInterface(&good);
  zel_FreeInterface(&mesh);
}

}  // namespace
