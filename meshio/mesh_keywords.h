// The keywords of each entity kind the mesh loader reads (internal to meshio).
#pragma once

#include <cstddef>

namespace zel {

// Element kinds in load order: entity type, keyword, word of the allocation message.
struct KindToLoad {
  int typ;
  int keyword;
  const char* word;
};
// Ordering keywords, in the order processed: ordering, element keyword, entity type.
struct OrderingToLoad {
  int ordering;
  int elements;
  int typ;
};

constexpr size_t kKindCount = 29;  // corners and every element kind, vertices apart
constexpr size_t kOrderingCount = 22;
extern const KindToLoad kKinds[kKindCount];
extern const OrderingToLoad kOrderings[kOrderingCount];

// The ordering keyword of an element keyword, 0 when the loader reads none.
int orderingKeywordOf(int elementKeyword);

}  // namespace zel
