// Meshes built in memory: every entity kind with random values, or straight volume elements
// of any kind and degree on integer grid points (cubes of cells, vertex order drawn at will).
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <random>

#include "meshio/entity_catalogue.h"
#include "meshio/node_order.h"
#include "meshio/zel_object_slots.h"

namespace testmesh {

using Vec = std::array<double, 3>;

inline Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// What a mesh holds, 0-based: vertex v + 1 is points[v]; per entity type the node numbers of
// its entities one after the other, and their references.
struct MeshArrays {
  int dim = 3;
  std::vector<Vec> points;
  std::vector<int> vertexRefs;  // empty: all 0
  std::map<int, std::vector<int>> nodes, refs;
};

// A fresh object holding the arrays, with slot 0 of every array empty as the loader leaves it.
inline ZelObject* install(const MeshArrays& arrays) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  mesh->dim = arrays.dim;
  const int n = static_cast<int>(arrays.points.size());
  mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = n;
  mesh->coordinates = static_cast<double*>(std::calloc(3 * (n + 1), sizeof(double)));
  mesh->vertexRefs = static_cast<int*>(std::calloc(n + 1, sizeof(int)));
  for (int v = 0; v < n; ++v) {
    std::copy(arrays.points[v].begin(), arrays.points[v].end(), mesh->coordinates + 3 * (v + 1));
    if (!arrays.vertexRefs.empty()) mesh->vertexRefs[v + 1] = arrays.vertexRefs[v];
  }
  for (const auto& [typ, refs] : arrays.refs) {
    const std::vector<int>& nodes = arrays.nodes.at(typ);
    zel::EntitySlot slot;
    zel::entitySlot(mesh, typ, &slot);
    const int count = static_cast<int>(refs.size()), size = static_cast<int>(nodes.size()) / count;
    *slot.nodes = static_cast<int*>(std::calloc(size * (count + 1), sizeof(int)));
    *slot.refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
    std::copy(nodes.begin(), nodes.end(), *slot.nodes + size);
    std::copy(refs.begin(), refs.end(), *slot.refs + 1);
    *slot.count = *slot.capacity = count;
  }
  return mesh;
}

// Vertex coordinates and references, corners (with their vertex's reference) and 2 + typ % 3
// entities of every element type 3..31 (not 5) with node indices in 1..vertices, all drawn
// at random.
inline ZelObject* syntheticMesh(int dim, int vertices, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> coordinate(-10.0, 10.0);
  std::uniform_int_distribution<int> vertex(1, vertices), reference(-5, 100);
  MeshArrays arrays;
  arrays.dim = dim;
  for (int v = 1; v <= vertices; ++v) {
    Vec& p = arrays.points.emplace_back(Vec{0, 0, 0});
    for (int k = 0; k < dim; ++k) p[k] = coordinate(random);
    arrays.vertexRefs.push_back(reference(random));
  }
  for (int typ = 2; typ <= 31; ++typ) {
    if (typ == 5) continue;
    const int size = typ == 2 ? 1 : zel_Typ2Siz(typ), count = 2 + typ % 3;
    for (int k = 0; k < size * count; ++k) arrays.nodes[typ].push_back(vertex(random));
    for (int e = 0; e < count; ++e)
      arrays.refs[typ].push_back(typ == 2 ? arrays.vertexRefs[arrays.nodes[typ][e] - 1]
                                          : reference(random));
  }
  return install(arrays);
}

// How each cell of a cube is filled: 6 tetrahedra around its diagonal, 6 pyramids from the
// faces to the centre, 2 prisms, one hexahedron, or 12 tetrahedra around the centre with each
// face cut along its diagonal through its smallest vertex number.
enum class Cell { Tetrahedra, Pyramids, Prisms, Hexahedra, TetrahedraAroundCentre };

// Straight elements on integer grid points; vertex coordinates are the points over `scale`.
class MeshBuilder {
 public:
  explicit MeshBuilder(double scale) : m_scale(scale) {}

  // Makes every point of {0..side}^3 a vertex, numbered in an order drawn from the seed.
  void numberGrid(int side, unsigned seed) {
    std::vector<Vec> grid;
    for (int l = 0; l <= side; ++l)
      for (int j = 0; j <= side; ++j)
        for (int i = 0; i <= side; ++i) grid.push_back({double(i), double(j), double(l)});
    std::shuffle(grid.begin(), grid.end(), std::mt19937(seed));
    for (const Vec& p : grid) vertex(p);
  }
  // The number of a grid point, given to it on first use.
  int vertex(const Vec& p) {
    const auto found = m_numbers.find(p);
    if (found != m_numbers.end()) return found->second;
    m_arrays.points.push_back(p);
    return m_numbers[p] = static_cast<int>(m_arrays.points.size());
  }
  Vec position(int v) const {
    const Vec& p = m_arrays.points[v - 1];
    return {p[0] / m_scale, p[1] / m_scale, p[2] / m_scale};
  }
  int nbrVertices() const { return static_cast<int>(m_arrays.points.size()); }
  std::vector<int>& nodes(int typ) { return m_arrays.nodes[typ]; }
  std::vector<int>& refs(int typ) { return m_arrays.refs[typ]; }

