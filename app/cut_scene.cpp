// Cut objects: faces of crossed elements, capping polygons and their solutions.
#include "app/cut_scene.h"

#include <algorithm>
#include <cstdlib>

#include "app/field_values.h"
#include "capping/boundary_faces.h"
#include "capping/capping.h"
#include "meshio/entity_catalogue.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"

namespace {

using namespace EntityType;

// Kinds of the main plane [0] and of user planes [1], triangles then quadrilaterals, by degree.
const int kCutKinds[2][2][4] = {
    {{DrawKind::CutTriangle, DrawKind::CutTriangleP2, DrawKind::CutTriangleP3,
      DrawKind::CutTriangleP4},
     {DrawKind::CutQuadrilateral, DrawKind::CutQuadrilateralQ2, DrawKind::CutQuadrilateralQ3,
      DrawKind::CutQuadrilateralQ4}},
    {{DrawKind::UsrCutTriangle, DrawKind::UsrCutTriangleP2, DrawKind::UsrCutTriangleP3,
      DrawKind::UsrCutTriangleP4},
     {DrawKind::UsrCutQuadrilateral, DrawKind::UsrCutQuadrilateralQ2,
      DrawKind::UsrCutQuadrilateralQ3, DrawKind::UsrCutQuadrilateralQ4}}};
// The reference every capping polygon carries in its origin triple.
constexpr int kCapReference = 1000;

struct ElementList {
  int count = 0;
  int* numbers = nullptr;
  ~ElementList() { std::free(numbers); }
};

// The eight arrays of one capping, freed together.
struct CapResult {
  int nbrTri = 0, nbrQua = 0;
  double *triCrd = nullptr, *triRef = nullptr, *quaCrd = nullptr, *quaRef = nullptr;
  int *triInf = nullptr, *quaInf = nullptr;
  ~CapResult() {
    for (void* p :
         {static_cast<void*>(triCrd), static_cast<void*>(triRef), static_cast<void*>(quaCrd),
          static_cast<void*>(quaRef), static_cast<void*>(triInf), static_cast<void*>(quaInf)})
      std::free(p);
  }
};

int countOf(ZelObject* mesh, int typ) {
  char status[zel::kStatusSize] = {};
  int count = 0;
  zel_GetNumberOfEntities(mesh, typ, &count, status);
  return count;
}

// The type's distinct element references, ascending.
std::vector<int> referencesOf(ZelObject* mesh, int typ, int count) {
  char status[zel::kStatusSize] = {};
  const int* refs = zel_GetReferenceArray(mesh, typ, status);
  std::vector<int> distinct;
  if (!refs) return distinct;
  for (int e = 1; e <= count; ++e)
    if (distinct.empty() || refs[e] != distinct.back()) distinct.push_back(refs[e]);
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  return distinct;
}

// Geometry of an object: `count` entities of `perEntity` nodes; `coords` 1-based for the
// nodes, `nodes` without the empty first block (added here). Zero entities empty and hide it.
void setFaces(zel::SceneModel& model, ZelDrawObject* object, int vertexCount, const double* coords,
              int count, int perEntity, const int* nodes, const int* origins) {
  std::vector<int> block(size_t(perEntity), 0);
  if (count > 0) block.insert(block.end(), nodes, nodes + size_t(count) * size_t(perEntity));
  model.attachData(object, count > 0 ? vertexCount : 0, coords, count, block.data(), nullptr, 0);
  object->setEntityOrigins(count > 0 ? origins : nullptr);
  object->setVisible(count > 0);
  if (count == 0) model.detachSolution(object);
}

// Attaches `values` (entities x nodes) to the object, or takes its solution off when there are
// none; a count that does not fit the object prints "error\n" and attaches nothing.
void attachValues(const CutTarget& target, ZelDrawObject* object, const FieldValues& field) {
  target.model->detachSolution(object);
  if (field.nodesPerEntity == 0 || object->entityCount() == 0) return;
  if (field.values.size() != size_t(object->entityCount()) * size_t(field.nodesPerEntity)) {
    zel::printMessage("error\n");
    return;
  }
  target.model->attachSolution(new ZelDrawSolution(object->reference()), object, target.palette,
                               field.values.data(), object->entityCount(), field.nodesPerEntity);
}

}  // namespace

