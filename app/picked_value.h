// The value of a solution field at the point under the pointer of a picked face, evaluated on
// the processor from the element's own values: the parametric point is found by Newton steps on
// the curved geometry, so the value is the exact high-order one at that pixel.
#pragma once

#include <QPointF>
#include <vector>

#include "app/picked_point.h"

// One face (triangle or quadrilateral shape, degree 1..4) and a field on it.
struct FaceField {
  int shape = 0;               // EntityType::Triangle or EntityType::Quadrilateral
  int degree = 1;              // geometric degree
  std::vector<int> nodes;      // 1-based vertex numbers in the default node order
  std::vector<double> values;  // Lagrange values of the field at its own nodes (degree 0..10)
};

// Finds the parameters of the face point drawn under `pointer` (triangles: the weights of
// vertices 0 and 1; quadrilaterals: (x, y) in the unit square) and the field's value there.
// `coords` is the mesh's 1-based coordinate array. Returns false for shapes or node counts it
// does not know, or when the pointer is not over the face (Newton leaves it or does not settle).
bool fieldValueUnderPointer(const double* coords, const FaceField& face, QPointF pointer,
                            const WindowProjection& project, double* value, double parameters[2]);
