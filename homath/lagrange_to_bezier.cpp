// Whole-array Lagrange to Bezier conversion: the coverage of kinds and degrees, and dispatch.
#include "homath/lagrange_to_bezier.h"

#include "homath/lagrange_to_bezier_kinds.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

// What happens for degrees 2..10 of a kind: 'c' converted, 'k' kept as Lagrange values after
// a warning, 'f' not accepted (fatal).
struct KindCoverage {
  int kind;
  zel::LagrangeToBezierKind convert;
  const char* byDegree;  // 9 characters, degrees 2..10
  const char* keptName;  // warning name prefix, the degree follows
};

const KindCoverage kCoverage[] = {
    {EntityType::Edge, zel::lagrangeToBezierEdge, "ccccccccc", ""},
    {EntityType::Triangle, zel::lagrangeToBezierTriangle, "ccccccccc", ""},
    {EntityType::Quadrilateral, zel::lagrangeToBezierQuadrilateral, "ccccccccc", ""},
    {EntityType::Tetrahedron, zel::lagrangeToBezierTetrahedron, "ccccckkkk", "TetraP"},
    {EntityType::Pyramid, zel::lagrangeToBezierPyramid, "ccfffffff", ""},
    {EntityType::Prism, zel::lagrangeToBezierPrism, "ccfffffff", ""},
    {EntityType::Hexahedron, zel::lagrangeToBezierHexahedron, "cckkckkkk", "HexaQ"},
};

}  // namespace

void LagrangeToBezier(int nbrVal, int deg, float* values, int nbrCmp, int nbrEnt, const int* idx,
                      int nbrNod) {
  if (deg < 1 || deg > zel::kMaxLatticeDegree)
    zel::fatalExit(stdout, "error : degree %d not supported for zelualisation \n", deg);
  if (deg == 1 || nbrEnt < 1) return;
  const KindCoverage* found = nullptr;
  for (const KindCoverage& entry : kCoverage)
    if (zel::latticeNodeCount(entry.kind, deg) == nbrNod) found = &entry;
  if (!found || found->byDegree[deg - 2] == 'f')
    zel::fatalExit(stdout, " error : no element of degree %d with %d vertices \n", deg, nbrNod);
  if (found->byDegree[deg - 2] == 'k') {
    zel::printMessage(
        "warning: conversion LagrangeToBezier not done for %s%d, solution capping "
        "possibly not accurate \n",
        found->keptName, deg);
    return;
  }
  found->convert(deg, nbrVal, values, nbrCmp, nbrEnt, idx);
}