ZelDrawObject* CutScene::find(const Objects& objects, int shape, int key) {
  const auto it = objects.faces[shape].find(key);
  return it == objects.faces[shape].end() ? nullptr : it->second.object;
}

std::vector<ZelDrawObject*> CutScene::userObjects(int user) const {
  std::vector<ZelDrawObject*> objects;
  if (user < 0 || size_t(user) >= m_users.size()) return objects;
  for (const auto& shape : m_users[size_t(user)].faces)
    for (const auto& entry : shape) objects.push_back(entry.second.object);
  return objects;
}

void CutScene::forget() {
  m_main = Objects();
  m_users.clear();
  m_capped = false;
}

void CutScene::forgetIfCleared(const CutTarget& target) {
  bool held = true;
  auto check = [&](const Objects& objects) {
    for (const auto& shape : objects.faces)
      for (const auto& entry : shape) {
        const Slot& s = entry.second;
        // The kind is read only from an object the scene still holds; another object at a
        // freed object's address has another kind unless this scene made it.
        held = held && s.object && target.model->contains(s.object) && s.object->kind() == s.kind;
      }
  };
  check(m_main);
  for (const Objects& objects : m_users) check(objects);
  if (!held) forget();
}

CutScene::Slot& CutScene::slot(const CutTarget& target, Objects& objects, bool user, int shape,
                               int degree, int key, int reference) {
  Slot& s = objects.faces[shape][key];
  if (!s.object) {
    s.kind = kCutKinds[user][shape][degree - 1];
    s.object = ZelDrawObject::create(s.kind, reference);
    target.model->addObject(s.object);
    if (s.object) s.object->setPalette(target.palette);
  }
  return s;
}

void CutScene::buildType(const CutTarget& target, const double plane[4], Objects& objects,
                         bool user, int degree, int typeIndex) {
  ZelObject* mesh = target.mesh;
  const int typ = kVolumeTypes[degree - 1][typeIndex];
  const int count = countOf(mesh, typ);
  if (count == 0) return;
  char status[zel::kStatusSize] = {};
  ElementList crossed;
  zel_GetCutEntities(mesh, plane, typ, &crossed.count, &crossed.numbers, status);
  const int* refs = zel_GetReferenceArray(mesh, typ, status);
  const std::vector<int> references = referencesOf(mesh, typ, count);
  int vertexCount = 0, k = 0;
  const double* coords =
      static_cast<const double*>(zel_GetIndicesArray(mesh, Vertex, &vertexCount, &k, status));
  std::vector<int> ofReference;
  for (size_t i = 0; i < references.size(); ++i) {
    ofReference.clear();
    for (int c = 0; c < crossed.count; ++c)
      if (refs[crossed.numbers[c]] == references[i]) ofReference.push_back(crossed.numbers[c]);
    ZelSurfaceGroup group{};
    if (zel_ExtractElementFaces(mesh, typ, references[i], int(ofReference.size()),
                                ofReference.data(), &group, status) != 0) {
      zel::printMessage("  %s", status);
      continue;
    }
    const int counts[2] = {group.nbrTri, group.nbrQua}, sizes[2] = {group.triSize, group.quaSize};
    const int* nodes[2] = {group.triNodes, group.quaNodes};
    const int* links[2] = {group.triLinks, group.quaLinks};
    for (int shape = 0; shape < 2; ++shape) {
      const int objectKey = key(typeIndex, degree, int(i));
      // An object that never had faces is not created for nothing.
      if (counts[shape] == 0 && !find(objects, shape, objectKey)) continue;
      Slot& s = slot(target, objects, user, shape, degree, objectKey, references[i]);
      if (!s.object) continue;
      s.volumeType = typ;
      s.faceType = kFaceTypes[shape][degree - 1];
      s.faceSize = sizes[shape];
      s.faceNodes.assign(nodes[shape], nodes[shape] + size_t(counts[shape]) * size_t(sizes[shape]));
      s.links.assign(links[shape], links[shape] + 3 * size_t(counts[shape]));
      setFaces(*target.model, s.object, vertexCount, coords, counts[shape], sizes[shape],
               nodes[shape], links[shape]);
      if (counts[shape] > 0)
        attachValues(
            target, s.object,
            faceFieldValues(mesh, typ, s.faceType, target.field, s.faceNodes, s.faceSize, s.links));
    }
    zel_FreeSurfaceGroupArrays(&group);
  }
}

