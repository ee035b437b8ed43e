// Lagrange to Bezier conversion routines of each element kind (arguments as LagrangeToBezier,
// the nodes per element implied by the kind and degree); each degree has its constant table.
#ifndef HOMATH_LAGRANGE_TO_BEZIER_KINDS_H
#define HOMATH_LAGRANGE_TO_BEZIER_KINDS_H

using LagrangeToBezierKind = void (*)(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                      const int* idx);

void LagrangeToBezierEdge(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                          const int* idx);
void LagrangeToBezierTriangle(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                              const int* idx);
void LagrangeToBezierQuadrilateral(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                   const int* idx);
void LagrangeToBezierTetrahedron(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                 const int* idx);
void LagrangeToBezierPyramid(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                             const int* idx);
void LagrangeToBezierPrism(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                           const int* idx);
void LagrangeToBezierHexahedron(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                const int* idx);

#endif  // HOMATH_LAGRANGE_TO_BEZIER_KINDS_H
