// Evaluation of Bezier polynomials on every kind and degree against Bernstein sums.
#include "homath/evaluate.h"

#include "tests/homath/homath_test_support.h"

namespace {

// Random coefficients: the de Casteljau reduction must equal the Bernstein sum everywhere,
// and give back the vertex coefficients at the vertices.
TEST(Evaluate, EveryKindAndDegreeMatchesTheBernsteinSum) {
  std::mt19937 random(99);
  for (int kind = EntityType::Edge; kind <= EntityType::Hexahedron; kind++) {
    if (kind == 5) continue;
    for (int d = 1; d <= 10; d++) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " degree " + std::to_string(d));
      const std::vector<float> b = RandomCoefficients(zel::latticeNodeCount(kind, d), random);
      for (int sample = 0; sample < 5; sample++) {
        const std::vector<double> p = RandomInteriorPoint(kind, random);
        EXPECT_NEAR(EvaluateOnKind(kind, b.data(), d, p.data()),
                    BernsteinSum(kind, d, b.data(), p.data()), 1e-12);
      }
      for (int v = 0; v < zel::latticeNodeCount(kind, 1); v++)
        EXPECT_NEAR(EvaluateOnKind(kind, b.data(), d, NodePoint(kind, 1, v).data()), b[v], 1e-12)
            << v;
    }
  }
}

// The pyramid apex; coordinate sums off by less than the tolerance are accepted.
TEST(Evaluate, PyramidApexAndCoordinateSumsWithinTheTolerance) {
  std::vector<float> b(zel::latticeNodeCount(EntityType::Prism, 3), 2.0f);
  b[4] = -7.5f;
  EXPECT_EQ(zel_EvaluateValueOnPyramid(b.data(), 3, 0, 0, 1), -7.5);
  EXPECT_EQ(zel_EvaluateValueOnPyramid(b.data(), 3, 0, 0, 1 - 1e-12), -7.5);
  // Along the edge 0-4 only the apex and the layers' first coefficients count.
  const double z = 0.999, z3 = z * z * z;
  EXPECT_NEAR(zel_EvaluateValueOnPyramid(b.data(), 3, 0, 0, z), -7.5 * z3 + 2 * (1 - z3), 1e-12);
  b.assign(b.size(), 3.0f);
  EXPECT_NEAR(zel_EvaluateValueOnTetrahedra(b.data(), 2, 0.25, 0.25, 0.25, 0.25009), 3.0, 1e-3);
  EXPECT_NEAR(zel_EvaluateValueOnPrism(b.data(), 2, 0.5, 0.25, 0.25009, 0.3), 3.0, 1e-3);
}

TEST(EvaluateDeathTest, UnsupportedDegreesAndCoordinatesEndTheProcess) {
  std::vector<float> b(2000, 1.0f);
  const float* c = b.data();
  EXPECT_FATAL(zel_EvaluateValueOnEdge(c, 0, 0.5),
               " ERROR : in zel_EvaluateValueOnEdge case 0 not considered \n");
  EXPECT_FATAL(zel_EvaluateValueOnTetrahedra(c, -1, 0.25, 0.25, 0.25, 0.25),
               " ERROR : in zel_EvaluateValueOnTetrahedra case -1 not considered \n");
  EXPECT_FATAL(zel_EvaluateValueOnPyramid(c, 11, 0.2, 0.3, 0.5),
               " ERROR : in zel_EvaluateValueOnPyramid case 11 not considered \n");
  EXPECT_FATAL(zel_EvaluateValueOnTetrahedra(c, 2, 0.25, 0.25, 0.25, 0.2502),
               "ERROR zel_EvaluateValueOnTetrahedra : u = 0.250000, v = 0.250000, w = 0.250000, "
               "t = 0.250200 \nERROR u + v + w + t = 1.000200 \n"
               "ERROR u + v + w + t should be equal to 1 \n");
  EXPECT_FATAL(zel_EvaluateValueOnPrism(c, 2, 0.5, 0.5, 0.1, 0.5),
               "ERROR zel_EvaluateValueOnPrism : u1 = 0.500000, u2 = 0.500000, u3 = 0.100000 \n"
               "ERROR u1 + u2 + u3 = 1.100000 \nERROR u1 + u2 + u3 should be equal to 1 \n");
}

}  // namespace
