// Boundary-face extraction: the faces of one reference group are bucketed by their smallest
// vertex number (a counting sort of 4-byte face ids), each bucket's few faces are compared by
// their sorted vertex numbers in a small table, and a face met once keeps a bit per face. The
// mesh faces, bucketed the same way, are matched in the same walk, while their bucket's keys are
// at hand; the rest are emitted in element order, then face order.
#include "capping/boundary_faces.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "capping/face_key_table.h"
#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/reference_groups.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

using zel::faces::BucketTable, zel::faces::FaceKey, zel::faces::readKey, zel::faces::smaller;

constexpr int kFaceBits = 3;                 // face id = element number * 8 + local face
constexpr int kMaxElements = (1 << 28) - 1;  // so that a face id fits 31 bits
constexpr uint32_t kPrefetchDistance = 16;   // faces read ahead: a few hundred cycles of work

struct TypeInfo {
  int typ, deg, nodesPerElement, nbrVer;
  const int* nodes;  // node-index array of the volume type
  const ZelLocalTopology* topology;
};

// The valid elements of one reference.
struct ElementSet {
  int ref;
  int count;
  const int* numbers;  // their entity numbers, ascending; null when they are 1..count
};

// Calls visit(e) for the entity number of every element of the set, in ascending order.
template <class Visit>
void forEachElement(const ElementSet& set, Visit visit) {
  if (set.numbers)
    for (int k = 0; k < set.count; ++k) visit(set.numbers[k]);
  else
    for (int e = 1; e <= set.count; ++e) visit(e);
}

// The type's elements with the corners of each local face, read without going through the
// per-face vectors of the topology in the hot loops.
struct ElementFaces {
  const TypeInfo& info;
  int nbrFaces;
  int corners[6][4];  // local corners of each face; a triangle repeats its first
  bool quadrilateral[6];

