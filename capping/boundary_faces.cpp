// Boundary-face extraction: the faces of one reference group are bucketed by their smallest
// vertex number (a counting sort of 4-byte face ids, no per-face key kept), each bucket's few
// faces are compared by their sorted vertex numbers, and a face met once stays marked in a bit
// per face. Mesh faces found among those are marked and consumed; the rest are emitted in
// element order, then face order.
#include "capping/boundary_faces.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/reference_groups.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

constexpr int kFaceBits = 3;                // face id = group position * 8 + local face
constexpr int kMaxGroupElements = 1 << 28;  // so that a face id fits 31 bits
constexpr uint32_t kPrefetchDistance = 16;  // faces read ahead: a few hundred cycles of work

struct TypeInfo {
  int typ, deg, nodesPerElement, nbrVer;
  const int* nodes;  // node-index array of the volume type
  const ZelLocalTopology* topology;
};

// Sorted vertex numbers of a face; the fourth is 0 for a triangle, so that a triangle never
// equals a quadrilateral (vertex numbers start at 1).
struct FaceKey {
  int v[4];
  bool operator==(const FaceKey& o) const {
    return v[0] == o.v[0] && v[1] == o.v[1] && v[2] == o.v[2] && v[3] == o.v[3];
  }
};

// Sorts the 3 or 4 corners with a branch-free network: the keys of millions of faces go
// through here, and data-dependent branches mispredict about half the time. Written in place
// and inlined: returning the key by value made every face wait on a stalled store-to-load copy.
[[gnu::always_inline]] inline void sortCorners(int count, FaceKey* key) {
  int* v = key->v;
  auto order = [v](int a, int b) {
    const int low = std::min(v[a], v[b]), high = std::max(v[a], v[b]);
    v[a] = low, v[b] = high;
  };
  if (count == 3) {
    order(0, 1), order(1, 2), order(0, 1);
  } else {
    order(0, 1), order(2, 3), order(0, 2), order(1, 3), order(1, 2);
  }
}

FaceKey sortedKey(const int* corners, int count) {
  FaceKey key{{corners[0], corners[1], corners[2], count == 4 ? corners[3] : 0}};
  sortCorners(count, &key);
  return key;
}

// Mixes the four numbers of a key into a hash for the small per-bucket tables.
uint32_t hashKey(const FaceKey& key) {
  const uint64_t mixed = (uint64_t(uint32_t(key.v[0])) * 0x9E3779B97F4A7C15ull) ^
                         (uint64_t(uint32_t(key.v[1])) * 0xC2B2AE3D27D4EB4Full) ^
                         (uint64_t(uint32_t(key.v[2])) * 0x165667B19E3779F9ull) ^
                         (uint64_t(uint32_t(key.v[3])) * 0x27D4EB2F165667C5ull);
  return static_cast<uint32_t>(mixed >> 32);
}

// The group's elements with the corners of each local face, read without going through the
// per-face vectors of the topology in the hot loops.
struct GroupFaces {
  const TypeInfo& info;
  const ZelRefGroup& group;
  int nbrFaces;
  // Whether the group is every element of the type, in order (one reference, none invalid:
  // the usual mesh), so that an element is found without reading the group's list.
  bool everyElement;
  int corners[6][4];  // local corners of each face; a triangle repeats its first
  int nbrCorners[6];

  GroupFaces(const TypeInfo& t, const ZelRefGroup& g)
      : info(t),
        group(g),
        nbrFaces(t.topology->nbrFaces),
        // The list is ascending without repeats, so its last entry tells.
        everyElement(g.nbrValid > 0 && g.valid[g.nbrValid - 1] == g.nbrValid) {
    for (int f = 0; f < nbrFaces; ++f) {
      nbrCorners[f] = t.topology->faceShape[f] == EntityType::Triangle ? 3 : 4;
      for (int k = 0; k < 4; ++k) corners[f][k] = t.topology->faces[f][k < nbrCorners[f] ? k : 0];
    }
  }
  const int* element(int j) const {
    const int number = everyElement ? j + 1 : group.valid[j];
    return info.nodes + static_cast<size_t>(number) * info.nodesPerElement;
  }
  // A triangle's first corner stands again in its fourth place, so that every face takes the
  // same four reads here and the loop has no branch on the shape.
  int smallestVertex(const int* element, int f) const {
    const int* c = corners[f];
    return std::min(std::min(element[c[0]], element[c[1]]), std::min(element[c[2]], element[c[3]]));
  }
  void key(uint32_t id, FaceKey* key) const {
    const int* nodes = element(static_cast<int>(id >> kFaceBits));
    const int f = id & ((1u << kFaceBits) - 1);
    key->v[3] = 0;
    for (int k = 0; k < nbrCorners[f]; ++k) key->v[k] = nodes[corners[f][k]];
    sortCorners(nbrCorners[f], key);
  }
};

