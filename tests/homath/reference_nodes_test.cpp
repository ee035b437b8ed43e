// Reference nodes, vertex weights, positions, the factorial; evaluation of Bezier polynomials.
#include "homath/reference_nodes.h"

#include <cstdlib>
#include <limits>
#include <set>

#include "tests/homath/homath_test_support.h"

// Degree 0 gives one centre node; the others the node rows over the degree.
TEST(ReferenceNodes, CoordinatesAreTheNodeRowsOverTheDegree) {
  const double centres[][4] = {{1.0 / 3, 1.0 / 3, 1.0 / 3}, {0.5, 0.5},
                               {0.25, 0.25, 0.25, 0.25},    {1.0 / 3, 1.0 / 3, 1.0 / 3},
                               {0.25, 0.25, 0.25, 0.25},    {1.0 / 3, 1.0 / 3, 1.0 / 3}};
  int k = 0;
  for (int typ : {EntityType::Triangle, EntityType::Quadrilateral, EntityType::Tetrahedron,
                  EntityType::Pyramid, EntityType::Prism, EntityType::Hexahedron}) {
    for (int deg = 0; deg <= 10; deg++) {
      int dim = 0;
      double* crd = GetCrdNodByTyp(typ, deg, &dim);
      const zel::LatticeOrder& order = *zel::latticeNodeOrder(typ, deg);
      ASSERT_EQ(dim, order.width);
      for (int n = 0; n < order.count; n++)
        for (int c = 0; c < dim; c++)
          ASSERT_NEAR(crd[n * dim + c], deg ? double(order.row(n)[c]) / deg : centres[k][c], 1e-15)
              << typ << " " << deg;
      std::free(crd);
    }
    k++;
  }
}

// The weights are 1 at their own vertex and 0 at the others, and map every reference point to
// itself when applied to the vertex coordinates (the capping relies on this).
TEST(ReferenceNodes, VertexWeightsInterpolateTheVertices) {
  std::mt19937 random(11);
  for (int typ = EntityType::Quadrilateral; typ <= EntityType::Hexahedron; typ++) {
    int dim = 0, count = 0;
    double* vertices = GetCrdNodByTyp(typ, 1, &dim);
    const int nbrVer = zel::latticeNodeCount(typ, 1);
    for (int v = 0; v < nbrVer; v++) {
      double* phi = GetBasisFunctionsFromCrdNod(typ, vertices + v * dim, &count);
      ASSERT_EQ(count, nbrVer);
      for (int w = 0; w < count; w++) EXPECT_NEAR(phi[w], v == w ? 1 : 0, 1e-15) << typ;
      std::free(phi);
    }
    for (int sample = 0; sample < 20; sample++) {
      const std::vector<double> p = RandomInteriorPoint(typ, random);
      double* phi = GetBasisFunctionsFromCrdNod(typ, p.data(), &count);
      for (int c = 0; c < dim; c++) {
        double mapped = 0;
        for (int v = 0; v < count; v++) mapped += phi[v] * vertices[v * dim + c];
        EXPECT_NEAR(mapped, p[c], 1e-12) << typ;
      }
      std::free(phi);
    }
    std::free(vertices);
  }
  const double apex[3] = {0, 0, 1};
  int count = 0;
  double* phi = GetBasisFunctionsFromCrdNod(EntityType::Pyramid, apex, &count);
  EXPECT_EQ(std::vector<double>(phi, phi + 5), (std::vector<double>{0, 0, 0, 0, 1}));
  std::free(phi);
}

TEST(ReferenceNodes, PositionsAreDistinctAndInsideTheirArrays) {
  const int tri2[6][3] = {{0, 2, 0}, {0, 1, 1}, {0, 0, 2}, {1, 1, 0}, {1, 0, 1}, {2, 0, 0}};
  for (int n = 0; n < 6; n++) EXPECT_EQ(posTri(2, tri2[n][0], tri2[n][1], tri2[n][2]), n);
  EXPECT_EQ(posEdg(4, 3, 1), 3);
  EXPECT_EQ(posQua(3, 2, 1), 9);
  for (int d = 1; d <= 10; d++) {
    const int n = d + 1;
    std::set<int> tri, tet, pri;
    for (int i = 0; i <= d; i++)
      for (int j = 0; i + j <= d; j++) {
        tri.insert(posTri(d, i, j, d - i - j));
        for (int k = 0; i + j + k <= d; k++) tet.insert(posTet(d, i, j, k, d - i - j - k));
        for (int h = 0; h <= d; h++) pri.insert(posPri(d, i, j, d - i - j, h));
      }
    EXPECT_EQ(static_cast<int>(tri.size()), n * (n + 1) / 2);
    EXPECT_EQ(*tri.rbegin(), n * (n + 1) / 2 - 1);  // triangle positions fill their array
    EXPECT_EQ(static_cast<int>(tet.size()), zel::latticeNodeCount(EntityType::Tetrahedron, d));
    EXPECT_LT(*tet.rbegin(), n * n * n * n);
    EXPECT_EQ(static_cast<int>(pri.size()), zel::latticeNodeCount(EntityType::Prism, d));
    EXPECT_LT(*pri.rbegin(), n * n * n * n);
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

TEST(ReferenceNodesDeathTest, UnsupportedKindsDegreesAndIndicesEndTheProcess) {
  int dim = 0, count = 0;
  EXPECT_FATAL(GetCrdNodByTyp(5, 2, &dim), "GetCrdNodByTyp Typ 5 not defined \n");
  EXPECT_FATAL(GetCrdNodByTyp(EntityType::Triangle, 11, &dim),
               "GetCrdNodByTyp Typ 4, deg 11 not considered \n");
  const double point[4] = {0.2, 0.2, 0.2, 0.4};
  EXPECT_FATAL(GetBasisFunctionsFromCrdNod(EntityType::Triangle, point, &count),
               "GetBasisFunctionsFromCrdNod : typ 4 not considered \n");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double broken[3] = {nan, 0.2, 0.2};
  EXPECT_FATAL(GetBasisFunctionsFromCrdNod(EntityType::Pyramid, broken, &count),
               "GetBasisFunctionsFromCrdNod : case Pyramid, the sum should be equal to 1 "
               "Phi Pyr nan nan nan nan 0.200000 \nsomme Phi Pyr nan \n");
  EXPECT_FATAL(GetBasisFunctionsFromCrdNod(EntityType::Hexahedron, broken, &count),
               "GetBasisFunctionsFromCrdNod case Hex, the sum should be equal to 1.phi Hex : ");
  EXPECT_FATAL(posTri(2, 1, 1, 1), " #ERROR :posTri wrong coefficients in input\n");
  EXPECT_FATAL(posPri(2, 1, 1, 0, 3), " #ERROR :posPri wrong coefficients in input\n");
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
