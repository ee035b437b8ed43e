// Face and edge tables of the volume shapes, derived from the degree-1 tables and the node
// orders by the lattice rule, and the faces and edges of mesh elements.
#include "meshio/entity_faces.h"

#include <array>

#include "meshio/entity_catalogue.h"
#include "meshio/node_order.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

struct LinearShape {
  int nbrFaces;
  int faces[6][4];  // -1 ends a triangle
  int nbrEdges;
  int edges[12][2];
};

// Tetrahedron, pyramid, prism, hexahedron (shape codes 7..10).
// clang-format off
const LinearShape kLinear[4] = {
    {4, {{1, 2, 3, -1}, {3, 2, 0, -1}, {3, 0, 1, -1}, {1, 0, 2, -1}},
     6, {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}},
    {5, {{0, 1, 4, -1}, {1, 2, 4, -1}, {2, 3, 4, -1}, {0, 4, 3, -1}, {0, 3, 2, 1}},
     8, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 0}, {4, 1}, {4, 2}, {4, 3}}},
    {5, {{0, 2, 1, -1}, {3, 4, 5, -1}, {0, 1, 4, 3}, {1, 2, 5, 4}, {0, 3, 5, 2}},
     9, {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}, {0, 3}, {1, 4}, {2, 5}}},
    {6, {{0, 3, 2, 1}, {0, 1, 5, 4}, {0, 4, 7, 3}, {6, 2, 3, 7}, {6, 5, 1, 2}, {6, 7, 4, 5}},
     12, {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5},
          {2, 6}, {3, 7}}},
};
// clang-format on

// Position of every lattice row of an element in its node order, by the row read as a number
// in base d + 1.
class RowIndex {
 public:
  RowIndex(const zel::LatticeOrder& order, int deg) : m_order(order), m_base(deg + 1) {
    int size = 1;
    for (int c = 0; c < order.width; ++c) size *= m_base;
    m_index.assign(size, -1);
    for (int n = 0; n < order.count; ++n) m_index[code(order.row(n))] = n;
  }
  int find(const int* row) const {
    for (int c = 0; c < m_order.width; ++c)
      if (row[c] < 0 || row[c] >= m_base) return -1;
    return m_index[code(row)];
  }

 private:
  int code(const int* row) const {
    int value = 0;
    for (int c = m_order.width - 1; c >= 0; --c) value = value * m_base + row[c];
    return value;
  }
  const zel::LatticeOrder& m_order;
  int m_base;
  std::vector<int> m_index;
};

// The element node at sum_v weight[v] * row(vertex[v]) / deg.
int nodeAt(const zel::LatticeOrder& element, const RowIndex& index, int deg, const int* vertices,
           const int* weights, int count) {
  int row[4] = {0, 0, 0, 0};
  for (int v = 0; v < count; ++v)
    for (int c = 0; c < element.width; ++c) row[c] += weights[v] * element.row(vertices[v])[c];
  for (int c = 0; c < element.width; ++c) {
    if (row[c] % deg != 0) zel::fatalExit(stderr, "  ## ERROR: face node off the lattice\n");
    row[c] /= deg;
  }
  const int node = index.find(row);
  if (node < 0) zel::fatalExit(stderr, "  ## ERROR: face node missing from the node order\n");
  return node;
}

ZelLocalTopology build(int shape, int deg) {
  const LinearShape& linear = kLinear[shape - EntityType::Tetrahedron];
  const zel::LatticeOrder& element = *zel::latticeNodeOrder(shape, deg);
  const RowIndex index(element, deg);
  ZelLocalTopology topology;
  topology.nbrFaces = linear.nbrFaces;
  for (int f = 0; f < linear.nbrFaces; ++f) {
    const int* v = linear.faces[f];
    const bool triangle = v[3] < 0;
    topology.faceShape[f] = triangle ? EntityType::Triangle : EntityType::Quadrilateral;
    const zel::LatticeOrder& face = *zel::latticeNodeOrder(topology.faceShape[f], deg);
    for (int n = 0; n < face.count; ++n) {
      const int* r = face.row(n);
      if (triangle) {
        topology.faces[f].push_back(nodeAt(element, index, deg, v, r, 3));
      } else {  // A + (i/d)(B - A) + (j/d)(E - A) with vertices A, B, E = v0, v1, v3
        const int vertices[3] = {v[0], v[1], v[3]};
        const int weights[3] = {deg - r[0] - r[1], r[0], r[1]};
        topology.faces[f].push_back(nodeAt(element, index, deg, vertices, weights, 3));
      }
    }
  }
  topology.nbrEdges = linear.nbrEdges;
  const zel::LatticeOrder& edge = *zel::latticeNodeOrder(EntityType::Edge, deg);
  for (int e = 0; e < linear.nbrEdges; ++e)
    for (int n = 0; n < edge.count; ++n) {
      const int p = edge.row(n)[0];
      const int weights[2] = {deg - p, p};
      topology.edges[e].push_back(nodeAt(element, index, deg, linear.edges[e], weights, 2));
    }
  return topology;
}

