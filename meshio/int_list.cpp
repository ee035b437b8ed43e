// Integer lists grown by blocks of 1024.
#include "meshio/int_list.h"

#include <cstdlib>
#include <cstring>

ZelIntList* zel_NewIntList() {
  return static_cast<ZelIntList*>(std::calloc(1, sizeof(ZelIntList)));
}

int zel_AppendIntList(ZelIntList* list, int value) {
  if (!list) return 0;
  if (!list->head || list->head->count == kZelIntBlockSize) {
    auto* block = static_cast<ZelIntBlock*>(std::malloc(sizeof(ZelIntBlock)));
    if (!block) return 0;
    block->count = 0;
    block->next = list->head;
    list->head = block;
  }
  list->head->values[list->head->count++] = value;
  return 1;
}

int zel_IntListCount(const ZelIntList* list) {
  int count = 0;
  for (const ZelIntBlock* block = list ? list->head : nullptr; block; block = block->next)
    count += block->count;
  return count;
}

int* zel_IntListToArray(const ZelIntList* list) {
  const int count = zel_IntListCount(list);
  int* array = static_cast<int*>(std::malloc(sizeof(int) * (count > 0 ? count : 1)));
  if (!array) return nullptr;
  // Blocks run from the newest to the oldest: fill the array from its end.
  int end = count;
  for (const ZelIntBlock* block = list ? list->head : nullptr; block; block = block->next) {
    end -= block->count;
    std::memcpy(array + end, block->values, sizeof(int) * block->count);
  }
  return array;
}

void zel_ClearIntList(ZelIntList* list) {
  if (!list) return;
  while (list->head) {
    ZelIntBlock* next = list->head->next;
    std::free(list->head);
    list->head = next;
  }
}

void zel_FreeIntList(ZelIntList* list) {
  zel_ClearIntList(list);
  std::free(list);
}
