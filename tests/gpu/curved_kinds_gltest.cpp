// Every curved kind reads its control points in the node order of the lattice tables: a
// straight element given as degree 2 to 4 control points covers what its straight form covers,
// and a bent edge bulges by the Bezier amount.
#include <cmath>
#include <memory>
#include <vector>

#include "gpu_fixture.h"
#include "meshio/node_order.h"

namespace gputest {
namespace {

struct Vec2 {
  double x, y;
};

struct Kind {
  int drawKind;
  const char* program;
  int shape;  // EntityType of the lattice: Edge, Triangle or Quadrilateral
  int degree;
};

const Kind kCurvedKinds[] = {
    {DrawKind::TriangleP2, "P2TriSha", EntityType::Triangle, 2},
    {DrawKind::TriangleP3, "P3TriSha", EntityType::Triangle, 3},
    {DrawKind::TriangleP4, "P4TriSha", EntityType::Triangle, 4},
    {DrawKind::QuadrilateralQ2, "Q2QuaSha", EntityType::Quadrilateral, 2},
    {DrawKind::QuadrilateralQ3, "Q3QuaSha", EntityType::Quadrilateral, 3},
    {DrawKind::QuadrilateralQ4, "Q4QuaSha", EntityType::Quadrilateral, 4},
    {DrawKind::EdgeP2, "P2EdgSha", EntityType::Edge, 2},
    {DrawKind::EdgeP3, "P3EdgSha", EntityType::Edge, 3},
    {DrawKind::EdgeP4, "P4EdgSha", EntityType::Edge, 4},
};

// Corners of the test elements (clip coordinates): a scalene triangle, a convex quadrilateral
// that is no parallelogram, a slanted segment.
const Vec2 kTriangle[3] = {{-0.7, -0.6}, {0.8, -0.4}, {-0.2, 0.7}};
const Vec2 kQuad[4] = {{-0.7, -0.6}, {0.6, -0.7}, {0.8, 0.5}, {-0.5, 0.7}};
const Vec2 kEdge[2] = {{-0.7, -0.5}, {0.6, 0.4}};

// Position of lattice node `row` of the straight element (linear or bilinear interpolation,
// which Bezier control points reproduce exactly).
Vec2 latticePoint(int shape, int degree, const int* row) {
  const double k = degree;
  if (shape == EntityType::Triangle) {
    const double u = row[0] / k, v = row[1] / k, w = row[2] / k;
    return {u * kTriangle[0].x + v * kTriangle[1].x + w * kTriangle[2].x,
            u * kTriangle[0].y + v * kTriangle[1].y + w * kTriangle[2].y};
  }
  if (shape == EntityType::Quadrilateral) {
    const double s = row[0] / k, t = row[1] / k;
    const auto mix = [](Vec2 a, Vec2 b, double f) {
      return Vec2{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
    };
    return mix(mix(kQuad[0], kQuad[1], s), mix(kQuad[3], kQuad[2], s), t);
  }
  const double t = row[0] / k;
  return {kEdge[0].x + t * (kEdge[1].x - kEdge[0].x), kEdge[0].y + t * (kEdge[1].y - kEdge[0].y)};
}

class CurvedKinds : public GpuTest {
 protected:
  std::vector<std::uint8_t> draw(int drawKind, const char* program, const std::vector<Vec2>& points) {
    s_target->clear(1, 1, 1, 1);
    std::vector<float> coords;
    std::vector<unsigned> indices;
    for (const Vec2& p : points) {
      coords.insert(coords.end(), {float(p.x), float(p.y), 0.0f});
      indices.push_back(unsigned(indices.size()));
    }
    std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(drawKind));
    buffer->updateVao(gl(), int(points.size()), coords.data(), 1, indices.data());
    GLSLProgram* p = useProgram(program);
    p->setUniform("THICKNESS", 3.0f);
    p->setUniform("tess_level", 8);
    ZelDrawState state;
    EXPECT_EQ(buffer->draw(gl(), state, p), 1) << program;
    return s_target->read();
  }

  static std::vector<Vec2> controlPoints(const Kind& kind) {
    const zel::LatticeOrder* order = zel::latticeNodeOrder(kind.shape, kind.degree);
    std::vector<Vec2> points;
    for (int n = 0; n < order->count; ++n)
      points.push_back(latticePoint(kind.shape, kind.degree, order->row(n)));
    return points;
  }
};

TEST_F(CurvedKinds, StraightElementsInEveryDegreeCoverTheirStraightForm) {
  for (const Kind& kind : kCurvedKinds) {
    const bool triangle = kind.shape == EntityType::Triangle;
    const bool quad = kind.shape == EntityType::Quadrilateral;
    const std::vector<Vec2> corners = triangle ? std::vector<Vec2>{kTriangle[0], kTriangle[1], kTriangle[2]}
                                      : quad   ? std::vector<Vec2>{kQuad[0], kQuad[1], kQuad[2], kQuad[3]}
                                               : std::vector<Vec2>{kEdge[0], kEdge[1]};
    const int straightKind = triangle ? DrawKind::Triangle : quad ? DrawKind::Quadrilateral : DrawKind::Edge;
    const char* straightProgram = triangle ? "TriSha" : quad ? "QuaSha" : "EdgSha";
    const std::vector<std::uint8_t> reference = draw(straightKind, straightProgram, corners);
    const std::vector<std::uint8_t> curved = draw(kind.drawKind, kind.program, controlPoints(kind));
    int covered = 0, differing = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        covered += !isBackground(reference, x, y);
        differing += isBackground(reference, x, y) != isBackground(curved, x, y);
      }
    EXPECT_GT(covered, 1000) << kind.program;
    // Only rounding along the outline may differ.
    EXPECT_LT(differing, covered / 100) << kind.program;
  }
}

TEST_F(CurvedKinds, ABentFirstEdgeBulgesByItsBezierMidpoint) {
  const double pull = 0.2;  // every inner control point of the first edge moves down by this
  for (const Kind& kind : kCurvedKinds) {
    if (kind.shape == EntityType::Triangle) continue;  // the arc test covers triangles
    // A horizontal first edge from (-0.6, -0.3) to (0.6, -0.3).
    std::vector<Vec2> points;
    const zel::LatticeOrder* order = zel::latticeNodeOrder(kind.shape, kind.degree);
    for (int n = 0; n < order->count; ++n) {
      const int* row = order->row(n);
      const double s = double(row[0]) / kind.degree;
      const double t = kind.shape == EntityType::Quadrilateral ? double(row[1]) / kind.degree : 0.0;
      Vec2 p{-0.6 + 1.2 * s, -0.3 + 0.6 * t};
      if (t == 0.0 && s > 0.0 && s < 1.0) p.y -= pull;
      points.push_back(p);
    }
    // The middle of a Bezier edge moves by the pull times the inner weights at one half.
    double weights = 0;
    for (int m = 1; m < kind.degree; ++m)
      weights += std::tgamma(kind.degree + 1) / (std::tgamma(m + 1) * std::tgamma(kind.degree - m + 1)) /
                 std::pow(2.0, kind.degree);
    const double expected = toPixel(-0.3 - pull * weights);
    const std::vector<std::uint8_t> image = draw(kind.drawKind, kind.program, points);
    const int column = kSize / 2;
    int lowest = -1, highest = -1;
    for (int y = 0; y < kSize; ++y)
      if (!isBackground(image, column, y)) {
        if (lowest < 0) lowest = y;
        highest = y;
      }
    ASSERT_GE(lowest, 0) << kind.program;
    if (kind.shape == EntityType::Quadrilateral) {
      EXPECT_NEAR(lowest, expected, 1.5) << kind.program;
    } else {
      // A thick line 6 pixels wide centred on the curve.
      EXPECT_NEAR(0.5 * (lowest + highest + 1), expected, 1.5) << kind.program;
    }
  }
}

}  // namespace
}  // namespace gputest