// Volume type -> (shape, degree); false for other types.
bool volumeType(int typ, int* shape, int* deg) {
  *shape = zel_Typ2Shape(typ);
  *deg = zel_Typ2Deg(typ);
  return typ >= 7 && typ <= 31 && *shape >= EntityType::Tetrahedron &&
         *shape <= EntityType::Hexahedron;
}

// Node indices of one element of a volume type, or null with the status written.
const int* elementNodes(ZelObject* object, int element, int typ, const ZelLocalTopology** topo,
                        char* status) {
  int shape = 0, deg = 0;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n"), nullptr;
  if (!volumeType(typ, &shape, &deg))
    return zel::setStatus(status, "Type %d is not handled in GetEntityFaces ! \n", typ), nullptr;
  zel::EntitySlot slot;
  zel::entitySlot(object, typ, &slot);
  if (!*slot.nodes || element < 1 || element > *slot.count)
    return zel::setStatus(status, "Element %d outside 1..%d for Type %d \n", element, *slot.count,
                          typ),
           nullptr;
  *topo = zel_LocalTopology(shape, deg);
  return *slot.nodes + static_cast<size_t>(element) * zel_Typ2Siz(typ);
}

}  // namespace

const ZelLocalTopology* zel_LocalTopology(int shape, int deg) {
  if (shape < EntityType::Tetrahedron || shape > EntityType::Hexahedron || deg < 1 ||
      deg > zel::kMaxLatticeDegree)
    return nullptr;
  static const auto* const tables = [] {
    auto* all = new std::array<ZelLocalTopology, 4 * zel::kMaxLatticeDegree>;
    for (int s = 0; s < 4; ++s)
      for (int d = 1; d <= zel::kMaxLatticeDegree; ++d)
        (*all)[s * zel::kMaxLatticeDegree + d - 1] = build(EntityType::Tetrahedron + s, d);
    return all;
  }();
  return &(*tables)[(shape - EntityType::Tetrahedron) * zel::kMaxLatticeDegree + deg - 1];
}

int GetEntityFaces(int typ, int face, int* nbrNod, const int** nodes, char* status) {
  int shape = 0, deg = 0;
  if (!volumeType(typ, &shape, &deg))
    return zel::setStatus(status, "Type %d is not handled in GetEntityFaces ! \n", typ);
  const ZelLocalTopology* topology = zel_LocalTopology(shape, deg);
  if (face < 0 || face >= topology->nbrFaces)
    return zel::setStatus(status, "Face %d outside 0..%d for Type %d \n", face,
                          topology->nbrFaces - 1, typ);
  if (nbrNod) *nbrNod = static_cast<int>(topology->faces[face].size());
  if (nodes) *nodes = topology->faces[face].data();
  return zel::kSuccess;
}

int zel_GetElementFaces(ZelObject* object, int element, int typ, int* nbrFaces, int* faceSizes,
                        int* nodes, char* status) {
  const ZelLocalTopology* topology = nullptr;
  const int* entity = elementNodes(object, element, typ, &topology, status);
  if (!entity) return zel::kFailure;
  *nbrFaces = topology->nbrFaces;
  for (int f = 0; f < topology->nbrFaces; ++f) {
    const std::vector<int>& face = topology->faces[f];
    faceSizes[f] = static_cast<int>(face.size());
    for (size_t n = 0; n < face.size(); ++n) nodes[f * kZelFaceSlots + n] = entity[face[n]];
  }
  return zel::kSuccess;
}

int zel_GetElementEdges(ZelObject* object, int element, int typ, int* nbrEdges, int* nodes,
                        char* status) {
  const ZelLocalTopology* topology = nullptr;
  const int* entity = elementNodes(object, element, typ, &topology, status);
  if (!entity) return zel::kFailure;
  *nbrEdges = topology->nbrEdges;
  for (int e = 0; e < topology->nbrEdges; ++e) {
    const std::vector<int>& edge = topology->edges[e];
    for (size_t n = 0; n < edge.size(); ++n) nodes[e * kZelEdgeSlots + n] = entity[edge[n]];
  }
  return zel::kSuccess;
}
