// Field values under the pointer: Bezier forms of the face and its field, Newton steps on the
// projected geometry.
#include "app/picked_value.h"

#include <algorithm>
#include <cmath>

#include "homath/evaluate.h"
#include "homath/lagrange_to_bezier.h"
#include "meshio/entity_types.h"

namespace {

// Degree of a Lagrange field with `count` nodes on the shape; -1 when no degree fits.
int fieldDegree(int shape, size_t count) {
  for (int d = 0; d <= 10; ++d) {
    const size_t nodes =
        shape == EntityType::Triangle ? size_t((d + 1) * (d + 2) / 2) : size_t((d + 1) * (d + 1));
    if (nodes == count) return d;
  }
  return -1;
}

// Bezier coefficients of `components` values per node, one array per component.
std::vector<std::vector<float>> bezierForm(const std::vector<float>& lagrange, int degree,
                                           int components) {
  std::vector<float> values = lagrange;
  const int nodes = int(values.size()) / components;
  std::vector<int> index(static_cast<size_t>(nodes), 0);
  for (int n = 0; n < nodes; ++n) index[size_t(n)] = n;
  if (degree > 1)
    LagrangeToBezier(nodes, degree, values.data(), components, 1, index.data(), nodes);
  std::vector<std::vector<float>> split(static_cast<size_t>(components),
                                        std::vector<float>(static_cast<size_t>(nodes), 0.0f));
  for (int n = 0; n < nodes; ++n)
    for (int c = 0; c < components; ++c)
      split[size_t(c)][size_t(n)] = values[size_t(n * components + c)];
  return split;
}

double evaluate(int shape, const std::vector<float>& coeffs, int degree, double s, double t) {
  if (degree == 0) return coeffs[0];
  if (shape == EntityType::Triangle)
    return zel_EvaluateValueOnTriangle(coeffs.data(), degree, s, t, 1.0 - s - t);
  return zel_EvaluateValueOnQuadrilateral(coeffs.data(), degree, s, t);
}

// Keeps (s, t) inside the reference shape.
void clampInside(int shape, double& s, double& t) {
  s = std::clamp(s, 0.0, 1.0);
  t = std::clamp(t, 0.0, 1.0);
  if (shape == EntityType::Triangle && s + t > 1.0) {
    const double excess = 0.5 * (s + t - 1.0);
    s -= excess;
    t -= excess;
  }
}

}  // namespace

bool fieldValueUnderPointer(const double* coords, const FaceField& face, QPointF pointer,
                            const WindowProjection& project, double* value, double parameters[2]) {
  const int shape = face.shape;
  if (shape != EntityType::Triangle && shape != EntityType::Quadrilateral) return false;
  if (face.degree < 1 || face.degree > 4 || fieldDegree(shape, face.nodes.size()) != face.degree)
    return false;
  const int fieldDeg = fieldDegree(shape, face.values.size());
  if (fieldDeg < 0) return false;
  std::vector<float> xyz;
  for (int v : face.nodes)
    for (int axis = 0; axis < 3; ++axis) xyz.push_back(float(coords[3 * v + axis]));
  const auto geometry = bezierForm(xyz, face.degree, 3);
  const auto field =
      bezierForm(std::vector<float>(face.values.begin(), face.values.end()), fieldDeg, 1)[0];

  const auto screen = [&](double s, double t) {
    double p[3];
    for (int axis = 0; axis < 3; ++axis)
      p[axis] = evaluate(shape, geometry[size_t(axis)], face.degree, s, t);
    const QVector3D at = project(p);
    return QPointF(at.x(), at.y());
  };
  // Newton steps on screen(s, t) = pointer from the face's centre, with a difference Jacobian;
  // the geometry is smooth inside an element, so a few steps settle far below a pixel (the
  // float control points limit it to about 1e-4 pixel).
  double s = shape == EntityType::Triangle ? 1.0 / 3 : 0.5, t = s;
  const double h = 1e-6;
  bool settled = false;
  for (int step = 0; step < 30 && !settled; ++step) {
    const QPointF f = screen(s, t) - pointer;
    if (std::hypot(f.x(), f.y()) < 1e-3) {
      settled = true;
      break;
    }
    const QPointF ds = (screen(s + h, t) - screen(s - h, t)) / (2 * h);
    const QPointF dt = (screen(s, t + h) - screen(s, t - h)) / (2 * h);
    const double det = ds.x() * dt.y() - ds.y() * dt.x();
    if (std::abs(det) < 1e-12) return false;
    s -= (f.x() * dt.y() - f.y() * dt.x()) / det;
    t -= (ds.x() * f.y() - ds.y() * f.x()) / det;
    clampInside(shape, s, t);
  }
  if (!settled) return false;
  parameters[0] = s;
  parameters[1] = t;
  *value = evaluate(shape, field, fieldDeg, s, t);
  return true;
}
