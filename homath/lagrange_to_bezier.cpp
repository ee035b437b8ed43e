// Whole-array Lagrange to Bezier conversion: the coverage of kinds and degrees, and dispatch.
#include "homath/lagrange_to_bezier.h"

#include <cstdio>

#include "homath/lagrange_to_bezier_kinds.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

// What happens for degrees 2..10 of a kind: 'c' converted, 'k' kept as Lagrange values after
// a warning, 'f' not accepted (fatal).
struct KindCoverage {
  int kind;
  LagrangeToBezierKind convert;
  const char* byDegree;  // 9 characters, degrees 2..10
  const char* keptName;  // warning name prefix, the degree follows
};

const KindCoverage kCoverage[] = {
    {EntityType::Edge, LagrangeToBezierEdge, "ccccccccc", ""},
    {EntityType::Triangle, LagrangeToBezierTriangle, "ccccccccc", ""},
    {EntityType::Quadrilateral, LagrangeToBezierQuadrilateral, "ccccccccc", ""},
    {EntityType::Tetrahedron, LagrangeToBezierTetrahedron, "ccccckkkk", "TetraP"},
    {EntityType::Pyramid, LagrangeToBezierPyramid, "ccfffffff", ""},
    {EntityType::Prism, LagrangeToBezierPrism, "ccfffffff", ""},
    {EntityType::Hexahedron, LagrangeToBezierHexahedron, "cckkckkkk", "HexaQ"},
};

}  // namespace

void LagrangeToBezier(int nbrVal, int deg, float* values, int nbrCmp, int nbrEnt, const int* idx,
                      int nbrNod) {
  if (deg < 1 || deg > kMaxLatticeDegree)
    zel::fatalExit(stdout, "error : degree %d not supported for zelualisation \n", deg);
  if (deg == 1 || nbrEnt < 1) return;
  const KindCoverage* found = nullptr;
  for (const KindCoverage& entry : kCoverage)
    if (LatticeNodeCount(entry.kind, deg) == nbrNod) found = &entry;
  if (!found || found->byDegree[deg - 2] == 'f')
    zel::fatalExit(stdout, " error : no element of degree %d with %d vertices \n", deg, nbrNod);
  if (found->byDegree[deg - 2] == 'k') {
    char warning[160];
    std::snprintf(warning, sizeof warning,
                  "warning: conversion LagrangeToBezier not done for %s%d, solution capping "
                  "possibly not accurate ",
                  found->keptName, deg);
    std::puts(warning);
    return;
  }
  found->convert(deg, nbrVal, values, nbrCmp, nbrEnt, idx);
}
