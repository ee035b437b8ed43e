// Integer lists, the hash table, the reference grouping and the status buffer.
#include "meshio/hash_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/int_list.h"
#include "meshio/reference_groups.h"
#include "meshio/status.h"

TEST(IntList, KeepsAppendOrderAcrossBlocks) {
  ZelIntList* list = zel_NewIntList();
  EXPECT_EQ(list->head, nullptr);  // nothing allocated before the first append
  const int n = 3 * kZelIntBlockSize + 17;
  for (int k = 0; k < n; ++k) ASSERT_EQ(zel_AppendIntList(list, 7 * k - 5), 1);
  EXPECT_EQ(zel_IntListCount(list), n);
  int* array = zel_IntListToArray(list);
  for (int k = 0; k < n; ++k) ASSERT_EQ(array[k], 7 * k - 5) << k;
  std::free(array);
  zel_FreeIntList(list);
  ZelIntList empty = {nullptr};
  EXPECT_EQ(zel_IntListCount(&empty), 0);
  array = zel_IntListToArray(&empty);
  EXPECT_NE(array, nullptr);
  std::free(array);
}

TEST(HashTable, SizingAndHashFunction) {
  EXPECT_EQ(zel_NewHashTable(0, 10), nullptr);
  for (auto [n, buckets] :
       {std::pair{1, 1}, {3, 2}, {1000, 512}, {1024, 1024}, {3000000, 2097152}}) {
    ZelHashTable* table = zel_NewHashTable(n, 0);
    EXPECT_EQ(table->nbrBuckets, buckets) << n;
    EXPECT_EQ(table->entryBlocks->size, 1000u);
    zel_FreeHashTable(table);
  }
  ZelHashTable* table = zel_NewHashTable(16, 5);
  EXPECT_EQ(table->entryBlocks->size + table->keyBlocks->size, 12u);
  const int ab[2] = {1, 2}, ba[2] = {2, 1};
  const int big[3] = {0x7fffffff, 0x7fffffff, -5};  // wraps in 32 bits
  EXPECT_EQ(zel_HashKey(table, 2, ab), 6);
  EXPECT_EQ(zel_HashKey(table, 2, ba), 9);
  EXPECT_EQ(zel_HashKey(table, 3, big),
            static_cast<int>((4u * 0x7fffffffu + 0x7fffffffu - 5u) & 15u));
  zel_FreeHashTable(table);
}

TEST(HashTable, FindMatchesKeysInOrderAndTags) {
  ZelHashTable* table = zel_NewHashTable(16, 0);
  const int ab[2] = {1, 2}, ba[2] = {2, 1}, abc[3] = {1, 2, 0};
  ZelHashEntry* first = zel_HashInsert(table, 3, 2, ab);
  ASSERT_NE(first, nullptr);
  for (int tag : {0, -1, 3}) EXPECT_EQ(zel_HashFind(table, tag, 2, ab), first) << tag;
  EXPECT_EQ(zel_HashFind(table, 4, 2, ab), nullptr);
  EXPECT_EQ(zel_HashFind(table, 0, 2, ba), nullptr);
  EXPECT_EQ(zel_HashFind(table, 0, 3, abc), nullptr);  // same sum, more keys
  ZelHashEntry* second = zel_HashInsert(table, 4, 2, ba);
  ZelHashEntry* duplicate = zel_HashInsert(table, 5, 2, ab);  // no duplicate check
  EXPECT_NE(duplicate, first);
  EXPECT_EQ(zel_HashFind(table, 0, 2, ab), duplicate);  // the newest heads its bucket
  EXPECT_EQ(zel_HashFind(table, 3, 2, ab), first);
  EXPECT_EQ(zel_HashFind(table, 0, 2, ba), second);
  EXPECT_EQ(table->nbrObjects, 3);
  ASSERT_EQ(zel_AppendIntList(&first->list, 9), 1);
  zel_HashRemoveTag(table, 3);
  EXPECT_EQ(table->nbrObjects, 2);
  EXPECT_EQ(zel_HashFind(table, 3, 2, ab), nullptr);
  EXPECT_EQ(zel_HashFind(table, 0, 2, ab), duplicate);
  // The removed entry returns to the pool and serves the next insertion.
  EXPECT_EQ(zel_HashInsert(table, 6, 3, abc), first);
  EXPECT_EQ(first->list.head, nullptr);
  EXPECT_EQ(zel_HashInsert(table, 6, 0, abc), nullptr);
  EXPECT_EQ(zel_HashInsert(table, 6, 256, abc), nullptr);
  zel_FreeHashTable(table);
}

