// ZelObject: creation, release, accessors, bounding box and statistics print.
#include "meshio/zel_object.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

#include "meshio/entity_catalogue.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace zel {

bool entitySlot(ZelObject* object, int typ, EntitySlot* slot) {
  if (typ == EntityType::Corner) {
    *slot = {&object->capacity1[kSlotCorners], &object->count1[kSlotCorners], &object->corners,
             &object->cornerRefs, nullptr};
    return true;
  }
  int element = -1;
  if (typ >= 3 && typ <= 10 && typ != 5) {
    static const int kLinearElement[8] = {0, 1, -1, 2, 3, 4, 5, 6};  // codes 3..10
    static const int kLinearSlot[8] = {kSlotEdges,          kSlotTriangles,  -1,
                                       kSlotQuadrilaterals, kSlotTetrahedra, kSlotPyramids,
                                       kSlotPrisms,         kSlotHexahedra};
    element = kLinearElement[typ - 3];
    slot->capacity = &object->capacity1[kLinearSlot[typ - 3]];
    slot->count = &object->count1[kLinearSlot[typ - 3]];
  } else if (typ >= 11 && typ <= 31) {
    const int degree = (typ - 11) / 7 + 2, shape = (typ - 11) % 7;
    element = 7 + 3 * shape + (degree - 2);
    slot->capacity = &object->degreeCounts[degree - 2][0][shape];
    slot->count = &object->degreeCounts[degree - 2][1][shape];
  } else {
    return false;
  }
  slot->nodes = &object->elements[element].nodes;
  slot->refs = &object->elements[element].refs;
  slot->solutions = &object->elements[element].solutions;
  return true;
}

void* allocateMeshArray(size_t bytes) {
  constexpr size_t kHugePage = size_t(2) << 20;
  if (bytes < 2 * kHugePage) return std::malloc(bytes ? bytes : 1);
  void* memory = nullptr;
  if (posix_memalign(&memory, kHugePage, bytes) != 0) return nullptr;
  madvise(memory, bytes, MADV_HUGEPAGE);  // a hint: failure only costs speed
  return memory;
}

void freeSolutionList(ZelSolution** head) {
  while (*head) {
    ZelSolution* next = (*head)->next;
    if ((*head)->own) std::free((*head)->val);
    std::free((*head)->aux);
    std::free(*head);
    *head = next;
  }
}

}  // namespace zel

int zel_NewInterface(ZelObject** object) {
  if (!object) return zel::kFailure;
  *object = static_cast<ZelObject*>(std::calloc(1, sizeof(ZelObject)));
  return *object ? zel::kSuccess : zel::kFailure;
}

int zel_FreeInterface(ZelObject** object) {
  if (!object || !*object) return zel::kFailure;
  ZelObject* mesh = *object;
  std::free(mesh->normals);
  std::free(mesh->coordinates);
  std::free(mesh->vertexRefs);
  zel::freeSolutionList(&mesh->vertexSolutions);
  std::free(mesh->corners);
  std::free(mesh->cornerRefs);
  for (ZelElementArrays& kind : mesh->elements) {
    std::free(kind.nodes);
    std::free(kind.refs);
    zel::freeSolutionList(&kind.solutions);
  }
  std::free(mesh);
  *object = nullptr;
  return zel::kSuccess;
}

int zel_GetDimension(ZelObject* object, int* dim, char* status) {
  if (!status) return zel::kFailure;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!dim) return zel::setStatus(status, "NULL (dim)   parameter on input\n");
  *dim = object->dim;
  return zel::kSuccess;
}

int zel_GetNumberOfEntities(ZelObject* object, int typ, int* nbrEnt, char* status) {
  if (!status) return zel::kFailure;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!nbrEnt) return zel::setStatus(status, "NULL (nbrEnt)   parameter on input\n");
  *nbrEnt = 0;
  if (typ == EntityType::Any) return zel::kSuccess;
  zel::EntitySlot slot;
  if (typ == EntityType::Vertex) {
    *nbrEnt = zel::vertexCount(object);
  } else if (zel::entitySlot(object, typ, &slot)) {
    *nbrEnt = *slot.count;
  } else {
    return zel::setStatus(status, "zel_GetNumberOfEntities is undefined for Typ %d !\n", typ);
  }
  return zel::kSuccess;
}

