// Solution colours and picking ids per element: on large objects every element gets its own
// coefficients and id however the draw is split, and solutions of any degree show the colour
// map at the Bernstein value of their coefficients.
#include <random>

#include "gpu/patch_draws.h"
#include "gpu_fixture.h"

namespace gputest {
namespace {

// Elements of one kind on a grid of cells, not sharing vertices, with one pixel centre (clip
// coordinates) well inside each element and a constant value per element, consecutive
// elements far apart in the colour map.
struct Grid {
  std::vector<float> coords, values;
  std::vector<Vec3> samples;
  void add(Vec3 p) { coords.insert(coords.end(), {float(p.x), float(p.y), 0.0f}); }
  void close(Vec3 sample) {
    samples.push_back(sample);
    values.push_back(((values.size() * 37) % 100 + 0.5f) / 100.0f);
  }
  int elements() const { return int(samples.size()); }
};

// A gentle global warp, so that P2 triangles are genuinely curved but stay where expected.
Vec3 warp(Vec3 p) {
  return {p.x + 0.02 * std::sin(M_PI * p.y), p.y + 0.02 * std::sin(M_PI * p.x), 0};
}

// cells x cells squares over [-0.95, 0.95]^2, each giving two warped P2 triangles (Bezier mid
// control points from the warped mid-edge nodes), one straight quadrilateral, or one P2 edge
// bent upward across it.
Grid grid(int kind, int cells) {
  Grid g;
  const double h = 1.9 / cells;
  for (int j = 0; j < cells; ++j)
    for (int i = 0; i < cells; ++i) {
      const Vec3 a{-0.95 + i * h, -0.95 + j * h, 0}, b{a.x + h, a.y, 0}, c{a.x + h, a.y + h, 0},
          d{a.x, a.y + h, 0};
      if (kind == DrawKind::Quadrilateral) {
        for (const Vec3& p : {a, b, c, d}) g.add(p);
        g.close({a.x + h / 2, a.y + h / 2, 0});
      } else if (kind == DrawKind::EdgeP2) {
        // Sampled at t = 1/4, inside the first of the two segments drawn at level 1.
        const Vec3 e0{a.x, a.y + h / 2, 0}, e1{a.x + 0.8 * h, e0.y, 0},
            mid{a.x + 0.4 * h, e0.y + 0.3 * h, 0};
        for (const Vec3& p : {e0, e1, mid}) g.add(p);
        g.close({(9 * e0.x + 6 * mid.x + e1.x) / 16, (9 * e0.y + 6 * mid.y + e1.y) / 16, 0});
      } else {
        for (const auto& t : {std::array<Vec3, 3>{a, b, d}, std::array<Vec3, 3>{b, c, d}}) {
          for (const Vec3& p : t) g.add(warp(p));
          for (int e = 0; e < 3; ++e) {
            const Vec3 p = t[e], q = t[(e + 1) % 3],
                       m = warp({(p.x + q.x) / 2, (p.y + q.y) / 2, 0});
            const Vec3 wp = warp(p), wq = warp(q);
            g.add({2 * m.x - (wp.x + wq.x) / 2, 2 * m.y - (wp.y + wq.y) / 2, 0});
          }
          g.close(warp({(t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3, 0}));
        }
      }
    }
  return g;
}

class SolutionColour : public GpuTest {
 protected:
  // Elements whose sample pixel does not show its own colour (picking: id base + k).
  static int mismatches(const Grid& g, bool picking, int base = 0, bool report = true) {
    const Image image = s_target->read();
    int wrong = 0;
    for (int k = 0; k < g.elements(); ++k) {
      const std::uint8_t* p = at(image, g.samples[k].x, g.samples[k].y);
      const bool ok =
          picking ? pickingId(p) == std::uint32_t(base + k) : near(p, expectedColour(g.values[k]));
      if (!ok && ++wrong <= 5 && report)
        ADD_FAILURE() << "element " << k << " shows " << int(p[0]) << " " << int(p[1]) << " "
                      << int(p[2]) << " " << int(p[3]);
    }
    return wrong;
  }
  static Configure mode(bool picking, int base, int level = 4) {
    // Edges 4 pixels wide: the sampled pixel lies inside.
    return set({{"SolOn", 1}, {"Picking", picking}, {"BasePicking", base}, {"tess_level", level}},
               {{"THICKNESS", 2.0f}});
  }
};

TEST_F(SolutionColour, EveryElementOfALargeObjectHasItsOwnValueAndId) {
  const ZelPaletteState palette = testPalette();
  for (const auto& [kind, program, cells] : {std::tuple{DrawKind::TriangleP2, "P2TriSha", 100},
                                             {DrawKind::Quadrilateral, "QuaSha", 142},
                                             {DrawKind::EdgeP2, "P2EdgSha", 142}}) {
    const bool coloured = kind != DrawKind::EdgeP2;  // edges show no solution
    const Grid g = grid(kind, cells);
    ASSERT_GE(g.elements(), 20000);
    Buffer buffer =
        makeBuffer(kind, g.coords, g.elements(), coloured ? &palette : nullptr, g.values);
    if (coloured) {
      EXPECT_EQ(draw(*buffer, program, mode(false, 1)), g.elements());
      EXPECT_EQ(mismatches(g, false), 0) << program;
    }
    s_target->clear(0, 0, 0, 0);
    // Edges at level 1: two segments, the sample in the middle of the first.
    EXPECT_EQ(draw(*buffer, program, mode(true, 70000, coloured ? 4 : 1)), g.elements());
    EXPECT_EQ(mismatches(g, true, 70000), 0) << program;
    s_target->clear(1, 1, 1, 1);
  }
}

// Some drivers restart the tessellation primitive id every few hundred patches, so that one
// draw of a whole object numbers its elements wrongly. The driver probe must agree with what
// one draw of a real object does, whatever the driver, and batches must number exactly.
TEST_F(SolutionColour, TheDriverProbeAgreesWithWhatOneDrawOfAnObjectDoes) {
  const bool exact = patchNumberingIsExact(gl());
  const Grid g = grid(DrawKind::TriangleP2, 30);
  Buffer buffer = makeBuffer(DrawKind::TriangleP2, g.coords, g.elements());
  for (int batch : {1 << 30, kBatchPatches}) {
    ZelBufferObject::setMaxPatchesPerDraw(batch);
    s_target->clear(0, 0, 0, 0);
    draw(*buffer, "P2TriSha", mode(true, 1));
    const int wrong = mismatches(g, true, 1, batch == kBatchPatches);
    EXPECT_TRUE(batch == kBatchPatches || exact == (wrong == 0)) << wrong << " of " << g.elements();
  }
}

// One large element with a solution of degree d, coefficients in the node order of the
// lattice tables, through a colour map: each pixel shows the map at the Bernstein value.
TEST_F(SolutionColour, SolutionsOfEveryDegreeShowTheirBernsteinValue) {
  const int tri = EntityType::Triangle, quad = EntityType::Quadrilateral;
  // Shape, geometry degree, solution degree, colour map: published and constructed maps of
  // every size class on the straight triangle.
  std::vector<std::array<int, 4>> cases = {{tri, 1, 3, 7},  {tri, 2, 3, 7},  {tri, 2, 10, 7},
                                           {quad, 1, 5, 7}, {quad, 2, 2, 7}, {tri, 1, 0, 7}};
  for (int map : {0, 2, 6, 10}) cases.push_back({tri, 1, 3, map});
  for (const auto& [shape, geometryDegree, degree, map] : cases) {
    const bool t = shape == tri, straight = geometryDegree == 1;
    const int kind = straight ? (t ? DrawKind::Triangle : DrawKind::Quadrilateral)
                              : (t ? DrawKind::TriangleP2 : DrawKind::QuadrilateralQ2);
    const char* program = straight ? (t ? "TriSha" : "QuaSha") : (t ? "P2TriSha" : "Q2QuaSha");
    const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
    std::vector<float> coefficients(degree == 0 ? 1 : order->count);
    std::mt19937 random(degree);
    for (float& value : coefficients) value = std::uniform_real_distribution<float>(0, 1)(random);
    const ZelPaletteState palette = testPalette(map);
    const auto place = [&, shape = shape](double s, double t, const int*) {
      return elementPoint(shape, s, t);
    };
    Buffer buffer = makeBuffer(kind, controlPoints(shape, geometryDegree, place), 1, &palette,
                               coefficients, degree);
    const std::string what =
        std::string(program) + " degree " + std::to_string(degree) + " map " + std::to_string(map);
    ASSERT_EQ(draw(*buffer, program, mode(false, 1)), 1);
    const Image image = s_target->read();
    s_target->clear(1, 1, 1, 1);
    int checked = 0, wrong = 0;
    for (int y = 5; y < kSize; y += 37)
      for (int x = 5; x < kSize; x += 37) {
        double u, v, value = degree == 0 ? coefficients[0] : 0;
        if (!elementParameters(shape, toNdc(x + 0.5), toNdc(y + 0.5), 0.02, u, v)) continue;
        for (int n = 0; degree > 0 && n < order->count; ++n)
          value += coefficients[n] * bezierWeight(shape, degree, order->row(n), u, v);
        const std::uint8_t* got = pixel(image, x, y);
        if (!near(got, expectedColour(value, map)) && ++wrong <= 3)
          ADD_FAILURE() << what << " at u " << u << ", v " << v << ": " << int(got[0]) << " "
                        << int(got[1]) << " " << int(got[2]) << " for value " << value;
        ++checked;
      }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_GT(checked, 150) << what;
  }
}

TEST_F(SolutionColour, ValuesOutsideThePaletteTakeTheEndColours) {
  const std::vector<float> two = {-0.9f, -0.5f, 0, -0.1f, -0.5f, 0, -0.5f, 0.5f, 0,
                                  0.1f,  -0.5f, 0, 0.9f,  -0.5f, 0, 0.5f,  0.5f, 0};
  const ZelPaletteState palette = testPalette();
  draw(*makeBuffer(DrawKind::Triangle, two, 2, &palette, {-5.0f, 7.5f}, 0), "TriSha",
       mode(false, 1));
  const Image image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0, 0, 0.5f, 1)) << "first entry of jet";
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0.5f, 0, 0, 1)) << "last entry of jet";
}

}  // namespace
}  // namespace gputest
