// Constant tables behind the entity catalogue (internal to meshio).
#pragma once

#include "meshio/entity_types.h"

namespace zel {

// Properties of one entity type code 0..31; -1 marks an undefined property.
struct EntityInfo {
  const char* name;   // identifier of the code, null for the unused code 5
  const char* label;  // fixed-width printed label
  int degree;
  int nodes;
  int shapeVertices;
  int solTyp;
  int drawKind;
};
constexpr int kEntityInfoCount = 32;
extern const EntityInfo kEntityInfo[kEntityInfoCount];

// Scene kinds of codes 75..98 (cut, user-cut and surface faces).
extern const signed char kCutDrawKind[24];

extern const char* const kDrawKindNames[DrawKind::Count];

// Default node order of one type, rows as digit groups separated by single blanks.
struct StoredOrder {
  int typ;
  const char* rows;
};
constexpr int kStoredOrderCount = 28;
extern const StoredOrder kStoredOrders[kStoredOrderCount];

}  // namespace zel
