// Hash table of integer tuples: pooled entries and keys, chained buckets, tags.
#include "meshio/hash_table.h"

#include <sys/mman.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

constexpr size_t kGrowth = 100000;

// A new block of size elements of elementSize bytes, put in front of the chain.
bool addBlock(ZelHashBlock** chain, size_t size, size_t elementSize) {
  // Large pools on huge pages: first touches of fresh pages, not hashing, dominate big tables.
  auto* block =
      static_cast<ZelHashBlock*>(zel::allocateMeshArray(sizeof(ZelHashBlock) + size * elementSize));
  if (!block) return false;
  block->next = *chain;
  block->size = size;
  block->used = 0;
  *chain = block;
  return true;
}

// Grows a pool: the multiplier doubles and a block of multiplier * 100000 (at least need)
// elements is added.
bool growPool(ZelHashBlock** chain, int* multiplier, size_t need, size_t elementSize) {
  *multiplier *= 2;
  size_t size = static_cast<size_t>(*multiplier) * kGrowth;
  if (size < need) size = need;
  if (addBlock(chain, size, elementSize)) return true;
  zel::printError("  ## HASHTABLE FATAL ERROR: FULL HASH TABLE NCALL %d SIZE %zu \n", *multiplier,
                  size);
  return false;
}

// Zeroed memory whose pages are only materialised when touched (large calloc blocks are fresh
// mappings), on huge pages where the kernel grants them: a small table in many buckets touches
// few pages, a full one far fewer page faults.
void* zeroedArray(size_t bytes) {
  void* memory = std::calloc(bytes, 1);
  constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
  if (!memory || bytes < 2 * kHugePage) return memory;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(memory) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(memory) + bytes) & ~(kHugePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  return memory;
}

bool hasRoom(const ZelHashBlock* block, size_t need) {
  return block && block->size - block->used >= need;
}

void freeChain(ZelHashBlock* block) {
  while (block) {
    ZelHashBlock* next = block->next;
    std::free(block);
    block = next;
  }
}

}  // namespace

ZelHashTable* zel_NewHashTable(int n, int c) {
  if (n < 1) return nullptr;
  auto* table = static_cast<ZelHashTable*>(std::calloc(1, sizeof(ZelHashTable)));
  if (!table) return nullptr;
  table->nbrBuckets = 1 << static_cast<int>(std::log(static_cast<double>(n)) / std::log(2.0));
  table->entryMultiplier = table->keyMultiplier = 1;
  const size_t first = c >= 1 ? static_cast<size_t>(c) + 1 : 1000;
  table->buckets =
      static_cast<ZelHashEntry**>(zeroedArray(sizeof(ZelHashEntry*) * table->nbrBuckets));
  if (!table->buckets || !addBlock(&table->entryBlocks, first, sizeof(ZelHashEntry)) ||
      !addBlock(&table->keyBlocks, first, sizeof(int))) {
    zel_FreeHashTable(table);
    return nullptr;
  }
  return table;
}

int zel_HashKey(const ZelHashTable* table, int nbrKeys, const int* keys) {
  uint32_t sum = 4u * static_cast<uint32_t>(keys[0]);
  for (int k = 1; k < nbrKeys; ++k) sum += static_cast<uint32_t>(keys[k]);
  return static_cast<int>(sum & static_cast<uint32_t>(table->nbrBuckets - 1));
}

