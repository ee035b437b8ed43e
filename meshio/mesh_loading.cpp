// zel_OpenMesh: finds the mesh file, installs the node renumberings its ordering keywords
// declare, and reads every entity kind with one block read straight into its final arrays.
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_file.h"
#include "meshio/mesh_keywords.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace {

namespace Kwd = zel::Kwd;
using zel::KindToLoad;
using zel::kKinds;
using zel::kOrderings;
using zel::OrderingToLoad;

struct CloseFile {
  void operator()(zel::KeywordFile* file) const { zel::closeKeywordFile(file); }
};
using FileHandle = std::unique_ptr<zel::KeywordFile, CloseFile>;

bool exists(const std::string& name) {
  struct stat info;
  return stat(name.c_str(), &info) == 0;
}

// Opens the name as given, else with ".meshb" then ".mesh" appended (unless it contains
// ".mesh"). On failure writes the status: the reason when a candidate exists but is
// malformed, else the could-not-open message.
FileHandle openMeshFile(const char* fileName, std::string* opened, char* status) {
  std::vector<std::string> candidates = {fileName};
  const bool named = std::strstr(fileName, ".mesh") != nullptr;
  if (!named) {
    candidates.push_back(std::string(fileName) + ".meshb");
    candidates.push_back(std::string(fileName) + ".mesh");
  }
  std::string malformed;
  for (const std::string& candidate : candidates) {
    std::string error;
    int version = 0, dimension = 0;
    FileHandle file(zel::openKeywordFile(candidate.c_str(), 1, &version, &dimension, &error));
    if (file) {
      *opened = candidate;
      return file;
    }
    if (malformed.empty() && exists(candidate) && !error.empty()) malformed = error;
  }
  if (!malformed.empty())
    zel::setStatus(status, "%s\n", malformed.c_str());
  else if (named)
    zel::setStatus(status, "Cannot open mesh file %s\n", fileName);
  else
    zel::setStatus(status, "Cannot open mesh file %s.[mesh[b]]\n", fileName);
  return nullptr;
}

// Reads the ordering keywords and installs their renumberings.
bool installOrderings(zel::KeywordFile* file, char* status) {
  for (const OrderingToLoad& pair : kOrderings) {
    const int64_t rows = zel::keywordStatistics(file, pair.ordering);
    if (rows == 0) continue;
    int nodes = 0, width = 0;
    const int* defaults = zel_Typ2Ordering(pair.typ, &nodes, &width);
    const char* name = zel::kKeywordTable[pair.ordering].name;
    if (rows != nodes) {
      zel::setStatus(status, "%s: %s has %lld lines, the element has %d nodes\n",
                     file->name.c_str(), name, static_cast<long long>(rows), nodes);
      return false;
    }
    std::vector<int> table(static_cast<size_t>(nodes * width));
    zel::BlockField field{zel::kFieldInt32Vector, &table[0], &table[(nodes - 1) * width], width};
    if (!zel::getBlock(file, pair.ordering, 1, rows, &field, 1) ||
        !zel::setRenumbering(file, pair.elements, defaults, table.data())) {
      zel::setStatus(status, "%s\n", file->error.c_str());
      return false;
    }
  }
  return true;
}

// Frees the kind's arrays and allocates them for count + 1 entities (slot 0 zeroed).
bool allocateKind(int** nodes, int** refs, int64_t count, int nodesPerEntity) {
  std::free(*nodes);
  std::free(*refs);
  const size_t entities = static_cast<size_t>(count) + 1;
  *nodes = static_cast<int*>(zel::allocateMeshArray(entities * nodesPerEntity * sizeof(int)));
  *refs = static_cast<int*>(zel::allocateMeshArray(entities * sizeof(int)));
  if (!*nodes || !*refs) return false;
  std::memset(*nodes, 0, nodesPerEntity * sizeof(int));
  (*refs)[0] = 0;
  return true;
}

