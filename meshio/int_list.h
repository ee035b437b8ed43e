// Integer lists: a chain of blocks of up to 1024 integers, grown by blocks, read back in the
// order the integers were appended.
#pragma once

constexpr int kZelIntBlockSize = 1024;

struct ZelIntBlock {
  int count;
  int values[kZelIntBlockSize];
  ZelIntBlock* next;  // the block filled before this one
};

// A list is its head block: null while empty, so an empty list costs one pointer. Appending
// fills the head block; when it is full a new block is put in front.
struct ZelIntList {
  ZelIntBlock* head;
};

// A new empty list (malloc'd; release with zel_FreeIntList), or null when memory runs out.
ZelIntList* zel_NewIntList();
// Appends value: 1, or 0 when memory runs out (the list keeps what it had).
int zel_AppendIntList(ZelIntList* list, int value);
// Number of integers in the list (0 for a null list).
int zel_IntListCount(const ZelIntList* list);
// The integers in the order appended, as a malloc'd array of zel_IntListCount entries (at
// least one slot, so an empty list gives a valid array); null when memory runs out. The caller
// frees it with free().
int* zel_IntListToArray(const ZelIntList* list);
// Frees every block and leaves the list empty (for lists embedded in another record).
void zel_ClearIntList(ZelIntList* list);
// Frees every block and the list record itself.
void zel_FreeIntList(ZelIntList* list);
