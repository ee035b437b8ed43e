// Generates the node order of every element kind and degree from the recursive lattice rule.
#include "meshio/node_order.h"

#include <array>
#include <mutex>

namespace {

// Topology of one kind: vertex rows at degree 1, edges and faces in their fixed order, and how
// the interior recurses (interiorDrop: the interior is the same kind at degree d - interiorDrop,
// shifted by one; 0 means no interior; the prism stacks triangle layers instead).
struct ShapeTable {
  int kind;
  int width;
  int nbrVer;
  int ver[8][4];
  int nbrEdg;
  int edg[12][2];
  int nbrFac;
  int facSiz[6];
  int fac[6][4];
  int interiorDrop;
};

constexpr int kPrismLayers = -1;

// Rows: kind, width, vertices, edges, faces (size and local vertices), interior recursion.
// clang-format off
const ShapeTable kShapes[] = {
    {EntityType::Edge, 1,
     2, {{0}, {1}},
     1, {{0, 1}},
     0, {}, {}, 0},
    {EntityType::Triangle, 3,
     3, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
     3, {{0, 1}, {1, 2}, {2, 0}},
     0, {}, {}, 3},
    {EntityType::Quadrilateral, 2,
     4, {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
     4, {{0, 1}, {1, 2}, {2, 3}, {3, 0}},
     0, {}, {}, 2},
    {EntityType::Tetrahedron, 4,
     4, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}},
     6, {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}},
     4, {3, 3, 3, 3}, {{0, 1, 2}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}}, 4},
    {EntityType::Pyramid, 3,
     5, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}},
     8, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 4}, {3, 4}},
     5, {4, 3, 3, 3, 3}, {{0, 1, 2, 3}, {0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}}, 3},
    {EntityType::Prism, 4,
     6, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}},
     9, {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}, {0, 3}, {1, 4}, {2, 5}},
     5, {3, 3, 4, 4, 4}, {{0, 1, 2}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}},
     kPrismLayers},
    {EntityType::Hexahedron, 3,
     8, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
     12, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4},
          {0, 4}, {1, 5}, {2, 6}, {3, 7}},
     6, {4, 4, 4, 4, 4, 4},
     {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}, 2},
};
// clang-format on

const ShapeTable* FindShape(int kind) {
  for (const ShapeTable& shape : kShapes)
    if (shape.kind == kind) return &shape;
  return nullptr;
}

// Appends the row w0*ver[v0] + w1*ver[v1] + w2*ver[v2] (weights may be 0).
void AppendCombination(zel::LatticeOrder& order, const ShapeTable& shape, const int (&weight)[3],
                       const int (&vertex)[3]) {
  for (int c = 0; c < shape.width; c++) {
    int sum = 0;
    for (int k = 0; k < 3; k++) sum += weight[k] * shape.ver[vertex[k]][c];
    order.rows.push_back(sum);
  }
  order.count++;
}

// Appends a row of the sub-order shifted by one in every component.
void AppendShifted(zel::LatticeOrder& order, const int* row, int width, int extra = -1) {
  for (int c = 0; c < width; c++) order.rows.push_back(row[c] + 1);
  if (extra >= 0) order.rows.push_back(extra);
  order.count++;
}

void AppendFaces(zel::LatticeOrder& order, const ShapeTable& shape, int deg) {
  zel::LatticeOrder tri = zel::buildNodeOrder(EntityType::Triangle, deg - 3);
  zel::LatticeOrder qua = zel::buildNodeOrder(EntityType::Quadrilateral, deg - 2);
  for (int f = 0; f < shape.nbrFac; f++) {
    const int* v = shape.fac[f];
    if (shape.facSiz[f] == 3) {
      for (int n = 0; n < tri.count; n++) {
        const int* r = tri.row(n);
        AppendCombination(order, shape, {r[0] + 1, r[1] + 1, r[2] + 1}, {v[0], v[1], v[2]});
      }
    } else {
      // P + (i+1)/d (Q - P) + (j+1)/d (S - P), with P, Q, S the face's vertices 0, 1, 3.
      for (int n = 0; n < qua.count; n++) {
        const int* r = qua.row(n);
        AppendCombination(order, shape, {deg - r[0] - r[1] - 2, r[0] + 1, r[1] + 1},
                          {v[0], v[1], v[3]});
      }
    }
  }
}

