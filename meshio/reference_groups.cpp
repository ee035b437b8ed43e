// Reference grouping through the hash table: one entry per (type, reference) whose list holds
// the positions of its entities, then the validity filter per group.
#include "meshio/reference_groups.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/hash_table.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

// Splits the positions of one group (the list of its entity positions, blocks newest first)
// into valid and invalid entity numbers.
bool fillGroup(ZelRefGroup* group, const ZelIntList& positions, const int* nodes, long nodeStride,
               int nodesPerEntity, int nbrVer) {
  const int count = zel_IntListCount(&positions);
  // Large outputs on huge pages: first touches of fresh memory dominate this pass.
  group->valid = static_cast<int*>(zel::allocateMeshArray(sizeof(int) * (count > 0 ? count : 1)));
  if (!group->valid) return false;
  std::vector<int> invalid;
  std::vector<const ZelIntBlock*> blocks;
  for (const ZelIntBlock* block = positions.head; block; block = block->next)
    blocks.push_back(block);
  for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
    for (int k = 0; k < (*block)->count; ++k) {
      const int position = (*block)->values[k];
      const int* entity = nodes ? nodes + position * nodeStride : nullptr;
      bool valid = true;
      for (int j = 0; j < nodesPerEntity && valid; ++j)
        valid = entity[j] >= 1 && entity[j] <= nbrVer;
      if (valid)
        group->valid[group->nbrValid++] = position + 1;
      else
        invalid.push_back(position + 1);
    }
  }
  group->invalid = static_cast<int*>(std::malloc(sizeof(int) * (invalid.size() + 1)));
  if (!group->invalid) return false;
  std::copy(invalid.begin(), invalid.end(), group->invalid);
  group->nbrInvalid = static_cast<int>(invalid.size());
  return true;
}

}  // namespace

ZelRefGroup* zel_GroupByReference(int typ, int nbrVer, int n, const int* firstNodes,
                                  const int* lastNodes, const int* firstRef, const int* lastRef,
                                  int* nbrRefs, int** refs, char* status) {
  if (nbrRefs) *nbrRefs = 0;
  if (refs) *refs = nullptr;
  if (n < 1) return nullptr;
  const int nodesPerEntity = typ == EntityType::Vertex   ? 0
                             : typ == EntityType::Corner ? 1
                                                         : zel_Typ2Siz(typ);
  if (!nbrRefs || !refs || !firstRef || !lastRef ||
      (nodesPerEntity > 0 && (!firstNodes || !lastNodes)))
    return zel::setStatus(status, "NULL (entities) parameter on input\n"), nullptr;
  const long refStride = n > 1 ? (lastRef - firstRef) / (n - 1) : 1;
  const long nodeStride = n > 1 && firstNodes ? (lastNodes - firstNodes) / (n - 1) : nodesPerEntity;

  ZelHashTable* table = zel_NewHashTable(n, n);
  ZelIntList distinct = {nullptr};
  bool ok = table != nullptr;
  ZelHashEntry* last = nullptr;  // consecutive entities mostly share their reference
  for (int e = 0; e < n && ok; ++e) {
    const int key[2] = {typ, firstRef[e * refStride]};
    if (!last || last->keys[1] != key[1]) {
      last = zel_HashFind(table, 0, 2, key);
      if (!last) {
        last = zel_HashInsert(table, 0, 2, key);
        ok = last && zel_AppendIntList(&distinct, key[1]);
      }
    }
    ok = ok && zel_AppendIntList(&last->list, e);
  }
  const int count = zel_IntListCount(&distinct);
  int* sorted = ok ? zel_IntListToArray(&distinct) : nullptr;
  auto* groups = static_cast<ZelRefGroup*>(std::calloc(count > 0 ? count : 1, sizeof(ZelRefGroup)));
  ok = sorted && groups;
  if (ok) std::sort(sorted, sorted + count);
  for (int g = 0; g < count && ok; ++g) {
    const int key[2] = {typ, sorted[g]};
    const ZelHashEntry* entry = zel_HashFind(table, 0, 2, key);
    ok = fillGroup(&groups[g], entry->list, firstNodes, nodeStride, nodesPerEntity, nbrVer);
  }
  zel_FreeHashTable(table);
  zel_ClearIntList(&distinct);
  if (!ok) {
    zel_FreeRefGroups(groups, count);
    std::free(sorted);
    return zel::setStatus(status, "Allocation failed for reference groups of %d entities\n", n),
           nullptr;
  }
  *nbrRefs = count;
  *refs = sorted;
  return groups;
}

void zel_FreeRefGroups(ZelRefGroup* groups, int nbrGroups) {
  if (!groups) return;
  for (int g = 0; g < nbrGroups; ++g) {
    std::free(groups[g].valid);
    std::free(groups[g].invalid);
  }
  std::free(groups);
}
