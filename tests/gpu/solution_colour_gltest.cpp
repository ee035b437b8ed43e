// Solution colours and picking ids per element on large objects: every element of a curved
// triangle, straight quadrilateral or curved edge object gets its own coefficients and id,
// however the draw is split; high-degree solutions match the colour map evaluated here.
#include <QOpenGLFunctions_4_0_Core>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "gpu/colour_maps.h"
#include "gpu/patch_draws.h"
#include "gpu_fixture.h"
#include "meshio/node_order.h"

namespace gputest {
namespace {

constexpr double kPi = 3.14159265358979323846;
const float kPalette[5] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

struct Vec2 {
  double x, y;
};
Vec2 mid(Vec2 a, Vec2 b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// A gentle global warp, so that elements are genuinely curved but stay where expected.
Vec2 warp(Vec2 p) { return {p.x + 0.02 * std::sin(kPi * p.y), p.y + 0.02 * std::sin(kPi * p.x)}; }

// Constant value of element k: consecutive elements far apart in the colour map.
float elementValue(int k) { return ((k * 37) % 100 + 0.5f) / 100.0f; }

// Geometry ready for a buffer: one vertex per control point, elements not sharing vertices.
struct Mesh {
  std::vector<float> coords;
  std::vector<unsigned> indices;
  std::vector<Vec2> samples;  // one pixel centre (NDC) well inside each element
  int elements = 0;
  void add(Vec2 p) {
    coords.insert(coords.end(), {float(p.x), float(p.y), 0.0f});
    indices.push_back(unsigned(indices.size()));
  }
};

// Curved P2 triangles: cells of a cells x cells grid cut in two, nodes warped, Bezier mid
// control points from the warped mid-edge nodes.
Mesh p2Triangles(int cells) {
  Mesh mesh;
  const double h = 1.9 / cells;
  for (int j = 0; j < cells; ++j)
    for (int i = 0; i < cells; ++i) {
      const Vec2 p00{-0.95 + i * h, -0.95 + j * h}, p10{p00.x + h, p00.y}, p01{p00.x, p00.y + h},
          p11{p00.x + h, p00.y + h};
      for (const std::array<Vec2, 3>& t :
           {std::array<Vec2, 3>{p00, p10, p01}, std::array<Vec2, 3>{p10, p11, p01}}) {
        for (const Vec2& v : t) mesh.add(warp(v));
        for (int e = 0; e < 3; ++e) {
          const Vec2 a = warp(t[e]), b = warp(t[(e + 1) % 3]), m = warp(mid(t[e], t[(e + 1) % 3]));
          mesh.add({2 * m.x - (a.x + b.x) / 2, 2 * m.y - (a.y + b.y) / 2});
        }
        mesh.samples.push_back(
            warp({(t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3}));
        ++mesh.elements;
      }
    }
  return mesh;
}

Mesh straightQuads(int cells) {
  Mesh mesh;
  const double h = 1.9 / cells;
  for (int j = 0; j < cells; ++j)
    for (int i = 0; i < cells; ++i) {
      const Vec2 p00{-0.95 + i * h, -0.95 + j * h};
      for (const Vec2& v :
           {p00, Vec2{p00.x + h, p00.y}, Vec2{p00.x + h, p00.y + h}, Vec2{p00.x, p00.y + h}})
        mesh.add(v);
      mesh.samples.push_back({p00.x + h / 2, p00.y + h / 2});
      ++mesh.elements;
    }
  return mesh;
}

// Short bent P2 edges in rows: end points first, then the Bezier middle control point.
Mesh p2Edges(int rows, int columns) {
  Mesh mesh;
  const double dy = 1.9 / rows, dx = 1.9 / columns;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      const Vec2 a{-0.95 + i * dx, -0.95 + (j + 0.5) * dy}, b{a.x + 0.8 * dx, a.y};
      const Vec2 control{(a.x + b.x) / 2, a.y + 0.3 * dy};
      mesh.add(a);
      mesh.add(b);
      mesh.add(control);
      // Sampled at t = 0.25, the middle of the first of the two segments drawn at level 1:
      // segment joints leave hairline gaps between the strips of a thick curve.
      const double t = 0.25, s = 1 - t;
      mesh.samples.push_back({s * s * a.x + 2 * s * t * control.x + t * t * b.x,
                              s * s * a.y + 2 * s * t * control.y + t * t * b.y});
      ++mesh.elements;
    }
  return mesh;
}

class SolutionColour : public GpuTest {
 protected:
  // Geometry and, with coefficients, a solution shown through the jet map or through the
  // built-in map `builtInMap` (0..10).
  std::unique_ptr<ZelBufferObject> upload(int kind, const Mesh& mesh,
                                          const std::vector<float>& coefficients, int degree,
                                          int builtInMap = -1) {
    std::unique_ptr<ZelBufferObject> buffer(ZelBufferObject::create(kind));
    buffer->updateVao(gl(), int(mesh.coords.size() / 3), mesh.coords.data(), mesh.elements,
                      mesh.indices.data());
    if (!coefficients.empty()) {
      ZelPaletteState palette;
      std::memcpy(palette.values, kPalette, sizeof kPalette);
      palette.colourMap = jetMap().data();
      palette.colourMapSize = int(jetMap().size() / 3);
      if (builtInMap >= 0) {
        palette.colourMap = zel::colourMap(builtInMap).rgb;
        palette.colourMapSize = zel::colourMap(builtInMap).entries;
      }
      buffer->setPaletteState(&palette);
      buffer->setSolutionDegree(degree);
      buffer->uploadTextures(gl(), int(coefficients.size()), coefficients.data());
    }
    return buffer;
  }

  // Draws the object in colour (solution shown, flat) or in the picking mode from id `base`.
  std::vector<std::uint8_t> drawObject(ZelBufferObject& buffer, const char* program, bool picking,
                                       int base = 1) {
    if (picking) s_target->clear(0, 0, 0, 0);
    GLSLProgram* p = useProgram(program);
    p->setUniform("SolOn", true);
    p->setUniform("Picking", picking);
    p->setUniform("BasePicking", base);
    ZelDrawState state;
    EXPECT_EQ(buffer.draw(gl(), state, p), buffer.elementCount());
    return s_target->read();
  }

  // Checks every element's colour against the map at its value; returns the mismatches.
  int colourMismatches(const std::vector<std::uint8_t>& image, const Mesh& mesh) {
    int wrong = 0;
    for (int k = 0; k < mesh.elements; ++k) {
      const Rgb expected = paletteColour(jetMap(), kPalette, elementValue(k));
      const std::uint8_t* p =
          pixel(image, int(toPixel(mesh.samples[k].x)), int(toPixel(mesh.samples[k].y)));
      bool ok = true;
      for (int c = 0; c < 3; ++c) ok = ok && std::abs(p[c] - expected[c] * 255.0) <= 2.0;
      if (!ok && ++wrong <= 5)
        ADD_FAILURE() << "element " << k << ": " << int(p[0]) << " " << int(p[1]) << " "
                      << int(p[2]) << " instead of " << expected[0] * 255 << " "
                      << expected[1] * 255 << " " << expected[2] * 255;
    }
    return wrong;
  }

  int idMismatches(const std::vector<std::uint8_t>& image, const Mesh& mesh, int base,
                   bool report = true) {
    int wrong = 0;
    for (int k = 0; k < mesh.elements; ++k) {
      const std::uint32_t id =
          pickingId(image, int(toPixel(mesh.samples[k].x)), int(toPixel(mesh.samples[k].y)));
      if (id != std::uint32_t(base + k) && ++wrong <= 5 && report)
        ADD_FAILURE() << "element " << k << " shows id " << id << " instead of " << base + k;
    }
    return wrong;
  }

  static std::vector<float> constantValues(int elements) {
    std::vector<float> values(elements);
    for (int k = 0; k < elements; ++k) values[k] = elementValue(k);
    return values;
  }
};

TEST_F(SolutionColour, EveryCurvedTriangleHasItsOwnValueAndId) {
  const Mesh mesh = p2Triangles(100);
  ASSERT_GE(mesh.elements, 20000);
  auto buffer = upload(DrawKind::TriangleP2, mesh, constantValues(mesh.elements), 0);
  EXPECT_EQ(colourMismatches(drawObject(*buffer, "P2TriSha", false), mesh), 0);
  EXPECT_EQ(idMismatches(drawObject(*buffer, "P2TriSha", true, 1), mesh, 1), 0);
  EXPECT_EQ(idMismatches(drawObject(*buffer, "P2TriSha", true, 70000), mesh, 70000), 0);
}

TEST_F(SolutionColour, EveryStraightQuadrilateralHasItsOwnValueAndId) {
  const Mesh mesh = straightQuads(142);
  ASSERT_GE(mesh.elements, 20000);
  auto buffer = upload(DrawKind::Quadrilateral, mesh, constantValues(mesh.elements), 0);
  EXPECT_EQ(colourMismatches(drawObject(*buffer, "QuaSha", false), mesh), 0);
  EXPECT_EQ(idMismatches(drawObject(*buffer, "QuaSha", true, 1), mesh, 1), 0);
}

TEST_F(SolutionColour, EveryCurvedEdgeHasItsOwnId) {
  const Mesh mesh = p2Edges(160, 125);
  ASSERT_GE(mesh.elements, 20000);
  auto buffer = upload(DrawKind::EdgeP2, mesh, {}, 0);
  s_target->clear(0, 0, 0, 0);
  GLSLProgram* p = useProgram("P2EdgSha");
  p->setUniform("Picking", true);
  p->setUniform("THICKNESS", 2.0f);  // 4 pixels wide: the sampled pixel lies well inside
  p->setUniform("tess_level", 1);    // two segments of about 3 pixels each
  ZelDrawState state;
  EXPECT_EQ(buffer->draw(gl(), state, p), mesh.elements);
  EXPECT_EQ(idMismatches(s_target->read(), mesh, 1), 0);
}

// The software driver restarts the tessellation primitive id every few hundred patches: one
// draw of the whole object then numbers elements wrongly, which is what the batches avoid.
// The driver probe must see the same: it allows one draw per object only where that numbers
// a real object's elements exactly.
TEST_F(SolutionColour, TheDriverProbeAgreesWithWhatOneDrawOfAnObjectDoes) {
  const bool exact = patchNumberingIsExact(gl());
  const Mesh mesh = p2Triangles(30);
  auto buffer = upload(DrawKind::TriangleP2, mesh, constantValues(mesh.elements), 0);
  ZelBufferObject::setMaxPatchesPerDraw(1 << 30);
  const int mismatches = idMismatches(drawObject(*buffer, "P2TriSha", true, 1), mesh, 1, false);
  EXPECT_EQ(exact, mismatches == 0) << mismatches << " of " << mesh.elements;
  const char* renderer = reinterpret_cast<const char*>(gl()->glGetString(GL_RENDERER));
  if (renderer && std::strstr(renderer, "llvmpipe")) {
    EXPECT_FALSE(exact);
  }
  // The probe leaves the framebuffer and the program state as they were: batches still draw
  // every element with its own id.
  ZelBufferObject::setMaxPatchesPerDraw(kBatchPatches);
  EXPECT_EQ(idMismatches(drawObject(*buffer, "P2TriSha", true, 1), mesh, 1), 0);
}

TEST_F(SolutionColour, ValuesOutsideThePaletteTakeTheEndColours) {
  Mesh mesh;
  const std::array<Vec2, 6> corners = {Vec2{-0.9, -0.5}, Vec2{-0.1, -0.5}, Vec2{-0.5, 0.5},
                                       Vec2{0.1, -0.5},  Vec2{0.9, -0.5},  Vec2{0.5, 0.5}};
  for (const Vec2& v : corners) mesh.add(v);
  mesh.elements = 2;
  mesh.samples = {{-0.5, -0.2}, {0.5, -0.2}};
  auto buffer = upload(DrawKind::Triangle, mesh, {-5.0f, 7.5f}, 0);
  const std::vector<std::uint8_t> image = drawObject(*buffer, "TriSha", false);
  const std::vector<float>& map = jetMap();
  for (int k = 0; k < 2; ++k) {
    const std::uint8_t* p =
        pixel(image, int(toPixel(mesh.samples[k].x)), int(toPixel(mesh.samples[k].y)));
    const float* entry = &map[k == 0 ? 0 : map.size() - 3];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], entry[c] * 255, 1.0) << "element " << k;
  }
}

// Solution of degree d on one large element: coefficients in the node order of the lattice
// tables, evaluated here in Bernstein form at pixel centres and compared after the colour map.
class HighDegreeSolution : public SolutionColour {
 protected:
  void checkTriangle(const char* program, int kind, int degree, int builtInMap = -1) {
    const Vec2 a{-0.8, -0.8}, b{0.8, -0.7}, c{-0.4, 0.8};
    Mesh mesh;
    for (const Vec2& v : {a, b, c}) mesh.add(v);
    if (kind == DrawKind::TriangleP2)
      for (const auto& e : {std::make_pair(a, b), std::make_pair(b, c), std::make_pair(c, a)})
        mesh.add(mid(e.first, e.second));
    mesh.elements = 1;
    const zel::LatticeOrder* order = zel::latticeNodeOrder(EntityType::Triangle, degree);
    ASSERT_NE(order, nullptr);
    std::vector<float> coefficients(order->count);
    std::mt19937 random(degree);
    for (float& value : coefficients) value = std::uniform_real_distribution<float>(0, 1)(random);
    auto buffer = upload(kind, mesh, coefficients, degree, builtInMap);
    const std::vector<std::uint8_t> image = drawObject(*buffer, program, false);
    const auto value = [&](double u, double v) {
      const double w = 1 - u - v;
      double sum = 0;
      for (int n = 0; n < order->count; ++n) {
        const int* ijl = order->row(n);
        sum += coefficients[n] * multinomial(degree, ijl) * std::pow(u, ijl[0]) *
               std::pow(v, ijl[1]) * std::pow(w, ijl[2]);
      }
      return sum;
    };
    int checked = 0;
    for (int y = 100; y < kSize; y += 37)
      for (int x = 100; x < kSize; x += 37) {
        const Vec2 p{toNdc(x + 0.5), toNdc(y + 0.5)};
        // Barycentric coordinates of the pixel centre: u weights a, v weights b.
        const double det = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
        const double u = ((b.y - c.y) * (p.x - c.x) + (c.x - b.x) * (p.y - c.y)) / det;
        const double v = ((c.y - a.y) * (p.x - c.x) + (a.x - c.x) * (p.y - c.y)) / det;
        if (u < 0.02 || v < 0.02 || 1 - u - v < 0.02) continue;
        Rgb expected = paletteColour(jetMap(), kPalette, value(u, v));
        if (builtInMap >= 0) {
          zel::PaletteValues values;
          std::copy(kPalette, kPalette + 5, values.begin());
          expected = zel::colourMapAt(builtInMap, zel::palettePosition(values, value(u, v)));
        }
        const std::uint8_t* got = pixel(image, x, y);
        for (int ch = 0; ch < 3; ++ch)
          EXPECT_NEAR(got[ch], expected[ch] * 255, 2.0) << program << " at " << x << "," << y;
        ++checked;
      }
    EXPECT_GT(checked, 100);
  }