void CutScene::buildCutObjects(const CutTarget& target, const double plane[4], int user,
                               int degree) {
  if (!target.mesh || !target.model || degree < 1 || degree > 4) return;
  forgetIfCleared(target);
  Objects* objects = &m_main;
  if (user >= 0) {
    if (size_t(user) >= m_users.size()) m_users.resize(size_t(user) + 1);
    objects = &m_users[size_t(user)];
  }
  for (int t = 0; t < 4; ++t) buildType(target, plane, *objects, user >= 0, degree, t);
}

void CutScene::updateCutPlane(const CutTarget& target, const double plane[4]) {
  zel::printMessage("CutPlane Equation %f %f %f %f \n", plane[0], plane[1], plane[2], plane[3]);
  m_capped = false;
  for (int degree = 1; degree <= 4; ++degree) buildCutObjects(target, plane, -1, degree);
}

void CutScene::capType(const CutTarget& target, const double plane[4], int typeIndex, bool curved,
                       std::vector<int>* written) {
  ZelObject* mesh = target.mesh;
  const int degree = curved ? 2 : 1, typ = kVolumeTypes[degree - 1][typeIndex];
  const int count = countOf(mesh, typ);
  if (count == 0) return;
  char status[zel::kStatusSize] = {};
  ElementList crossed;
  CapResult cap;
  zel_GetCutEntities(mesh, plane, typ, &crossed.count, &crossed.numbers, status);
  const auto capping = curved ? zel_CappingHighOrder : zel_capping;
  if (capping(mesh, plane, typ, crossed.count, crossed.numbers, &cap.nbrTri, &cap.triCrd,
              &cap.triRef, &cap.triInf, &cap.nbrQua, &cap.quaCrd, &cap.quaRef, &cap.quaInf,
              status) != 0) {
    zel::printMessage("  %s", status);
    return;
  }
  const int objectKey = key(typeIndex, degree, 0);
  const int reference = referencesOf(mesh, typ, count).front();
  const int counts[2] = {cap.nbrTri, cap.nbrQua};
  const int* infos[2] = {cap.triInf, cap.quaInf};
  const double* crds[2] = {cap.triCrd, cap.quaCrd};
  for (int shape = 0; shape < 2; ++shape) {
    if (counts[shape] == 0 && !find(m_main, shape, objectKey)) continue;
    Slot& s = slot(target, m_main, false, shape, degree, objectKey, reference);
    if (!s.object) continue;
    written->push_back(2 * objectKey + shape);
    // Each polygon has its own points: the nodes are 1, 2, 3, ... in order.
    const int perFace = (shape == 0 ? 3 : 4) + (curved ? 3 + 2 * shape : 0);
    std::vector<int> nodes(size_t(counts[shape]) * size_t(perFace));
    for (size_t n = 0; n < nodes.size(); ++n) nodes[n] = int(n) + 1;
    std::vector<int> origins(3 * size_t(counts[shape]));
    for (int f = 0; f < counts[shape]; ++f) {
      origins[3 * size_t(f)] = typ;
      origins[3 * size_t(f) + 1] = infos[shape][3 * (f + 1) + 1];
      origins[3 * size_t(f) + 2] = kCapReference;
    }
    s = Slot{s.object, s.kind, 0, 0, {}, 0, {}};
    // Polygon j (1-based) holds its points from 3 perFace j: point p of the node numbering
    // (p = perFace (j - 1) + k + 1) lies 3 (perFace - 1) entries before 3 p.
    setFaces(*target.model, s.object, int(nodes.size()), crds[shape] + 3 * (perFace - 1),
             counts[shape], perFace, nodes.data(), origins.data());
  }
  if (!curved)
    capSolutions(target, typ, cap.nbrTri, cap.triRef, cap.triInf, cap.nbrQua, cap.quaRef,
                 cap.quaInf);
}

