// Pieces shared by the capping routines (internal to capping/): argument checks, access to the
// element arrays of a mesh, the polygon of one cut tetrahedron and the 1-based result arrays.
#pragma once

#include "meshio/zel_object.h"

namespace zel::cut {

// Writes "NULL (name)    parameter on input\n" (the parenthesised name padded to 15
// characters) into status and returns 2.
int missingArgument(char* status, const char* name);

// The node array of one element type of a mesh, with its vertex count for index checks.
struct ElementArray {
  const int* nodes = nullptr;  // nodesPer per element, element e at e * nodesPer
  const int* refs = nullptr;
  int count = 0;
  int nodesPer = 0;
  int nbrVertices = 0;
  const double* coordinates = nullptr;
  // True when e is an element whose nodes are all vertex numbers 1..nbrVertices.
  bool valid(int e) const;
  const int* of(int e) const { return nodes + static_cast<long>(e) * nodesPer; }
};

// Fills array for type typ; false (array empty) for a type without elements or vertices.
bool elementArray(ZelObject* mesh, int typ, ElementArray* array);

// Signed value of point p for the plane.
inline double planeValue(const double* plane, const double* p) {
  return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] - plane[3];
}

// The polygon of one tetrahedron cut by the plane: 0 (not crossed), 3 or 4 points.
struct CutPolygon {
  int count = 0;
  double crd[4][3];
  double ref[4][4];
};

// Cuts the tetrahedron crd (4 points) with reference coordinates ref (4 x 4) by the plane.
void cutTetrahedron(const double* plane, const double* crd, const double* ref, CutPolygon* out);

// The eight 1-based output arrays of a capping, nodes points per triangle and per
// quadrilateral (3 and 4 for straight elements, 6 and 9 for curved tetrahedra of degree 2).
struct CapArrays {
  int triNodes, quaNodes;
  int nbrTri = 0, nbrQua = 0;
  double* triCrd = nullptr;
  double* triRef = nullptr;
  int* triInf = nullptr;
  double* quaCrd = nullptr;
  double* quaRef = nullptr;
  int* quaInf = nullptr;
  // Allocates the arrays for nbrTri and nbrQua polygons (count + 1 each); false when memory
  // runs out (nothing is then kept).
  bool allocate(int triangles, int quadrilaterals);
  void release();
};

// Checks the arguments common to zel_capping and zel_CappingHighOrder and clears the outputs.
// Returns 0, or 2 with the message of the first one missing.
int checkCappingArguments(ZelObject* mesh, const double* plane, const int* lstCutEnt,
                          int* nbrCutTri, double** triCrd, double** triRef, int** triInf,
                          int* nbrCutQua, double** quaCrd, double** quaRef, int** quaInf,
                          char* status);

// Moves the arrays and counts of result to the caller's outputs.
void handOver(CapArrays* result, int* nbrCutTri, double** triCrd, double** triRef, int** triInf,
              int* nbrCutQua, double** quaCrd, double** quaRef, int** quaInf);

}  // namespace zel::cut