  static double multinomial(int d, const int* ijl) {
    return std::tgamma(d + 1) /
           (std::tgamma(ijl[0] + 1) * std::tgamma(ijl[1] + 1) * std::tgamma(ijl[2] + 1));
  }
};

TEST_F(HighDegreeSolution, DegreeThreeOnAStraightTriangle) {
  checkTriangle("TriSha", DrawKind::Triangle, 3);
}

TEST_F(HighDegreeSolution, DegreeThreeAndTenThroughTheTessellatedPath) {
  checkTriangle("P2TriSha", DrawKind::TriangleP2, 3);
  s_target->clear(1, 1, 1, 1);
  checkTriangle("P2TriSha", DrawKind::TriangleP2, 10);
}

// The same through the built-in maps and their own evaluation on the processor.
TEST_F(HighDegreeSolution, DegreeThreeThroughTheBuiltInColourMaps) {
  for (int map : {0, 2, 6, 10}) {
    checkTriangle("TriSha", DrawKind::Triangle, 3, map);
    s_target->clear(1, 1, 1, 1);
  }
}

TEST_F(HighDegreeSolution, DegreeFiveOnAQuadrilateral) {
  const zel::LatticeOrder* order = zel::latticeNodeOrder(EntityType::Quadrilateral, 5);
  ASSERT_NE(order, nullptr);
  Mesh mesh;
  for (const Vec2& v : {Vec2{-0.8, -0.8}, Vec2{0.8, -0.8}, Vec2{0.8, 0.8}, Vec2{-0.8, 0.8}})
    mesh.add(v);
  mesh.elements = 1;
  std::vector<float> coefficients(order->count);
  std::mt19937 random(5);
  for (float& value : coefficients) value = std::uniform_real_distribution<float>(0, 1)(random);
  auto buffer = upload(DrawKind::Quadrilateral, mesh, coefficients, 5);
  const std::vector<std::uint8_t> image = drawObject(*buffer, "QuaSha", false);
  const auto bernstein = [](int i, double t) {
    return std::tgamma(6) / (std::tgamma(i + 1) * std::tgamma(6 - i)) * std::pow(t, i) *
           std::pow(1 - t, 5 - i);
  };
  for (int y = 120; y < 900; y += 41)
    for (int x = 120; x < 900; x += 41) {
      const double u = (toNdc(x + 0.5) + 0.8) / 1.6, v = (toNdc(y + 0.5) + 0.8) / 1.6;
      double value = 0;
      for (int n = 0; n < order->count; ++n)
        value += coefficients[n] * bernstein(order->row(n)[0], u) * bernstein(order->row(n)[1], v);
      const Rgb expected = paletteColour(jetMap(), kPalette, value);
      const std::uint8_t* got = pixel(image, x, y);
      for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(got[ch], expected[ch] * 255, 2.0) << x << "," << y;
    }
}

}  // namespace
}  // namespace gputest
