// Subdivision pieces, range refinement and the crossings of curved edges with a plane.
#include "homath/subdivision.h"

#include <algorithm>

#include "homath/edge_root.h"
#include "homath/reference_nodes.h"
#include "tests/homath/homath_test_support.h"

// Value of a lexicographic Bezier array of an edge (t), a triangle (barycentric) or a
// quadrilateral (x, y), summed from the Bernstein definitions.
double LexValue(int kind, const float* b, int d, const double* p) {
  double sum = 0;
  for (int i = 0; i <= d; i++)
    for (int j = 0; j <= (kind == EntityType::Edge ? 0 : d); j++) {
      if (kind == EntityType::Edge) sum += b[i] * TestBernstein(d, i, p[0]);
      if (kind == EntityType::Quadrilateral)
        sum += b[posQua(d, i, j)] * TestBernstein(d, i, p[0]) * TestBernstein(d, j, p[1]);
      if (kind != EntityType::Triangle || i + j > d) continue;
      const int k = d - i - j;
      sum += b[posTri(d, i, j, k)] * TestFactorial(d) /
             (TestFactorial(i) * TestFactorial(j) * TestFactorial(k)) * std::pow(p[0], i) *
             std::pow(p[1], j) * std::pow(p[2], k);
    }
  return sum;
}

// Node-order coefficients, rearranged, describe the same polynomial as the evaluation sees.
TEST(Subdivision, NodeOrderCoefficientsGoToTheirLexicographicPlaces) {
  std::mt19937 random(2);
  for (int d = 1; d <= 10; d++) {
    for (int kind : {EntityType::Edge, EntityType::Triangle, EntityType::Quadrilateral}) {
      const std::vector<float> b = RandomCoefficients(zel::latticeNodeCount(kind, d), random);
      std::vector<float> lex(b.size(), 1e30f);
      ASSERT_TRUE(zel_NodeOrderToLexicographic(kind, d, b.data(), lex.data()));
      const std::vector<double> p = RandomInteriorPoint(kind, random);
      EXPECT_NEAR(LexValue(kind, lex.data(), d, p.data()),
                  EvaluateOnKind(kind, b.data(), d, p.data()), 1e-9)
          << kind << " " << d;
    }
  }
  float out[8];
  const float in[8] = {};
  EXPECT_FALSE(zel_NodeOrderToLexicographic(EntityType::Tetrahedron, 1, in, out));
  EXPECT_FALSE(zel_NodeOrderToLexicographic(EntityType::Triangle, 11, in, out));
}

