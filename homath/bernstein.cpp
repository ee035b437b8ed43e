// Bernstein polynomials of every element kind, built from the lattice multi-index of each node.
#include "homath/bernstein.h"

#include <cmath>

#include "meshio/node_order.h"

double zel::binomial(int n, int k) {
  if (k < 0 || k > n) return 0.0;
  double value = 1.0;
  for (int i = 1; i <= k; i++) value = value * (n - k + i) / i;
  return value;
}

namespace {

// C(n, i) s^i (1 - s)^(n - i).
double bernstein1(int n, int i, double s) {
  return zel::binomial(n, i) * std::pow(s, i) * std::pow(1.0 - s, n - i);
}

// n! / (prod r_k!) * prod l_k^r_k over count barycentric components summing to n.
double multinomial(int n, const int* r, const double* lambda, int count) {
  double value = 1.0;
  int remaining = n;
  for (int k = 0; k < count; k++) {
    value *= zel::binomial(remaining, r[k]) * std::pow(lambda[k], r[k]);
    remaining -= r[k];
  }
  return value;
}

double nodeValue(int kind, int d, const int* r, const double* p) {
  switch (kind) {
    case EntityType::Edge:
      return bernstein1(d, r[0], p[0]);
    case EntityType::Triangle:
      return multinomial(d, r, p, 3);
    case EntityType::Quadrilateral:
      return bernstein1(d, r[0], p[0]) * bernstein1(d, r[1], p[1]);
    case EntityType::Tetrahedron:
      return multinomial(d, r, p, 4);
    case EntityType::Prism:
      return multinomial(d, r, p, 3) * bernstein1(d, r[3], p[3]);
    case EntityType::Hexahedron:
      return bernstein1(d, r[0], p[0]) * bernstein1(d, r[1], p[1]) * bernstein1(d, r[2], p[2]);
    default: {  // pyramid: layer k is a quadrilateral of degree d - k in x/(1-z), y/(1-z)
      const double z = p[2];
      if (z == 1.0) return r[2] == d ? 1.0 : 0.0;
      const int layer = d - r[2];
      return bernstein1(layer, r[0], p[0] / (1.0 - z)) * bernstein1(layer, r[1], p[1] / (1.0 - z)) *
             bernstein1(d, r[2], z);
    }
  }
}

}  // namespace

bool zel::bernsteinValues(int kind, int deg, const double* point, double* values) {
  if (deg < 1) return false;
  const zel::LatticeOrder* order = zel::latticeNodeOrder(kind, deg);
  if (!order) return false;
  for (int n = 0; n < order->count; n++) values[n] = nodeValue(kind, deg, order->row(n), point);
  return true;
}
