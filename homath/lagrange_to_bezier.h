// Conversion of the Lagrange values of whole element arrays to Bezier coefficients, in place.
#pragma once

// values: nbrVal * nbrCmp floats, node-major (component c of global node g at g*nbrCmp + c),
// replaced by the Bezier coefficients of the same polynomials, node by node in the node order.
// idx: nbrEnt * nbrNod 0-based global node numbers, element e at e*nbrNod. The element kind
// follows from (deg, nbrNod). Shared nodes take the coefficient of the first element holding
// them; vertices keep their values. Degree 1 and nbrEnt < 1 leave the values unchanged.
// Broken invariants end the process with status 1: a degree outside 1..10, or a (degree,
// nbrNod) pair that is no convertible kind (pyramids and prisms of degree 4 and above
// included). Tetrahedra of degree 7..10 and hexahedra of degree 4, 5, 7..10 are left as
// Lagrange values after a warning line on standard output.
void LagrangeToBezier(int nbrVal, int deg, float* values, int nbrCmp, int nbrEnt, const int* idx,
                      int nbrNod);