  explicit ElementFaces(const TypeInfo& t) : info(t), nbrFaces(t.topology->nbrFaces) {
    for (int f = 0; f < nbrFaces; ++f) {
      quadrilateral[f] = t.topology->faceShape[f] == EntityType::Quadrilateral;
      for (int k = 0; k < 4; ++k)
        corners[f][k] = t.topology->faces[f][quadrilateral[f] || k < 3 ? k : 0];
    }
  }
  const int* element(uint32_t number) const {
    return info.nodes + static_cast<size_t>(number) * info.nodesPerElement;
  }
  // The triangle's repeated corner makes every face take the same four reads here, so that the
  // loop has no branch on the shape.
  int smallestVertex(const int* element, int f) const {
    const int* c = corners[f];
    return smaller(smaller(element[c[0]], element[c[1]]), smaller(element[c[2]], element[c[3]]));
  }
  FaceKey key(uint32_t id) const {
    const int f = id & ((1u << kFaceBits) - 1);
    return readKey(element(id >> kFaceBits), corners[f], quadrilateral[f]);
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
  uint32_t largest = 0;                   // faces in the fullest bucket
  std::unique_ptr<uint32_t[], Free> end;  // bucket b spans [b ? end[b - 1] : 0, end[b])
  std::unique_ptr<uint32_t[], Free> ids;  // ascending within a bucket, then kPrefetchDistance 0s
  std::vector<uint64_t> once;

  uint32_t begin(uint32_t b) const { return b ? end[b - 1] : 0; }
};

void bucketFaces(const ElementFaces& faces, const ElementSet& set, FaceBuckets* out) {
  const size_t inserted = static_cast<size_t>(set.count) * faces.nbrFaces;
  // About four faces per bucket, never more buckets than vertices.
  const size_t wanted =
      std::min<size_t>(size_t(faces.info.nbrVer) + 1, std::max<size_t>(inserted / 4, 1));
  size_t buckets = 1;
  while (buckets < wanted) buckets *= 2;
  const uint32_t mask = out->mask = static_cast<uint32_t>(buckets - 1);
  // Fresh memory on transparent huge pages: with 4 KiB pages the first touch of the face ids
  // costs a page fault per thousand faces.
  out->end.reset(static_cast<uint32_t*>(zel::allocateMeshArray(sizeof(uint32_t) * buckets)));
  out->ids.reset(static_cast<uint32_t*>(
      zel::allocateMeshArray(sizeof(uint32_t) * (inserted + kPrefetchDistance))));
  if (!out->end || !out->ids) throw std::bad_alloc();
  uint32_t* end = out->end.get();
  std::fill_n(end, buckets, 0u);
  std::fill_n(out->ids.get() + inserted, kPrefetchDistance, 0u);
  forEachElement(set, [&](int e) {
    const int* element = faces.element(e);
    for (int f = 0; f < faces.nbrFaces; ++f) ++end[faces.smallestVertex(element, f) & mask];
  });
  uint32_t sum = 0;
  for (size_t b = 0; b < buckets; ++b) {
    out->largest = std::max(out->largest, end[b]);
    sum += std::exchange(end[b], sum);
  }
  uint32_t* ids = out->ids.get();
  forEachElement(set, [&](int e) {
    const int* element = faces.element(e);
    for (int f = 0; f < faces.nbrFaces; ++f)
      ids[end[faces.smallestVertex(element, f) & mask]++] = (uint32_t(e) << kFaceBits) | f;
  });
}

// Orientation codes by the pattern of the corners (which face corner each mesh-face corner
// is): zel_FaceOrientationCodes builds its list of candidates on every call, so each pattern
// is asked of it once, on the corners 1..4.
class OrientationCodes {
 public:
  bool find(int shape, const int* faceVertices, const int* surfaceVertices, int* codes) {
    const bool quadrilateral = shape == EntityType::Quadrilateral;
    const int corners = quadrilateral ? 4 : 3;
    // A face with a repeated corner has no single pattern: asked as it is.
    for (int c = 1; c < corners; ++c)
      if (std::find(faceVertices, faceVertices + c, faceVertices[c]) != faceVertices + c)
        return zel_FaceOrientationCodes(shape, faceVertices, surfaceVertices, codes);
    int pattern = 0, positions[4];
    for (int c = corners - 1; c >= 0; --c) {
      const int* at = std::find(faceVertices, faceVertices + corners, surfaceVertices[c]);
      if (at == faceVertices + corners) return false;  // a corner off the face
      positions[c] = static_cast<int>(at - faceVertices) + 1;
      pattern = 5 * pattern + positions[c];
    }
    int8_t& known = m_known[quadrilateral][pattern];
    if (known == 0) {
      const int identity[4] = {1, 2, 3, 4};
      known = zel_FaceOrientationCodes(shape, identity, positions, m_codes[quadrilateral][pattern])
                  ? 1
                  : -1;
    }
    std::copy_n(m_codes[quadrilateral][pattern], 3, codes);
    return known > 0;
  }

 private:
  int8_t m_known[2][625] = {};  // by pattern (base 5); 1: orients, -1: does not, 0: not asked
  int m_codes[2][625][3] = {};
};

// The mesh faces of one shape that may coincide with faces of the group, in bucket order.
struct MeshFaces {
  int shape = 0;
  ZelFaceMark* marks = nullptr;
  const int* nodes = nullptr;  // the mesh faces' node indices, perFace a face
  int perFace = 0;
  std::vector<uint64_t> byBucket;  // bucket << 32 | face number, ascending
  size_t next = 0;                 // first entry of a bucket not visited yet

  static constexpr int kAt[4] = {0, 1, 2, 3};
  const int* face(int m) const { return nodes + static_cast<size_t>(m) * perFace; }

