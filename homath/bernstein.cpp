// Bernstein polynomials of every element kind, built from the lattice multi-index of each node.
#include "homath/bernstein.h"

#include <cmath>

#include "meshio/node_order.h"

double Binomial(int n, int k) {
  if (k < 0 || k > n) return 0.0;
  double value = 1.0;
  for (int i = 1; i <= k; i++) value = value * (n - k + i) / i;
  return value;
}

namespace {

// C(n, i) s^i (1 - s)^(n - i).
double Bernstein1(int n, int i, double s) {
  return Binomial(n, i) * std::pow(s, i) * std::pow(1.0 - s, n - i);
}

// n! / (prod r_k!) * prod l_k^r_k over count barycentric components summing to n.
double Multinomial(int n, const int* r, const double* lambda, int count) {
  double value = 1.0;
  int remaining = n;
  for (int k = 0; k < count; k++) {
    value *= Binomial(remaining, r[k]) * std::pow(lambda[k], r[k]);
    remaining -= r[k];
  }
  return value;
}

double NodeValue(int kind, int d, const int* r, const double* p) {
  switch (kind) {
    case EntityType::Edge:
      return Bernstein1(d, r[0], p[0]);
    case EntityType::Triangle:
      return Multinomial(d, r, p, 3);
    case EntityType::Quadrilateral:
      return Bernstein1(d, r[0], p[0]) * Bernstein1(d, r[1], p[1]);
    case EntityType::Tetrahedron:
      return Multinomial(d, r, p, 4);
    case EntityType::Prism:
      return Multinomial(d, r, p, 3) * Bernstein1(d, r[3], p[3]);
    case EntityType::Hexahedron:
      return Bernstein1(d, r[0], p[0]) * Bernstein1(d, r[1], p[1]) * Bernstein1(d, r[2], p[2]);
    default: {  // pyramid: layer k is a quadrilateral of degree d - k in x/(1-z), y/(1-z)
      const double z = p[2];
      if (z == 1.0) return r[2] == d ? 1.0 : 0.0;
      const int layer = d - r[2];
      return Bernstein1(layer, r[0], p[0] / (1.0 - z)) * Bernstein1(layer, r[1], p[1] / (1.0 - z)) *
             Bernstein1(d, r[2], z);
    }
  }
}

}  // namespace

bool BernsteinValues(int kind, int deg, const double* point, double* values) {
  if (deg < 1) return false;
  const LatticeOrder* order = LatticeNodeOrder(kind, deg);
  if (!order) return false;
  for (int n = 0; n < order->count; n++) values[n] = NodeValue(kind, deg, order->row(n), point);
  return true;
}
