// Reference nodes, linear vertex weights, lexicographic positions and the factorial of the
// high-order element kinds.
//
// Kinds are entity type codes (EntityType::Triangle 4, Quadrilateral 6, Tetrahedron 7,
// Pyramid 8, Prism 9, Hexahedron 10; the edge is 3). Reference coordinates per kind:
//   triangle      (l0, l1, l2) barycentric           dimension 3
//   quadrilateral (x, y) in [0,1]^2                  dimension 2
//   tetrahedron   (l0, l1, l2, l3) barycentric       dimension 4
//   pyramid       (x, y, z), x + z <= 1, y + z <= 1  dimension 3 (apex above vertex 0)
//   prism         (l0, l1, l2) barycentric, height z dimension 4
//   hexahedron    (x, y, z) in [0,1]^3               dimension 3
// Every failure here is a broken invariant: the message is printed and the process ends
// with status 1.
#pragma once

#include <cstdint>

// Reference coordinates of all nodes of kind typ (4, 6, 7, 8, 9 or 10) and degree deg (0..10)
// in the node order: node n occupies entries n*dim .. n*dim+dim-1. Stores the dimension in
// *dim. Degree 0 is the single node with every coordinate 1/dim ((0.5, 0.5) for the
// quadrilateral). The array is allocated with malloc; the caller frees it with free().
double* GetCrdNodByTyp(int typ, int deg, int* dim);

// Linear vertex weights of kind typ (6..10) at the reference point crd, one per vertex in
// vertex order; stores their number in *nbrBas. Allocated with malloc; the caller frees it.
double* GetBasisFunctionsFromCrdNod(int typ, const double* crd, int* nbrBas);

// Positions of a lattice multi-index of degree deg in the lexicographic arrays of evaluation
// and subdivision (0-based). Each ends the process on an index outside the lattice.
int posEdg(int deg, int i, int j);                // i + j = deg -> i
int posTri(int deg, int i, int j, int k);         // rows by i, within a row by k
int posQua(int deg, int i, int j);                // i*(deg+1) + j
int posTet(int deg, int i, int j, int k, int l);  // (deg+1)^4 block, l fastest
int posPri(int deg, int i, int j, int k, int h);  // (deg+1)^4 block, height h fastest

// n! as an unsigned 32-bit product (0! = 1); a negative n prints "No negative factorial !"
// on the error stream and returns 0.
uint32_t zel_Factorial(int n);
