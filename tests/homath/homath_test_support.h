// Helpers shared by the element-mathematics tests: fatal-exit expectations, Bernstein sums
// written from their definitions, evaluation by kind, reference points.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "homath/evaluate.h"
#include "meshio/node_order.h"
#include "tests/support/fatal_exit.h"

inline double TestFactorial(int n) { return n < 2 ? 1 : n * TestFactorial(n - 1); }

// C(n, i) s^i (1-s)^(n-i).
inline double TestBernstein(int n, int i, double s) {
  return TestFactorial(n) / (TestFactorial(i) * TestFactorial(n - i)) * std::pow(s, i) *
         std::pow(1 - s, n - i);
}

// The barycentric coordinates a kind's points start with (the prism's first three).
inline int Barycentric(int kind) {
  return kind == EntityType::Tetrahedron                             ? 4
         : kind == EntityType::Triangle || kind == EntityType::Prism ? 3
                                                                     : 0;
}

// sum_n coeffs[n] * B_n(point), the Bernstein polynomials of the kind written out from their
// definitions. point is in the kind's reference coordinates (edge: t).
inline double BernsteinSum(int kind, int d, const float* coeffs, const double* p) {
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(kind, d);
  const int parts = Barycentric(kind);
  double sum = 0;
  for (int n = 0; n < order.count; n++) {
    const int* r = order.row(n);
    double b = parts ? TestFactorial(d) : 1;
    for (int k = 0; k < parts; k++) b *= std::pow(p[k], r[k]) / TestFactorial(r[k]);
    if (kind == EntityType::Prism) b *= TestBernstein(d, r[3], p[3]);
    if (kind == EntityType::Pyramid) {
      const double w = 1 - p[2];
      b = TestBernstein(d - r[2], r[0], p[0] / w) * TestBernstein(d - r[2], r[1], p[1] / w) *
          TestBernstein(d, r[2], p[2]);
    } else if (!parts) {  // edge, quadrilateral, hexahedron: tensor products
      for (int k = 0; k < order.width; k++) b *= TestBernstein(d, r[k], p[k]);
    }
    sum += coeffs[n] * b;
  }
  return sum;
}

// The evaluation function of the kind at a point in its reference coordinates.
inline double EvaluateOnKind(int kind, const float* b, int d, const double* p) {
  using namespace EntityType;
  return kind == Edge            ? zel_EvaluateValueOnEdge(b, d, p[0])
         : kind == Triangle      ? zel_EvaluateValueOnTriangle(b, d, p[0], p[1], p[2])
         : kind == Quadrilateral ? zel_EvaluateValueOnQuadrilateral(b, d, p[0], p[1])
         : kind == Tetrahedron   ? zel_EvaluateValueOnTetrahedra(b, d, p[0], p[1], p[2], p[3])
         : kind == Prism         ? zel_EvaluateValueOnPrism(b, d, p[0], p[1], p[2], p[3])
         : kind == Pyramid       ? zel_EvaluateValueOnPyramid(b, d, p[0], p[1], p[2])
                                 : zel_EvaluateValueOnHexahedra(b, d, p[0], p[1], p[2]);
}

// A random interior point of the kind's reference element, in its own coordinates.
inline std::vector<double> RandomInteriorPoint(int kind, std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0.02, 0.98);
  std::vector<double> p(zel::latticeWidth(kind));
  for (double& v : p) v = unit(random);
  if (kind == EntityType::Pyramid) p[2] *= 0.95, p[0] *= 1 - p[2], p[1] *= 1 - p[2];
  const int parts = Barycentric(kind);
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

// Random coefficients in [-1, 1].
inline std::vector<float> RandomCoefficients(int count, std::mt19937& random) {
  std::uniform_real_distribution<float> pick(-1, 1);
  std::vector<float> b(count);
  for (float& v : b) v = pick(random);
  return b;
}
