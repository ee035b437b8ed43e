// Shared core of the Lagrange to Bezier conversion: the constant inverse tables per kind and
// degree, and the conversion of a whole element array with one of them.
#pragma once

#include <vector>

namespace zel {

// Rows of the inverse of M (M[p][q] = Bernstein polynomial q at node p) for the nodes after
// the vertices, with the exact zeros left out: the Bezier coefficient of local node
// nbrVer + r is the sum over s in rowStart[r] .. rowStart[r+1]-1 of
// weight[s] * (Lagrange value of local node column[s]).
struct BezierConversionTable {
  int nbrNod = 0;
  int nbrVer = 0;
  std::vector<int> rowStart;
  std::vector<int> column;
  std::vector<double> weight;
};

// The table of kind (entity type code of a linear shape, 3..10) and degree 2..10, built on
// first use in double precision and kept for the life of the process (thread-safe).
// Returns nullptr for an unknown kind or degree.
const BezierConversionTable* bezierConversionTable(int kind, int deg);

// Converts, in place, the Lagrange values of nbrEnt elements to Bezier coefficients.
// values: nbrVal * nbrCmp floats, node-major; idx: nbrEnt * table.nbrNod 0-based global node
// numbers. Vertices keep their values; every other node takes the coefficient computed by
// the first element that holds it, from the Lagrange values (double arithmetic). An element
// with a node number outside 0..nbrVal-1 is skipped. Allocates one copy of the values and one
// flag per node for the call.
void convertElementArray(const BezierConversionTable& table, int nbrVal, float* values, int nbrCmp,
                         int nbrEnt, const int* idx);

}  // namespace zel
