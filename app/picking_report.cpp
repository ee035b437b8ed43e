// Picking reports: the picked primitive mapped to its mesh entity and described on the terminal.
#include "app/picking_report.h"

#include "app/ZelMeshViewer.h"
#include "meshio/entity_catalogue.h"
#include "meshio/zel_object.h"
#include "scene/ZelDrawObject.h"

namespace {

// Capping faces carry this code where boundary and cut faces carry their local face number.
constexpr int kCappingFace = 1000;

void writeVertex(std::ostream& out, ZelObject* mesh, int vertex) {
  out << "Vertex number " << vertex << " picked" << std::endl;
  out << "whose coordinates are [";
  const int dimension = mesh->dim == 2 ? 2 : 3;
  for (int axis = 0; axis < dimension; ++axis)
    out << (axis ? ", " : "") << mesh->coordinates[3 * vertex + axis];
  out << "]" << std::endl;
  out << "Reference " << (mesh->vertexRefs ? mesh->vertexRefs[vertex] : 0) << std::endl;
}

bool exists(ZelObject* mesh, const PickedEntity& entity) {
  char status[zel::kStatusSize] = {};
  int count = 0;
  if (entity.entityType < EntityType::Vertex || entity.number < 1) return false;
  zel_GetNumberOfEntities(mesh, entity.entityType, &count, status);
  return entity.number <= count;
}

// False when the element does not exist in the mesh.
bool writeElement(std::ostream& out, ZelObject* mesh, const PickedEntity& entity) {
  char status[zel::kStatusSize] = {};
  int count = 0, k = 0;
  const int* nodes =
      static_cast<const int*>(zel_GetIndicesArray(mesh, entity.entityType, &count, &k, status));
  const int* refs = zel_GetReferenceArray(mesh, entity.entityType, status);
  if (!nodes || entity.number < 1 || entity.number > count || k < 1) return false;
  out << zel_EntTypName(entity.entityType) << "number " << entity.number
      << (entity.face < 0 ? " picked" : "") << std::endl;
  out << "whose vertices are [";
  for (int i = 0; i < k; ++i) out << (i ? ", " : "") << nodes[size_t(entity.number) * k + i];
  out << "]" << std::endl;
  out << "Reference " << (refs ? refs[entity.number] : 0) << std::endl;
  return true;
}

}  // namespace

bool findPickedEntity(const ZelDrawObject& object, int localIndex, const ObjectSource* source,
                      PickedEntity* entity) {
  if (localIndex < 0) return false;
  if (object.kind() == DrawKind::Vertex) {
    *entity = PickedEntity{EntityType::Vertex, localIndex + 1, -1};
    return true;
  }
  if (object.carriesOrigins()) {
    int origin[3];
    if (!object.getEntityOrigin(localIndex, origin)) return false;
    *entity = PickedEntity{origin[0], origin[1], origin[2]};
    return true;
  }
  if (!source || size_t(localIndex) >= source->elements.size()) return false;
  *entity = PickedEntity{source->entityType, source->elements[size_t(localIndex)], -1};
  return true;
}

bool writePickingReport(std::ostream& out, ZelObject* mesh, const ZelDrawObject& object,
                        int localIndex, const ObjectSource* source, PickedEntity* entity) {
  if (!mesh) return false;
  PickedEntity found;
  const bool known = findPickedEntity(object, localIndex, source, &found) && exists(mesh, found);
  if (object.carriesOrigins()) {
    if (!known) {
      out << "error with a surface element deduced from volume" << std::endl;
      return false;
    }
    if (found.face == kCappingFace) {
      out << "Picking of a capping subelement associated to the following volume element: "
          << std::endl;
    } else {
      out << "Picking of face " << found.face << " of the following volume element: " << std::endl;
    }
  }
  if (!known) return false;
  if (found.entityType == EntityType::Vertex) {
    writeVertex(out, mesh, found.number);
  } else if (!writeElement(out, mesh, found)) {
    return false;
  }
  *entity = found;
  return true;
}
