// Curved triangles drawn through their buffers: the tessellated boundary follows a circular
// arc at high levels and collapses to the chord at level 0; every program of the suite builds.
#include <cmath>
#include <utility>
#include <memory>
#include <vector>

#include "gpu_fixture.h"

namespace gputest {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Centre of the arc and radius in pixels; the arc spans 50 degrees from the x axis, small
// enough that a quadratic through three points of it stays within 0.6 pixel of the circle.
constexpr double kCentre = 60.0;
constexpr double kRadius = 300.0;
constexpr double kAngle = 50.0 * kPi / 180.0;

struct Point2 {
  double x, y;
};

Point2 onArc(double angle) {
  return {kCentre + kRadius * std::cos(angle), kCentre + kRadius * std::sin(angle)};
}
Point2 lerp(Point2 a, Point2 b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }

// Control points (pixels) of a triangle: centre O, A at angle 0, B at kAngle, the edge A-B
// interpolating the circle at its equispaced nodes, the two radii straight.
std::vector<Point2> arcTriangle(int degree) {
  const Point2 o{kCentre, kCentre}, a = onArc(0), b = onArc(kAngle);
  std::vector<Point2> points = {o, a, b};
  for (int k = 1; k < degree; ++k) points.push_back(lerp(o, a, double(k) / degree));
  if (degree == 2) {
    const Point2 m = onArc(kAngle / 2);
    points.push_back({2 * m.x - 0.5 * (a.x + b.x), 2 * m.y - 0.5 * (a.y + b.y)});
  } else {
    const Point2 p1 = onArc(kAngle / 3), p2 = onArc(2 * kAngle / 3);
    points.push_back({(-5 * a.x + 18 * p1.x - 9 * p2.x + 2 * b.x) / 6,
                      (-5 * a.y + 18 * p1.y - 9 * p2.y + 2 * b.y) / 6});
    points.push_back({(2 * a.x - 9 * p1.x + 18 * p2.x - 5 * b.x) / 6,
                      (2 * a.y - 9 * p1.y + 18 * p2.y - 5 * b.y) / 6});
  }
  for (int k = 1; k < degree; ++k) points.push_back(lerp(b, o, double(k) / degree));
  if (degree == 3) {
    // Interior point reproducing quadratic maps: edge points / 4 - vertices / 6.
    Point2 inner{0, 0};
    for (int k = 3; k < 9; ++k) inner = {inner.x + points[k].x / 4, inner.y + points[k].y / 4};
    for (int k = 0; k < 3; ++k) inner = {inner.x - points[k].x / 6, inner.y - points[k].y / 6};
    points.push_back(inner);
  }
  return points;
}

class CurvedTriangle : public GpuTest {
 protected:
  // Draws the arc triangle of that degree at a tessellation level and returns the image.
  std::vector<std::uint8_t> drawArc(int degree, int level) {
    const std::vector<Point2> points = arcTriangle(degree);
    std::vector<float> coords;
    std::vector<unsigned> indices;
    for (const Point2& p : points) {
      coords.insert(coords.end(), {float(toNdc(p.x)), float(toNdc(p.y)), 0.0f});
      indices.push_back(unsigned(indices.size()));
    }
    GLSLProgram* program = useProgram(degree == 2 ? "P2TriSha" : "P3TriSha");
    program->setUniform("tess_level", level);
    std::unique_ptr<ZelBufferObject> buffer(
        ZelBufferObject::create(degree == 2 ? DrawKind::TriangleP2 : DrawKind::TriangleP3));
    buffer->updateVao(gl(), int(points.size()), coords.data(), 1, indices.data());
    ZelDrawState state;
    EXPECT_EQ(buffer->draw(gl(), state, program), 1);
    EXPECT_EQ(state.displayed, 1);
    return s_target->read();
  }

  // Where the covered region ends along the ray at `angle`, from the arc centre: halfway
  // between the farthest covered and the nearest uncovered pixel centre beyond it, among the
  // centres within half a pixel of the ray (a pixel is covered when its centre is inside).
  static double boundaryRadius(const std::vector<std::uint8_t>& image, double angle) {
    const double cx = std::cos(angle), cy = std::sin(angle);
    double inside = 0, outside = 1e9;
    std::vector<std::pair<double, bool>> samples;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double dx = x + 0.5 - kCentre, dy = y + 0.5 - kCentre;
        const double along = dx * cx + dy * cy;
        if (std::abs(dx * cy - dy * cx) > 0.5 || along < 0.7 * kRadius || along > kRadius + 20)
          continue;
        samples.emplace_back(along, !isBackground(image, x, y));
        if (!isBackground(image, x, y)) inside = std::max(inside, along);
      }
    for (const auto& sample : samples)
      if (!sample.second && sample.first > inside) outside = std::min(outside, sample.first);
    return 0.5 * (inside + outside);
  }
};

TEST_F(CurvedTriangle, BoundaryFollowsTheArcAtHighLevels) {
  for (int degree : {2, 3})
    for (int level : {8, 16}) {
      const std::vector<std::uint8_t> image = drawArc(degree, level);
      double worst = 0;
      for (double degrees = 2; degrees <= 48; degrees += 1) {
        const double angle = degrees * kPi / 180;
        worst = std::max(worst, std::abs(boundaryRadius(image, angle) - kRadius));
      }
      EXPECT_LE(worst, 1.5) << "degree " << degree << " level " << level;
      s_target->clear(1, 1, 1, 1);
    }
}

TEST_F(CurvedTriangle, LevelZeroDrawsTheChord) {
  for (int degree : {2, 3}) {
    const std::vector<std::uint8_t> image = drawArc(degree, 0);
    for (double degrees = 2; degrees <= 48; degrees += 2) {
      const double angle = degrees * kPi / 180;
      const double chord = kRadius * std::cos(kAngle / 2) / std::cos(angle - kAngle / 2);
      EXPECT_NEAR(boundaryRadius(image, angle), chord, 1.5)
          << "degree " << degree << " at " << degrees << " degrees";
    }
    s_target->clear(1, 1, 1, 1);
  }
}

TEST_F(CurvedTriangle, EveryProgramOfTheSuiteBuilds) {
  int count = 0;
  const ZelShaderProgramSources* programs = zelShaderPrograms(count);
  ASSERT_EQ(count, 17);
  for (int i = 0; i < count; ++i) {
    GLSLProgram* program = useProgram(programs[i].name);
    ASSERT_NE(program, nullptr) << programs[i].name;
    EXPECT_TRUE(program->isLinked()) << programs[i].name;
    EXPECT_GT(program->handle(), 0) << programs[i].name;
  }
}

}  // namespace
}  // namespace gputest