// The pieces of a curve split at t, of a triangle split into 3 at a point or into 4 at the
// edge midpoints, and of a quadrilateral split at (1 - s, 1 - t), evaluated at points of each
// piece, give the whole patch's values at the matching points.
TEST(Subdivision, PiecesReproduceTheCurveTriangleAndQuadrilateral) {
  const float line[2] = {1, 3};
  EXPECT_EQ(zel_SubdivideCurve(line, 1, 0.5, 0.5), (std::vector<float>{1, 2, 2, 3}));
  std::mt19937 random(3);
  const double u = 0.2, v = 0.5, w = 0.3, s = 0.3, t = 0.6;
  // Vertices of the triangle pieces, as barycentric points of the whole triangle.
  const double P[3] = {u, v, w}, V0[3] = {1, 0, 0}, V1[3] = {0, 1, 0}, V2[3] = {0, 0, 1};
  const double M01[3] = {0.5, 0.5, 0}, M12[3] = {0, 0.5, 0.5}, M02[3] = {0.5, 0, 0.5};
  const double* three[3][3] = {{P, V1, V2}, {V0, P, V2}, {V0, V1, P}};
  const double* four[4][3] = {{V0, M01, M02}, {M01, V1, M12}, {M02, M12, V2}, {M12, M02, M01}};
  for (int d = 1; d <= 10; d++) {
    SCOPED_TRACE("degree " + std::to_string(d));
    std::vector<float> b = RandomCoefficients(d + 1, random);
    const std::vector<float> pieces = zel_SubdivideCurve(b.data(), d, 1 - t, t);
    ASSERT_EQ(pieces.size(), 2u * (d + 1));
    for (double x : {0.0, 0.2, 0.5, 0.9, 1.0}) {
      const double low = x * t, high = t + x * (1 - t);
      EXPECT_NEAR(LexValue(EntityType::Edge, &pieces[0], d, &x),
                  LexValue(EntityType::Edge, b.data(), d, &low), 1e-5);
      EXPECT_NEAR(LexValue(EntityType::Edge, &pieces[d + 1], d, &x),
                  LexValue(EntityType::Edge, b.data(), d, &high), 1e-5);
    }
    const int size = (d + 1) * (d + 2) / 2;
    b = RandomCoefficients(size, random);
    for (int count : {3, 4}) {
      const std::vector<float> pieces = zel_SubdivideTriangle(count, b.data(), d, u, v, w);
      ASSERT_EQ(pieces.size(), static_cast<size_t>(count * size));
      for (int piece = 0; piece < count; piece++) {
        const double* const* corner = count == 3 ? three[piece] : four[piece];
        for (int sample = 0; sample < 4; sample++) {
          const std::vector<double> l = RandomInteriorPoint(EntityType::Triangle, random);
          double global[3];
          for (int c = 0; c < 3; c++)
            global[c] = l[0] * corner[0][c] + l[1] * corner[1][c] + l[2] * corner[2][c];
          EXPECT_NEAR(LexValue(EntityType::Triangle, &pieces[piece * size], d, l.data()),
                      LexValue(EntityType::Triangle, b.data(), d, global), 1e-5)
              << "pieces " << count << " piece " << piece;
        }
      }
    }
    const int square = (d + 1) * (d + 1);
    b = RandomCoefficients(square, random);
    const std::vector<float> blocks = zel_SubdivideQuadrilateral(b.data(), d, s, t);
    ASSERT_EQ(blocks.size(), 4u * square);
    for (int block = 0; block < 4; block++)
      for (double x : {0.0, 0.3, 0.8})
        for (double y : {0.1, 0.5, 1.0}) {
          const double local[2] = {x, y};
          const double whole[2] = {block >= 2 ? (1 - s) + x * s : x * (1 - s),
                                   block % 2 ? (1 - t) + y * t : y * (1 - t)};
          EXPECT_NEAR(LexValue(EntityType::Quadrilateral, &blocks[block * square], d, local),
                      LexValue(EntityType::Quadrilateral, b.data(), d, whole), 1e-5)
              << "block " << block;
        }
  }
}

