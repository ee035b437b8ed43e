// Helpers shared by the element-mathematics tests: fatal-exit expectations, Bernstein sums
// written from their definitions, and random functions of each element's own space.
#ifndef TESTS_HOMATH_HOMATH_TEST_SUPPORT_H
#define TESTS_HOMATH_HOMATH_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "homath/evaluate.h"
#include "meshio/node_order.h"

// The exact text as a regular expression.
inline std::string Literal(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out;
}

// The statement ends the process with status 1 after printing text (standard output or the
// error stream: the child sends its standard output to the error stream).
#define EXPECT_FATAL(statement, text) \
  EXPECT_EXIT(                        \
      {                               \
        dup2(2, 1);                   \
        statement;                    \
      },                              \
      ::testing::ExitedWithCode(1), Literal(text))

inline double TestFactorial(int n) {
  double f = 1;
  for (int i = 2; i <= n; i++) f *= i;
  return f;
}

inline double TestPower(double x, int n) {
  double p = 1;
  for (int i = 0; i < n; i++) p *= x;
  return p;
}

// C(n, i) s^i (1-s)^(n-i).
inline double TestBernstein(int n, int i, double s) {
  return TestFactorial(n) / (TestFactorial(i) * TestFactorial(n - i)) * TestPower(s, i) *
         TestPower(1 - s, n - i);
}

// sum_n coeffs[n] * B_n(point), the Bernstein polynomials of the kind written out from their
// definitions. point is in the kind's reference coordinates (edge: t).
inline double BernsteinSum(int kind, int d, const float* coeffs, const double* p) {
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(kind, d);
  double sum = 0;
  for (int n = 0; n < order.count; n++) {
    const int* r = order.row(n);
    double b = 0;
    switch (kind) {
      case EntityType::Edge:
        b = TestBernstein(d, r[0], p[0]);
        break;
      case EntityType::Triangle:
      case EntityType::Tetrahedron:
      case EntityType::Prism: {
        const int parts = kind == EntityType::Tetrahedron ? 4 : 3;
        b = TestFactorial(d);
        for (int k = 0; k < parts; k++) b *= TestPower(p[k], r[k]) / TestFactorial(r[k]);
        if (kind == EntityType::Prism) b *= TestBernstein(d, r[3], p[3]);
        break;
      }
      case EntityType::Quadrilateral:
        b = TestBernstein(d, r[0], p[0]) * TestBernstein(d, r[1], p[1]);
        break;
      case EntityType::Hexahedron:
        b = TestBernstein(d, r[0], p[0]) * TestBernstein(d, r[1], p[1]) *
            TestBernstein(d, r[2], p[2]);
        break;
      default: {
        const double w = 1 - p[2];
        b = TestBernstein(d - r[2], r[0], p[0] / w) * TestBernstein(d - r[2], r[1], p[1] / w) *
            TestBernstein(d, r[2], p[2]);
      }
    }
    sum += coeffs[n] * b;
  }
  return sum;
}

// The evaluation function of the kind at a point in its reference coordinates.
inline double EvaluateOnKind(int kind, const float* b, int d, const double* p) {
  switch (kind) {
    case EntityType::Edge:
      return zel_EvaluateValueOnEdge(b, d, p[0]);
    case EntityType::Triangle:
      return zel_EvaluateValueOnTriangle(b, d, p[0], p[1], p[2]);
    case EntityType::Quadrilateral:
      return zel_EvaluateValueOnQuadrilateral(b, d, p[0], p[1]);
    case EntityType::Tetrahedron:
      return zel_EvaluateValueOnTetrahedra(b, d, p[0], p[1], p[2], p[3]);
    case EntityType::Prism:
      return zel_EvaluateValueOnPrism(b, d, p[0], p[1], p[2], p[3]);
    case EntityType::Pyramid:
      return zel_EvaluateValueOnPyramid(b, d, p[0], p[1], p[2]);
    default:
      return zel_EvaluateValueOnHexahedra(b, d, p[0], p[1], p[2]);
  }
}

