// Lattice multi-indices and the node order of every element kind for degrees 0 to 10.
//
// A node of an element of degree d is named by a row of small integers (its lattice multi-index;
// its reference coordinates are the row divided by d):
//   edge           1 component:  position 0..d
//   triangle       3 components: barycentric counts summing to d
//   quadrilateral  2 components: (i, j), 0 <= i, j <= d
//   tetrahedron    4 components: barycentric counts summing to d
//   pyramid        3 components: (i, j, k), i + k <= d, j + k <= d (apex (0, 0, d))
//   prism          4 components: triangle counts summing to d, then a height 0..d
//   hexahedron     3 components: (i, j, k), 0 <= i, j, k <= d
// Kinds are named by the entity type code of their linear shape (EntityType::Edge 3, Triangle 4,
// Quadrilateral 6, Tetrahedron 7, Pyramid 8, Prism 9, Hexahedron 10).
// The node order lists vertices, then edge nodes, face nodes and interior nodes, each group in the
// fixed edge and face order of the kind; interiors and faces recurse on lower degrees. The same
// order holds the nodes of curved elements, Lagrange values and Bezier control points everywhere.
#pragma once

#include <vector>

#include "meshio/entity_types.h"

namespace zel {

// Highest degree whose node orders are served.
constexpr int kMaxLatticeDegree = 10;

// Node order of one kind and degree: count rows of width integers, row n = node n.
struct LatticeOrder {
  int width = 0;
  int count = 0;
  std::vector<int> rows;
  const int* row(int node) const { return rows.data() + node * width; }
};

// True for the seven kind codes.
bool isLatticeKind(int kind);

// Components per multi-index of the kind (1, 2, 3 or 4); 0 for an unknown kind.
int latticeWidth(int kind);

// Number of nodes of the kind at degree deg >= 0 by the closed formulas (1 at degree 0);
// 0 for an unknown kind or a negative degree.
int latticeNodeCount(int kind, int deg);

// Node order of the kind at degree 0..kMaxLatticeDegree, built once on first use and shared
// (safe to call from several threads). Degree 0 is the single node with every index 0.
// Returns nullptr for an unknown kind or a degree outside 0..kMaxLatticeDegree.
const LatticeOrder* latticeNodeOrder(int kind, int deg);

// Builds the node order by the recursive rule (no caching); empty for a negative degree.
// Exposed so that the rule itself can be checked independently of the cache.
LatticeOrder buildNodeOrder(int kind, int deg);

// True when row (width components) is a node of the kind's lattice at degree deg.
bool isLatticeNode(int kind, int deg, const int* row);

}  // namespace zel