  // An entity given by its node numbers.
  void add(int typ, const std::vector<int>& nodes, int ref = 1) {
    m_arrays.nodes[typ].insert(m_arrays.nodes[typ].end(), nodes.begin(), nodes.end());
    m_arrays.refs[typ].push_back(ref);
  }
  // A straight element of type typ on its corner points, nodes at its lattice points; turned
  // into positive orientation first when `orient` is set.
  void addStraight(int typ, std::vector<Vec> v, int ref = 1) {
    const int shape = zel_Typ2Shape(typ), deg = zel_Typ2Deg(typ);
    const bool simplexLike = shape == EntityType::Tetrahedron || shape == EntityType::Prism;
    const std::array<int, 3> axes =
        simplexLike ? std::array<int, 3>{1, 2, 3} : std::array<int, 3>{1, 3, 4};
    if (orient &&
        dot(cross(sub(v[axes[0]], v[0]), sub(v[axes[1]], v[0])), sub(v[axes[2]], v[0])) < 0) {
      if (shape == EntityType::Tetrahedron) std::swap(v[2], v[3]);
      if (shape == EntityType::Prism) std::swap(v[1], v[2]), std::swap(v[4], v[5]);
      if (shape == EntityType::Pyramid) std::swap(v[1], v[3]);
      if (shape == EntityType::Hexahedron) std::swap(v[1], v[3]), std::swap(v[5], v[7]);
    }
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, deg);
    std::vector<int> nodes;
    for (int n = 0; n < order.count; ++n) {
      const int* row = order.row(n) + (simplexLike ? 1 : 0);
      Vec p = v[0];
      for (int c = 0; c < 3; ++c)
        for (int a = 0; a < 3; ++a) p[c] += row[a] * (v[axes[a]][c] - v[0][c]) / deg;
      nodes.push_back(vertex(p));
    }
    add(typ, nodes, ref);
  }

  // Fills cell (x, y, z) of side 2 deg with elements of degree deg.
  void fillCell(Cell cell, int deg, int x, int y, int z) {
    const double s = 2 * deg;
    auto c = [&](int i, int j, int l) { return Vec{(x + i) * s, (y + j) * s, (z + l) * s}; };
    const Vec centre = {(x + 0.5) * s, (y + 0.5) * s, (z + 0.5) * s};
    auto type = [deg](int solTyp) { return zel_SolTyp2EntTyp(solTyp, deg); };
    switch (cell) {
      case Cell::Hexahedra:
        addStraight(type(SolTyp::Hexahedron), {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0),
                                               c(0, 0, 1), c(1, 0, 1), c(1, 1, 1), c(0, 1, 1)});
        return;
      case Cell::Prisms:
        addStraight(type(SolTyp::Prism),
                    {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 0, 1), c(1, 0, 1), c(1, 1, 1)});
        addStraight(type(SolTyp::Prism),
                    {c(0, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 1, 1), c(0, 1, 1)});
        return;
      case Cell::Tetrahedra:  // one per path along the axes from corner 000 to corner 111
        for (const auto& p : {std::array{0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}}) {
          const int a[3] = {p[0] == 0, p[0] == 1, p[0] == 2};
          const int b[3] = {a[0] || p[1] == 0, a[1] || p[1] == 1, a[2] || p[1] == 2};
          addStraight(type(SolTyp::Tetrahedron),
                      {c(0, 0, 0), c(a[0], a[1], a[2]), c(b[0], b[1], b[2]), c(1, 1, 1)});
        }
        return;
      default:
        for (int axis = 0; axis < 3; ++axis)
          for (int side = 0; side < 2; ++side) {
            std::vector<Vec> q;
            const int cyc[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& m : cyc) {
              int i[3];
              i[axis] = side, i[(axis + 1) % 3] = m[0], i[(axis + 2) % 3] = m[1];
              q.push_back(c(i[0], i[1], i[2]));
            }
            if (cell == Cell::Pyramids) {
              addStraight(type(SolTyp::Pyramid), {q[0], q[1], q[2], q[3], centre});
              continue;
            }
            const auto smallest = std::min_element(
                q.begin(), q.end(), [&](auto& a, auto& b) { return vertex(a) < vertex(b); });
            std::rotate(q.begin(), smallest, q.end());
            addStraight(type(SolTyp::Tetrahedron), {q[0], q[1], q[2], centre});
            addStraight(type(SolTyp::Tetrahedron), {q[0], q[2], q[3], centre});
          }
    }
  }
  // A cube of k^3 cells, each filled by the cell kind of its index x k^2 + y k + z in `cells`
  // (one entry: every cell alike).
  void fillCube(const std::vector<Cell>& cells, int deg, int k) {
    for (int x = 0; x < k; ++x)
      for (int y = 0; y < k; ++y)
        for (int z = 0; z < k; ++z)
          fillCell(cells[cells.size() == 1 ? 0 : (x * k + y) * k + z], deg, x, y, z);
  }

  ZelObject* build() const {
    MeshArrays scaled = m_arrays;
    for (int v = 1; v <= nbrVertices(); ++v) scaled.points[v - 1] = position(v);
    return install(scaled);
  }

  bool orient = false;

 private:
  double m_scale;
  MeshArrays m_arrays;
  std::map<Vec, int> m_numbers;
};

}  // namespace testmesh