// Face ids bucketed by their smallest vertex (folded into a power-of-two count of buckets sized
// from the group, so that small groups of large meshes stay cheap), and one bit per face id
// set while the face is met once and not taken by a mesh face.
struct FaceBuckets {
  struct Free {
    void operator()(uint32_t* p) const { std::free(p); }
  };
  uint32_t mask = 0;
  std::unique_ptr<uint32_t[], Free> end;  // bucket b spans [b ? end[b - 1] : 0, end[b])
  std::unique_ptr<uint32_t[], Free> ids;  // ascending within a bucket
  std::vector<uint64_t> once;

  uint32_t begin(uint32_t b) const { return b ? end[b - 1] : 0; }
  bool isOnce(uint32_t id) const { return (once[id >> 6] >> (id & 63)) & 1; }
};

void bucketFaces(const GroupFaces& faces, FaceBuckets* out) {
  const size_t inserted = static_cast<size_t>(faces.group.nbrValid) * faces.nbrFaces;
  // About four faces per bucket, never more buckets than vertices.
  const size_t wanted = std::min<size_t>(faces.info.nbrVer + 1, std::max<size_t>(inserted / 4, 1));
  size_t buckets = 1;
  while (buckets < wanted) buckets *= 2;
  out->mask = static_cast<uint32_t>(buckets - 1);
  // Fresh memory on transparent huge pages: with 4 KiB pages the first touch of the face ids
  // costs a page fault per thousand faces.
  out->end.reset(static_cast<uint32_t*>(zel::allocateMeshArray(sizeof(uint32_t) * buckets)));
  out->ids.reset(static_cast<uint32_t*>(zel::allocateMeshArray(sizeof(uint32_t) * inserted)));
  if (!out->end || !out->ids) throw std::bad_alloc();
  std::fill_n(out->end.get(), buckets, 0u);
  uint32_t* end = out->end.get();
  for (int j = 0; j < faces.group.nbrValid; ++j) {
    const int* element = faces.element(j);
    for (int f = 0; f < faces.nbrFaces; ++f) ++end[faces.smallestVertex(element, f) & out->mask];
  }
  uint32_t sum = 0;
  for (size_t b = 0; b < buckets; ++b) sum += std::exchange(end[b], sum);
  for (int j = 0; j < faces.group.nbrValid; ++j) {
    const int* element = faces.element(j);
    for (int f = 0; f < faces.nbrFaces; ++f)
      out->ids[end[faces.smallestVertex(element, f) & out->mask]++] =
          (static_cast<uint32_t>(j) << kFaceBits) | f;
  }
}

// Sets the bit of every face whose key occurs once. Each bucket holds a few dozen faces at most
// in ordinary meshes; its faces go through a small open-addressing table of twice its size, so
// that a bucket costs time linear in its size whatever its shape.
void findFacesMetOnce(const GroupFaces& faces, FaceBuckets* buckets) {
  buckets->once.assign((static_cast<size_t>(faces.group.nbrValid) << kFaceBits) / 64 + 1, 0);
  std::vector<FaceKey> keys;
  std::vector<uint8_t> shared;
  std::vector<int> slots;
  for (uint32_t b = 0; b <= buckets->mask; ++b) {
    const uint32_t first = buckets->begin(b), n = buckets->end[b] - first;
    if (n == 0) continue;
    size_t size = 8;  // 64-bit: a degenerate fan can put most faces of a group in one bucket
    while (size < 2 * size_t(n)) size *= 2;
    keys.resize(n);
    shared.assign(n, 0);
    slots.assign(size, -1);
    for (uint32_t i = 0; i < n; ++i) {
      // The elements of the next buckets' faces are scattered through the element array:
      // asking for them ahead hides most of the memory latency.
      if (first + i + kPrefetchDistance < buckets->end[buckets->mask])
        __builtin_prefetch(faces.element(buckets->ids[first + i + kPrefetchDistance] >> kFaceBits));
      faces.key(buckets->ids[first + i], &keys[i]);
      for (size_t h = hashKey(keys[i]) & (size - 1);; h = (h + 1) & (size - 1)) {
        if (slots[h] < 0) {
          slots[h] = static_cast<int>(i);
          break;
        }
        if (keys[slots[h]] == keys[i]) {
          shared[slots[h]] = shared[i] = 1;
          break;
        }
      }
    }
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t id = buckets->ids[first + i];
      if (!shared[i]) buckets->once[id >> 6] |= uint64_t(1) << (id & 63);
    }
  }
}

