// Boundary faces of structured cubes of every volume kind and degree (outward, shared faces
// dropped), per volume type in mixed meshes, mesh faces marked with the orientation codes of
// every triangle permutation and every symmetry of the square, and real meshes whose boundary
// triangles are given in the file.
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

namespace {

using Grid = std::array<long, 3>;

Grid minus(Grid a, Grid b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Grid cross(Grid a, Grid b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
long dot(Grid a, Grid b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Vertices of the reference axes of each shape: node = v0 + a (v_a - v0) + b (v_b - v0) + c (v_c -
// v0).
std::array<int, 3> axes(int shape) {
  return shape == EntityType::Tetrahedron || shape == EntityType::Prism
             ? std::array<int, 3>{1, 2, 3}
             : std::array<int, 3>{1, 3, 4};
}
// Reference coordinates (times the degree) of a lattice row on those axes.
std::array<int, 3> scaled(int shape, const int* row) {
  if (shape == EntityType::Tetrahedron || shape == EntityType::Prism)
    return {row[1], row[2], row[3]};
  return {row[0], row[1], row[2]};
}

// A mesh built element by element from straight elements given by their vertices (grid points).
class MeshBuilder {
 public:
  explicit MeshBuilder(int scale) : scale_(scale) {}
  int vertex(Grid p) {
    auto found = numbers_.find(p);
    if (found != numbers_.end()) return found->second;
    points_.push_back(p);
    return numbers_[p] = static_cast<int>(points_.size());
  }
  // Adds an element of type typ; its vertices are flipped into positive orientation first.
  void add(int typ, std::vector<Grid> v, int ref = 1) {
    const int shape = zel_Typ2Shape(typ), deg = zel_Typ2Deg(typ);
    const auto ax = axes(shape);
    if (dot(cross(minus(v[ax[0]], v[0]), minus(v[ax[1]], v[0])), minus(v[ax[2]], v[0])) < 0) {
      if (shape == EntityType::Tetrahedron) std::swap(v[2], v[3]);
      if (shape == EntityType::Prism) std::swap(v[1], v[2]), std::swap(v[4], v[5]);
      if (shape == EntityType::Pyramid) std::swap(v[1], v[3]);
      if (shape == EntityType::Hexahedron) std::swap(v[1], v[3]), std::swap(v[5], v[7]);
    }
    const LatticeOrder& order = *LatticeNodeOrder(shape, deg);
    for (int n = 0; n < order.count; ++n) {
      const auto r = scaled(shape, order.row(n));
      Grid p = v[0];
      for (int c = 0; c < 3; ++c)
        for (int a = 0; a < 3; ++a) p[c] += r[a] * (v[ax[a]][c] - v[0][c]) / deg;
      elements_[typ].push_back(vertex(p));
    }
    refs_[typ].push_back(ref);
  }
  void addFace(int typ, const std::vector<int>& nodes) {
    elements_[typ].insert(elements_[typ].end(), nodes.begin(), nodes.end());
    refs_[typ].push_back(0);
  }
  Grid point(int vertex) const { return points_[vertex - 1]; }
  ZelObject* build() {
    ZelObject* mesh = nullptr;
    zel_NewInterface(&mesh);
    mesh->dim = 3;
    const int n = static_cast<int>(points_.size());
    mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = n;
    mesh->coordinates = static_cast<double*>(std::calloc(3 * (n + 1), sizeof(double)));
    mesh->vertexRefs = static_cast<int*>(std::calloc(n + 1, sizeof(int)));
    for (int k = 0; k < n; ++k)
      for (int c = 0; c < 3; ++c)
        mesh->coordinates[3 * (k + 1) + c] = double(points_[k][c]) / scale_;
    for (auto& [typ, nodes] : elements_) {
      zel::EntitySlot slot;
      zel::entitySlot(mesh, typ, &slot);
      const int size = zel_Typ2Siz(typ), count = static_cast<int>(refs_[typ].size());
      *slot.nodes = static_cast<int*>(std::calloc(size * (count + 1), sizeof(int)));
      *slot.refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
      std::copy(nodes.begin(), nodes.end(), *slot.nodes + size);
      std::copy(refs_[typ].begin(), refs_[typ].end(), *slot.refs + 1);
      *slot.count = *slot.capacity = count;
    }
    return mesh;
  }

 private:
  int scale_;
  std::map<Grid, int> numbers_;
  std::vector<Grid> points_;
  std::map<int, std::vector<int>> elements_, refs_;
};

// A cube of k^3 cells of one volume kind: hexahedra, 6 tetrahedra or 2 prisms per cell, or 6
// pyramids per cell around its centre. Grid points are 2 * degree per cell.
void fillCube(MeshBuilder* mesh, int typ, int k) {
  const long s = 2 * zel_Typ2Deg(typ), h = s / 2;
  const int shape = zel_Typ2Shape(typ);
  for (long x = 0; x < k; ++x)
    for (long y = 0; y < k; ++y)
      for (long z = 0; z < k; ++z) {
        auto c = [&](int i, int j, int l) { return Grid{(x + i) * s, (y + j) * s, (z + l) * s}; };
        if (shape == EntityType::Hexahedron) {
          mesh->add(typ, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 0, 1),
                          c(1, 1, 1), c(0, 1, 1)});
        } else if (shape == EntityType::Prism) {
          mesh->add(typ, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 0, 1), c(1, 0, 1), c(1, 1, 1)});
          mesh->add(typ, {c(0, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 1, 1), c(0, 1, 1)});
        } else if (shape == EntityType::Tetrahedron) {
          const int perms[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                   {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
          for (const auto& p : perms) {
            int a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
            a[p[0]] = 1;
            b[p[0]] = b[p[1]] = 1;
            mesh->add(typ, {c(0, 0, 0), c(a[0], a[1], a[2]), c(b[0], b[1], b[2]), c(1, 1, 1)});
          }
        } else {  // a pyramid on each face of the cell, apex at the centre, base seen from it
                  // counter-clockwise
          const Grid centre = {x * s + h, y * s + h, z * s + h};
          for (int axis = 0; axis < 3; ++axis)
            for (int side = 0; side < 2; ++side) {
              std::vector<Grid> base;
              const int cyc[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
              for (const auto& q : cyc) {
                int idx[3];
                idx[axis] = side;
                idx[(axis + 1) % 3] = q[0];
                idx[(axis + 2) % 3] = q[1];
                base.push_back(c(idx[0], idx[1], idx[2]));
              }
              if (dot(cross(minus(base[1], base[0]), minus(base[3], base[0])),
                      minus(centre, base[0])) < 0)
                std::swap(base[1], base[3]);
              base.push_back(centre);
              mesh->add(typ, base);
            }
        }
      }
}

struct Extracted {
  ZelSurfaceGroup* groups = nullptr;
  int count = 0, invalid = 0;
  ~Extracted() { zel_FreeSurfaceGroups(groups, count); }
};

void extract(ZelObject* mesh, int typ, Extracted* out, ZelFaceMark* tri = nullptr,
             ZelFaceMark* qua = nullptr) {
  char status[ZEL_STATUS_SIZE];
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
      char status[ZEL_STATUS_SIZE];
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
  char status[ZEL_STATUS_SIZE];
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

// Renumbers the vertices by a fixed shuffle, gives the elements references 1..3 from a fixed
// sequence, repeats two elements (their faces are then met two or three times) and, for
// tetrahedra, adds a fan of tetrahedra around vertex 1 (one bucket holding a face of each).
ZelObject* scrambled(MeshBuilder* builder, int typ) {
  ZelObject* mesh = builder->build();
  zel::EntitySlot slot;
  zel::entitySlot(mesh, typ, &slot);
  const int n = mesh->count1[kSlotVertices], size = zel_Typ2Siz(typ);
  std::vector<int> renumber(n + 1);
  for (int v = 1; v <= n; ++v) renumber[v] = v;
  unsigned seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (int v = n; v > 1; --v) std::swap(renumber[v], renumber[1 + next() % v]);
  std::vector<int> nodes(*slot.nodes + size, *slot.nodes + size * (*slot.count + 1));
  std::vector<int> refs(*slot.count);
  for (int& node : nodes) node = renumber[node];
  for (int& ref : refs) ref = 1 + next() % 3;
  for (int copy : {4, 17}) {
    nodes.insert(nodes.end(), nodes.begin() + copy * size, nodes.begin() + (copy + 1) * size);
    refs.push_back(refs[copy]);
  }
  for (int k = 0; typ == EntityType::Tetrahedron && k + 4 <= n; ++k) {
    nodes.insert(nodes.end(), {1, 2 + k, 3 + k, 4 + k});
    refs.push_back(4);
  }
  const int count = static_cast<int>(refs.size());
  std::free(*slot.nodes);
  std::free(*slot.refs);
  *slot.nodes = static_cast<int*>(std::calloc(size * (count + 1), sizeof(int)));
  *slot.refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
  std::copy(nodes.begin(), nodes.end(), *slot.nodes + size);
  std::copy(refs.begin(), refs.end(), *slot.refs + 1);
  *slot.count = *slot.capacity = count;
  return mesh;
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
  char status[ZEL_STATUS_SIZE];
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
  const LatticeOrder& order = *LatticeNodeOrder(faceShape, deg);
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
  char status[ZEL_STATUS_SIZE];
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(marked, typ, &nbrEle, &perElement, status));
  std::vector<double> field(nodes, nodes + perElement * (nbrEle + 1));
  double* values = zel_GetOrientedFaceValues(deg, zel_EntTyp2SolTyp(typ), field.data(), meshTyp,
                                             count, marks.data() + 1, status);
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
  char status[ZEL_STATUS_SIZE];
  EXPECT_EXIT(zel_GetOrientedFaceValues(2, SolTyp::HexahedronQ2, field.data(),
                                        EntityType::QuadrilateralQ2, 1, &mark, status),
              testing::ExitedWithCode(1), "");
  mark.codes[0] = 3;
  std::vector<double> tets(10 * 2, 1.0);
  EXPECT_EXIT(zel_GetOrientedFaceValues(2, SolTyp::TetrahedronP2, tets.data(),
                                        EntityType::TriangleP2, 1, &mark, status),
              testing::ExitedWithCode(1), "");
  // A quadrilateral surface on a triangular face is refused without ending the process.
  mark.codes[0] = 0;
  EXPECT_EQ(zel_GetOrientedFaceValues(2, SolTyp::TetrahedronP2, tets.data(),
                                      EntityType::QuadrilateralQ2, 1, &mark, status),
            nullptr);
  EXPECT_EQ(zel_GetOrientedFaceValues(11, SolTyp::TetrahedronP2, tets.data(),
                                      EntityType::TriangleP2, 1, &mark, status),
            nullptr);
}

TEST(BoundaryFaces, RealMeshesMarkTheirBoundaryTriangles) {
  for (const char* name : {"/ho/sphere_p1.mesh", "/ho/sphere_p2.mesh", "/ho/hybrid_pyr_p2.mesh"}) {
    SCOPED_TRACE(name);
    ZelObject* mesh = nullptr;
    zel_NewInterface(&mesh);
    char status[ZEL_STATUS_SIZE];
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
        const LatticeOrder& order = *LatticeNodeOrder(shape, deg);
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
  char status[ZEL_STATUS_SIZE];
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
