// de Casteljau evaluation of Bezier polynomials on every element kind.
#include "homath/evaluate.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

constexpr int kMaxSide = zel::kMaxLatticeDegree + 1;
constexpr int kWorkSize = kMaxSide * kMaxSide * kMaxSide;

// Work-array index of a node's multi-index, with n = deg + 1. The simplex layouts leave the
// last barycentric component implicit, so that every de Casteljau level can overwrite the
// previous one in place; the prism and pyramid put the height first (one block per layer).
int workIndex(int kind, int n, const int* r) {
  switch (kind) {
    case EntityType::Edge:
      return r[0];
    case EntityType::Triangle:
      return r[0] * n + r[2];
    case EntityType::Quadrilateral:
      return r[0] * n + r[1];
    case EntityType::Tetrahedron:
      return (r[0] * n + r[1]) * n + r[2];
    case EntityType::Prism:
      return (r[3] * n + r[0]) * n + r[2];
    case EntityType::Pyramid:
      return (r[2] * n + r[0]) * n + r[1];
    default:
      return (r[0] * n + r[1]) * n + r[2];
  }
}

// Node position -> work index, per kind and degree, built once.
const int* workLayout(int kind, int deg) {
  constexpr int kKinds = EntityType::Hexahedron + 1;
  static std::array<std::array<std::vector<int>, kMaxSide>, kKinds> layouts;
  static std::once_flag built;
  std::call_once(built, [] {
    for (int k = EntityType::Edge; k < kKinds; k++) {
      if (!zel::isLatticeKind(k)) continue;
      for (int d = 1; d <= zel::kMaxLatticeDegree; d++) {
        const zel::LatticeOrder& order = *zel::latticeNodeOrder(k, d);
        for (int p = 0; p < order.count; p++)
          layouts[k][d].push_back(workIndex(k, d + 1, order.row(p)));
      }
    }
  });
  return layouts[kind][deg].data();
}

void checkDegree(const char* function, int deg) {
  if (deg < 1 || deg > zel::kMaxLatticeDegree)
    zel::fatalExit(stdout, " ERROR : in %s case %d not considered \n", function, deg);
}

void gather(int kind, const float* coeffs, int deg, double* work) {
  const int* layout = workLayout(kind, deg);
  const int count = zel::latticeNodeCount(kind, deg);
  for (int p = 0; p < count; p++) work[layout[p]] = coeffs[p];
}

// deg de Casteljau steps on deg+1 values spaced by stride; returns the value at s.
double reduceLine(double* b, int deg, int stride, double s) {
  const double r = 1.0 - s;
  for (int m = deg; m > 0; m--)
    for (int i = 0; i < m; i++) b[i * stride] = r * b[i * stride] + s * b[(i + 1) * stride];
  return b[0];
}

// Tensor square of degree deg at b[i*n + j] (n = row stride), x along i, y along j.
double reduceSquare(double* b, int deg, int n, double x, double y) {
  for (int j = 0; j <= deg; j++) b[j] = reduceLine(b + j, deg, n, x);
  return reduceLine(b, deg, 1, y);
}

// Triangle of degree deg at b[i*n + k] (j implicit), barycentric (u, v, w) for (i, j, k).
double reduceTriangle(double* b, int deg, int n, double u, double v, double w) {
  for (int m = deg; m > 0; m--)
    for (int i = 0; i < m; i++)
      for (int k = 0; i + k < m; k++)
        b[i * n + k] = u * b[(i + 1) * n + k] + v * b[i * n + k] + w * b[i * n + k + 1];
  return b[0];
}

}  // namespace

double zel_EvaluateValueOnEdge(const float* coeffs, int deg, double t) {
  checkDegree("zel_EvaluateValueOnEdge", deg);
  double b[kMaxSide];
  gather(EntityType::Edge, coeffs, deg, b);
  return reduceLine(b, deg, 1, t);
}

double zel_EvaluateValueOnTriangle(const float* coeffs, int deg, double u, double v, double w) {
  checkDegree("zel_EvaluateValueOnTriangle", deg);
  double b[kMaxSide * kMaxSide];
  gather(EntityType::Triangle, coeffs, deg, b);
  return reduceTriangle(b, deg, deg + 1, u, v, w);
}

