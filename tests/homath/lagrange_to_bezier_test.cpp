// Lagrange to Bezier conversion: exactness, the shared-node rule, kept and refused cells.
#include "homath/lagrange_to_bezier.h"

#include <algorithm>
#include <numeric>

#include "tests/homath/homath_test_support.h"

// One element whose local nodes are the global nodes 0..n-1.
std::vector<int> Identity(int n) {
  std::vector<int> idx(n);
  std::iota(idx.begin(), idx.end(), 0);
  return idx;
}

// Coverage per kind (edge, triangle, -, quadrilateral, tetrahedron, pyramid, prism,
// hexahedron), degrees 2..10: c converted, k kept, f refused.
const char* const kCoverage[] = {"ccccccccc", "ccccccccc", "",          "ccccccccc",
                                 "ccccckkkk", "ccfffffff", "ccfffffff", "cckkckkkk"};

// Random values at the nodes (three components), converted: the Bezier form, evaluated at
// each node, gives its value back (interpolation at the nodes fixes the polynomial).
TEST(LagrangeToBezier, EveryConvertedKindAndDegreeIsExact) {
  std::mt19937 random(2024);
  int checked = 0;
  for (int kind = EntityType::Edge; kind <= EntityType::Hexahedron; kind++) {
    for (int d = 2; d <= 10 && kind != 5; d++) {
      if (kCoverage[kind - EntityType::Edge][d - 2] != 'c') continue;
      SCOPED_TRACE("kind " + std::to_string(kind) + " degree " + std::to_string(d));
      const int n = zel::latticeNodeCount(kind, d);
      const std::vector<float> lagrange = RandomCoefficients(3 * n, random);
      std::vector<float> values = lagrange, component(n);
      std::vector<int> idx = Identity(n);
      LagrangeToBezier(n, d, values.data(), 3, 1, idx.data(), n);
      for (int c = 0; c < 3; c++) {
        double largest = 0;
        for (int node = 0; node < n; node++) {
          component[node] = values[3 * node + c];
          largest = std::max(largest, std::fabs(double(component[node])));
        }
        for (int node = 0; node < n; node++)
          EXPECT_NEAR(EvaluateOnKind(kind, component.data(), d, NodePoint(kind, d, node).data()),
                      lagrange[3 * node + c], 1e-5 * largest)
              << "node " << node;
      }
      checked++;
    }
  }
  EXPECT_EQ(checked, 9 * 3 + 5 + 2 + 2 + 3);
}

// Two degree-2 triangles share the edge node 4 (global); the second triangle sees the shared
// edge reversed. The first element decides it and the second would have produced the same.
TEST(LagrangeToBezier, SharedNodeIsWrittenOnceByTheFirstElement) {
  // Global nodes: 0, 1, 2, 3 vertices; 4 shared mid-edge of 1-2; 5..8 the other mid-edges.
  const std::vector<int> idx = {0, 1, 2, 5, 4, 6, 2, 1, 3, 4, 7, 8};
  std::vector<float> values = {1, 2, 3, 4, 10, 5, 6, 7, 8};
  LagrangeToBezier(9, 2, values.data(), 1, 2, idx.data(), 6);
  EXPECT_FLOAT_EQ(values[4], 2 * 10 - 0.5 * 2 - 0.5 * 3);
  EXPECT_FLOAT_EQ(values[5], 2 * 5 - 0.5 * 1 - 0.5 * 2);
  EXPECT_FLOAT_EQ(values[6], 2 * 6 - 0.5 * 3 - 0.5 * 1);  // edge 2-0 of the first triangle
  EXPECT_FLOAT_EQ(values[7], 2 * 7 - 0.5 * 2 - 0.5 * 4);  // the second's edges 1-3 and 3-2
  EXPECT_FLOAT_EQ(values[8], 2 * 8 - 0.5 * 4 - 0.5 * 3);
  EXPECT_EQ(std::vector<float>(values.begin(), values.begin() + 4),
            (std::vector<float>{1, 2, 3, 4}));
  // Node 4 lies on edge 1-2 of the first triangle and on edge 1-6 of the second, whose
  // vertex values differ: whichever element comes first decides it.
  const std::vector<int> pair = {0, 1, 2, 3, 4, 5, 0, 1, 6, 7, 4, 8};
  const std::vector<int> swapped = {0, 1, 6, 7, 4, 8, 0, 1, 2, 3, 4, 5};
  const std::vector<float> start = {0, 1, 2, 0, 5, 0, 9, 0, 0};
  std::vector<float> first = start, second = start;
  LagrangeToBezier(9, 2, first.data(), 1, 2, pair.data(), 6);
  LagrangeToBezier(9, 2, second.data(), 1, 2, swapped.data(), 6);
  EXPECT_FLOAT_EQ(first[4], 2 * 5 - 0.5 * 1 - 0.5 * 2);
  EXPECT_FLOAT_EQ(second[4], 2 * 5 - 0.5 * 1 - 0.5 * 9);
  // An element whose interior reads a node already converted by a neighbour still uses the
  // Lagrange value: a degree-3 triangle after a degree-3 triangle sharing an edge.
  // Second triangle (1, 0, 3) shares edge 0-1 reversed: its edge nodes are 4, 3 of the first.
  const std::vector<int> two = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 0, 10, 4, 3, 11, 12, 13, 14, 15};
  std::mt19937 random(5);
  const std::vector<float> lagrange = RandomCoefficients(16, random);
  std::vector<float> together = lagrange, alone = lagrange;
  LagrangeToBezier(16, 3, together.data(), 1, 2, two.data(), 10);
  LagrangeToBezier(16, 3, alone.data(), 1, 1, two.data() + 10, 10);
  EXPECT_NEAR(together[15], alone[15], 1e-5);  // the second triangle's face centre
  EXPECT_NEAR(together[3], alone[3], 1e-5);    // the shared edge: same coefficients either way
}

// Degree 1, an empty array and the kept cells (with a warning) leave the Lagrange values.
TEST(LagrangeToBezier, DegreeOneEmptyArraysAndKeptCellsAreLeftUnchanged) {
  const struct {
    int kind, deg, elements;
    const char* warning;
  } cases[] = {{EntityType::Triangle, 1, 1, ""},
               {EntityType::Triangle, 2, 0, ""},
               {EntityType::Tetrahedron, 7, 1, "TetraP7"},
               {EntityType::Hexahedron, 4, 1, "HexaQ4"}};
  for (const auto& c : cases) {
    const int n = zel::latticeNodeCount(c.kind, c.deg);
    std::vector<float> values(n);
    std::iota(values.begin(), values.end(), 0.5f);
    const std::vector<float> before = values;
    std::vector<int> idx = Identity(n);
    testing::internal::CaptureStdout();
    LagrangeToBezier(n, c.deg, values.data(), 1, c.elements, idx.data(), n);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              *c.warning ? std::string("warning: conversion LagrangeToBezier not done for ") +
                               c.warning + ", solution capping possibly not accurate \n"
                         : "");
    EXPECT_EQ(values, before) << c.deg;
  }
}
