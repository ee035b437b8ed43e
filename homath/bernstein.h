// Bernstein polynomials of every element kind, evaluated at a reference point in node order.
#pragma once

namespace zel {

// Binomial coefficient C(n, k) as a double (0 outside 0 <= k <= n).
double binomial(int n, int k);

// Values of the Bernstein polynomials of kind (an entity type code of a linear shape, 3..10)
// and degree deg (1..10) at point, given in the kind's reference coordinates (the edge takes
// t alone), written to values[n] for every node n of the node order. The pyramid basis is the
// collapsed one; at the apex (z = 1) only the apex polynomial is 1.
// Returns false (writing nothing) for an unknown kind or degree.
bool bernsteinValues(int kind, int deg, const double* point, double* values);

}  // namespace zel
