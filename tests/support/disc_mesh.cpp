// Generation of curved disc meshes through the lattice node orders.
#include "tests/support/disc_mesh.h"

#include <cmath>
#include <map>
#include <utility>

#include "meshio/entity_types.h"
#include "meshio/node_order.h"

namespace {

// Square-to-disc map: the square's boundary goes onto the unit circle.
void toDisc(double x, double y, double* out) {
  out[0] = x * std::sqrt(1.0 - y * y / 2.0);
  out[1] = y * std::sqrt(1.0 - x * x / 2.0);
  out[2] = 0.0;
}

}  // namespace

CurvedMesh makeDiscMesh(int shape, int degree, int n) {
  CurvedMesh mesh;
  mesh.shape = shape;
  mesh.degree = degree;
  const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
  mesh.nodesPerElement = order->count;
  mesh.coords.assign(3, 0.0);
  mesh.nodes.assign(size_t(order->count), 0);
  mesh.refs.assign(1, 0);
  // Global nodes are identified by their position on the fine grid of spacing h / degree.
  std::map<std::pair<int, int>, int> nodeAt;
  const int fine = n * degree;

  auto nodeOf = [&](int gi, int gj) {
    const auto [it, inserted] = nodeAt.try_emplace({gi, gj}, mesh.vertexCount + 1);
    if (inserted) {
      ++mesh.vertexCount;
      double xyz[3];
      toDisc(-1.0 + 2.0 * gi / fine, -1.0 + 2.0 * gj / fine, xyz);
      mesh.coords.insert(mesh.coords.end(), xyz, xyz + 3);
    }
    return it->second;
  };

  // Each element: its corner positions on the fine grid, then its nodes by the lattice rows.
  auto addElement = [&](const int corner[][2], int reference) {
    for (int node = 0; node < order->count; ++node) {
      const int* row = order->row(node);
      int gi, gj;
      if (shape == EntityType::Triangle) {  // barycentric counts of corners 0, 1, 2
        gi = (row[0] * corner[0][0] + row[1] * corner[1][0] + row[2] * corner[2][0]) / degree;
        gj = (row[0] * corner[0][1] + row[1] * corner[1][1] + row[2] * corner[2][1]) / degree;
      } else {  // (i, j): i from corner 0 towards 1, j from corner 0 towards 3
        gi = corner[0][0] + row[0] * (corner[1][0] - corner[0][0]) / degree;
        gj = corner[0][1] + row[1] * (corner[3][1] - corner[0][1]) / degree;
      }
      mesh.nodes.push_back(nodeOf(gi, gj));
    }
    mesh.refs.push_back(reference);
    ++mesh.elementCount;
  };

  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const int x0 = i * degree, x1 = (i + 1) * degree, y0 = j * degree, y1 = (j + 1) * degree;
      const int reference = 2 * j < n ? 1 : (2 * i < n ? 2 : 3);
      if (shape == EntityType::Triangle) {
        const int lower[3][2] = {{x0, y0}, {x1, y0}, {x1, y1}};
        const int upper[3][2] = {{x0, y0}, {x1, y1}, {x0, y1}};
        addElement(lower, reference);
        addElement(upper, reference);
      } else {
        const int quad[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        addElement(quad, reference);
      }
    }
  }
  return mesh;
}
