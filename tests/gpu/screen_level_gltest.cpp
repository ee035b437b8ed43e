// Screen level of the tessellation stages: a curved edge is cut into as many segments as keep
// it within half a pixel of the exact curve at its size on the screen, whichever way its
// points are listed, never fewer than the curvature rule gives, within the caps; unseen edges
// and a user level of 0 keep the curvature rule's level; picking draws the same outline.
#include <QMatrix4x4>
#include <QVector3D>
#include <cmath>
#include <tuple>

#include "gpu_fixture.h"

namespace gputest {
namespace {

struct EdgeKind {
  int drawKind;
  const char* program;
  int degree;
  int cap;
};

const EdgeKind kEdges[] = {{DrawKind::EdgeP2, "P2EdgSha", 2, 32},
                           {DrawKind::EdgeP3, "P3EdgSha", 3, 32},
                           {DrawKind::EdgeP4, "P4EdgSha", 4, 16}};

// The bent edge of degree k used below: control point m at t = m / k on the chord
// (-0.5, 0.1) to (0.5, -0.1), pulled up by pull(k, m), more towards the second end.
double pull(int k, int m) { return 0.04 * std::sqrt(double(m * (k - m))) * (1.0 + m / double(k)); }
Vec3 bentPoint(int k, int m) {
  const double t = double(m) / k;
  return {-0.5 + t, 0.1 - 0.2 * t + pull(k, m), 0};
}

// Control points in node order (ends first, then the inner points), optionally listed from
// the other end.
std::vector<float> bentEdge(int k, bool reversed) {
  std::vector<float> coords;
  const auto add = [&](int m) {
    const Vec3 p = bentPoint(k, reversed ? k - m : m);
    coords.insert(coords.end(), {float(p.x), float(p.y), float(p.z)});
  };
  add(0);
  add(k);
  for (int m = 1; m < k; ++m) add(m);
  return coords;
}

// Segments the edge must get at zoom `zoom` (x and y of clip coordinates scaled, 512 pixels a
// unit): the curvature rule at user level 4, raised to ceil(sqrt(k (k - 1) B / 4)) with B the
// largest second difference of the control polygon in pixels, within the cap.
int expectedSegments(int k, double zoom, int cap) {
  double largest = 0, bend = 0;
  for (int m = 1; m < k; ++m) largest = std::max(largest, pull(k, m));  // above chord point m
  for (int m = 0; m + 2 <= k; ++m) {
    const double dy = pull(k, m) + pull(k, m + 2) - 2 * pull(k, m + 1);  // the chord's cancel
    bend = std::max(bend, std::abs(dy) * zoom * 512);
  }
  const int rule = std::min(1 + int(5 * 4 * largest / std::hypot(1.0, 0.2)), cap);
  const int screen = int(std::ceil(std::sqrt(k * (k - 1) * bend / 4)));
  return std::min(std::max(rule, screen), cap);
}

class ScreenLevel : public GpuTest {
 protected:
  // Primitives generated drawing one element at `zoom` about the point (shift, 0) of clip
  // space.
  static unsigned primitives(int drawKind, const char* program, const std::vector<float>& coords,
                             double zoom, int level = 4, double shift = 0) {
    const float s = float(zoom),
                mvp[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1, 0, float(shift), 0, 0, 1};
    return GpuTest::primitives(*makeBuffer(drawKind, coords, 1), program, [&](GLSLProgram* p) {
      p->setUniformMatrix4("MVP", mvp);
      p->setUniform("tess_level", level);
    });
  }
  static unsigned primitives(const EdgeKind& kind, const std::vector<float>& coords, double zoom,
                             int level = 4, double shift = 0) {
    return primitives(kind.drawKind, kind.program, coords, zoom, level, shift);
  }
};

TEST_F(ScreenLevel, EdgesGetTheSegmentsTheirScreenSizeNeedsWithinTheCaps) {
  for (const EdgeKind& kind : kEdges) {
    const std::vector<float> forward = bentEdge(kind.degree, false);
    const std::vector<float> backward = bentEdge(kind.degree, true);
    const unsigned one = primitives(kind, forward, 1.0, 0);  // level 0: one straight segment
    ASSERT_GT(one, 0u) << kind.program;
    for (double zoom : {0.01, 1.0, 3.0, 10.0, 1000.0}) {
      const unsigned expected = one * unsigned(expectedSegments(kind.degree, zoom, kind.cap));
      EXPECT_EQ(primitives(kind, forward, zoom), expected) << kind.program << " zoom " << zoom;
      // The faces on both sides of an edge list its points in opposite orders.
      EXPECT_EQ(primitives(kind, backward, zoom), expected) << kind.program << " reversed";
    }
    // Straight on request, however large; a huge user level capped; out of view, the
    // curvature rule alone.
    EXPECT_EQ(primitives(kind, forward, 1000.0, 0), one) << kind.program;
    EXPECT_EQ(primitives(kind, forward, 1.0, 1000), one * unsigned(kind.cap)) << kind.program;
    EXPECT_EQ(primitives(kind, forward, 100.0, 4, 300.0),
              one * unsigned(expectedSegments(kind.degree, 0.0, kind.cap)))
        << kind.program << " out of view";
  }
}

// One bent, uneven element of every curved kind, about a unit across, shown from a fiftieth of
// a pixel to a few hundred pixels at user level 1 (low curvature-rule levels): wherever its
// buffer finds it small enough for the program's "SubPixel" twin, the twin draws the same
// segments; at the largest sizes the screen level adds segments, which the twin cannot.
TEST_F(ScreenLevel, SubPixelTwinsDrawTheSameSegmentsWhereverTheBufferAllowsThem) {
  QMatrix4x4 viewport;  // the fixture's: 512 pixels a unit of clip space
  viewport.scale(kSize / 2.0f, kSize / 2.0f);
  for (const CurvedKind& kind : kCurvedKinds) {
    int jitter = 0;
    const std::vector<float> coords =
        controlPoints(kind.shape, kind.degree, [&](double s, double t, const int*) {
          const double wobble = 0.04 * ((jitter++ * 7) % 5 - 2);
          return Vec3{s - 0.5 + 0.3 * (t - 0.5) * (t - 0.5) + wobble,
                      t - 0.5 + 0.5 * s * (1 - s) - wobble, 0};
        });
    const auto buffer = makeBuffer(kind.drawKind, coords, 1);
    const ZelShaderProgramSources* twin = zelSubPixelProgram(kind.program);
    ASSERT_TRUE(twin) << kind.program;
    int twinDrawn = 0;
    bool floorSeen = false;
    for (double pixels = 0.02; pixels < 400; pixels *= 1.6) {
      const double zoom = pixels / (kSize / 2.0);
      QMatrix4x4 mvp;
      mvp.scale(float(zoom), float(zoom));
      const unsigned full = primitives(kind.drawKind, kind.program, coords, zoom, 1);
      const unsigned coarse = primitives(kind.drawKind, twin->name, coords, zoom, 1);
      EXPECT_GE(full, coarse) << kind.program << " at " << pixels << " pixels";
      floorSeen |= full > coarse;
      if (!buffer->screenLevelIsOne(mvp, viewport, 1.0f, QVector3D())) continue;
      EXPECT_EQ(coarse, full) << kind.program << " at " << pixels << " pixels";
      ++twinDrawn;
    }
    EXPECT_GT(twinDrawn, 0) << kind.program << ": never small enough";
    EXPECT_TRUE(floorSeen) << kind.program << ": the screen level never mattered";
  }
}

// A straight element of every curved kind on a wall turned slightly away from the eye, seen in
// perspective from far away to close up: wherever the buffer allows the "SubPixel" twin, it
// draws the same segments. Straight elements get it while they span hundreds of pixels; close
// to the eye perspective bends their edges on the screen, the screen level adds segments and
// the buffer must refuse.
TEST_F(ScreenLevel, StraightElementsDrawThroughTheTwinUnlessPerspectiveBendsThem) {
  QMatrix4x4 viewport;  // the fixture's: 512 pixels a unit of clip space
  viewport.scale(kSize / 2.0f, kSize / 2.0f);
  for (const auto& [kind, shape, degree, program] :
       {std::tuple{DrawKind::EdgeP2, EntityType::Edge, 2, "P2EdgSha"},
        {DrawKind::EdgeP4, EntityType::Edge, 4, "P4EdgSha"},
        {DrawKind::TriangleP2, EntityType::Triangle, 2, "P2TriSha"},
        {DrawKind::TriangleP3, EntityType::Triangle, 3, "P3TriSha"},
        {DrawKind::QuadrilateralQ2, EntityType::Quadrilateral, 2, "Q2QuaSha"},
        {DrawKind::QuadrilateralQ4, EntityType::Quadrilateral, 4, "Q4QuaSha"}}) {
    const bool edge = shape == EntityType::Edge;
    const std::vector<float> coords =
        controlPoints(shape, degree, [&](double s, double t, const int*) {
          return edge ? Vec3{s - 0.5, 0.2 * s - 0.1, -0.002 * s}
                      : Vec3{s + 0.2 * t - 0.5, t - 0.5, -0.002 * t};
        });
    const auto buffer = makeBuffer(kind, coords, 1);
    const char* twin = zelSubPixelProgram(program)->name;
    bool largeAllowed = false, bentRefused = false;
    for (double distance = 0.02; distance < 100; distance *= 1.5) {
      QMatrix4x4 mvp;
      mvp.perspective(60, 1, 0.01f, 1000);
      mvp.translate(0, 0, float(-distance));
      const auto drawn = [&](const char* name) {
        return GpuTest::primitives(*buffer, name, [&](GLSLProgram* p) {
          p->setUniformMatrix4("MVP", mvp.constData());
          p->setUniform("tess_level", 1);
        });
      };
      const unsigned full = drawn(program), coarse = drawn(twin);
      const bool allowed = buffer->screenLevelIsOne(mvp, viewport, 1.0f, QVector3D());
      if (allowed) {
        EXPECT_EQ(coarse, full) << program << " at distance " << distance;
      }
      largeAllowed |= allowed && distance < 2;  // the element spans over 200 pixels
      bentRefused |= !allowed && full > coarse;
    }
    EXPECT_TRUE(largeAllowed) << program << ": a large straight element never got the twin";
    EXPECT_TRUE(bentRefused) << program << ": perspective never bent the element";
  }
}

// A P2 triangle whose first edge bends by 40 pixels at zoom 1 (its curvature alone gives it
// four segments): zoomed ten times, the picking pass covers the strip between the chord and the
// curve just as the picture does, out to within a pixel of the curve.
TEST_F(ScreenLevel, PickingCoversTheCurvedOutline) {
  // Vertices (-0.5, 0), (0.5, 0), (0, -0.5); the edge 0-1 bulges up to y = 40 / 512 at x = 0.
  const double top = 40.0 / 512;
  const std::vector<float> coords = {
      -0.5f,          0, 0,     0.5f,   0, 0,      0,      -0.5f, 0, 0,
      float(2 * top), 0, 0.25f, -0.25f, 0, -0.25f, -0.25f, 0};
  const double zoom = 10;
  const float mvp[16] = {float(zoom),        0, 0, 0, 0, float(zoom), 0, 0, 0, 0, 1, 0, 0,
                         float(-zoom * top), 0, 1};  // the curve's top at the centre
  for (const bool picking : {false, true}) {
    const Image image = render(DrawKind::TriangleP2, "P2TriSha", coords, 1, [&](GLSLProgram* p) {
      p->setUniformMatrix4("MVP", mvp);
      p->setUniform("Picking", picking);
    });
    // Along columns near the centre, below the curve y = top (1 - 4 x^2): pixels more than a
    // pixel below it are the triangle's, pixels more than a pixel above it background.
    for (int x = 312; x <= 712; x += 50) {
      const double u = (toNdc(x + 0.5) / zoom);
      const double curve = zoom * (top * (1 - 4 * u * u) - top);  // clip y of the curve
      const int below = int(std::floor(toPixel(curve))) - 1;
      const std::uint8_t* p = pixel(image, x, below);
      if (picking)
        EXPECT_EQ(pickingId(p), 1u) << "column " << x;
      else
        EXPECT_FALSE(isBackground(p)) << "column " << x;
      EXPECT_TRUE(isBackground(pixel(image, x, below + 3))) << "column " << x;
    }
  }
}

}  // namespace
}  // namespace gputest
