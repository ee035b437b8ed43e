// Lagrange to Bezier conversion routines of each element kind (arguments as LagrangeToBezier,
// the nodes per element implied by the kind and degree); each degree has its constant table.
#pragma once

namespace zel {

using LagrangeToBezierKind = void (*)(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                      const int* idx);

void lagrangeToBezierEdge(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                          const int* idx);
void lagrangeToBezierTriangle(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                              const int* idx);
void lagrangeToBezierQuadrilateral(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                   const int* idx);
void lagrangeToBezierTetrahedron(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                 const int* idx);
void lagrangeToBezierPyramid(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                             const int* idx);
void lagrangeToBezierPrism(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                           const int* idx);
void lagrangeToBezierHexahedron(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                const int* idx);

}  // namespace zel