// Height levels of the prism's interior layers: one plus the order of a line of degree d - 2,
// where a line of degree m lists 0, m, then one plus the line of degree m - 2.
void AppendLineLevels(std::vector<int>& levels, int m, int shift) {
  if (m < 0) return;
  levels.push_back(shift);
  if (m == 0) return;
  levels.push_back(m + shift);
  AppendLineLevels(levels, m - 2, shift + 1);
}

void AppendInterior(zel::LatticeOrder& order, const ShapeTable& shape, int deg) {
  if (shape.interiorDrop == kPrismLayers) {
    zel::LatticeOrder tri = zel::buildNodeOrder(EntityType::Triangle, deg - 3);
    std::vector<int> levels;
    AppendLineLevels(levels, deg - 2, 1);
    for (int level : levels)
      for (int n = 0; n < tri.count; n++) AppendShifted(order, tri.row(n), 3, level);
  } else if (shape.interiorDrop > 0) {
    zel::LatticeOrder inner = zel::buildNodeOrder(shape.kind, deg - shape.interiorDrop);
    for (int n = 0; n < inner.count; n++) AppendShifted(order, inner.row(n), shape.width);
  }
}

}  // namespace

bool zel::isLatticeKind(int kind) { return FindShape(kind) != nullptr; }

int zel::latticeWidth(int kind) {
  const ShapeTable* shape = FindShape(kind);
  return shape ? shape->width : 0;
}

int zel::latticeNodeCount(int kind, int deg) {
  if (deg < 0) return 0;
  const int d = deg;
  switch (kind) {
    case EntityType::Edge:
      return d + 1;
    case EntityType::Triangle:
      return (d + 1) * (d + 2) / 2;
    case EntityType::Quadrilateral:
      return (d + 1) * (d + 1);
    case EntityType::Tetrahedron:
      return (d + 1) * (d + 2) * (d + 3) / 6;
    case EntityType::Pyramid:
      return (d + 1) * (d + 2) * (2 * d + 3) / 6;
    case EntityType::Prism:
      return (d + 1) * (d + 1) * (d + 2) / 2;
    case EntityType::Hexahedron:
      return (d + 1) * (d + 1) * (d + 1);
    default:
      return 0;
  }
}

zel::LatticeOrder zel::buildNodeOrder(int kind, int deg) {
  zel::LatticeOrder order;
  const ShapeTable* shape = FindShape(kind);
  if (!shape || deg < 0) return order;
  order.width = shape->width;
  if (deg == 0) {
    order.rows.assign(shape->width, 0);
    order.count = 1;
    return order;
  }
  for (int v = 0; v < shape->nbrVer; v++) AppendCombination(order, *shape, {deg, 0, 0}, {v, 0, 0});
  for (int e = 0; e < shape->nbrEdg; e++)
    for (int k = 1; k < deg; k++)
      AppendCombination(order, *shape, {deg - k, k, 0}, {shape->edg[e][0], shape->edg[e][1], 0});
  AppendFaces(order, *shape, deg);
  AppendInterior(order, *shape, deg);
  return order;
}

const zel::LatticeOrder* zel::latticeNodeOrder(int kind, int deg) {
  static std::array<std::array<zel::LatticeOrder, zel::kMaxLatticeDegree + 1>, 11> cache;
  static std::once_flag built;
  if (!zel::isLatticeKind(kind) || deg < 0 || deg > zel::kMaxLatticeDegree) return nullptr;
  std::call_once(built, [] {
    for (const ShapeTable& shape : kShapes)
      for (int d = 0; d <= zel::kMaxLatticeDegree; d++)
        cache[shape.kind][d] = zel::buildNodeOrder(shape.kind, d);
  });
  return &cache[kind][deg];
}

bool zel::isLatticeNode(int kind, int deg, const int* row) {
  const int width = zel::latticeWidth(kind);
  if (width == 0 || deg < 0) return false;
  for (int c = 0; c < width; c++)
    if (row[c] < 0 || row[c] > deg) return false;
  switch (kind) {
    case EntityType::Triangle:
      return row[0] + row[1] + row[2] == deg;
    case EntityType::Tetrahedron:
      return row[0] + row[1] + row[2] + row[3] == deg;
    case EntityType::Prism:
      return row[0] + row[1] + row[2] == deg;
    case EntityType::Pyramid:
      return row[0] + row[2] <= deg && row[1] + row[2] <= deg;
    default:
      return true;
  }
}
