// Lagrange to Bezier conversion of pyramids of degree 2 and 3.
#include "homath/bezier_conversion.h"
#include "homath/lagrange_to_bezier_kinds.h"
#include "meshio/entity_types.h"

void zel::lagrangeToBezierPyramid(int deg, int nbrVal, float* values, int nbrCmp, int nbrEnt,
                                  const int* idx) {
  zel::convertElementArray(*zel::bezierConversionTable(EntityType::Pyramid, deg), nbrVal, values,
                           nbrCmp, nbrEnt, idx);
}