  void list(ZelObject* object, const TypeInfo& info, uint32_t mask, int faceShape,
            ZelFaceMark* faceMarks) {
    shape = faceShape, marks = faceMarks;
    const bool quadrilateral = shape == EntityType::Quadrilateral;
    const int meshTyp =
        zel_SolTyp2EntTyp(quadrilateral ? SolTyp::Quadrilateral : SolTyp::Triangle, info.deg);
    char status[zel::kStatusSize];
    int count = 0;
    nodes = static_cast<const int*>(zel_GetIndicesArray(object, meshTyp, &count, &perFace, status));
    if (!marks || !nodes) return;
    for (int m = 1; m <= count; ++m) {
      // A corner outside the vertices matches no valid element's face (and must not index).
      if (std::any_of(face(m), face(m) + 3 + quadrilateral,
                      [&](int v) { return v < 1 || v > info.nbrVer; }))
        continue;
      const uint32_t smallest = readKey(face(m), kAt, quadrilateral).smallest();
      byBucket.push_back(uint64_t(smallest & mask) << 32 | uint32_t(m));
    }
    std::sort(byBucket.begin(), byBucket.end());
  }
};

// Gives the mesh faces of bucket b that coincide with a face met once of the bucket their mark
// (unless they already have one) and takes that face out of the boundary. Each key belongs to
// one bucket, so going through the mesh faces bucket by bucket, each bucket's in ascending
// face numbers, gives a face met once to the first mesh face on it whose corners orient.
void markBucket(const ElementFaces& faces, const uint32_t* ids, uint32_t b, BucketTable* table,
                OrientationCodes* orientation, MeshFaces* mesh) {
  // Those of buckets without element faces are passed over.
  while (mesh->next < mesh->byBucket.size() && mesh->byBucket[mesh->next] >> 32 < b) ++mesh->next;
  for (; mesh->next < mesh->byBucket.size() && mesh->byBucket[mesh->next] >> 32 == b;
       ++mesh->next) {
    const int m = static_cast<int>(mesh->byBucket[mesh->next] & 0xFFFFFFFFu);
    const FaceKey key =
        readKey(mesh->face(m), MeshFaces::kAt, mesh->shape == EntityType::Quadrilateral);
    const int i = table->slots[table->probe(key)];
    if (i < 0 || !table->single[i]) continue;
    const uint32_t element = ids[i] >> kFaceBits, face = ids[i] & 7;
    int faceVertices[4], codes[3];
    for (int c = 0; c < 4; ++c) faceVertices[c] = faces.element(element)[faces.corners[face][c]];
    if (!orientation->find(mesh->shape, faceVertices, mesh->face(m), codes)) continue;
    table->single[i] = 0;
    if (mesh->marks[m].face != 0) continue;
    mesh->marks[m] = {m, int(element), int(face), {codes[0], codes[1], codes[2]}, faces.info.typ};
  }
}

// Sets the bit of every face whose key occurs once in the group and that no mesh face takes.
void findFacesMetOnce(const ElementFaces& faces, FaceBuckets* buckets, MeshFaces* meshFaces) {
  BucketTable table(buckets->largest);
  OrientationCodes orientation;
  const uint32_t* ids = buckets->ids.get();
  for (uint32_t b = 0; b <= buckets->mask; ++b) {
    const uint32_t first = buckets->begin(b), n = buckets->end[b] - first;
    if (n == 0) continue;
    table.clear(n);
    for (uint32_t i = 0; i < n; ++i) {
      // The elements of the next buckets' faces are scattered through the element array:
      // asking for them ahead hides most of the memory latency.
      __builtin_prefetch(faces.element(ids[first + i + kPrefetchDistance] >> kFaceBits));
      table.insert(static_cast<int>(i), faces.key(ids[first + i]));
    }
    for (int shape = 0; shape < 2; ++shape)
      markBucket(faces, ids + first, b, &table, &orientation, &meshFaces[shape]);
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t id = ids[first + i];
      if (table.single[i]) buckets->once[id >> 6] |= uint64_t(1) << (id & 63);
    }
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
bool emitFaces(const ElementFaces& faces, const FaceBuckets& buckets, ZelSurfaceGroup* out) {
  const TypeInfo& info = faces.info;
  forEachFaceMetOnce(buckets.once, [&](uint32_t id) {
    ++(faces.quadrilateral[id & 7] ? out->nbrQua : out->nbrTri);
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
    const uint32_t element = id >> kFaceBits, face = id & 7;
    const std::vector<int>& local = info.topology->faces[face];
    const bool quadrilateral = faces.quadrilateral[face];
    int& n = quadrilateral ? qua : tri;
    int* nodes = (quadrilateral ? out->quaNodes : out->triNodes) + size_t(n) * local.size();
    int* links = (quadrilateral ? out->quaLinks : out->triLinks) + 3 * size_t(n);
    for (size_t k = 0; k < local.size(); ++k) nodes[k] = faces.element(element)[local[k]];
    links[0] = info.typ, links[1] = int(element), links[2] = int(face);
    ++n;
  });
  return true;
}

bool extractGroup(ZelObject* object, const ElementFaces& faces, const ElementSet& set,
                  ZelFaceMark* triMarks, ZelFaceMark* quaMarks, ZelSurfaceGroup* out) {
  out->ref = set.ref;
  try {
    FaceBuckets buckets;
    bucketFaces(faces, set, &buckets);
    MeshFaces meshFaces[2];
    meshFaces[0].list(object, faces.info, buckets.mask, EntityType::Triangle, triMarks);
    meshFaces[1].list(object, faces.info, buckets.mask, EntityType::Quadrilateral, quaMarks);
    // Indexed by face id, so sized by the largest element number of the group.
    const size_t lastNumber = set.numbers && set.count > 0 ? set.numbers[set.count - 1] : set.count;
    buckets.once.assign(((lastNumber + 1) << kFaceBits) / 64 + 1, 0);
    findFacesMetOnce(faces, &buckets, meshFaces);
    return emitFaces(faces, buckets, out);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Whether test(v) holds for no value of the array. In blocks of 16 without an early exit, which
// the compiler turns into vector code (a loop of unknown length it leaves scalar).
template <class Test>
bool noneOf(const int* values, size_t count, Test test) {
  uint32_t any = 0;
  size_t k = 0;
  for (; k + 16 <= count; k += 16)
    for (int u = 0; u < 16; ++u) any |= test(values[k + u]);
  for (; k < count; ++k) any |= test(values[k]);
  return any == 0;
}

// Whether every element carries the first one's reference and names vertices only: the usual
// mesh, one group of every element, which needs no grouping by reference.
bool isOneValidGroup(const TypeInfo& info, int count, const int* refs) {
  const int ref = refs[1];
  const uint32_t nbrVer = info.nbrVer;
  // v - 1 taken unsigned: 0 and negative numbers become large, so one comparison checks both ends.
  return noneOf(refs + 1, count, [ref](int r) { return uint32_t(r != ref); }) &&
         noneOf(info.nodes + info.nodesPerElement, size_t(count) * info.nodesPerElement,
                [nbrVer](int v) { return uint32_t(uint32_t(v) - 1u >= nbrVer); });
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
  if (count > kMaxElements)
    return zel::setStatus(status, "Allocation failed for the boundary faces of Type %d\n", typ);
  int nbrRefs = 1;
  int* sortedRefs = nullptr;
  ZelRefGroup* refGroups = nullptr;
  if (!isOneValidGroup(info, count, refs)) {
    refGroups = zel_GroupByReference(typ, info.nbrVer, count, info.nodes + perElement,
                                     info.nodes + static_cast<size_t>(count) * perElement, refs + 1,
                                     refs + count, &nbrRefs, &sortedRefs, status);
    if (!refGroups) return zel::kFailure;
  }
  auto* out = static_cast<ZelSurfaceGroup*>(std::calloc(nbrRefs, sizeof(ZelSurfaceGroup)));
  bool ok = out != nullptr;
  const ElementFaces faces(info);
  for (int g = 0; g < nbrRefs && ok; ++g) {
    ElementSet set{refs[1], count, nullptr};
    if (refGroups) {
      const ZelRefGroup& group = refGroups[g];
      // A list 1..n (ascending without repeats, so its last entry tells) need not be read.
      const bool every = group.nbrValid > 0 && group.valid[group.nbrValid - 1] == group.nbrValid;
      set = {sortedRefs[g], group.nbrValid, every ? nullptr : group.valid};
      if (nbrInvalid) *nbrInvalid += refGroups[g].nbrInvalid;
    }
    ok = extractGroup(object, faces, set, triMarks, quaMarks, &out[g]);
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
