// Boundary-face extraction: every face of the valid elements of one reference is counted in the
// face hash table under its sorted vertex numbers (tag 1 once, 2 when met again; the entry's
// data remembers the first element and face), mesh faces found with count 1 are marked and
// consumed (tag 3), and the faces still at count 1 are emitted in insertion order, which is
// element order.
#include "capping/boundary_faces.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/hash_table.h"
#include "meshio/reference_groups.h"
#include "meshio/status.h"

namespace {

constexpr int kOnce = 1, kShared = 2, kOnMesh = 3;
constexpr int kMaxGroupElements = 1 << 28;  // element index * 8 + face fits the entry's data

struct TypeInfo {
  int typ, deg, nodesPerElement, nbrVer;
  const int* nodes;  // node-index array of the volume type
  const ZelLocalTopology* topology;
};

// Sorted vertex numbers of a face (its first 3 or 4 nodes); returns their number.
int faceKey(const int* element, const std::vector<int>& face, int faceShape, int* key) {
  const int count = faceShape == EntityType::Triangle ? 3 : 4;
  for (int k = 0; k < count; ++k) key[k] = element[face[k]];
  std::sort(key, key + count);
  return count;
}

const int* elementNodes(const TypeInfo& info, int element) {
  return info.nodes + static_cast<size_t>(element) * info.nodesPerElement;
}

// Counts every face of the group's valid elements.
bool countFaces(ZelHashTable* table, const TypeInfo& info, const ZelRefGroup& group) {
  const ZelLocalTopology& topo = *info.topology;
  for (int j = 0; j < group.nbrValid; ++j) {
    const int* element = elementNodes(info, group.valid[j]);
    for (int f = 0; f < topo.nbrFaces; ++f) {
      int key[4];
      const int count = faceKey(element, topo.faces[f], topo.faceShape[f], key);
      ZelHashEntry* entry = zel_HashFind(table, 0, count, key);
      if (entry) {
        entry->tag = kShared;
        continue;
      }
      entry = zel_HashInsert(table, kOnce, count, key);
      if (!entry) return false;
      entry->data = j * 8 + f;
    }
  }
  return true;
}

// Marks the mesh faces of one shape that coincide with a face met once, and consumes them.
void markMeshFaces(ZelObject* object, ZelHashTable* table, const TypeInfo& info,
                   const ZelRefGroup& group, int faceShape, ZelFaceMark* marks) {
  const int meshTyp = zel_SolTyp2EntTyp(
      faceShape == EntityType::Triangle ? SolTyp::Triangle : SolTyp::Quadrilateral, info.deg);
  char status[ZEL_STATUS_SIZE];
  int count = 0, perFace = 0;
  const int* faces =
      static_cast<const int*>(zel_GetIndicesArray(object, meshTyp, &count, &perFace, status));
  if (!marks || !faces) return;
  const int corners = faceShape == EntityType::Triangle ? 3 : 4;
  for (int m = 1; m <= count; ++m) {
    const int* surface = faces + static_cast<size_t>(m) * perFace;
    int key[4];
    std::copy(surface, surface + corners, key);
    std::sort(key, key + corners);
    ZelHashEntry* entry = zel_HashFind(table, kOnce, corners, key);
    if (!entry) continue;
    const int element = group.valid[entry->data >> 3], face = entry->data & 7;
    const int* volume = elementNodes(info, element);
    int faceVertices[4], codes[3];
    for (int k = 0; k < corners; ++k) faceVertices[k] = volume[info.topology->faces[face][k]];
    if (!zel_FaceOrientationCodes(faceShape, faceVertices, surface, codes)) continue;
    entry->tag = kOnMesh;
    if (marks[m].face != 0) continue;
    marks[m] = {m, element, face, {codes[0], codes[1], codes[2]}, info.typ};
  }
}

// Emits the faces still met once, in insertion order.
bool emitFaces(ZelHashTable* table, const TypeInfo& info, const ZelRefGroup& group,
               ZelSurfaceGroup* out) {
  zel::forEachHashEntry(table, [&](ZelHashEntry* entry) {
    if (entry->tag == kOnce) ++(entry->nbrKeys == 3 ? out->nbrTri : out->nbrQua);
  });
  out->triSize = (info.deg + 1) * (info.deg + 2) / 2;
  out->quaSize = (info.deg + 1) * (info.deg + 1);
  out->triNodes = static_cast<int*>(std::malloc(sizeof(int) * (out->nbrTri * out->triSize + 1)));
  out->triLinks = static_cast<int*>(std::malloc(sizeof(int) * (out->nbrTri * 3 + 1)));
  out->quaNodes = static_cast<int*>(std::malloc(sizeof(int) * (out->nbrQua * out->quaSize + 1)));
  out->quaLinks = static_cast<int*>(std::malloc(sizeof(int) * (out->nbrQua * 3 + 1)));
  if (!out->triNodes || !out->triLinks || !out->quaNodes || !out->quaLinks) return false;
  int tri = 0, qua = 0;
  zel::forEachHashEntry(table, [&](ZelHashEntry* entry) {
    if (entry->tag != kOnce) return;
    const int element = group.valid[entry->data >> 3], face = entry->data & 7;
    const std::vector<int>& local = info.topology->faces[face];
    const int* volume = elementNodes(info, element);
    const bool triangle = entry->nbrKeys == 3;
    int& n = triangle ? tri : qua;
    int* nodes = (triangle ? out->triNodes : out->quaNodes) + static_cast<size_t>(n) * local.size();
    int* links = (triangle ? out->triLinks : out->quaLinks) + 3 * n;
    for (size_t k = 0; k < local.size(); ++k) nodes[k] = volume[local[k]];
    links[0] = info.typ;
    links[1] = element;
    links[2] = face;
    ++n;
  });
  return true;
}

bool extractGroup(ZelObject* object, const TypeInfo& info, const ZelRefGroup& group,
                  ZelFaceMark* triMarks, ZelFaceMark* quaMarks, ZelSurfaceGroup* out) {
  if (group.nbrValid > kMaxGroupElements) return false;
  const int inserted = group.nbrValid * info.topology->nbrFaces;
  // Most faces of a mesh are met twice: half of them is the first pool.
  ZelHashTable* table = zel_NewHashTable(std::max(inserted, 1), inserted / 2 + 1024);
  bool ok = table && countFaces(table, info, group);
  if (ok) {
    markMeshFaces(object, table, info, group, EntityType::Triangle, triMarks);
    markMeshFaces(object, table, info, group, EntityType::Quadrilateral, quaMarks);
    ok = emitFaces(table, info, group, out);
  }
  zel_FreeHashTable(table);
  return ok;
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
  if (count < 1 || !info.nodes || !refs) return ZEL_SUCCESS;
  int nbrRefs = 0;
  int* sortedRefs = nullptr;
  ZelRefGroup* refGroups =
      zel_GroupByReference(typ, info.nbrVer, count, info.nodes + perElement,
                           info.nodes + static_cast<size_t>(count) * perElement, refs + 1,
                           refs + count, &nbrRefs, &sortedRefs, status);
  if (!refGroups) return ZEL_FAILURE;
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
  return ZEL_SUCCESS;
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
