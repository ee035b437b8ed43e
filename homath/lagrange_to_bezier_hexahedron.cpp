// Lagrange to Bezier conversion of hexahedra of degree 2, 3 and 6.
#include "homath/bezier_conversion.h"
#include "homath/lagrange_to_bezier_kinds.h"
#include "meshio/entity_types.h"

void zel::lagrangeToBezierHexahedron(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                     const int* idx) {
  zel::convertElementArray(*zel::bezierConversionTable(EntityType::Hexahedron, deg), nbrVal, values,
                           nbrCmp, nbrEnt, idx);
}
