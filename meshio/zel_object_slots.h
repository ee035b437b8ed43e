// Where each entity type lives inside a ZelObject, and the array allocator of the mesh
// (internal to meshio).
#pragma once

#include <cstddef>

#include "meshio/zel_object.h"

namespace zel {

// Fields of one entity type 2..31 (not 5): the corner type has no solution list.
struct EntitySlot {
  int* capacity;
  int* count;
  int** nodes;
  int** refs;
  ZelSolution** solutions;
};

// False for types other than 2..31 (not 5).
bool entitySlot(ZelObject* object, int typ, EntitySlot* slot);

// Capacity and count of the vertices.
inline int& vertexCount(ZelObject* object) { return object->count1[kSlotVertices]; }

// Allocation of mesh arrays, freed with std::free. Large arrays ask for transparent huge
// pages: filling fresh memory, not reading the file, dominates the load of a big mesh.
void* allocateMeshArray(size_t bytes);

// Frees every solution record of a list and clears its head.
void freeSolutionList(ZelSolution** head);

}  // namespace zel
