// Type property queries: table look-ups, count formulas for degrees 5..10, node-order rows.
#include "meshio/entity_catalogue.h"

#include <vector>

#include "meshio/entity_table.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

using zel::kEntityInfo;

// Shapes of a degree-2..10 group, in the order the codes run within the group.
constexpr int kGroupShapes[7] = {EntityType::Edge,          EntityType::Triangle,
                                 EntityType::Quadrilateral, EntityType::Tetrahedron,
                                 EntityType::Hexahedron,    EntityType::Pyramid,
                                 EntityType::Prism};
// Shapes in SolTyp order (s = 0..6).
constexpr int kSolTypShapes[7] = {
    EntityType::Edge,    EntityType::Triangle, EntityType::Quadrilateral, EntityType::Tetrahedron,
    EntityType::Pyramid, EntityType::Prism,    EntityType::Hexahedron};

// Degree and group position of codes 32..74 (degrees 5..10); false for others.
bool highDegreeSlot(int typ, int* degree, int* slot) {
  if (typ >= 32 && typ <= 38) {
    *degree = 5;
    *slot = typ - 32;
    return true;
  }
  if (typ >= 40 && typ <= 74) {
    *degree = 6 + (typ - 40) / 7;
    *slot = (typ - 40) % 7;
    return true;
  }
  return false;
}

bool isCatalogueElement(int typ) { return typ >= 3 && typ <= 31 && typ != 5; }

// Node count (or shape vertices when vertices is true) of codes 3..74 except 5 and 39.
int sizeOf(int typ, bool vertices) {
  if (isCatalogueElement(typ))
    return vertices ? kEntityInfo[typ].shapeVertices : kEntityInfo[typ].nodes;
  int degree = 0, slot = 0;
  if (!highDegreeSlot(typ, &degree, &slot)) return 0;
  int shape = kGroupShapes[slot];
  return vertices ? kEntityInfo[shape].shapeVertices : zel::latticeNodeCount(shape, degree);
}

// Default node orders decoded once from their digit strings.
struct DecodedOrder {
  std::vector<int> rows;
  int nodes = 0;
  int width = 0;
};

const std::vector<DecodedOrder>& decodedOrders() {
  static const std::vector<DecodedOrder> orders = [] {
    std::vector<DecodedOrder> result(zel::kEntityInfoCount);
    for (const zel::StoredOrder& stored : zel::kStoredOrders) {
      DecodedOrder& order = result[stored.typ];
      order.width = zel_Shape2RowWidth(zel_Typ2Shape(stored.typ));
      for (const char* c = stored.rows; *c; ++c)
        if (*c != ' ') order.rows.push_back(*c - '0');
      order.nodes = static_cast<int>(order.rows.size()) / order.width;
    }
    return result;
  }();
  return orders;
}

}  // namespace

int zel_Typ2Siz(int typ, char* status) {
  int size = sizeOf(typ, false);
  if (size <= 0) zel::setStatus(status, " zel_Typ2Siz is undefined for Typ %d !\n", typ);
  return size > 0 ? size : 0;
}

int zel_Typ2SizElt(int typ, char* status) {
  int size = sizeOf(typ, true);
  if (size <= 0) zel::setStatus(status, " zel_Typ2SizElt is undefined for Typ %d !\n", typ);
  return size > 0 ? size : 0;
}

int zel_EntTyp2SolTyp(int typ, char* status) {
  if (isCatalogueElement(typ)) return kEntityInfo[typ].solTyp;
  zel::setStatus(status, " zel_EntTyp2SolTyp is undefined for Typ %d !\n", typ);
  return 0;
}

int zel_Typ2Deg(int typ) { return isCatalogueElement(typ) ? kEntityInfo[typ].degree : 0; }

const char* zel_Typ2Label(int typ) {
  if (typ >= 0 && typ < zel::kEntityInfoCount) return kEntityInfo[typ].label;
  if (typ == EntityType::Reference) return " Reference        ";
  return "unknown type";
}

int zel_EntTyp2DrawKind(int typ) {
  if (typ >= 1 && typ < zel::kEntityInfoCount) return kEntityInfo[typ].drawKind;
  if (typ >= EntityType::CutTriangle && typ <= EntityType::SrfQuadrilateralQ4)
    return zel::kCutDrawKind[typ - EntityType::CutTriangle];
  if (typ == EntityType::NormalAtVertex) return DrawKind::NormalAtVertex;
  return -1;
}

const char* zel_DrawKindName(int kind) {
  if (kind < 0 || kind >= DrawKind::Count) return "Unknown ";
  return zel::kDrawKindNames[kind];
}

const char* zel_EntTypName(int typ) { return zel_DrawKindName(zel_EntTyp2DrawKind(typ)); }

int zel_SolTyp2Siz(int solTyp, int k) {
  if (solTyp < SolTyp::First || solTyp > SolTyp::Last) return 0;
  return zel::latticeNodeCount(kSolTypShapes[(solTyp - SolTyp::First) % 7], k);
}

int zel_SolTyp2EntTyp(int solTyp, int k) {
  if (solTyp < SolTyp::First || solTyp > SolTyp::Last || k < 1 || k > 10) return 0;
  int shape = kSolTypShapes[(solTyp - SolTyp::First) % 7];
  if (k == 1) return shape;
  for (int slot = 0; slot < 7; ++slot)
    if (kGroupShapes[slot] == shape) {
      if (k <= 4) return 11 + 7 * (k - 2) + slot;
      if (k == 5) return 32 + slot;
      return 40 + 7 * (k - 6) + slot;
    }
  return 0;
}

int zel_Typ2Shape(int typ) {
  if (typ >= 3 && typ <= 10 && typ != 5) return typ;
  if (typ >= 11 && typ <= 31) return kGroupShapes[(typ - 11) % 7];
  int degree = 0, slot = 0;
  return highDegreeSlot(typ, &degree, &slot) ? kGroupShapes[slot] : 0;
}

int zel_Shape2RowWidth(int shape) { return zel::latticeWidth(shape); }

const int* zel_Typ2Ordering(int typ, int* nbrNod, int* rowWidth) {
  const DecodedOrder* order = isCatalogueElement(typ) ? &decodedOrders()[typ] : nullptr;
  if (nbrNod) *nbrNod = order ? order->nodes : 0;
  if (rowWidth) *rowWidth = order ? order->width : 0;
  return order ? order->rows.data() : nullptr;
}