double zel_EvaluateValueOnQuadrilateral(const float* coeffs, int deg, double x, double y) {
  checkDegree("zel_EvaluateValueOnQuadrilateral", deg);
  double b[kMaxSide * kMaxSide];
  gather(EntityType::Quadrilateral, coeffs, deg, b);
  return reduceSquare(b, deg, deg + 1, x, y);
}

double zel_EvaluateValueOnTetrahedra(const float* coeffs, int deg, double u, double v, double w,
                                     double t) {
  checkDegree("zel_EvaluateValueOnTetrahedra", deg);
  if (std::fabs(u + v + w + t - 1.0) > 0.0001) {
    zel::printMessage("ERROR zel_EvaluateValueOnTetrahedra : u = %f, v = %f, w = %f, t = %f \n", u,
                      v, w, t);
    zel::printMessage("ERROR u + v + w + t = %f \n", u + v + w + t);
    zel::fatalExit(stdout, "ERROR u + v + w + t should be equal to 1 \n");
  }
  double b[kWorkSize];
  gather(EntityType::Tetrahedron, coeffs, deg, b);
  const int n = deg + 1;
  // Layout (a*n + b)*n + c with the fourth component implicit; ascending order reads every
  // neighbour before it is overwritten.
  for (int m = deg; m > 0; m--)
    for (int a = 0; a < m; a++)
      for (int c1 = 0; a + c1 < m; c1++)
        for (int c2 = 0; a + c1 + c2 < m; c2++) {
          const int at = (a * n + c1) * n + c2;
          b[at] = u * b[at + n * n] + v * b[at + n] + w * b[at + 1] + t * b[at];
        }
  return b[0];
}

double zel_EvaluateValueOnPrism(const float* coeffs, int deg, double u1, double u2, double u3,
                                double z) {
  checkDegree("zel_EvaluateValueOnPrism", deg);
  if (std::fabs(u1 + u2 + u3 - 1.0) > 0.0001) {
    zel::printMessage("ERROR zel_EvaluateValueOnPrism : u1 = %f, u2 = %f, u3 = %f \n", u1, u2, u3);
    zel::printMessage("ERROR u1 + u2 + u3 = %f \n", u1 + u2 + u3);
    zel::fatalExit(stdout, "ERROR u1 + u2 + u3 should be equal to 1 \n");
  }
  double b[kWorkSize];
  gather(EntityType::Prism, coeffs, deg, b);
  const int n = deg + 1;
  double layer[kMaxSide];
  for (int k = 0; k <= deg; k++) layer[k] = reduceTriangle(b + k * n * n, deg, n, u1, u2, u3);
  return reduceLine(layer, deg, 1, z);
}

double zel_EvaluateValueOnPyramid(const float* coeffs, int deg, double x, double y, double z) {
  checkDegree("zel_EvaluateValueOnPyramid", deg);
  // The apex is the last vertex, node 4.
  if (std::fabs(1.0 - z) < 1e-10) return coeffs[4];
  double b[kWorkSize];
  gather(EntityType::Pyramid, coeffs, deg, b);
  const int n = deg + 1;
  const double scaledX = x / (1.0 - z), scaledY = y / (1.0 - z);
  double layer[kMaxSide];
  for (int k = 0; k <= deg; k++)
    layer[k] = reduceSquare(b + k * n * n, deg - k, n, scaledX, scaledY);
  return reduceLine(layer, deg, 1, z);
}

double zel_EvaluateValueOnHexahedra(const float* coeffs, int deg, double x, double y, double z) {
  checkDegree("zel_EvaluateValueOnHexahedra", deg);
  double b[kWorkSize];
  gather(EntityType::Hexahedron, coeffs, deg, b);
  const int n = deg + 1;
  // Layout (i*n + j)*n + k: reduce x (stride n*n), then y (stride n), then z.
  double plane[kMaxSide * kMaxSide];
  for (int j = 0; j <= deg; j++)
    for (int k = 0; k <= deg; k++) plane[j * n + k] = reduceLine(b + j * n + k, deg, n * n, x);
  return reduceSquare(plane, deg, n, y, z);
}