TEST(HashTable, PoolsGrowAndEveryEntryStaysFindable) {
  ZelHashTable* table = zel_NewHashTable(1000, 10);
  std::mt19937 random(3);
  std::vector<std::vector<int>> keys;
  for (int k = 0; k < 250000; ++k) {
    keys.emplace_back(1 + k % 4);
    for (int& v : keys.back()) v = static_cast<int>(random() % 100000);
    keys.back()[0] = k;  // distinct
    ZelHashEntry* entry = zel_HashInsert(table, 1 + k % 200, 1 + k % 4, keys.back().data());
    ASSERT_NE(entry, nullptr);
    entry->data = k;
  }
  // 11 entries, then blocks of 200,000 and 400,000; keys grow the same way.
  EXPECT_EQ(table->entryMultiplier, 4);
  int visited = 0;
  bool ordered = true;
  zel::forEachHashEntry(table, [&](ZelHashEntry* entry) { ordered &= entry->data == visited++; });
  EXPECT_EQ(visited, 250000);
  EXPECT_TRUE(ordered);
  for (int k = 0; k < 250000; k += 997) {
    const ZelHashEntry* entry = zel_HashFind(table, 1 + k % 200, 1 + k % 4, keys[k].data());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->data, k);
  }
  zel_FreeHashTable(table);
}

// Groups of the entities whose references are drawn; released by the destructor.
struct Groups {
  ZelRefGroup* groups = nullptr;
  int count = 7, *refs = nullptr;
  Groups(int typ, int vertices, int n, const int* nodes, const int* refs) {
    char status[zel::kStatusSize];
    groups = zel_GroupByReference(typ, vertices, n, nodes, nodes ? nodes + 4 * (n - 1) : nullptr,
                                  refs, refs ? refs + n - 1 : nullptr, &count, &this->refs, status);
  }
  ~Groups() {
    zel_FreeRefGroups(groups, count);
    std::free(refs);
  }
  std::vector<int> valid(int g) const {
    return {groups[g].valid, groups[g].valid + groups[g].nbrValid};
  }
  std::vector<int> invalid(int g) const {
    return {groups[g].invalid, groups[g].invalid + groups[g].nbrInvalid};
  }
};

// Node indices 0..vertices + 1 (and -1 now and then): the bounds of the validity filter are hit
// often, on both sides.
TEST(ReferenceGroups, AgreesWithASortOnManyEntities) {
  std::mt19937 random(8);
  const int n = 200000, vertices = 1000;
  std::vector<int> nodes(4 * (n + 1)), refs(n + 1);
  std::map<int, std::pair<std::vector<int>, std::vector<int>>> expected;
  for (int e = 1; e <= n; ++e) {
    bool valid = true;
    for (int k = 0; k < 4; ++k) {
      nodes[4 * e + k] = static_cast<int>(random() % (vertices + 2)) - (e % 1000 == 0 ? 1 : 0);
      valid &= nodes[4 * e + k] >= 1 && nodes[4 * e + k] <= vertices;
    }
    refs[e] = static_cast<int>(random() % 37) * 1000 - 5000;
    (valid ? expected[refs[e]].first : expected[refs[e]].second).push_back(e);
  }
  const Groups g(EntityType::Tetrahedron, vertices, n, &nodes[4], &refs[1]);
  ASSERT_EQ(g.count, static_cast<int>(expected.size()));
  int k = 0;
  for (const auto& [ref, lists] : expected) {
    EXPECT_EQ(g.refs[k], ref);
    EXPECT_EQ(g.valid(k), lists.first);
    EXPECT_EQ(g.invalid(k), lists.second);
    EXPECT_EQ(g.groups[k++].zero, 0);
  }
  // Vertices are never invalid and their node pointers are not read; no entity, no group.
  const int vertexRefs[3] = {2, 2, 1};
  const Groups vertexGroups(EntityType::Vertex, 0, 3, nullptr, vertexRefs);
  ASSERT_EQ(vertexGroups.count, 2);
  EXPECT_EQ(vertexGroups.valid(1), (std::vector<int>{1, 2}));
  const Groups none(EntityType::Triangle, 6, 0, nullptr, nullptr);
  EXPECT_EQ(none.groups, nullptr);
  EXPECT_EQ(none.count, 0);
}

// Overlong messages are cut to the first half; echoes go to the second half only.
TEST(Status, MessagesStayInTheirHalfAndReturnFailure) {
  char status[zel::kStatusSize];
  std::memset(status, 'x', sizeof status);
  const std::string longText(2000, 'a');
  EXPECT_EQ(zel::setStatus(status, "%s %d", longText.c_str(), 5) + zel::setStatus(nullptr, "x"), 4);
  EXPECT_EQ(std::strlen(status), 511u);
  EXPECT_EQ(status[zel::kStatusHalf], 'x');
  zel::echoStatus(status, longText.c_str());
  zel::echoStatus(nullptr, "ignored");
  EXPECT_EQ(std::strlen(status + zel::kStatusHalf) + std::strlen(status), 1022u);
}