TEST(Subdivision, DegenerateRequestsProduceNothing) {
  const float b[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  testing::internal::CaptureStdout();
  for (const std::vector<float>& p :
       {zel_SubdivideCurve(b, 0, 0.5, 0.5), zel_SubdivideQuadrilateral(b, 0, 0.5, 0.5),
        zel_SubdivideTriangle(4, b, 3, 0.0, 0.5, 0.5),
        zel_SubdivideTriangle(3, b, 3, 1.0, 0.0, 0.0),
        zel_SubdivideTriangle(2, b, 3, 0.3, 0.3, 0.4)})
    EXPECT_TRUE(p.empty());
  EXPECT_NE(testing::internal::GetCapturedStdout(), "");
}

// The interval is built from values the polynomial takes, so it never leaves the sampled
// range by more than the sampling error, and it closes in on that range as the depth grows
// (at once for linear patches, whose corners are their hull).
TEST(RangeRefinement, ClosesInOnTheSampledRangeAsTheDepthGrows) {
  std::mt19937 random(8);
  for (int d = 1; d <= 4; d++) {
    for (int kind : {EntityType::Edge, EntityType::Triangle, EntityType::Quadrilateral}) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " degree " + std::to_string(d));
      const std::vector<float> b = RandomCoefficients(zel::latticeNodeCount(kind, d), random);
      double low = 1e30, high = -1e30;
      const int steps = 200;
      for (int i = 0; i <= steps; i++)
        for (int j = 0; j <= (kind == EntityType::Edge ? 0 : steps); j++) {
          if (kind == EntityType::Triangle && i + j > steps) continue;
          const double p[3] = {double(i) / steps, double(j) / steps, 1 - double(i + j) / steps};
          const double value = LexValue(kind, b.data(), d, p);
          low = std::min(low, value);
          high = std::max(high, value);
        }
      auto refine = [&](double* range, int depth) {
        if (kind == EntityType::Edge)
          zel_RefineRangeEdge(b.data(), d, 0.5, range, depth);
        else if (kind == EntityType::Triangle)
          zel_RefineRangeTriangle(b.data(), d, 1.0 / 3, 1.0 / 3, 1.0 / 3, range, depth);
        else
          zel_RefineRangeQuadrilateral(b.data(), d, 0.5, 0.5, range, depth);
      };
      double previousGap = 1e30;
      for (int depth = 0; depth <= 2 * d; depth++) {
        double range[2] = {b[0], b[0]};
        refine(range, depth);
        // The grid misses the extremes by up to about 1e-4 of the range.
        EXPECT_GE(range[0], low - 5e-4 * (high - low));
        EXPECT_LE(range[1], high + 5e-4 * (high - low));
        const double gap = (range[0] - low) + (high - range[1]);
        EXPECT_LE(gap, previousGap + 1e-9) << "depth " << depth;
        previousGap = gap;
      }
      EXPECT_LT(previousGap, 2e-3 * (high - low)) << "at depth " << 2 * d;
      // Nothing widens an interval that already holds the hull.
      double wide[2] = {-100, 100};
      refine(wide, 4);
      EXPECT_EQ(wide[1] - wide[0], 200);
    }
  }
}

// Edges crossing a plane more than once (single crossings: the capping tests): the parabola
// x = t, y = 4t(1-t) and the cubic x = t, z = 3t(1-t)(1-2t), which meets the plane
// 0.16 x + z / 6 = 0.08 at t = 0.2, 0.5 and 0.8. The last crossing is the one reported.
TEST(EdgeCrossings, CurvedEdgesMeetThePlaneWhereTheCurveDoes) {
  const std::vector<double> p2 = {0, 0, 0, 0.5, 2, 0, 1, 0, 0};
  const std::vector<double> p3 = {0, 0, 0, 1.0 / 3, 0, 1, 2.0 / 3, 0, -1, 1, 0, 0};
  const struct {
    const std::vector<double>* ctrl;
    int d;
    double plane[4];
    int crossings;
    double last;
  } cases[] = {{&p2, 2, {0, 1, 0, 0.75}, 2, 0.75},
               {&p2, 2, {0, 1, 0, 1.5}, 0, 0},
               {&p3, 3, {0.16, 0, 1.0 / 6, 0.08}, 3, 0.8}};
  for (const auto& c : cases) {
    SCOPED_TRACE("degree " + std::to_string(c.d) + " plane offset " + std::to_string(c.plane[3]));
    int count = -1;
    double point[3], param = -1;
    zel_FindEdgePlaneCrossings(c.ctrl->data(), c.d, c.plane, &count, point, &param);
    EXPECT_EQ(count, c.crossings);
    if (c.crossings == 0) continue;
    const double t = c.last;
    const double expected[3] = {t, c.d == 2 ? 4 * t * (1 - t) : 0,
                                c.d == 3 ? 3 * t * (1 - t) * (1 - 2 * t) : 0};
    EXPECT_NEAR(param, t, 1e-3);
    for (int x = 0; x < 3; x++) EXPECT_NEAR(point[x], expected[x], 1e-3);
  }
}
