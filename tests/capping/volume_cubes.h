// Volume meshes for the boundary-face tests: straight elements of any kind and degree placed on
// integer grid points, structured cubes of every volume kind, and scrambled copies of them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/node_order.h"
#include "meshio/zel_object_slots.h"

namespace volume_cubes {

using Grid = std::array<long, 3>;

inline Grid minus(Grid a, Grid b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Grid cross(Grid a, Grid b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline long dot(Grid a, Grid b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Vertices of the reference axes of each shape: node = v0 + a (v_a - v0) + b (v_b - v0) + c (v_c -
// v0).
inline std::array<int, 3> axes(int shape) {
  return shape == EntityType::Tetrahedron || shape == EntityType::Prism
             ? std::array<int, 3>{1, 2, 3}
             : std::array<int, 3>{1, 3, 4};
}
// Reference coordinates (times the degree) of a lattice row on those axes.
inline std::array<int, 3> scaled(int shape, const int* row) {
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
    const zel::LatticeOrder& order = *zel::latticeNodeOrder(shape, deg);
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
inline void fillCube(MeshBuilder* mesh, int typ, int k) {
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

// Renumbers the vertices by a fixed shuffle, gives the elements references 1..3 from a fixed
// sequence, repeats two elements (their faces are then met two or three times) and, for
// tetrahedra, adds a fan of tetrahedra around vertex 1 (one bucket holding a face of each).
inline ZelObject* scrambled(MeshBuilder* builder, int typ) {
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

}  // namespace volume_cubes
