// Local faces and edges of the volume elements (tetrahedra, pyramids, prisms, hexahedra) of
// every degree, and the faces and edges of one element of a mesh.
//
// Degree-1 faces, as local vertex numbers, oriented outward (counter-clockwise seen from
// outside the element):
//   tetrahedron  0: 1 2 3; 1: 3 2 0; 2: 3 0 1; 3: 1 0 2
//   pyramid      0: 0 1 4; 1: 1 2 4; 2: 2 3 4; 3: 0 4 3; 4: 0 3 2 1
//   prism        0: 0 2 1; 1: 3 4 5; 2: 0 1 4 3; 3: 1 2 5 4; 4: 0 3 5 2
//   hexahedron   0: 0 3 2 1; 1: 0 1 5 4; 2: 0 4 7 3; 3: 6 2 3 7; 4: 6 5 1 2; 5: 6 7 4 5
// At degree d a face keeps these vertices and adds the element's nodes lying on it, listed in
// the default node order of the face's own shape: with A, B, C, E the lattice rows of the listed
// vertices, the triangle face node of row (i, j, k) is the element node at (iA + jB + kC)/d and
// the quadrilateral face node of row (i, j) the one at A + (i/d)(B - A) + (j/d)(E - A). An edge
// (A, B) lists its nodes at A + (p/d)(B - A) for p = 0, d, 1, 2, ..., d - 1.
// Local numbers (node, face, edge) are 0-based.
#pragma once

#include <vector>

#include "meshio/zel_object.h"

constexpr int kZelFaceSlots = 25;  // nodes of the largest face (quadrilateral of degree 4)
constexpr int kZelEdgeSlots = 5;   // nodes of the largest edge (degree 4)

// Faces and edges of one volume shape at one degree, built once by the rule above.
struct ZelLocalTopology {
  int nbrFaces;
  int faceShape[6];           // EntityType::Triangle or EntityType::Quadrilateral
  std::vector<int> faces[6];  // local node numbers of each face, in the face's node order
  int nbrEdges;
  std::vector<int> edges[12];  // local node numbers of each edge, start, end, then interior
};

// Topology of a volume shape (EntityType::Tetrahedron, Pyramid, Prism or Hexahedron) at degree
// 1..10; null for anything else. The tables are built on first use (thread-safe) and constant.
const ZelLocalTopology* zel_LocalTopology(int shape, int deg);

// Local node numbers of face `face` of a volume type 7..31: *nbrNod nodes at *nodes (a constant
// table). Returns 0; 2 when the face number is outside the shape's faces or for another type
// ("Type %d is not handled in GetEntityFaces ! \n").
int GetEntityFaces(int typ, int face, int* nbrNod, const int** nodes, char* status);

// Faces of element `element` (1-based) of volume type typ (7..31): *nbrFaces faces, the node
// count of face f in faceSizes[f] (6 entries), its global vertex numbers in
// nodes[f * kZelFaceSlots ...]. Returns 0; 2 when the element number is outside 1..count, the
// kind has no array, or typ is not a volume type.
int zel_GetElementFaces(ZelObject* object, int element, int typ, int* nbrFaces, int* faceSizes,
                        int* nodes, char* status);

// Edges of element `element` (1-based) of volume type typ (7..31): *nbrEdges edges, edge e's
// deg + 1 global vertex numbers in nodes[e * kZelEdgeSlots ...]: start vertex, end vertex, then
// the interior nodes from start to end. Returns 0; 2 as for zel_GetElementFaces.
int zel_GetElementEdges(ZelObject* object, int element, int typ, int* nbrEdges, int* nodes,
                        char* status);
