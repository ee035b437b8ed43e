// Grouping of the entities of one kind by reference number, filtering out the entities whose
// node indices do not name a vertex of the mesh.
#pragma once

// One group per distinct reference.
struct ZelRefGroup {
  int zero;        // always 0
  int nbrValid;    // entities whose every node index lies in 1..number of vertices
  int* valid;      // their entity numbers (1-based, ascending), malloc'd
  int nbrInvalid;  // the others: they must not be drawn or dereferenced
  int* invalid;    // their entity numbers (1-based, ascending), malloc'd
};

// Groups the n entities of type typ by reference. firstNodes/lastNodes point at the node
// indices of entity 1 and entity n, firstRef/lastRef at their references; the strides are the
// pointer differences divided by n - 1 (for n = 1 the natural strides: the type's node count
// and 1). An entity is invalid when any of its zel_Typ2Siz(typ) node indices is below 1 or
// above nbrVer; a corner (type 2) is checked as a one-node entity, vertices (type 1) are never
// invalid and their node pointers are not read.
// Returns an array of *nbrRefs groups in ascending reference order and stores the sorted
// distinct references in *refs; the caller frees both with zel_FreeRefGroups and free().
// Returns null with *nbrRefs = 0 and *refs = null when n < 1, and also, with a message in the
// status buffer, when memory runs out or a pointer is missing.
ZelRefGroup* zel_GroupByReference(int typ, int nbrVer, int n, const int* firstNodes,
                                  const int* lastNodes, const int* firstRef, const int* lastRef,
                                  int* nbrRefs, int** refs, char* status);

// Frees the entity arrays of every group and the group array (null does nothing).
void zel_FreeRefGroups(ZelRefGroup* groups, int nbrGroups);
