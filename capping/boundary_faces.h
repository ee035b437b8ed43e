// Boundary faces of the volume elements of a mesh, per volume type and element reference, for
// the surface objects of the scene; the mesh's own triangles and quadrilaterals that coincide
// with such faces are marked instead of being emitted again.
#pragma once

#include "meshio/face_values.h"
#include "meshio/zel_object.h"

// The boundary faces of the elements of one reference.
struct ZelSurfaceGroup {
  int ref;        // the element reference
  int nbrTri;     // triangles kept
  int triSize;    // nodes per triangle at the type's degree d: (d+1)(d+2)/2
  int* triNodes;  // nbrTri * triSize vertex numbers (1-based), triangle j at j * triSize, in the
                  // triangle's node order, oriented outward (counter-clockwise seen from outside)
  int* triLinks;  // 3 per triangle: volume type, element number (1-based), local face number
  int nbrQua;     // the same for quadrilaterals, (d+1)^2 nodes each
  int quaSize;
  int* quaNodes;
  int* quaLinks;
};

// Extracts, for the volume type typ (7..31, any degree d), the faces that belong to exactly one
// valid element of the same type and the same reference (faces are compared by their sorted
// vertex numbers; a face shared with an element of another volume type is kept). Elements with
// a node index outside 1..number of vertices are skipped (never dereferenced) and counted in
// *nbrInvalid (may be null).
// triMarks and quaMarks (either may be null) are the face-marking arrays of the mesh triangles
// and quadrilaterals of degree d, count + 1 entries each, zeroed by the caller before the first
// type. A kept face that coincides with mesh face m is not emitted; instead, unless entry m is
// already marked, it receives {m, element, local face, orientation codes, typ} (codes of
// meshio/face_values.h: the mesh face's node of row r is the volume face's node of row M(r)).
// On success returns 0 and a malloc'd array of *nbrGroups groups in ascending reference order
// (none for a type without elements); the caller frees it with zel_FreeSurfaceGroups. Returns 2
// with a message in the status buffer for a type that is not a volume type or when memory runs
// out (nothing is then returned).
int zel_ExtractBoundaryFaces(ZelObject* object, int typ, ZelFaceMark* triMarks,
                             ZelFaceMark* quaMarks, int* nbrGroups, ZelSurfaceGroup** groups,
                             int* nbrInvalid, char* status);

// The faces that belong to exactly one of the listed elements of volume type typ: numbers holds
// count element numbers (1-based, ascending, each naming vertices only, as zel_GetCutEntities
// lists them), all taken as one group of reference ref. No mesh face is marked. Fills *group
// (its arrays malloc'd; the caller frees them with zel_FreeSurfaceGroupArrays) and returns 0;
// returns 2 with a message for a type that is not a volume type, an element outside the type's
// count or when memory runs out.
int zel_ExtractElementFaces(ZelObject* object, int typ, int ref, int count, const int* numbers,
                            ZelSurfaceGroup* group, char* status);
// Frees the four arrays of one group and empties it.
void zel_FreeSurfaceGroupArrays(ZelSurfaceGroup* group);
// Frees the arrays of every group and the group array (null does nothing).
void zel_FreeSurfaceGroups(ZelSurfaceGroup* groups, int nbrGroups);