// Loads the vertices: coordinates as three doubles (z = 0 in two dimensions) and references.
bool loadVertices(ZelObject* object, zel::KeywordFile* file, int64_t count, char* status) {
  std::free(object->coordinates);
  std::free(object->vertexRefs);
  const size_t entities = static_cast<size_t>(count) + 1;
  object->coordinates = static_cast<double*>(zel::allocateMeshArray(entities * 3 * sizeof(double)));
  object->vertexRefs = static_cast<int*>(zel::allocateMeshArray(entities * sizeof(int)));
  if (!object->coordinates || !object->vertexRefs) {
    zel::setStatus(status, "Allocation failed for vertex-arrays, size %lg Mb\n",
                   entities * 24.0 / 1048576.0);
    return false;
  }
  double* crd = object->coordinates;
  crd[0] = crd[1] = crd[2] = 0;
  object->vertexRefs[0] = 0;
  if (count == 0) return true;
  zel::BlockField fields[2] = {
      {zel::kFieldReal64Vector, &crd[3], &crd[3 * count], file->dimension},
      {zel::kFieldInt32, &object->vertexRefs[1], &object->vertexRefs[count]}};
  if (!zel::getBlock(file, Kwd::Vertices, 1, count, fields, 2)) {
    zel::setStatus(status, "%s\n", file->error.c_str());
    return false;
  }
  if (file->dimension == 2)
    for (int64_t v = 1; v <= count; ++v) crd[3 * v + 2] = 0;
  object->capacity1[kSlotVertices] = object->count1[kSlotVertices] = static_cast<int>(count);
  return true;
}

// Loads one element kind (or the corners) with one block read into its final arrays.
bool loadKind(ZelObject* object, zel::KeywordFile* file, const KindToLoad& kind, int64_t count,
              char* status) {
  zel::EntitySlot slot;
  zel::entitySlot(object, kind.typ, &slot);
  const bool corners = kind.typ == EntityType::Corner;
  const int nodes = corners ? 1 : zel_Typ2Siz(kind.typ);
  if (!allocateKind(slot.nodes, slot.refs, count, nodes)) {
    zel::setStatus(status, "Allocation failed for %s-arrays, size %lg Mb\n", kind.word,
                   (count + 1.0) * nodes * 4.0 / 1048576.0);
    return false;
  }
  int* indices = *slot.nodes;
  int* refs = *slot.refs;
  if (count > 0) {
    zel::BlockField fields[2] = {
        {zel::kFieldInt32Vector, &indices[nodes], &indices[count * nodes], nodes},
        {zel::kFieldInt32, &refs[1], &refs[count]}};
    if (corners) fields[0] = {zel::kFieldInt32, &indices[1], &indices[count]};
    if (!zel::getBlock(file, kind.keyword, 1, count, fields, corners ? 1 : 2)) {
      zel::setStatus(status, "%s\n", file->error.c_str());
      return false;
    }
  }
  if (corners) {  // a corner carries the reference of its vertex
    const int vertices = zel::vertexCount(object);
    for (int64_t c = 1; c <= count; ++c)
      refs[c] = indices[c] >= 1 && indices[c] <= vertices ? object->vertexRefs[indices[c]] : 0;
  }
  *slot.capacity = *slot.count = static_cast<int>(count);
  return true;
}

// Line count of a keyword as an entity count (refused above INT_MAX - 1).
bool entityCount(zel::KeywordFile* file, int keyword, int64_t* count, char* status) {
  *count = zel::keywordStatistics(file, keyword);
  if (*count < INT_MAX) return true;
  zel::setStatus(status, "%s: %s has %lld lines, too many entities\n", file->name.c_str(),
                 zel::kKeywordTable[keyword].name, static_cast<long long>(*count));
  return false;
}

// After a failure every kind not loaded has count 0 and no arrays.
void clearFrom(ZelObject* object, size_t firstKind, bool vertices) {
  if (vertices) {
    object->capacity1[kSlotVertices] = object->count1[kSlotVertices] = 0;
  }
  for (size_t k = firstKind; k < zel::kKindCount; ++k) {
    zel::EntitySlot slot;
    zel::entitySlot(object, kKinds[k].typ, &slot);
    *slot.capacity = *slot.count = 0;
  }
}

}  // namespace

int zel_OpenMesh(ZelObject* object, const char* fileName, char* status) {
  if (!status) return ZEL_FAILURE;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!fileName) return zel::setStatus(status, "NULL (MshFile)   parameter on input\n");
  std::string opened;
  FileHandle file = openMeshFile(fileName, &opened, status);
  if (!file) return ZEL_FAILURE;
  zel::echoStatus(status, opened.c_str());
  object->dim = file->dimension;
  // Counts are cleared first so that a failure never leaves a count over unfilled arrays.
  clearFrom(object, 0, true);
  int64_t count = 0;
  if (!installOrderings(file.get(), status) ||
      !entityCount(file.get(), Kwd::Vertices, &count, status) ||
      !loadVertices(object, file.get(), count, status))
    return ZEL_FAILURE;
  for (const KindToLoad& kind : kKinds) {
    if (!entityCount(file.get(), kind.keyword, &count, status) ||
        !loadKind(object, file.get(), kind, count, status))
      return ZEL_FAILURE;
  }
  return ZEL_SUCCESS;
}
