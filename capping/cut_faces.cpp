// Faces of a set of volume elements met once within the set: the faces of the elements a cut
// plane crosses, which the viewer draws in place of the elements. The sets are a thin layer of
// the mesh, so one sort of their face keys does, without the bucket walk of the whole-mesh
// extraction.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "capping/boundary_faces.h"
#include "capping/face_key_table.h"
#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/status.h"

namespace {

struct KeyedFace {
  zel::faces::FaceKey key;
  uint32_t id;  // position in the element list * 8 + local face
};

bool keyLess(const KeyedFace& a, const KeyedFace& b) {
  if (a.key.low != b.key.low) return a.key.low < b.key.low;
  if (a.key.high != b.key.high) return a.key.high < b.key.high;
  return a.id < b.id;
}

// Positions (list position * 8 + face) of the faces whose key occurs once, ascending.
std::vector<uint32_t> facesMetOnce(const ZelLocalTopology& topology, const int* nodes,
                                   int perElement, int count, const int* numbers) {
  std::vector<KeyedFace> keyed;
  keyed.reserve(size_t(count) * size_t(topology.nbrFaces));
  for (int i = 0; i < count; ++i) {
    const int* element = nodes + size_t(numbers[i]) * size_t(perElement);
    for (int f = 0; f < topology.nbrFaces; ++f) {
      const bool quadrilateral = topology.faceShape[f] == EntityType::Quadrilateral;
      const int* at = topology.faces[f].data();
      keyed.push_back({zel::faces::readKey(element, at, quadrilateral), uint32_t(i) << 3 | f});
    }
  }
  std::sort(keyed.begin(), keyed.end(), keyLess);
  std::vector<uint32_t> once;
  for (size_t k = 0; k < keyed.size();) {
    size_t next = k + 1;
    while (next < keyed.size() && zel::faces::sameKey(keyed[next].key, keyed[k].key)) ++next;
    if (next == k + 1) once.push_back(keyed[k].id);
    k = next;
  }
  std::sort(once.begin(), once.end());
  return once;
}

int* allocateInts(size_t count) {
  return static_cast<int*>(std::malloc(sizeof(int) * (count + 1)));
}

}  // namespace

int zel_ExtractElementFaces(ZelObject* object, int typ, int ref, int count, const int* numbers,
                            ZelSurfaceGroup* group, char* status) {
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!group || (count > 0 && !numbers))
    return zel::setStatus(status, "NULL (groups) parameter on input\n");
  *group = ZelSurfaceGroup{ref, 0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr};
  const int shape = zel_Typ2Shape(typ), deg = zel_Typ2Deg(typ);
  if (typ < 7 || typ > 31 || shape < EntityType::Tetrahedron || shape > EntityType::Hexahedron)
    return zel::setStatus(status, "Type %d is not handled in GetEntityFaces ! \n", typ);
  const ZelLocalTopology* topology = zel_LocalTopology(shape, deg);
  int total = 0, perElement = 0;
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(object, typ, &total, &perElement, status));
  group->triSize = (deg + 1) * (deg + 2) / 2;
  group->quaSize = (deg + 1) * (deg + 1);
  if (count < 1) return zel::kSuccess;
  if (!nodes || !topology || count >= (1 << 28) ||
      std::any_of(numbers, numbers + count, [total](int e) { return e < 1 || e > total; }))
    return zel::setStatus(status, "Element out of range for the faces of Type %d\n", typ);
  try {
    const std::vector<uint32_t> once = facesMetOnce(*topology, nodes, perElement, count, numbers);
    for (uint32_t id : once)
      ++(topology->faceShape[id & 7] == EntityType::Quadrilateral ? group->nbrQua : group->nbrTri);
    group->triNodes = allocateInts(size_t(group->nbrTri) * group->triSize);
    group->triLinks = allocateInts(size_t(group->nbrTri) * 3);
    group->quaNodes = allocateInts(size_t(group->nbrQua) * group->quaSize);
    group->quaLinks = allocateInts(size_t(group->nbrQua) * 3);
    if (!group->triNodes || !group->triLinks || !group->quaNodes || !group->quaLinks)
      throw std::bad_alloc();
    int tri = 0, qua = 0;
    for (uint32_t id : once) {
      const int element = numbers[id >> 3], face = int(id & 7);
      const std::vector<int>& local = topology->faces[face];
      const bool quadrilateral = topology->faceShape[face] == EntityType::Quadrilateral;
      int& n = quadrilateral ? qua : tri;
      int* out = (quadrilateral ? group->quaNodes : group->triNodes) + size_t(n) * local.size();
      int* links = (quadrilateral ? group->quaLinks : group->triLinks) + 3 * size_t(n);
      const int* vertices = nodes + size_t(element) * size_t(perElement);
      for (size_t k = 0; k < local.size(); ++k) out[k] = vertices[local[k]];
      links[0] = typ, links[1] = element, links[2] = face;
      ++n;
    }
  } catch (const std::bad_alloc&) {
    zel_FreeSurfaceGroupArrays(group);
    return zel::setStatus(status, "Allocation failed for the boundary faces of Type %d\n", typ);
  }
  return zel::kSuccess;
}

void zel_FreeSurfaceGroupArrays(ZelSurfaceGroup* group) {
  std::free(group->triNodes);
  std::free(group->triLinks);
  std::free(group->quaNodes);
  std::free(group->quaLinks);
  group->triNodes = group->triLinks = group->quaNodes = group->quaLinks = nullptr;
  group->nbrTri = group->nbrQua = 0;
}
