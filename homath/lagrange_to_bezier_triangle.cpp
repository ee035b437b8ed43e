// Lagrange to Bezier conversion of triangles of degree 2 to 10.
#include "homath/bezier_conversion.h"
#include "homath/lagrange_to_bezier_kinds.h"
#include "meshio/entity_types.h"

void zel::lagrangeToBezierTriangle(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                   const int* idx) {
  zel::convertElementArray(*zel::bezierConversionTable(EntityType::Triangle, deg), nbrVal, values,
                           nbrCmp, nbrEnt, idx);
}