// Marks the mesh faces of one shape that coincide with a face met once, and consumes them.
void markMeshFaces(ZelObject* object, const GroupFaces& faces, FaceBuckets* buckets, int faceShape,
                   ZelFaceMark* marks) {
  const TypeInfo& info = faces.info;
  const int meshTyp = zel_SolTyp2EntTyp(
      faceShape == EntityType::Triangle ? SolTyp::Triangle : SolTyp::Quadrilateral, info.deg);
  char status[zel::kStatusSize];
  int count = 0, perFace = 0;
  const int* surfaces =
      static_cast<const int*>(zel_GetIndicesArray(object, meshTyp, &count, &perFace, status));
  if (!marks || !surfaces) return;
  const int corners = faceShape == EntityType::Triangle ? 3 : 4;
  for (int m = 1; m <= count; ++m) {
    const int* surface = surfaces + static_cast<size_t>(m) * perFace;
    // A corner outside the vertices matches no valid element's face (and must not index).
    if (std::any_of(surface, surface + corners, [&](int v) { return v < 1 || v > info.nbrVer; }))
      continue;
    const FaceKey key = sortedKey(surface, corners);
    const uint32_t b = static_cast<uint32_t>(key.v[0]) & buckets->mask;
    uint32_t k = buckets->begin(b);
    for (FaceKey other; k < buckets->end[b]; ++k) {
      if (!buckets->isOnce(buckets->ids[k])) continue;
      faces.key(buckets->ids[k], &other);
      if (other == key) break;
    }
    if (k == buckets->end[b]) continue;
    const uint32_t id = buckets->ids[k];
    const int element = faces.group.valid[id >> kFaceBits], face = id & 7;
    const int* volume = faces.element(static_cast<int>(id >> kFaceBits));
    int faceVertices[4], codes[3];
    for (int c = 0; c < corners; ++c) faceVertices[c] = volume[faces.corners[face][c]];
    if (!zel_FaceOrientationCodes(faceShape, faceVertices, surface, codes)) continue;
    buckets->once[id >> 6] &= ~(uint64_t(1) << (id & 63));
    if (marks[m].face != 0) continue;
    marks[m] = {m, element, face, {codes[0], codes[1], codes[2]}, info.typ};
  }
}

// Calls visit(id) for every face still met once, in ascending id order.
template <class Visit>
void forEachFaceMetOnce(const std::vector<uint64_t>& once, Visit visit) {
  for (size_t w = 0; w < once.size(); ++w)
    for (uint64_t bits = once[w]; bits; bits &= bits - 1)
      visit(static_cast<uint32_t>(w * 64 + __builtin_ctzll(bits)));
}

// Emits the faces still met once.
bool emitFaces(const GroupFaces& faces, const FaceBuckets& buckets, ZelSurfaceGroup* out) {
  const TypeInfo& info = faces.info;
  forEachFaceMetOnce(buckets.once, [&](uint32_t id) {
    ++(faces.nbrCorners[id & 7] == 3 ? out->nbrTri : out->nbrQua);
  });
  out->triSize = (info.deg + 1) * (info.deg + 2) / 2;
  out->quaSize = (info.deg + 1) * (info.deg + 1);
  auto allocate = [](size_t count, int size) {
    return static_cast<int*>(std::malloc(sizeof(int) * (count * size + 1)));
  };
  out->triNodes = allocate(out->nbrTri, out->triSize);
  out->triLinks = allocate(out->nbrTri, 3);
  out->quaNodes = allocate(out->nbrQua, out->quaSize);
  out->quaLinks = allocate(out->nbrQua, 3);
  if (!out->triNodes || !out->triLinks || !out->quaNodes || !out->quaLinks) return false;
  int tri = 0, qua = 0;
  forEachFaceMetOnce(buckets.once, [&](uint32_t id) {
    const int j = static_cast<int>(id >> kFaceBits), face = id & 7;
    const std::vector<int>& local = info.topology->faces[face];
    const int* volume = faces.element(j);
    const bool triangle = faces.nbrCorners[face] == 3;
    int& n = triangle ? tri : qua;
    int* nodes = (triangle ? out->triNodes : out->quaNodes) + static_cast<size_t>(n) * local.size();
    int* links = (triangle ? out->triLinks : out->quaLinks) + 3 * static_cast<size_t>(n);
    for (size_t k = 0; k < local.size(); ++k) nodes[k] = volume[local[k]];
    links[0] = info.typ;
    links[1] = faces.group.valid[j];
    links[2] = face;
    ++n;
  });
  return true;
}

