// Hash table of integer tuples with an attached integer list per entry, built for meshes of
// millions of entities: power-of-two buckets, entries and keys taken from pooled blocks.
#pragma once

#include <cstddef>
#include <vector>

#include "meshio/int_list.h"

struct ZelHashEntry {
  unsigned char tag;      // 1..255; 0 stands for "no tag"
  unsigned char nbrKeys;  // 1..255 keys; 0 marks an entry returned to the pool
  int data;               // free for the caller; 0 when inserted
  int* keys;              // in the table's key storage
  ZelIntList list;        // empty (no block) until something is appended
  ZelHashEntry* next;     // next entry of the bucket
};

// A pooled block of entries or of key slots (one slot holds one integer key).
struct ZelHashBlock {
  ZelHashBlock* next;  // the block allocated before this one
  size_t size;         // entries or key slots in the block
  size_t used;
  // the entries or keys follow the header
};

struct ZelHashTable {
  int nbrBuckets;       // a power of two
  int entryMultiplier;  // pool growth: a new block holds multiplier * 100000 entries (keys)
  int keyMultiplier;
  int nbrObjects;
  ZelHashBlock* entryBlocks;  // newest first
  ZelHashBlock* keyBlocks;    // newest first
  ZelHashEntry** buckets;
  ZelHashEntry* freeEntries;  // entries returned by zel_HashRemoveTag
};

// A table for about n objects (n >= 1; null otherwise or when memory runs out):
// 2^floor(ln n / ln 2) buckets; a first pool of c + 1 entries and c + 1 key slots when c >= 1,
// else 1000 of each. Release with zel_FreeHashTable.
ZelHashTable* zel_NewHashTable(int n, int c);

// Bucket of a key tuple: (4 k0 + k1 + ... + k(m-1)) AND (buckets - 1), 32-bit arithmetic.
int zel_HashKey(const ZelHashTable* table, int nbrKeys, const int* keys);

// Puts a new entry (tag, keys copied) at the head of its bucket without looking for a
// duplicate. Returns it, or null when nbrKeys is outside 1..255 or a pool block cannot be
// allocated (then "  ## HASHTABLE FATAL ERROR: FULL HASH TABLE NCALL %d SIZE %d \n" goes to
// standard error and the table keeps what it had).
ZelHashEntry* zel_HashInsert(ZelHashTable* table, int tag, int nbrKeys, const int* keys);

// First entry of the bucket with the same keys in the same order and, when tag > 0, the same
// tag (tag <= 0 matches any); null when absent.
ZelHashEntry* zel_HashFind(const ZelHashTable* table, int tag, int nbrKeys, const int* keys);

// Removes every entry with this tag: frees their lists and returns them to the pool.
void zel_HashRemoveTag(ZelHashTable* table, int tag);

// Prints the number of objects, buckets, collisions, empty buckets, and the largest and mean
// number of collisions per used bucket.
void zel_HashStatistics(const ZelHashTable* table);

// Frees every block, every list and the table (null does nothing).
void zel_FreeHashTable(ZelHashTable* table);

namespace zel {

// Entries of a pooled block.
inline ZelHashEntry* hashBlockEntries(ZelHashBlock* block) {
  return reinterpret_cast<ZelHashEntry*>(block + 1);
}

// Calls visit(entry) for every live entry in pool order, which is insertion order as long as
// no entry was removed (removed slots are reused by later insertions).
template <class Visit>
void forEachHashEntry(ZelHashTable* table, Visit visit) {
  std::vector<ZelHashBlock*> blocks;  // newest first: walked backwards
  for (ZelHashBlock* block = table->entryBlocks; block; block = block->next)
    blocks.push_back(block);
  size_t count = blocks.size();
  while (count > 0) {
    ZelHashBlock* block = blocks[--count];
    ZelHashEntry* entries = hashBlockEntries(block);
    for (size_t k = 0; k < block->used; ++k)
      if (entries[k].nbrKeys) visit(&entries[k]);
  }
}

}  // namespace zel
