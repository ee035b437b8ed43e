// The unit cube as a mesh of n^3 cells, each split into 6 straight tetrahedra around its
// diagonal from (i, j, k) to (i+1, j+1, k+1) (the Kuhn split), for the capping benchmarks.
#pragma once

#include <cstdlib>

#include "meshio/entity_types.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace bench {

// Number of grid point (x, y, z) of the cube of n cells a side.
inline int kuhnCubeVertex(int n, int x, int y, int z) {
  const int side = n + 1;
  return 1 + x + side * (y + side * z);
}

// Tetrahedron e = 1 + 6 * cell + a, cells numbered x fastest, all with reference `reference`.
inline ZelObject* buildKuhnCube(int n, int reference) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  mesh->dim = 3;
  const int side = n + 1, vertices = side * side * side, tets = 6 * n * n * n;
  auto id = [n](int x, int y, int z) { return kuhnCubeVertex(n, x, y, z); };
  mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = vertices;
  mesh->coordinates = static_cast<double*>(std::malloc(sizeof(double) * 3 * (vertices + 1)));
  mesh->vertexRefs = static_cast<int*>(std::calloc(vertices + 1, sizeof(int)));
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        double* c = mesh->coordinates + 3 * id(x, y, z);
        c[0] = double(x) / n, c[1] = double(y) / n, c[2] = double(z) / n;
      }
  zel::EntitySlot slot;
  zel::entitySlot(mesh, EntityType::Tetrahedron, &slot);
  int* t = *slot.nodes = static_cast<int*>(std::malloc(sizeof(int) * 4 * (tets + 1)));
  int* r = *slot.refs = static_cast<int*>(std::calloc(tets + 1, sizeof(int)));
  *slot.count = *slot.capacity = tets;
  static const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  int e = 1;
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (const auto& a : axes) {
          int p[3] = {i, j, k};
          int* nodes = t + 4 * e;
          nodes[0] = id(p[0], p[1], p[2]);
          ++p[a[0]];
          nodes[1] = id(p[0], p[1], p[2]);
          ++p[a[1]];
          nodes[2] = id(p[0], p[1], p[2]);
          nodes[3] = id(i + 1, j + 1, k + 1);
          r[e++] = reference;
        }
  return mesh;
}

}  // namespace bench
