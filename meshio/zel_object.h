// ZelObject, the in-memory mesh, and the zel_ interface that creates, releases and reads it.
//
// All arrays are owned by the object, allocated with malloc-compatible allocation and indexed
// from 1: entity i of a kind with n nodes occupies node slots i*n .. i*n+n-1, its reference is
// slot i, and vertex i's coordinates are slots 3i .. 3i+2 (always three doubles; z = 0 in two
// dimensions). Slot 0 exists and holds nothing meaningful; every array has room for count + 1
// entities. Node indices are 1-based vertex numbers in the default node order of the entity
// catalogue. Functions return zel::kSuccess (0) or zel::kFailure (2) with the message in the
// status buffer (zel::kStatusSize characters); nothing is printed except by zel_PrintStatistics.
#pragma once

#include "meshio/entity_types.h"
#include "meshio/status.h"

// One solution field attached to an entity kind (filled by the solution loader).
struct ZelSolution {
  int own;      // 1 when the record owns its value array
  int dim;      // dimension of the mesh
  int nbrEnt;   // number of entities, the count of the carrying kind
  int typ;      // 1 scalar, 2 vector, 3 symmetric matrix, 4 full matrix
  double* aux;  // auxiliary array (freed with the record when set)
  double* val;  // values: (nbrEnt + 1) * nbrNod blocks of the type's size
  int iteration;
  int deg;     // 0 for values per entity, the degree of a high-order field
  int nbrNod;  // nodes per entity (1 for values per entity)
  double time;
  ZelSolution* next;
};

// Node-index array, reference array and solution list of one element kind.
struct ZelElementArrays {
  int* nodes;
  int* refs;
  ZelSolution* solutions;
};

// Order of the linear kinds in capacity1/count1.
enum ZelLinearSlot : int {
  kSlotVertices,
  kSlotCorners,
  kSlotEdges,
  kSlotTriangles,
  kSlotQuadrilaterals,
  kSlotTetrahedra,
  kSlotPyramids,
  kSlotPrisms,
  kSlotHexahedra,
  kLinearSlotCount
};
constexpr int kZelElementKinds = 28;

struct ZelObject {
  int dim;
  // Vertices, corners, edges, triangles, quadrilaterals, tetrahedra, pyramids, prisms,
  // hexahedra (ZelLinearSlot order): capacities, then counts.
  int capacity1[kLinearSlotCount];
  int count1[kLinearSlotCount];
  // Degrees 2, 3, 4 (index degree - 2), each in the order edges, triangles, quadrilaterals,
  // tetrahedra, hexahedra, pyramids, prisms: capacities, then counts.
  int degreeCounts[3][2][7];  // [degree - 2][0 capacities, 1 counts][kind]
  int nbrNormals;
  int* normals;  // one vertex index per normal
  double* coordinates;
  int* vertexRefs;
  ZelSolution* vertexSolutions;
  int* corners;  // one vertex number per corner
  int* cornerRefs;
  // Edges, triangles, quadrilaterals, tetrahedra, pyramids, prisms, hexahedra; then degree
  // 2, 3, 4 edges; 2, 3, 4 triangles; Q2..Q4 quadrilaterals; 2..4 tetrahedra; Q2..Q4
  // hexahedra; 2..4 pyramids; 2..4 prisms.
  ZelElementArrays elements[kZelElementKinds];
};

// Allocates a zeroed object into *object: 0, or 2 when memory runs out (or object is null).
int zel_NewInterface(ZelObject** object);

// Frees every array, every solution list and the object, and clears *object. Safe on an
// object whose load failed halfway. 2 when object or *object is null.
int zel_FreeInterface(ZelObject** object);

// Fills the object from a keyword mesh file. The name is tried as given, then (unless it
// contains ".mesh") with ".meshb" and then ".mesh" appended. On success the name actually
// opened is echoed into the second half of the status buffer. A second load replaces the
// entity arrays kind by kind. Every kind that reads is kept: a keyword the file cannot hold
// (lines that do not fit, a lying header) has count 0, a block whose values cannot be read
// keeps its count with every value 0, an ordering that cannot be used leaves the file's node
// order; each prints one line "  ## WARNING: <file>: <reason>" to standard output. Returns 0
// when the vertices were read (or nothing went wrong); 2 with the message when the file could
// not be opened ("Cannot open mesh file ..." and, on its own indented line, the reason), when
// no vertex could be read (the first warning), or when an allocation failed (the kinds read so
// far stay loaded, every later kind has count 0).
int zel_OpenMesh(ZelObject* object, const char* fileName, char* status);

int zel_GetDimension(ZelObject* object, int* dim, char* status);

// Count of entities of a type: 0 for type 0, the count for 1..31 (not 5), else failure.
int zel_GetNumberOfEntities(ZelObject* object, int typ, int* nbrEnt, char* status);

// The node-index array of a type (int*), or for type 1 the coordinate array (double*, three
// per vertex), for type 2 the corner array and for 128 the normal array (one int each).
// *nbrEnt receives the count and *nodesPerEntity the nodes per entity (1 for 1, 2, 128).
// Returns null on failure. The array stays owned by the object.
void* zel_GetIndicesArray(ZelObject* object, int typ, int* nbrEnt, int* nodesPerEntity,
                          char* status);

// The reference array of a type 1..31 (not 5), owned by the object; null otherwise.
int* zel_GetReferenceArray(ZelObject* object, int typ, char* status);

// Per-axis minimum and maximum of the vertex coordinates: x min, x max, y min, y max, z min,
// z max; all 0 with no vertex.
int zel_GetBoundingBox(ZelObject* object, double* bbox, char* status);

// Prints the dimension, one line per type with a positive count and the bounding box.
void zel_PrintStatistics(ZelObject* object);