void* zel_GetIndicesArray(ZelObject* object, int typ, int* nbrEnt, int* nodesPerEntity,
                          char* status) {
  if (!status) return nullptr;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n"), nullptr;
  if (!nbrEnt || !nodesPerEntity)
    return zel::setStatus(status, "NULL (nbrEnt)   parameter on input\n"), nullptr;
  zel::EntitySlot slot;
  *nbrEnt = 0;
  *nodesPerEntity = 1;
  if (typ == EntityType::Vertex) {
    *nbrEnt = zel::vertexCount(object);
    return object->coordinates;
  }
  if (typ == EntityType::NormalAtVertex) {
    *nbrEnt = object->nbrNormals;
    return object->normals;
  }
  if (!zel::entitySlot(object, typ, &slot)) {
    zel::setStatus(status, " zel_GetIndicesArray is undefined for Typ %d !\n", typ);
    return nullptr;
  }
  *nbrEnt = *slot.count;
  *nodesPerEntity = typ == EntityType::Corner ? 1 : zel_Typ2Siz(typ);
  return *slot.nodes;
}

int* zel_GetReferenceArray(ZelObject* object, int typ, char* status) {
  if (!status) return nullptr;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n"), nullptr;
  zel::EntitySlot slot;
  if (typ == EntityType::Vertex) return object->vertexRefs;
  if (zel::entitySlot(object, typ, &slot)) return *slot.refs;
  zel::setStatus(status, " zel_GetReferenceArray is undefined for Typ %d !\n", typ);
  return nullptr;
}

int zel_GetBoundingBox(ZelObject* object, double* bbox, char* status) {
  if (!status) return zel::kFailure;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n");
  if (!bbox) return zel::setStatus(status, "NULL (bbox)   parameter on input\n");
  for (int k = 0; k < 6; ++k) bbox[k] = 0;
  const int count = zel::vertexCount(object);
  if (count < 1 || !object->coordinates) return zel::kSuccess;
  const double* crd = object->coordinates;
  for (int axis = 0; axis < 3; ++axis) bbox[2 * axis] = bbox[2 * axis + 1] = crd[3 + axis];
  for (int v = 2; v <= count; ++v) {
    for (int axis = 0; axis < 3; ++axis) {
      const double x = crd[3 * v + axis];
      if (x < bbox[2 * axis]) bbox[2 * axis] = x;
      if (x > bbox[2 * axis + 1]) bbox[2 * axis + 1] = x;
    }
  }
  return zel::kSuccess;
}

void zel_PrintStatistics(ZelObject* object) {
  if (!object) return;
  struct Line {
    int typ;
    const char* label;
  };
  static const Line kLines[] = {
      {1, "Vertices"},
      {2, "Corners"},
      {3, "Edges"},
      {11, "P2-Edges"},
      {18, "P3-Edges"},
      {25, "P4-Edges"},
      {4, "Triangles"},
      {12, "P2-Triangles"},
      {19, "P3-Triangles"},
      {26, "P4-Triangles"},
      {6, "Quadrilaterals"},
      {13, "Q2-Quadrilaterals"},
      {20, "Q3-Quadrilaterals"},
      {27, "Q4-Quadrilaterals"},
      {7, "Tetrahedra"},
      {14, "P2-Tetrahedra"},
      {21, "P3-Tetrahedra"},
      {28, "P4-Tetrahedra"},
      {9, "Prisms"},
      {17, "P2-Prisms"},
      {24, "P3-Prisms"},
      {31, "P4-Prisms"},
      {10, "Hexahedra"},
      {15, "Q2-Hexahedra"},
      {22, "Q3-Hexahedra"},
      {29, "Q4-Hexahedra"},
      {8, "Pyramids"},
      {16, "P2-Pyramids"},
      {23, "P3-Pyramids"},
      {30, "P4-Pyramids"},
  };
  char status[zel::kStatusSize];
  zel::printMessage("  Dimension %d  \n", object->dim);
  for (const Line& line : kLines) {
    int count = 0;
    zel_GetNumberOfEntities(object, line.typ, &count, status);
    if (count > 0) zel::printMessage("  Number Of %-19s%12d \n", line.label, count);
  }
  double box[6];
  zel_GetBoundingBox(object, box, status);
  zel::printMessage("  x:[%lg %lg] y:[%lg %lg] z:[%lg %lg]\n\n", box[0], box[1], box[2], box[3],
                    box[4], box[5]);
}
