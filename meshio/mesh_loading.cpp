// zel_OpenMesh: finds the mesh file, installs the node renumberings its ordering keywords
// declare, and reads every entity kind with one block read straight into its final arrays.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_file.h"
#include "meshio/loader_files.h"
#include "meshio/mesh_keywords.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace {

namespace Kwd = zel::Kwd;
using zel::KindToLoad;
using zel::kKinds;
using zel::kOrderings;
using zel::OrderingToLoad;

using FileHandle = zel::KeywordFileHandle;
using zel::LoadProblems;

// Opens the name as given, else with ".meshb" then ".mesh" appended (unless it contains
// ".mesh"). On failure writes the could-not-open message, followed on its own indented line
// by the reason when a candidate exists but is no readable mesh file.
FileHandle openMeshFile(const char* fileName, std::string* opened, char* status) {
  std::vector<std::string> candidates = {fileName};
  const bool named = std::strstr(fileName, ".mesh") != nullptr;
  if (!named) {
    candidates.push_back(std::string(fileName) + ".meshb");
    candidates.push_back(std::string(fileName) + ".mesh");
  }
  std::string reason;
  FileHandle file = zel::openFirstCandidate(candidates, zel::kFileMesh, opened, &reason);
  if (file) return file;
  const std::string why = reason.empty() ? "" : "  " + reason + "\n";
  if (named)
    zel::setStatus(status, "Cannot open mesh file %s\n%s", fileName, why.c_str());
  else
    zel::setStatus(status, "Cannot open mesh file %s.[mesh[b]]\n%s", fileName, why.c_str());
  return nullptr;
}

// Reads the ordering keywords and installs their renumberings. An ordering that has the wrong
// number of rows, cannot be read or is no permutation of the default order is ignored with a
// warning: its elements keep the file's order, taken as the default one.
void installOrderings(zel::KeywordFile* file, LoadProblems* problems) {
  for (const OrderingToLoad& pair : kOrderings) {
    const int64_t rows = zel::keywordStatistics(file, pair.ordering);
    if (rows == 0) continue;
    int nodes = 0, width = 0;
    const int* defaults = zel_Typ2Ordering(pair.typ, &nodes, &width);
    const char* name = zel::kKeywordTable[pair.ordering].name;
    if (rows != nodes) {
      problems->addAbout("%s has %lld lines, the element has %d nodes; default node order used",
                         name, static_cast<long long>(rows), nodes);
      continue;
    }
    std::vector<int> table(static_cast<size_t>(nodes * width));
    zel::BlockField field{zel::kFieldInt32Vector, &table[0], &table[(nodes - 1) * width], width};
    if (!zel::getBlock(file, pair.ordering, 1, rows, &field, 1) ||
        !zel::setRenumbering(file, pair.elements, defaults, table.data()))
      problems->add(file->error + "; default node order used");
  }
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
// Allocation failure is the only failure (false, status set); a block that cannot be read
// is reported to problems and leaves *verticesRead false.
bool loadVertices(ZelObject* object, zel::KeywordFile* file, int64_t count, char* status,
                  LoadProblems* problems, bool* verticesRead) {
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
  object->capacity1[kSlotVertices] = object->count1[kSlotVertices] = static_cast<int>(count);
  if (count == 0) return true;
  zel::BlockField fields[2] = {
      {zel::kFieldReal64Vector, &crd[3], &crd[3 * count], file->dimension},
      {zel::kFieldInt32, &object->vertexRefs[1], &object->vertexRefs[count]}};
  if (!zel::getBlock(file, Kwd::Vertices, 1, count, fields, 2)) {
    // The count stays as the header says; none of the block's values is kept.
    std::memset(crd + 3, 0, static_cast<size_t>(count) * 3 * sizeof(double));
    std::memset(object->vertexRefs + 1, 0, static_cast<size_t>(count) * sizeof(int));
    problems->add(file->error);
    return true;
  }
  if (file->dimension == 2)
    for (int64_t v = 1; v <= count; ++v) crd[3 * v + 2] = 0;
  *verticesRead = true;
  return true;
}

// Loads one element kind (or the corners) with one block read into its final arrays.
// Allocation failure is the only failure (false, status set); a block that cannot be read
// is reported to problems.
bool loadKind(ZelObject* object, zel::KeywordFile* file, const KindToLoad& kind, int64_t count,
              char* status, LoadProblems* problems) {
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
      // The count stays as the header says; node 0 marks every element invalid.
      std::memset(indices + nodes, 0, static_cast<size_t>(count) * nodes * sizeof(int));
      std::memset(refs + 1, 0, static_cast<size_t>(count) * sizeof(int));
      problems->add(file->error);
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

// Line count of a keyword as an entity count: one beyond INT_MAX - 1 is dropped (count 0).
int64_t entityCount(zel::KeywordFile* file, int keyword, LoadProblems* problems) {
  const int64_t count = zel::keywordStatistics(file, keyword);
  if (count < INT_MAX) return count;
  problems->addAbout("%s has %lld lines, too many entities; keyword ignored",
                     zel::kKeywordTable[keyword].name, static_cast<long long>(count));
  return 0;
}

// Sets every count and capacity to 0, so that a failed allocation never leaves a count over
// arrays of another size.
void clearCounts(ZelObject* object) {
  object->capacity1[kSlotVertices] = object->count1[kSlotVertices] = 0;
  for (const KindToLoad& kind : kKinds) {
    zel::EntitySlot slot;
    zel::entitySlot(object, kind.typ, &slot);
    *slot.capacity = *slot.count = 0;
  }
}

}  // namespace

int zel_OpenMesh(ZelObject* object, const char* fileName, char* status) {
  if (!status) return zel::kFailure;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!fileName) return zel::setStatus(status, "NULL (MshFile)   parameter on input\n");
  std::string opened;
  FileHandle file = openMeshFile(fileName, &opened, status);
  if (!file) return zel::kFailure;
  zel::echoStatus(status, opened.c_str());
  object->dim = file->dimension;
  clearCounts(object);
  LoadProblems problems(file.get());
  installOrderings(file.get(), &problems);
  bool verticesRead = false;
  if (!loadVertices(object, file.get(), entityCount(file.get(), Kwd::Vertices, &problems), status,
                    &problems, &verticesRead))
    return zel::kFailure;
  for (const KindToLoad& kind : kKinds) {
    if (!loadKind(object, file.get(), kind, entityCount(file.get(), kind.keyword, &problems),
                  status, &problems))
      return zel::kFailure;
  }
  // What reads is kept; without vertices nothing of it can be shown, so the load fails then.
  if (!verticesRead && !problems.empty()) return problems.fail(status);
  return zel::kSuccess;
}
