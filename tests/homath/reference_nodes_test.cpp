// Positions, the factorial, refused arguments; evaluation of Bezier polynomials. (Reference
// nodes and vertex weights: the cut-solution tests of the capping.)
#include "homath/reference_nodes.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>
#include <set>

#include "homath/lagrange_to_bezier.h"
#include "tests/homath/homath_test_support.h"

// Tetrahedron and prism positions are distinct and inside their arrays (edge, triangle and
// quadrilateral positions: the subdivision tests).
TEST(ReferenceNodes, PositionsAreDistinctAndInsideTheirArrays) {
  for (int d = 1; d <= 10; d++) {
    const int n = d + 1;
    std::set<int> tet, pri;
    for (int i = 0; i <= d; i++)
      for (int j = 0; i + j <= d; j++) {
        for (int k = 0; i + j + k <= d; k++) tet.insert(posTet(d, i, j, k, d - i - j - k));
        for (int h = 0; h <= d; h++) pri.insert(posPri(d, i, j, d - i - j, h));
      }
    EXPECT_EQ(static_cast<int>(tet.size()), zel::latticeNodeCount(EntityType::Tetrahedron, d));
    EXPECT_EQ(static_cast<int>(pri.size()), zel::latticeNodeCount(EntityType::Prism, d));
    EXPECT_LT(std::max(*tet.rbegin(), *pri.rbegin()), n * n * n * n);
  }
}

TEST(ReferenceNodes, FactorialIsAnUnsigned32BitProduct) {
  EXPECT_EQ(zel_Factorial(0), 1u);
  EXPECT_EQ(zel_Factorial(12), 479001600u);
  EXPECT_EQ(zel_Factorial(13), static_cast<uint32_t>(6227020800ull));  // wraps like the product
  testing::internal::CaptureStderr();
  EXPECT_EQ(zel_Factorial(-1), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "No negative factorial !\n");
}

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

// Refused kinds, degrees, indices and coordinates end the process with their reason.
TEST(HomathDeathTest, RefusedKindsDegreesIndicesAndCoordinatesEndTheProcess) {
  std::vector<float> b(2000, 1.0f);
  std::vector<int> idx(1400);
  std::iota(idx.begin(), idx.end(), 0);
  int dim = 0, count = 0;
  const double nan = std::numeric_limits<double>::quiet_NaN(), broken[3] = {nan, 0.2, 0.2};
  const double point[4] = {0.2, 0.2, 0.2, 0.4};
  const std::pair<std::function<void()>, const char*> refused[] = {
      {[&] { GetCrdNodByTyp(5, 2, &dim); }, "GetCrdNodByTyp Typ 5 not defined"},
      {[&] { GetCrdNodByTyp(EntityType::Triangle, 11, &dim); }, "Typ 4, deg 11 not considered"},
      {[&] { GetBasisFunctionsFromCrdNod(EntityType::Triangle, point, &count); },
       "typ 4 not considered"},
      {[&] { GetBasisFunctionsFromCrdNod(EntityType::Pyramid, broken, &count); },
       "case Pyramid, the sum should be equal to 1"},
      {[&] { GetBasisFunctionsFromCrdNod(EntityType::Hexahedron, broken, &count); },
       "case Hex, the sum should be equal to 1"},
      {[] { posTri(2, 1, 1, 1); }, "posTri wrong coefficients"},
      {[] { posPri(2, 1, 1, 0, 3); }, "posPri wrong coefficients"},
      {[&] { zel_EvaluateValueOnEdge(b.data(), 0, 0.5); }, "OnEdge case 0 not considered"},
      {[&] { zel_EvaluateValueOnTetrahedra(b.data(), 2, 0.25, 0.25, 0.25, 0.2502); },
       "u + v + w + t = 1.000200"},
      {[&] { zel_EvaluateValueOnPrism(b.data(), 2, 0.5, 0.5, 0.1, 0.5); }, "u1 + u2 + u3 = 1.1"},
      {[&] { LagrangeToBezier(10, 11, b.data(), 1, 1, idx.data(), 10); },
       "degree 11 not supported"},
      {[&] { LagrangeToBezier(55, 4, b.data(), 1, 1, idx.data(), 55); },
       "no element of degree 4 with 55 vertices"}};
  for (const auto& [statement, text] : refused) EXPECT_FATAL(statement(), text);
}