bool extractGroup(ZelObject* object, const TypeInfo& info, const ZelRefGroup& group,
                  ZelFaceMark* triMarks, ZelFaceMark* quaMarks, ZelSurfaceGroup* out) {
  if (group.nbrValid > kMaxGroupElements) return false;
  try {
    const GroupFaces faces(info, group);
    FaceBuckets buckets;
    bucketFaces(faces, &buckets);
    findFacesMetOnce(faces, &buckets);
    markMeshFaces(object, faces, &buckets, EntityType::Triangle, triMarks);
    markMeshFaces(object, faces, &buckets, EntityType::Quadrilateral, quaMarks);
    return emitFaces(faces, buckets, out);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

int zel_ExtractBoundaryFaces(ZelObject* object, int typ, ZelFaceMark* triMarks,
                             ZelFaceMark* quaMarks, int* nbrGroups, ZelSurfaceGroup** groups,
                             int* nbrInvalid, char* status) {
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!nbrGroups || !groups) return zel::setStatus(status, "NULL (groups) parameter on input\n");
  *nbrGroups = 0;
  *groups = nullptr;
  if (nbrInvalid) *nbrInvalid = 0;
  const int shape = zel_Typ2Shape(typ), deg = zel_Typ2Deg(typ);
  if (typ < 7 || typ > 31 || shape < EntityType::Tetrahedron || shape > EntityType::Hexahedron)
    return zel::setStatus(status, "Type %d is not handled in GetEntityFaces ! \n", typ);
  int count = 0, perElement = 0;
  TypeInfo info{typ, deg, 0, 0, nullptr, zel_LocalTopology(shape, deg)};
  info.nodes =
      static_cast<const int*>(zel_GetIndicesArray(object, typ, &count, &perElement, status));
  info.nodesPerElement = perElement;
  zel_GetNumberOfEntities(object, EntityType::Vertex, &info.nbrVer, status);
  const int* refs = zel_GetReferenceArray(object, typ, status);
  if (count < 1 || !info.nodes || !refs) return zel::kSuccess;
  int nbrRefs = 0;
  int* sortedRefs = nullptr;
  ZelRefGroup* refGroups =
      zel_GroupByReference(typ, info.nbrVer, count, info.nodes + perElement,
                           info.nodes + static_cast<size_t>(count) * perElement, refs + 1,
                           refs + count, &nbrRefs, &sortedRefs, status);
  if (!refGroups) return zel::kFailure;
  auto* out = static_cast<ZelSurfaceGroup*>(std::calloc(nbrRefs, sizeof(ZelSurfaceGroup)));
  bool ok = out != nullptr;
  for (int g = 0; g < nbrRefs && ok; ++g) {
    out[g].ref = sortedRefs[g];
    if (nbrInvalid) *nbrInvalid += refGroups[g].nbrInvalid;
    ok = extractGroup(object, info, refGroups[g], triMarks, quaMarks, &out[g]);
  }
  zel_FreeRefGroups(refGroups, nbrRefs);
  std::free(sortedRefs);
  if (!ok) {
    zel_FreeSurfaceGroups(out, nbrRefs);
    return zel::setStatus(status, "Allocation failed for the boundary faces of Type %d\n", typ);
  }
  *nbrGroups = nbrRefs;
  *groups = out;
  return zel::kSuccess;
}

void zel_FreeSurfaceGroups(ZelSurfaceGroup* groups, int nbrGroups) {
  if (!groups) return;
  for (int g = 0; g < nbrGroups; ++g) {
    std::free(groups[g].triNodes);
    std::free(groups[g].triLinks);
    std::free(groups[g].quaNodes);
    std::free(groups[g].quaLinks);
  }
  std::free(groups);
}
