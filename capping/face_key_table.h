// Keys of element faces and the small hash table that finds a bucket's faces met once (internal
// to capping/: the boundary-face extraction's hot loop, inlined there).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zel::faces {

// Sorted vertex numbers a <= b <= c <= d of a face as two words, low = a | b << 32 and
// high = c | d << 32; a triangle's a is 0, so that a triangle never equals a quadrilateral
// (vertex numbers start at 1). Built and compared in registers: a key stored as four numbers and
// read back as words stalled every face on a failed store-to-load forwarding.
struct FaceKey {
  uint64_t low, high;
  uint32_t smallest() const { return uint32_t(low) ? uint32_t(low) : uint32_t(low >> 32); }
};

// Two word comparisons and one branch: the comparison ends the hot loop's probes.
inline bool sameKey(const FaceKey& a, const FaceKey& b) {
  return ((a.low ^ b.low) | (a.high ^ b.high)) == 0;
}

// Mixes a key into a hash for the small per-bucket tables.
inline uint32_t hashKey(const FaceKey& key) {
  return static_cast<uint32_t>(
      (key.low * 0x9E3779B97F4A7C15ull + key.high * 0xC2B2AE3D27D4EB4Full) >> 32);
}

// Values, not references: std::min and std::max on references compiled to branches here, and
// data-dependent branches mispredict about half the time on millions of faces.
[[gnu::always_inline]] inline int smaller(int a, int b) { return a < b ? a : b; }
[[gnu::always_inline]] inline void order(int* a, int* b) {
  const int low = smaller(*a, *b), high = *a < *b ? *b : *a;
  *a = low, *b = high;
}

// The key of the face whose corners lie at local positions at[0..3] of nodes (a triangle's
// at[3] is not read), sorted by a network. The branch on the shape follows the element's fixed
// face pattern and is predicted.
[[gnu::always_inline]] inline FaceKey readKey(const int* nodes, const int* at, bool quadrilateral) {
  int a = 0, b = nodes[at[0]], c = nodes[at[1]], d = nodes[at[2]];
  if (quadrilateral) {
    a = nodes[at[3]];
    order(&a, &b), order(&c, &d), order(&a, &c), order(&b, &d), order(&b, &c);
  } else {
    order(&b, &c), order(&c, &d), order(&b, &c);
  }
  auto word = [](int first, int second) {
    return uint32_t(first) | uint64_t(uint32_t(second)) << 32;
  };
  return {word(a, b), word(c, d)};
}

// The keys of one bucket in a small open-addressing table of at least twice its size, so that a
// bucket costs time linear in its size whatever its shape. Face i's key is keys[i + 1]; keys[0]
// holds the key being looked up, and an empty slot (-1) points at it, so that a probe stops at
// an empty slot or at a twin on one comparison: half the faces find their slot empty and half
// their twin, which a branch between the two would mispredict.
struct BucketTable {
  std::vector<FaceKey> keys;
  std::vector<int> slots;
  std::vector<int> single;  // whether face i is so far the only one with its key (int, not a
                            // byte, so that its stores do not alias everything else)
  size_t size = 0;          // slots in use: a power of two

  // A table for buckets of up to `largest` faces. Sizes in 64 bits: a degenerate fan can put
  // most faces of a group in one bucket.
  explicit BucketTable(uint32_t largest) : keys(size_t(largest) + 1), single(largest) {
    slots.resize(tableSize(largest));
  }
  static size_t tableSize(uint32_t n) {
    size_t size = 8;
    while (size < 2 * size_t(n)) size *= 2;
    return size;
  }
  // Empties the table for a bucket of n <= largest faces, numbered 0..n-1.
  void clear(uint32_t n) {
    size = tableSize(n);
    std::fill_n(slots.begin(), size, -1);
  }
  // The slot holding the first face with this key, or the free slot where it goes.
  size_t probe(const FaceKey& key) {
    keys[0] = key;
    size_t h = hashKey(key) & (size - 1);
    while (!sameKey(keys[slots[h] + 1], key)) h = (h + 1) & (size - 1);
    return h;
  }
  // Enters face i (faces are entered in order 0, 1, ...).
  void insert(int i, const FaceKey& key) {
    keys[i + 1] = key;
    const size_t h = probe(key);
    const int first = slots[h];
    // Without branches: an empty slot (-1) takes i, a twin keeps its slot and clears both.
    const int at = first + ((first >> 31) & (i + 1));
    slots[h] = at;
    single[i] = first < 0;
    single[at] = first < 0;
  }
};

}  // namespace zel::faces
