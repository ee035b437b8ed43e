// Capping of volume elements by a plane: the elements a plane crosses, their intersection
// polygons (straight tetrahedra, pyramids, prisms and hexahedra, and curved tetrahedra of degree
// 2), the crossing of one curved edge with the plane, and the solution values at the nodes of
// the cut faces.
//
// Plane: four doubles (a, b, c, d); a point P = (x, y, z) has the signed value
// s(P) = a x + b y + c z - d, it is above the plane where s > 0.
//
// Every function takes the mesh first and a status buffer (zel::kStatusSize characters) last. It
// returns 0 on success, and 2 when a required argument is null, with the message
// "NULL (name)    parameter on input\n" (the name in parentheses padded to 15 characters) in the
// status buffer; a null status buffer also gives 2, with nothing written. Arrays returned through
// pointer arguments are allocated with malloc by the callee and released with free by the caller.
// Broken invariants (counts that disagree between passes, a degenerate quadrilateral that does
// not reduce to a triangle, unsupported degrees or parent kinds) print their message and end the
// process with status 1.
#pragma once

#include "meshio/zel_object.h"

// The elements of entity type typ crossed by the plane. Every vertex gets a sign, +1 where
// s > 0 and -1 otherwise (a vertex on the plane counts -1); an element is crossed when its node
// list (high-order nodes included) holds both signs. An element with a node number outside
// 1..number of vertices is never crossed.
// Output: *nbrCutEnt and *lstCutEnt, a list of *nbrCutEnt element numbers (1-based) in
// increasing order, held at positions 0..*nbrCutEnt-1 of an array that is allocated even when
// empty (it then has one unused entry). A type without elements, a non-element type or a mesh
// without vertices gives 0 and an empty list.
int zel_GetCutEntities(ZelObject* mesh, const double* plane, int typ, int* nbrCutEnt,
                       int** lstCutEnt, char* status);

// Intersection polygons of the listed elements (lstCutEnt[0..nbrCutEnt-1], element numbers of
// type typ, as given by zel_GetCutEntities) of a straight volume type 7, 8, 9 or 10. Each element
// is split into tetrahedra whose diagonals follow the global vertex numbers, so that two
// elements sharing a face split it alike and their polygons meet edge to edge; each crossed
// tetrahedron gives one triangle or one quadrilateral, facing the direction (a, b, c).
// Output arrays are 1-based, allocated for count + 1 polygons (slot 0 unused):
//   triCrd  9 doubles per triangle: 3 points (x, y, z), triangle j at 9 j;
//   triRef 12 doubles per triangle: the reference coordinates of each point in its parent
//          element (tetrahedron l0..l3; pyramid and hexahedron x, y, z, 0; prism l0, l1, l2, z);
//   triInf  3 integers per triangle: parent type, parent element number, parent reference;
//   quaCrd 12, quaRef 16 and quaInf 3 per quadrilateral, the same with 4 points.
// A type other than 7..10 prints " zel_capping undefined for type %d \n" and gives no polygon;
// a listed element outside 1..count or with a node number outside 1..number of vertices prints
// "  .... problem id entity %d iEnt %d [0-%d] nbrFac %d \n" and is skipped.
int zel_capping(ZelObject* mesh, const double* plane, int typ, int nbrCutEnt, const int* lstCutEnt,
                int* nbrCutTri, double** triCrd, double** triRef, int** triInf, int* nbrCutQua,
                double** quaCrd, double** quaRef, int** quaInf, char* status);

// Intersection of one tetrahedron, given by its vertex coordinates crd (4 x 3 doubles) and
// their reference coordinates in a parent element crdRef (4 x 4 doubles), with the plane. Vertex
// values within 1e-5 of the plane count as on it (and non-negative). Writes at most one polygon
// into the caller's 0-based buffers: either *nbrTri = 1 and tri (3 x 3), triRef (3 x 4), or
// *nbrQua = 1 and qua (4 x 3), quaRef (4 x 4); both counts 0 when all four vertices lie on one
// side. The polygon faces (a, b, c). Nothing is allocated.
int zel_Cappingtet(ZelObject* mesh, const double* plane, const double* crd, const double* crdRef,
                   int* nbrTri, double* tri, double* triRef, int* nbrQua, double* qua,
                   double* quaRef, char* status);

// Capping of the listed curved tetrahedra of degree 2 (typ 14): the section is found on the
// curved element, each crossed element giving a 6-node triangle or a 9-node quadrilateral in the
// node order of its kind, facing (a, b, c). Outputs as for zel_capping with 6 (triangle) or 9
// (quadrilateral) points per polygon: triCrd 18, triRef 24, quaCrd 27, quaRef 36 doubles per
// polygon; the reference coordinates are barycentric in the parent. Neighbouring elements place
// the nodes of their common polygon sides at the same points. Another type gives no polygon.
int zel_CappingHighOrder(ZelObject* mesh, const double* plane, int typ, int nbrCutEnt,
                         const int* lstCutEnt, int* nbrCutTri, double** triCrd, double** triRef,
                         int** triInf, int* nbrCutQua, double** quaCrd, double** quaRef,
                         int** quaInf, char* status);

// Crossings of one curved edge of degree deg (1..10; any other degree ends the process) with
// the plane. ctrl: deg + 1 Bezier control points (x, y, z) in the node order of the edge (first
// vertex, second vertex, then the inner points from the first vertex on). Stores in *nbrInt the
// number of crossings found; when it is at least 1, point and *param receive the last one found,
// param running from 0 at the first vertex to 1 at the second (located within 0.001 of the
// curve).
int zel_EvaluateInterEdge(ZelObject* mesh, const double* plane, int deg, const double* ctrl,
                          int* nbrInt, double* point, double* param, char* status);

// Solution values at the nodes of degree faceDeg (0..10) of every cut face of zel_capping.
// sol is a scalar field:
//   solDeg >= 1: solSize values per element of the parent type (its node count at degree solDeg),
//                element e's values at sol[e * solSize ...], in the node order, Lagrange values;
//   solDeg 0 and faceDeg 0: one value per element (solSize 1), every face of that element takes
//                it;
//   solDeg 0 and faceDeg >= 1: one value per vertex, sol[v] for vertex v (solSize unused).
// Output: *triSol with (faceDeg+1)(faceDeg+2)/2 values per triangle and *quaSol with
// (faceDeg+1)^2 per quadrilateral, 1-based (face j's node n at j * nodes + n), in the node order
// of the face kind, allocated for count + 1 faces. A face whose parent element or vertex number
// is out of range gets zeros. Returns 2 when solSize disagrees with the parent type's node count
// at solDeg. Parent types other than 7..10 end the process.
int zel_InterpolateCutSolution(ZelObject* mesh, int solSize, const double* sol, int solDeg,
                               int faceDeg, int nbrCutTri, const double* triRef, const int* triInf,
                               double** triSol, int nbrCutQua, const double* quaRef,
                               const int* quaInf, double** quaSol, char* status);