ZelHashEntry* zel_HashInsert(ZelHashTable* table, int tag, int nbrKeys, const int* keys) {
  if (!table || nbrKeys < 1 || nbrKeys > 255 || !keys) return nullptr;
  // Room for the keys and the entry first, so that a failure changes nothing.
  if (!hasRoom(table->keyBlocks, nbrKeys) &&
      !growPool(&table->keyBlocks, &table->keyMultiplier, nbrKeys, sizeof(int)))
    return nullptr;
  if (!table->freeEntries && !hasRoom(table->entryBlocks, 1) &&
      !growPool(&table->entryBlocks, &table->entryMultiplier, 1, sizeof(ZelHashEntry)))
    return nullptr;
  ZelHashEntry* entry = table->freeEntries;
  if (entry) {
    table->freeEntries = entry->next;
  } else {
    entry = zel::hashBlockEntries(table->entryBlocks) + table->entryBlocks->used++;
  }
  ZelHashBlock* keyBlock = table->keyBlocks;
  entry->keys = reinterpret_cast<int*>(keyBlock + 1) + keyBlock->used;
  keyBlock->used += nbrKeys;
  std::memcpy(entry->keys, keys, sizeof(int) * nbrKeys);
  entry->tag = static_cast<unsigned char>(tag);
  entry->nbrKeys = static_cast<unsigned char>(nbrKeys);
  entry->data = 0;
  entry->list.head = nullptr;
  const int bucket = zel_HashKey(table, nbrKeys, keys);
  entry->next = table->buckets[bucket];
  table->buckets[bucket] = entry;
  ++table->nbrObjects;
  return entry;
}

ZelHashEntry* zel_HashFind(const ZelHashTable* table, int tag, int nbrKeys, const int* keys) {
  if (!table || nbrKeys < 1 || nbrKeys > 255 || !keys) return nullptr;
  for (ZelHashEntry* entry = table->buckets[zel_HashKey(table, nbrKeys, keys)]; entry;
       entry = entry->next) {
    if (entry->nbrKeys != nbrKeys || (tag > 0 && entry->tag != tag)) continue;
    int k = 0;
    while (k < nbrKeys && entry->keys[k] == keys[k]) ++k;
    if (k == nbrKeys) return entry;
  }
  return nullptr;
}

void zel_HashRemoveTag(ZelHashTable* table, int tag) {
  if (!table) return;
  for (int b = 0; b < table->nbrBuckets; ++b) {
    ZelHashEntry** link = &table->buckets[b];
    while (*link) {
      ZelHashEntry* entry = *link;
      if (entry->tag != static_cast<unsigned char>(tag)) {
        link = &entry->next;
        continue;
      }
      *link = entry->next;
      zel_ClearIntList(&entry->list);
      entry->nbrKeys = 0;
      entry->next = table->freeEntries;
      table->freeEntries = entry;
      --table->nbrObjects;
    }
  }
}

void zel_HashStatistics(const ZelHashTable* table) {
  if (!table) return;
  int collisions = 0, empty = 0, largest = 0, used = 0;
  for (int b = 0; b < table->nbrBuckets; ++b) {
    int chain = 0;
    for (const ZelHashEntry* entry = table->buckets[b]; entry; entry = entry->next) ++chain;
    if (chain == 0) {
      ++empty;
      continue;
    }
    ++used;
    collisions += chain - 1;
    if (chain - 1 > largest) largest = chain - 1;
  }
  zel::printMessage("    Number of objects    %d Table size %d\n", table->nbrObjects,
                    table->nbrBuckets);
  zel::printMessage("    Number of collisions %d\n", collisions);
  zel::printMessage("    Number of empty box  %d\n", empty);
  zel::printMessage("    Maximum number of collisons for a key %d\n", largest);
  zel::printMessage("    Mean    number of collisons for a key %2.2lf\n",
                    used ? static_cast<double>(collisions) / used : 0.0);
}

void zel_FreeHashTable(ZelHashTable* table) {
  if (!table) return;
  for (ZelHashBlock* block = table->entryBlocks; block; block = block->next) {
    ZelHashEntry* entries = zel::hashBlockEntries(block);
    for (size_t k = 0; k < block->used; ++k) zel_ClearIntList(&entries[k].list);
  }
  freeChain(table->entryBlocks);
  freeChain(table->keyBlocks);
  std::free(table->buckets);
  std::free(table);
}
