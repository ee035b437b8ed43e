// Screen level of the tessellation stages: segments enough for half a pixel of the exact curve,
// and the twins that skip the measure.
#include <QMatrix4x4>
#include <QVector3D>

#include "gpu_fixture.h"

namespace gputest {
namespace {

// The bent edge of degree k used below: control point m at t = m / k on the chord
// (-0.5, 0.1) to (0.5, -0.1), pulled up by pull(k, m), more towards the second end.
double pull(int k, int m) { return 0.04 * std::sqrt(double(m * (k - m))) * (1.0 + m / double(k)); }

// Segments the edge must get at zoom `zoom` (x and y of clip coordinates scaled, 512 pixels a
// unit): the curvature rule at user level 4, raised to ceil(sqrt(k (k - 1) B / 4)) with B the
// largest second difference of the control polygon in pixels, within the cap.
int expectedSegments(int k, double zoom, int cap) {
  double largest = 0, bend = 0;
  for (int m = 1; m < k; ++m) largest = std::max(largest, pull(k, m));  // above chord point m
  for (int m = 0; m + 2 <= k; ++m)  // the chord's second differences cancel
    bend = std::max(bend, std::abs(pull(k, m) + pull(k, m + 2) - 2 * pull(k, m + 1)) * zoom * 512);
  const int rule = std::min(1 + int(5 * 4 * largest / std::hypot(1.0, 0.2)), cap);
  return std::min(std::max(rule, int(std::ceil(std::sqrt(k * (k - 1) * bend / 4)))), cap);
}

class ScreenLevel : public GpuTest {
 protected:
  static Configure placed(const QMatrix4x4& mvp, int level) {
    return [=](GLSLProgram* p) {
      p->setUniformMatrix4("MVP", mvp.constData());
      p->setUniform("tess_level", level);
    };
  }
  // Draws `buffer` through `program` and its "SubPixel" twin under `mvp` at user level 1:
  // wherever the buffer allows the twin, both generate the same primitives. Returns whether
  // the buffer allowed it and whether the full program drew more.
  static std::pair<bool, bool> twinAgrees(ZelBufferObject& buffer, const char* program,
                                          const QMatrix4x4& mvp, const std::string& where) {
    QMatrix4x4 viewport;  // the fixture's: 512 pixels a unit of clip space
    viewport.scale(kSize / 2.0f, kSize / 2.0f);
    const ZelShaderProgramSources* twin = zelSubPixelProgram(program);
    EXPECT_TRUE(twin) << program;
    if (!twin) return {false, false};
    const unsigned full = primitives(buffer, program, placed(mvp, 1));
    const unsigned coarse = primitives(buffer, twin->name, placed(mvp, 1));
    EXPECT_GE(full, coarse) << program << where;
    const bool allowed = buffer.screenLevelIsOne(mvp, viewport, 1.0f, QVector3D());
    EXPECT_TRUE(!allowed || coarse == full) << program << where << ": " << coarse << " of " << full;
    return {allowed, full > coarse};
  }
};

TEST_F(ScreenLevel, EdgesGetTheSegmentsTheirScreenSizeNeedsWithinTheCaps) {
  for (const auto& [kind, program, k, cap] : {std::tuple{DrawKind::EdgeP2, "P2EdgSha", 2, 32},
                                              {DrawKind::EdgeP3, "P3EdgSha", 3, 32},
                                              {DrawKind::EdgeP4, "P4EdgSha", 4, 16}}) {
    // Control points in node order (ends first, then the inner points), forward and listed
    // from the other end: the faces on both sides of an edge list them in opposite orders.
    Buffer edges[2];
    for (int reversed = 0; reversed < 2; ++reversed) {
      std::vector<float> coords;
      for (int n = 0; n <= k; ++n) {
        const int m = n == 0 ? 0 : n == 1 ? k : n - 1, at = reversed ? k - m : m;
        coords.insert(coords.end(),
                      {float(at) / k - 0.5f, float(0.1 - 0.2 * at / k + pull(k, at)), 0.0f});
      }
      edges[reversed] = makeBuffer(kind, coords, 1);
    }
    const auto drawn = [&, kind = kind, program = program](int reversed, double zoom, int level,
                                                           double shift = 0) {
      QMatrix4x4 mvp;
      mvp.translate(float(shift), 0);
      mvp.scale(float(zoom), float(zoom));
      return primitives(*edges[reversed], program, placed(mvp, level));
    };
    const unsigned one = drawn(0, 1.0, 0);  // level 0: one straight segment
    ASSERT_GT(one, 0u) << program;
    for (double zoom : {0.01, 1.0, 3.0, 10.0, 1000.0})
      for (int reversed : {0, 1})
        EXPECT_EQ(drawn(reversed, zoom, 4), one * unsigned(expectedSegments(k, zoom, cap)))
            << program << " zoom " << zoom << (reversed ? " reversed" : "");
    // Straight on request, however large; a huge user level capped; out of view, the
    // curvature rule alone.
    EXPECT_EQ(drawn(0, 1000.0, 0), one) << program;
    EXPECT_EQ(drawn(0, 1.0, 1000), one * unsigned(cap)) << program;
    EXPECT_EQ(drawn(0, 100.0, 4, 300.0), one * unsigned(expectedSegments(k, 0.0, cap)))
        << program << " out of view";
  }
}

// Every curved kind at user level 1, bent and zoomed from a fiftieth of a pixel to hundreds, and
// straight on a wall turned slightly away, seen in perspective from far to close: wherever the
// buffer allows the twin, it draws the same segments. The bent element gets it when small; the
// straight one while it spans hundreds of pixels, until perspective bends its edges on screen.
TEST_F(ScreenLevel, TwinsDrawTheSameSegmentsWhereverTheBufferAllowsThem) {
  for (const CurvedKind& kind : kCurvedKinds) {
    const bool edge = kind.shape == EntityType::Edge;
    int jitter = 0;
    const auto uneven = [&](double s, double t, const int*) {
      const double wobble = 0.04 * ((jitter++ * 7) % 5 - 2);
      return Vec3{s - 0.5 + 0.3 * (t - 0.5) * (t - 0.5) + wobble,
                  t - 0.5 + 0.5 * s * (1 - s) - wobble, 0};
    };
    const auto wall = [&](double s, double t, const int*) {
      return edge ? Vec3{s - 0.5, 0.2 * s - 0.1, -0.002 * s}
                  : Vec3{s + 0.2 * t - 0.5, t - 0.5, -0.002 * t};
    };
    Buffer bent = makeBuffer(kind.drawKind, controlPoints(kind.shape, kind.degree, uneven), 1);
    Buffer straight = makeBuffer(kind.drawKind, controlPoints(kind.shape, kind.degree, wall), 1);
    bool smallAllowed = false, floorSeen = false, largeAllowed = false, bentRefused = false;
    for (int step = 0; step < 22; ++step) {
      const double pixels = 0.02 * std::pow(1.6, step), distance = 0.02 * std::pow(1.5, step);
      QMatrix4x4 zoomed, seen;
      zoomed.scale(float(pixels / 512), float(pixels / 512));
      seen.perspective(60, 1, 0.01f, 1000);
      seen.translate(0, 0, float(-distance));
      const auto [small, more] =
          twinAgrees(*bent, kind.program, zoomed, " bent, step " + std::to_string(step));
      const auto [allowed, bends] =
          twinAgrees(*straight, kind.program, seen, " straight, step " + std::to_string(step));
      smallAllowed |= small;
      floorSeen |= more;
      largeAllowed |= allowed && distance < 2;  // the element spans over 200 pixels
      bentRefused |= !allowed && bends;
    }
    EXPECT_TRUE(smallAllowed) << kind.program << ": never small enough";
    EXPECT_TRUE(floorSeen) << kind.program << ": the screen level never mattered";
    EXPECT_TRUE(largeAllowed) << kind.program << ": a large straight element never got the twin";
    EXPECT_TRUE(bentRefused) << kind.program << ": perspective never bent the element";
  }
}

}  // namespace
}  // namespace gputest