// A random member of the element's own space of degree d, as a sum of c * x^a y^b z^e
// (Cartesian coordinates of the reference point: x = l1, y = l2 for simplices and prisms,
// z = l3 for the tetrahedron); for the pyramid, sums of c z^k (1-z)^(d-k) X^a Y^b with
// X = x/(1-z), Y = y/(1-z), a, b <= d - k, which are rational where a + b > d - k.
struct SpacePolynomial {
  int kind = 0;
  int d = 0;
  std::vector<std::vector<int>> exponents;  // (a, b, e)
  std::vector<double> coefficients;

  SpacePolynomial(int kindIn, int degree, std::mt19937& random) : kind(kindIn), d(degree) {
    std::uniform_real_distribution<double> pick(-1.0, 1.0);
    for (int a = 0; a <= d; a++)
      for (int b = 0; b <= d; b++)
        for (int e = 0; e <= d; e++)
          if (Belongs(a, b, e)) {
            exponents.push_back({a, b, e});
            coefficients.push_back(pick(random));
          }
  }

  bool Belongs(int a, int b, int e) const {
    switch (kind) {
      case EntityType::Edge:
        return b == 0 && e == 0;
      case EntityType::Triangle:
        return a + b <= d && e == 0;
      case EntityType::Quadrilateral:
        return e == 0;
      case EntityType::Tetrahedron:
        return a + b + e <= d;
      case EntityType::Prism:
        return a + b <= d;
      case EntityType::Pyramid:
        return a <= d - e && b <= d - e;  // e is the layer k
      default:
        return true;
    }
  }

  // Cartesian (x, y, z) of a reference point: simplices and prisms drop their first
  // barycentric coordinate.
  void Cartesian(const double* p, double* xyz) const {
    const bool barycentric = kind == EntityType::Triangle || kind == EntityType::Tetrahedron ||
                             kind == EntityType::Prism;
    const int dims = kind == EntityType::Edge ? 1 : zel::latticeWidth(kind) - barycentric;
    for (int c = 0; c < 3; c++) xyz[c] = c < dims ? p[c + barycentric] : 0;
  }

  double operator()(const double* p) const {
    double xyz[3];
    Cartesian(p, xyz);
    double sum = 0;
    for (size_t m = 0; m < exponents.size(); m++) {
      const int a = exponents[m][0], b = exponents[m][1], e = exponents[m][2];
      double term;
      if (kind == EntityType::Pyramid) {
        const double w = 1 - xyz[2];
        // z^k (1-z)^(d-k) X^a Y^b = z^k (1-z)^(d-k-a-b) x^a y^b; at the apex only d = k, a = b = 0.
        if (w == 0) {
          term = (e == d && a == 0 && b == 0) ? 1 : 0;
        } else {
          term = TestPower(xyz[2], e) * std::pow(w, d - e - a - b) * TestPower(xyz[0], a) *
                 TestPower(xyz[1], b);
        }
      } else {
        term = TestPower(xyz[0], a) * TestPower(xyz[1], b) * TestPower(xyz[2], e);
      }
      sum += coefficients[m] * term;
    }
    return sum;
  }
};

// A random interior point of the kind's reference element, in its own coordinates.
inline std::vector<double> RandomInteriorPoint(int kind, std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0.02, 0.98);
  const int width = zel::latticeWidth(kind);
  std::vector<double> p(width);
  for (double& v : p) v = unit(random);
  if (kind == EntityType::Pyramid) {
    p[2] *= 0.95;
    p[0] *= 1 - p[2], p[1] *= 1 - p[2];
  }
  // Barycentric coordinates (the prism's first three) sum to 1.
  const int parts = kind == EntityType::Triangle      ? 3
                    : kind == EntityType::Tetrahedron ? 4
                    : kind == EntityType::Prism       ? 3
                                                      : 0;
  double sum = 0;
  for (int k = 0; k < parts; k++) sum += p[k];
  for (int k = 0; k < parts; k++) p[k] /= sum;
  return p;
}

// Reference point of node n at degree d.
inline std::vector<double> NodePoint(int kind, int d, int n) {
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(kind, d);
  std::vector<double> p(order.width);
  for (int c = 0; c < order.width; c++) p[c] = static_cast<double>(order.row(n)[c]) / d;
  return p;
}

#endif  // TESTS_HOMATH_HOMATH_TEST_SUPPORT_H
