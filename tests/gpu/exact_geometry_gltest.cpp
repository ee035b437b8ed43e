// Curved kinds and solutions against exact geometry (bent edges, circular arcs, surface normals,
// Bernstein values, all in the lattice tables' node order), and per-element values and ids.
#include <random>

#include "gpu/patch_draws.h"
#include "gpu_fixture.h"

namespace gputest {
namespace {

// Elements of one shape and degree, one per cell of a grid over [-0.95, 0.95]^2, bent by a
// bulge (straight at degree 1); each with its Bezier point at (1/3, 1/3), (1/2, 1/2) or 1/4 as
// sample and a constant value, consecutive elements far apart in the colour map.
struct Grid {
  std::vector<float> coords, values;
  std::vector<Vec3> samples;
  Grid(int shape, int degree, int cells) {
    const double h = 1.9 / cells, u = shape == EntityType::Triangle ? 1 / 3.0 : 0.5;
    const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
    for (int j = 0; j < cells; ++j)
      for (int i = 0; i < cells; ++i) {
        const std::vector<float> points =
            controlPoints(shape, degree, [&](double s, double t, const int*) {
              return Vec3{-0.95 + h * (i + 0.05 + 0.9 * s + 0.1 * t * (1 - t)),
                          -0.95 + h * (j + 0.05 + 0.9 * t + 0.3 * s * (1 - s)), 0};
            });
        Vec3 sample{0, 0, 0};
        for (int n = 0; n < order->count; ++n) {
          const double w =
              bezierWeight(shape, degree, order->row(n), shape == EntityType::Edge ? 0.25 : u, u);
          sample = {sample.x + w * points[3 * n], sample.y + w * points[3 * n + 1], 0};
        }
        coords.insert(coords.end(), points.begin(), points.end());
        samples.push_back(sample);
        values.push_back(((values.size() * 37) % 100 + 0.5f) / 100.0f);
      }
  }
  int elements() const { return int(samples.size()); }
};

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
  for (const auto& [kind, program, shape, degree] :
       {std::tuple{DrawKind::TriangleP2, "P2TriSha", EntityType::Triangle, 2},
        {DrawKind::Quadrilateral, "QuaSha", EntityType::Quadrilateral, 1},
        {DrawKind::EdgeP2, "P2EdgSha", EntityType::Edge, 2}}) {
    const bool coloured = kind != DrawKind::EdgeP2;  // edges show no solution
    const Grid g(shape, degree, 142);
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
  const Grid g(EntityType::Triangle, 2, 42);
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
// lattice tables, through a colour map: each pixel shows the map at the Bernstein value, and
// values beyond the palette the end colours.
TEST_F(SolutionColour, SolutionsOfEveryDegreeShowTheirBernsteinValue) {
  const int tri = EntityType::Triangle, quad = EntityType::Quadrilateral;
  // Shape, geometry degree, solution degree, colour map: published and constructed maps of
  // every size class on the straight triangle.
  std::vector<std::array<int, 4>> cases = {{tri, 1, 3, 7},  {tri, 2, 3, 7},  {tri, 2, 10, 7},
                                           {quad, 1, 5, 7}, {quad, 2, 2, 7}, {tri, 1, 0, 7}};
  for (int map : {0, 2, 6, 10}) cases.push_back({tri, 1, 3, map});
  int beyond[2] = {0, 0};  // pixels below and above the palette
  for (const auto& [shape, geometryDegree, degree, map] : cases) {
    const bool t = shape == tri, straight = geometryDegree == 1;
    const int kind = straight ? (t ? DrawKind::Triangle : DrawKind::Quadrilateral)
                              : (t ? DrawKind::TriangleP2 : DrawKind::QuadrilateralQ2);
    const char* program = straight ? (t ? "TriSha" : "QuaSha") : (t ? "P2TriSha" : "Q2QuaSha");
    const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, degree);
    std::vector<float> coefficients(degree == 0 ? 1 : order->count);
    std::mt19937 random(degree);
    for (float& value : coefficients) value = std::uniform_real_distribution<float>(-1, 2)(random);
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
        beyond[0] += value<-0.01, beyond[1] += value> 1.01;
        const std::uint8_t* got = pixel(image, x, y);
        if (!near(got, expectedColour(value, map)) && ++wrong <= 3)
          ADD_FAILURE() << what << " at u " << u << ", v " << v << ": " << int(got[0]) << " "
                        << int(got[1]) << " " << int(got[2]) << " for value " << value;
        ++checked;
      }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_GT(checked, 150) << what;
  }
  EXPECT_TRUE(beyond[0] > 20 && beyond[1] > 20) << beyond[0] << " below, " << beyond[1] << " above";
}

using CurvedKinds = GpuTest;

TEST_F(CurvedKinds, ABentFirstEdgeBulgesByItsBezierMidpoint) {
  const double pull = 0.2;  // every inner control point of the first edge moves down by this
  for (const CurvedKind& kind : kCurvedKinds) {
    // First edge from (-0.6, -0.3) to (0.6, -0.3); triangles put vertex 2 at (0, 0.3).
    const bool triangle = kind.shape == EntityType::Triangle;
    const auto place = [&](double s, double t, const int* row) {
      const bool inner =
          triangle ? row[2] == 0 && row[0] > 0 && row[1] > 0 : t == 0 && s > 0 && s < 1;
      return triangle ? Vec3{-0.6 * s + 0.6 * t, 0.3 - 0.6 * (s + t) - inner * pull, 0}
                      : Vec3{-0.6 + 1.2 * s, -0.3 + 0.6 * t - inner * pull, 0};
    };
    // The inner Bernstein weights at 1/2 sum to all but the two ends' 2^-k each.
    const double expected = toPixel(-0.3 - pull * (1 - std::pow(2.0, 1 - kind.degree)));
    const Image image =
        render(kind.drawKind, kind.program, controlPoints(kind.shape, kind.degree, place), 1,
               set({{"tess_level", 8}}, {{"THICKNESS", 3.0f}}));
    int lowest = -1, highest = -1;
    for (int y = 0; y < kSize; ++y)
      if (!isBackground(pixel(image, kSize / 2, y))) highest = y, lowest = lowest < 0 ? y : lowest;
    ASSERT_GE(lowest, 0) << kind.program;
    // Surfaces end at the curve; a thick line is 6 pixels wide about it.
    const double found = kind.shape == EntityType::Edge ? 0.5 * (lowest + highest + 1) : lowest;
    EXPECT_NEAR(found, expected, 1.5) << kind.program;
  }
}

// Height fields over the test element with bent control heights, lit by a diffuse point
// light: each pixel must show Kd max(s . n, 0) with n the exact normal of the Bezier surface
// at that pixel and s the direction to the light.
TEST_F(CurvedKinds, ShadedPatchesCarryTheNormalOfTheExactSurface) {
  CurvedKind surfaces[7] = {{DrawKind::Quadrilateral, "QuaSha", EntityType::Quadrilateral, 1}};
  std::copy(kCurvedKinds, kCurvedKinds + 6, surfaces + 1);
  const Vec3 light{1.0, 0.6, 0.5};  // eye coordinates; the surface lies 2 units before the eye
  const double kd = 0.9;
  for (const CurvedKind& kind : surfaces) {
    const zel::LatticeOrder* order = zel::latticeNodeOrder(kind.shape, kind.degree);
    const auto height = [](int n) { return 0.5 * std::sin(2.3 * n + 0.7); };
    int node = 0;
    const auto place = [&](double s, double t, const int*) {
      return Vec3{elementPoint(kind.shape, s, t).x, elementPoint(kind.shape, s, t).y,
                  height(node++)};
    };
    // Eye coordinates of the exact surface.
    const auto surface = [&](double u, double v) {
      Vec3 p = elementPoint(kind.shape, u, v);
      p.z = -2;
      for (int n = 0; n < order->count; ++n)
        p.z += height(n) * bezierWeight(kind.shape, kind.degree, order->row(n), u, v);
      return p;
    };
    const Image image = render(
        kind.drawKind, kind.program, controlPoints(kind.shape, kind.degree, place), 1,
        [&](GLSLProgram* p) {
          p->setUniformMatrix4("ModelViewMatrix", kTwoAway);
          p->setUniform("UsePhong", 0);
          p->setUniform("tess_level", 64);
          p->setUniform("Light.Position", float(light.x), float(light.y), float(light.z), 1.0f);
          p->setUniform("Material.Kd", float(kd), float(kd), float(kd));
        });
    int checked = 0, wrong = 0;
    for (int y = 8; y < kSize; y += 29)
      for (int x = 8; x < kSize; x += 29) {
        // Away from the outline, where the coarse outer ring of a straight quadrilateral
        // interpolates its normals over long triangles.
        double u, v, h = 1e-6;
        if (!elementParameters(kind.shape, toNdc(x + 0.5), toNdc(y + 0.5), 0.08, u, v)) continue;
        const Vec3 p = surface(u, v), pu = surface(u + h, v), pv = surface(u, v + h);
        const Vec3 du{pu.x - p.x, pu.y - p.y, pu.z - p.z}, dv{pv.x - p.x, pv.y - p.y, pv.z - p.z};
        const Vec3 n{du.y * dv.z - du.z * dv.y, du.z * dv.x - du.x * dv.z,
                     du.x * dv.y - du.y * dv.x};
        const Vec3 s{light.x - p.x, light.y - p.y, light.z - p.z};
        const double want = 0.8 * kd * 255 *
                            std::max(0.0, (s.x * n.x + s.y * n.y + s.z * n.z) /
                                              std::sqrt((n.x * n.x + n.y * n.y + n.z * n.z) *
                                                        (s.x * s.x + s.y * s.y + s.z * s.z)));
        const int got = pixel(image, x, y)[1];
        if (std::abs(got - want) > 3 && ++wrong <= 3)
          ADD_FAILURE() << kind.program << " at u " << u << ", v " << v << ": " << got
                        << " instead of " << want;
        ++checked;
      }
    EXPECT_EQ(wrong, 0) << kind.program;
    EXPECT_GT(checked, 200) << kind.program;
  }
}

}  // namespace
}  // namespace gputest