void CutScene::capSolutions(const CutTarget& target, int volumeType, int nbrTri,
                            const double* triRef, const int* triInf, int nbrQua,
                            const double* quaRef, const int* quaInf) {
  const int typeIndex =
      int(std::find(kVolumeTypes[0], kVolumeTypes[0] + 4, volumeType) - kVolumeTypes[0]);
  ZelDrawObject* objects[2] = {find(m_main, 0, key(typeIndex, 1, 0)),
                               find(m_main, 1, key(typeIndex, 1, 0))};
  FieldValues values[2];
  bool sizeError = false;
  cappingFieldValues(target.mesh, volumeType, target.field, nbrTri, triRef, triInf, nbrQua, quaRef,
                     quaInf, &values[0], &values[1], &sizeError);
  if (sizeError) zel::printMessage("error\n");
  for (int shape = 0; shape < 2; ++shape)
    if (objects[shape] && objects[shape]->entityCount() > 0)
      attachValues(target, objects[shape], values[shape]);
}

void CutScene::updateCapping(const CutTarget& target, const double plane[4]) {
  zel::printMessage("CutPlane Equation %f %f %f %f \n", plane[0], plane[1], plane[2], plane[3]);
  if (!target.mesh || !target.model) return;
  forgetIfCleared(target);
  std::vector<int> written;
  for (int t = 0; t < 4; ++t) capType(target, plane, t, false, &written);
  capType(target, plane, 0, true, &written);
  for (int degree = 2; degree <= 4; ++degree)
    for (int t = 0; t < 4; ++t) {
      const int typ = kVolumeTypes[degree - 1][t];
      if (typ != TetrahedronP2 && countOf(target.mesh, typ) > 0)
        zel::printMessage("Capping not done for element %s of degree > 1 \n", zel_EntTypName(typ));
    }
  // Faces of an earlier cut-plane update must not stay beside the capping.
  for (int shape = 0; shape < 2; ++shape)
    for (auto& [objectKey, s] : m_main.faces[shape]) {
      if (std::find(written.begin(), written.end(), 2 * objectKey + shape) != written.end())
        continue;
      setFaces(*target.model, s.object, 0, nullptr, 0, 1, nullptr, nullptr);
    }
  std::copy(plane, plane + 4, m_plane);
  m_capped = true;
}

void CutScene::refreshSolutions(const CutTarget& target) {
  if (!target.mesh || !target.model) return;
  forgetIfCleared(target);
  auto refresh = [&](Objects& objects) {
    for (int shape = 0; shape < 2; ++shape)
      for (auto& entry : objects.faces[shape]) {
        Slot& s = entry.second;
        if (s.volumeType == 0 || s.object->entityCount() == 0) continue;
        attachValues(target, s.object,
                     faceFieldValues(target.mesh, s.volumeType, s.faceType, target.field,
                                     s.faceNodes, s.faceSize, s.links));
      }
  };
  refresh(m_main);
  for (Objects& objects : m_users) refresh(objects);
  // The caps keep no reference coordinates: the capping of the same plane is built again.
  if (m_capped) {
    std::vector<int> written;
    for (int t = 0; t < 4; ++t) capType(target, m_plane, t, false, &written);
  }
}
