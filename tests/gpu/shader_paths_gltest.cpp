// Image properties of the shader paths: quadrilateral subdivision, thick lines, clipping by
// the cut plane, shrink, iso-lines, lighting models, wireframe, highlight, the legend, points
// and patches.
#include <QOpenGLFunctions_4_0_Core>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "gpu_fixture.h"

namespace gputest {
namespace {

const float kPalette[5] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

using Configure = std::function<void(GLSLProgram*)>;

class ShaderPaths : public GpuTest {
 protected:
  // Uploads one object (control points in node order, one vertex per control point unless
  // indices are given) and draws it with `program`; returns the number drawn.
  int drawObject(int kind, const char* program, const std::vector<float>& coords, int elements,
                 const Configure& setup = nullptr, ZelDrawState state = ZelDrawState(),
                 const std::vector<float>& solution = {}, int degree = 0) {
    std::vector<unsigned> indices(coords.size() / 3);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = unsigned(i);
    m_buffer.reset(ZelBufferObject::create(kind));
    m_buffer->updateVao(gl(), int(coords.size() / 3), coords.data(), elements, indices.data());
    if (!solution.empty()) {
      ZelPaletteState palette;
      std::memcpy(palette.values, kPalette, sizeof kPalette);
      palette.colourMap = jetMap().data();
      palette.colourMapSize = int(jetMap().size() / 3);
      palette.nbrIso = m_isoLines;
      palette.nbrUsrIso = int(m_userIso.size());
      for (size_t i = 0; i < m_userIso.size(); ++i) palette.usrIso[i] = m_userIso[i];
      m_buffer->setPaletteState(&palette);
      m_buffer->setSolutionDegree(degree);
      m_buffer->uploadTextures(gl(), int(solution.size()), solution.data());
    }
    GLSLProgram* p = useProgram(program);
    if (setup) setup(p);
    return m_buffer->draw(gl(), state, p);
  }

  static std::vector<float> triangle(float ax, float ay, float bx, float by, float cx, float cy) {
    return {ax, ay, 0, bx, by, 0, cx, cy, 0};
  }
  static bool near(const std::uint8_t* got, float r, float g, float b, double tolerance = 2.0) {
    return std::abs(got[0] - r * 255) <= tolerance && std::abs(got[1] - g * 255) <= tolerance &&
           std::abs(got[2] - b * 255) <= tolerance;
  }
  // Pixel at clip coordinates (x, y).
  const std::uint8_t* at(const std::vector<std::uint8_t>& image, double x, double y) {
    return pixel(image, int(toPixel(x)), int(toPixel(y)));
  }

  std::unique_ptr<ZelBufferObject> m_buffer;
  int m_isoLines = 9;
  std::vector<float> m_userIso;
};

// Primitives the geometry stage emitted while drawing a quadrilateral.
TEST_F(ShaderPaths, FlatQuadrilateralIsSubdividedOnlyWithASolution) {
  // A flat trapezoid: planar, but not a parallelogram.
  const std::vector<float> quad = {-0.8f, -0.5f, 0, 0.8f, -0.5f, 0, 0.4f, 0.5f, 0, -0.4f, 0.5f, 0};
  GLuint query = 0;
  gl()->glGenQueries(1, &query);
  const auto primitives = [&](bool solution) {
    gl()->glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    drawObject(DrawKind::Quadrilateral, "QuaSha", quad, 1,
               [&](GLSLProgram* p) { p->setUniform("SolOn", solution); }, ZelDrawState(),
               {0.5f}, 0);
    gl()->glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint count = 0;
    gl()->glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    return count;
  };
  EXPECT_EQ(primitives(false), 2u);
  EXPECT_GT(primitives(true), 8u);
  gl()->glDeleteQueries(1, &query);
}

TEST_F(ShaderPaths, TessellationLevelsStopAtTheirCaps) {
  GLuint query = 0;
  gl()->glGenQueries(1, &query);
  const auto primitives = [&](int kind, const char* program, const std::vector<float>& coords,
                              int level) {
    gl()->glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    drawObject(kind, program, coords, 1,
               [&](GLSLProgram* p) { p->setUniform("tess_level", level); });
    gl()->glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint count = 0;
    gl()->glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    return count;
  };
  // Strongly bent edges: straight at level 0, at most 32 segments (16 for degree 4) beyond.
  const std::vector<float> p2 = {-0.5f, 0, 0, 0.5f, 0, 0, 0, 0.9f, 0};
  const std::vector<float> p4 = {-0.5f, 0, 0, 0.5f, 0, 0, -0.3f, 0.9f, 0, 0, 0.9f, 0, 0.3f, 0.9f, 0};
  const GLuint oneP2 = primitives(DrawKind::EdgeP2, "P2EdgSha", p2, 0);
  EXPECT_GT(oneP2, 0u);
  EXPECT_EQ(primitives(DrawKind::EdgeP2, "P2EdgSha", p2, 1000), 32 * oneP2);
  EXPECT_EQ(primitives(DrawKind::EdgeP4, "P4EdgSha", p4, 0), oneP2);
  EXPECT_EQ(primitives(DrawKind::EdgeP4, "P4EdgSha", p4, 1000), 16 * oneP2);
  gl()->glDeleteQueries(1, &query);
}

TEST_F(ShaderPaths, ThickLinesAreTwiceThicknessWide) {
  for (float thickness : {1.0f, 3.0f, 5.0f}) {
    s_target->clear(1, 1, 1, 1);
    drawObject(DrawKind::Edge, "EdgSha", {-0.5f, 0.01f, 0, 0.5f, 0.01f, 0}, 1,
               [&](GLSLProgram* p) { p->setUniform("THICKNESS", thickness); });
    const std::vector<std::uint8_t> image = s_target->read();
    for (int x : {400, 512, 600}) {
      int run = 0;
      for (int y = 0; y < kSize; ++y) run += !isBackground(image, x, y);
      EXPECT_NEAR(run, 2 * thickness, 1.0) << "thickness " << thickness << " at column " << x;
    }
  }
}

TEST_F(ShaderPaths, CutPlaneClipsWhereItIsOn) {
  const std::vector<float> big = triangle(-0.9f, -0.9f, 0.9f, -0.9f, 0.0f, 0.9f);
  const auto draw = [&](bool on, const char* program, int kind, const std::vector<float>& coords) {
    s_target->clear(1, 1, 1, 1);
    gl()->glEnable(GL_CLIP_DISTANCE0);
    drawObject(kind, program, coords, 1, [&](GLSLProgram* p) {
      p->setUniform("CutPlaneOn", on);
      p->setUniform("CutPlane", 1.0f, 0.0f, 0.0f, 0.2f);  // keeps mesh x >= 0.2
    });
    gl()->glDisable(GL_CLIP_DISTANCE0);
    return s_target->read();
  };
  std::vector<float> p2 = big;
  for (int e = 0; e < 3; ++e)
    for (int c = 0; c < 3; ++c) p2.push_back((big[3 * e + c] + big[3 * ((e + 1) % 3) + c]) / 2);
  for (int kind : {int(DrawKind::Triangle), int(DrawKind::TriangleP2)}) {
    const char* program = kind == DrawKind::Triangle ? "TriSha" : "P2TriSha";
    const std::vector<float>& coords = kind == DrawKind::Triangle ? big : p2;
    std::vector<std::uint8_t> image = draw(true, program, kind, coords);
    EXPECT_TRUE(isBackground(image, int(toPixel(0.1)), int(toPixel(-0.5)))) << program;
    EXPECT_FALSE(isBackground(image, int(toPixel(0.3)), int(toPixel(-0.5)))) << program;
    // Without the switch nothing is clipped, whatever the driver does with clip distances.
    image = draw(false, program, kind, coords);
    EXPECT_FALSE(isBackground(image, int(toPixel(0.1)), int(toPixel(-0.5)))) << program;
  }
}

TEST_F(ShaderPaths, ShrinkHalvesElementsAboutTheirCentre) {
  const std::vector<float> tri = triangle(-0.9f, -0.9f, 0.9f, -0.9f, -0.9f, 0.9f);
  std::vector<float> p2 = tri;
  for (int e = 0; e < 3; ++e)
    for (int c = 0; c < 3; ++c) p2.push_back((tri[3 * e + c] + tri[3 * ((e + 1) % 3) + c]) / 2);
  const std::vector<float> quad = {-0.9f, -0.9f, 0, 0.9f, -0.9f, 0, 0.9f, 0.9f, 0, -0.9f, 0.9f, 0};
  struct Case {
    int kind;
    const char* program;
    const std::vector<float>* coords;
    double centreX, centreY;
  };
  for (const Case& c : {Case{DrawKind::Triangle, "TriSha", &tri, -0.3, -0.3},
                        Case{DrawKind::TriangleP2, "P2TriSha", &p2, -0.3, -0.3},
                        Case{DrawKind::Quadrilateral, "QuaSha", &quad, 0.0, 0.0}}) {
    int covered[2];
    for (int pass = 0; pass < 2; ++pass) {
      s_target->clear(1, 1, 1, 1);
      drawObject(c.kind, c.program, *c.coords, 1,
                 [&](GLSLProgram* p) { p->setUniform("shrink", pass == 0 ? 1.0f : 0.5f); });
      const std::vector<std::uint8_t> image = s_target->read();
      covered[pass] = countCovered(image);
      if (pass == 1) {
        // The first corner moves halfway to the centre.
        const double cornerX = (c.centreX - 0.9) / 2, cornerY = (c.centreY - 0.9) / 2;
        EXPECT_FALSE(isBackground(image, int(toPixel(cornerX + 0.01)), int(toPixel(cornerY + 0.01))))
            << c.program;
        EXPECT_TRUE(isBackground(image, int(toPixel(cornerX - 0.01)), int(toPixel(cornerY - 0.01))))
            << c.program;
        EXPECT_FALSE(isBackground(image, int(toPixel(c.centreX)), int(toPixel(c.centreY))));
      }
    }
    EXPECT_NEAR(double(covered[1]) / covered[0], 0.25, 0.01) << c.program;
  }
}

TEST_F(ShaderPaths, IsoLinesSitAtTheExpectedValues) {
  // Value = x parameter of the quadrilateral (degree 1), so iso-values map to columns.
  const std::vector<float> quad = {-0.8f, -0.5f, 0, 0.8f, -0.5f, 0, 0.8f, 0.5f, 0, -0.8f, 0.5f, 0};
  const std::vector<float> linear = {0, 1, 1, 0};  // corners (0,0), (1,0), (1,1), (0,1)
  const auto column = [](double value) { return toPixel(-0.8 + 1.6 * value); };
  const auto isBlack = [&](const std::vector<std::uint8_t>& image, double value) {
    const std::uint8_t* p = pixel(image, int(column(value)), 512);
    return p[0] < 40 && p[1] < 40 && p[2] < 40;
  };
  const Configure iso = [](GLSLProgram* p) {
    p->setUniform("SolOn", true);
    p->setUniform("IsoOn", true);
    p->setUniform("IsoWidth", 2.0f);
  };
  m_isoLines = 2;  // lines every 0.125
  drawObject(DrawKind::Quadrilateral, "QuaSha", quad, 1, iso, ZelDrawState(), linear, 1);
  std::vector<std::uint8_t> image = s_target->read();
  for (double value : {0.125, 0.25, 0.375, 0.5, 0.625, 0.875})
    EXPECT_TRUE(isBlack(image, value)) << value;
  for (double value : {0.0625, 0.3125, 0.5625, 0.8125}) EXPECT_FALSE(isBlack(image, value)) << value;

  s_target->clear(1, 1, 1, 1);
  m_userIso = {0.3f};
  drawObject(DrawKind::Quadrilateral, "QuaSha", quad, 1, iso, ZelDrawState(), linear, 1);
  image = s_target->read();
  EXPECT_TRUE(isBlack(image, 0.3));
  for (double value : {0.125, 0.25, 0.5, 0.75}) EXPECT_FALSE(isBlack(image, value)) << value;
}

TEST_F(ShaderPaths, LightingModelsFollowTheirFormulas) {
  // A face toward the viewer, two units in front of the eye; the light sits at the eye.
  const std::vector<float> face = triangle(-0.9f, -0.9f, 0.9f, -0.9f, 0.0f, 0.9f);
  const float kd[3] = {0.1f, 0.4f, 0.9f}, ka = 0.2f, ks = 0.4f, intensity = 0.8f;
  std::vector<std::array<int, 3>> seen;
  for (int model = 0; model < 4; ++model) {
    s_target->clear(1, 1, 1, 1);
    drawObject(DrawKind::Triangle, "TriSha", face, 1, [&](GLSLProgram* p) {
      const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
      p->setUniformMatrix4("ModelViewMatrix", modelView);
      p->setUniform("UsePhong", model);
    });
    // At the centre pixel the light, view and normal directions coincide.
    const std::vector<std::uint8_t> image = s_target->read();
    const std::uint8_t* centre = pixel(image, kSize / 2, kSize / 2);
    const double toonSpecular = 0.0;  // half vector 10 degrees off the normal: 0.30 < 0.5
    for (int c = 0; c < 3; ++c) {
      double expected = kd[c];
      if (model == 0) expected = intensity * kd[c];
      if (model == 1) expected = intensity * (ka + kd[c]) + intensity * ks;
      if (model == 2) expected = ka + kd[c] + toonSpecular * ks;
      EXPECT_NEAR(centre[c], std::min(expected, 1.0) * 255, 3.0) << "model " << model << " channel " << c;
    }
    seen.push_back({centre[0], centre[1], centre[2]});
  }
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b) EXPECT_NE(seen[a], seen[b]) << a << " " << b;
}

TEST_F(ShaderPaths, WireframeOnOffAndFacesOff) {
  const std::vector<float> face = triangle(-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f);
  const auto draw = [&](bool lines, bool facesOff) {
    s_target->clear(1, 1, 1, 1);
    drawObject(DrawKind::Triangle, "TriSha", face, 1, [&](GLSLProgram* p) {
      p->setUniform("LineOn", lines);
      p->setUniform("FaceOff", facesOff);
      p->setUniform("Line.Width", 2.0f);
    });
    return s_target->read();
  };
  const double edgeY = -0.8 + 0.5 / (kSize / 2.0);  // a pixel on the bottom edge
  std::vector<std::uint8_t> image = draw(true, false);
  EXPECT_TRUE(near(at(image, 0.0, edgeY), 0.05f, 0.0f, 0.05f, 3)) << "edge pixel in line colour";
  EXPECT_TRUE(near(at(image, 0.0, 0.0), 0.1f, 0.4f, 0.9f)) << "interior in the face colour";
  image = draw(false, false);
  EXPECT_TRUE(near(at(image, 0.0, edgeY), 0.1f, 0.4f, 0.9f)) << "no line without LineOn";
  image = draw(true, true);
  EXPECT_TRUE(near(at(image, 0.0, edgeY), 0.05f, 0.0f, 0.05f, 3));
  EXPECT_TRUE(isBackground(image, int(toPixel(0.0)), int(toPixel(0.0)))) << "face discarded";
}

TEST_F(ShaderPaths, HighlightedElementTurnsCyanAndOthersCanBeHidden) {
  std::vector<float> two = triangle(-0.9f, -0.5f, -0.1f, -0.5f, -0.5f, 0.5f);
  const std::vector<float> second = triangle(0.1f, -0.5f, 0.9f, -0.5f, 0.5f, 0.5f);
  two.insert(two.end(), second.begin(), second.end());
  ZelDrawState state;
  state.highlight = {1, 0};  // only the first entry reaches the shaders
  drawObject(DrawKind::Triangle, "TriSha", two, 2, nullptr, state);
  std::vector<std::uint8_t> image = s_target->read();
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0, 1, 1));
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.1f, 0.4f, 0.9f));

  s_target->clear(1, 1, 1, 1);
  drawObject(DrawKind::Triangle, "TriSha", two, 2,
             [](GLSLProgram* p) { p->setUniform("DiscardUnPicked", true); }, state);
  image = s_target->read();
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0, 1, 1));
  EXPECT_TRUE(isBackground(image, int(toPixel(-0.5)), int(toPixel(-0.2))));

  s_target->clear(1, 1, 1, 1);
  drawObject(DrawKind::Triangle, "TriSha", two, 2,
             [](GLSLProgram* p) { p->setUniform("HighLightAll", true); });
  image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.4f * 0.1f + 0.6f, 0.4f * 0.4f, 0.4f * 0.9f));
}

TEST_F(ShaderPaths, CheckInOutTintsFrontFacesRedAndBackFacesBlue) {
  const Configure check = [](GLSLProgram* p) { p->setUniform("CheckInOut", true); };
  drawObject(DrawKind::Triangle, "TriSha", triangle(-0.9f, -0.5f, -0.1f, -0.5f, -0.5f, 0.5f), 1,
             check);
  // The same triangle wound the other way shows its back.
  drawObject(DrawKind::Triangle, "TriSha", triangle(0.1f, -0.5f, 0.5f, 0.5f, 0.9f, -0.5f), 1,
             check);
  const std::vector<std::uint8_t> image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.3f * 0.1f + 0.7f, 0.3f * 0.4f, 0.3f * 0.9f));
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0.3f * 0.1f, 0.3f * 0.4f, 0.3f * 0.9f + 0.7f));
}

TEST_F(ShaderPaths, LegendAndCutPlaneOutlineAreNotPickable) {
  s_target->clear(0, 0, 0, 0);
  const Configure picking = [](GLSLProgram* p) {
    p->setUniform("Picking", true);
    p->setUniform("THICKNESS", 4.0f);
  };
  drawObject(DrawKind::CutPlane, "CliPSha", {-0.5f, 0.0f, 0, 0.5f, 0.0f, 0}, 1, picking);
  drawObject(DrawKind::Palette, "PalSha", {-0.8f, 0.5f, 0, -0.8f, 0.7f, 0, 0.8f, 0.7f, 0, 0.8f, 0.5f, 0},
             1, picking);
  const std::vector<std::uint8_t> image = s_target->read();
  for (int y = 0; y < kSize; y += 3)
    for (int x = 0; x < kSize; x += 3) ASSERT_EQ(pickingId(image, x, y), 0u) << x << "," << y;
  // In colour both are there.
  s_target->clear(1, 1, 1, 1);
  drawObject(DrawKind::CutPlane, "CliPSha", {-0.5f, 0.0f, 0, 0.5f, 0.0f, 0}, 1,
             [](GLSLProgram* p) { p->setUniform("THICKNESS", 4.0f); });
  EXPECT_TRUE(near(at(s_target->read(), 0.0, 0.0), 0.1f, 0.4f, 0.9f));
}

TEST_F(ShaderPaths, LegendShowsTheColourMapWithSeparatorsAndBorder) {
  // One cell: corners a, b, c, d in index order; pal.gs puts x along a -> d, y along a -> b.
  const std::vector<float> cell = {-0.8f, -0.2f, 0, -0.8f, 0.2f, 0, 0.8f, 0.2f, 0, 0.8f, -0.2f, 0};
  const std::vector<unsigned> indices = {0, 1, 2, 3};
  ZelBufferObject* legend = ZelBufferObject::create(DrawKind::Palette);
  m_buffer.reset(legend);
  ZelPaletteState palette;
  palette.colourMap = jetMap().data();
  palette.colourMapSize = int(jetMap().size() / 3);
  legend->setPaletteState(&palette);
  legend->updateVao(gl(), 4, cell.data(), 1, indices.data());  // also uploads the colour map
  GLSLProgram* p = useProgram("PalSha");
  p->setUniform("Line.Width", 2.0f);
  ZelDrawState state;
  EXPECT_EQ(legend->draw(gl(), state, p), 1);
  const std::vector<std::uint8_t> image = s_target->read();
  const auto xAt = [](double t) { return -0.8 + 1.6 * t; };
  for (double t : {0.1, 0.4, 0.6, 0.9}) {
    const std::uint8_t* got = at(image, xAt(t), -0.1);
    const std::vector<float>& map = jetMap();
    const double position = t * 8;
    const int first = int(position);
    for (int c = 0; c < 3; ++c) {
      const double expected = map[3 * first + c] + (position - first) * (map[3 * first + 3 + c] - map[3 * first + c]);
      EXPECT_NEAR(got[c], expected * 255, 3.0) << "t " << t;
    }
  }
  for (double t : {0.25, 0.5, 0.75}) {
    EXPECT_TRUE(near(at(image, xAt(t), 0.1), 0, 0, 0, 10)) << "separator at " << t;
    EXPECT_FALSE(near(at(image, xAt(t), -0.1), 0, 0, 0, 10)) << "lower half at " << t;
  }
  EXPECT_TRUE(near(at(image, 0.0, -0.2 + 0.5 / (kSize / 2.0)), 0, 0, 0, 10)) << "border";
}

TEST_F(ShaderPaths, PointsAreDiscsWithTheirOwnIds) {
  const std::vector<float> points = {-0.5f, 0.0f, 0, 0.5f, 0.0f, 0};
  drawObject(DrawKind::Vertex, "PntSha", points, 2,
             [](GLSLProgram* p) { p->setUniform("PointSize", 20.0f); });
  std::vector<std::uint8_t> image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, 0.0), 0.1f, 0.4f, 0.9f));
  // The corner of the point's square lies outside its disc.
  EXPECT_TRUE(isBackground(image, int(toPixel(0.5)) + 9, int(toPixel(0.0)) + 9));
  EXPECT_FALSE(isBackground(image, int(toPixel(0.5)) + 7, int(toPixel(0.0))));

  s_target->clear(0, 0, 0, 0);
  drawObject(DrawKind::Vertex, "PntSha", points, 2, [](GLSLProgram* p) {
    p->setUniform("PointSize", 20.0f);
    p->setUniform("Picking", true);
    p->setUniform("BasePicking", 16777300);  // above 2^24: uses the alpha byte
  });
  image = s_target->read();
  EXPECT_EQ(pickingId(image, int(toPixel(-0.5)), int(toPixel(0.0))), 16777300u);
  EXPECT_EQ(pickingId(image, int(toPixel(0.5)), int(toPixel(0.0))), 16777301u);
}

TEST_F(ShaderPaths, PatchMembersGetReferenceColoursAndIdRanges) {
  // Two members sharing one buffer: triangle 0 for the first, triangles 1-2 for the second.
  const std::vector<float> coords = {-0.9f, -0.5f, 0, -0.5f, -0.5f, 0, -0.7f, 0.5f, 0,
                                     0.1f,  -0.5f, 0, 0.5f,  -0.5f, 0, 0.3f,  0.5f, 0,
                                     0.5f,  -0.5f, 0, 0.9f,  -0.5f, 0, 0.7f,  0.5f, 0};
  std::vector<float> normals(coords.size(), 0.0f);
  for (size_t i = 2; i < normals.size(); i += 3) normals[i] = 1.0f;
  const std::vector<unsigned> indices = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  m_buffer.reset(ZelBufferObject::create(DrawKind::Patch));
  testing::internal::CaptureStdout();
  m_buffer->updateVao(gl(), 9, coords.data(), normals.data(), 3, indices.data());
  EXPECT_NE(testing::internal::GetCapturedStdout().find(" updating zelpatch buffer size "),
            std::string::npos);
  ZelDrawState patch;
  ZelDrawState first, second;
  first.reference = 9;  // |9| mod 9 = 0: (40, 80, 120)
  first.triangleCount = 1;
  second.reference = 7;  // (40, 40, 120)
  second.firstTriangle = 1;
  second.triangleCount = 2;
  patch.members = {first, second};
  ZelPickingTable table;
  int running = 10;
  GLSLProgram* p = useProgram("PatSha");
  const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
  p->setUniformMatrix4("ModelViewMatrix", modelView);
  p->setUniform("UsePhong", 0);
  EXPECT_EQ(m_buffer->draw(gl(), patch, p, &table, &running), 3);
  EXPECT_EQ(running, 13);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].first, 10);
  EXPECT_EQ(table[1].first, 11);
  // Lit diffuse, so only the ratios between channels are those of the reference colours.
  std::vector<std::uint8_t> image = s_target->read();
  const auto hueMatches = [&](double x, double r, double g, double b) {
    const std::uint8_t* got = at(image, x, -0.2);
    return got[2] > 50 && std::abs(got[0] / double(got[2]) - r / b) < 0.05 &&
           std::abs(got[1] / double(got[2]) - g / b) < 0.05;
  };
  EXPECT_TRUE(hueMatches(-0.7, 40, 80, 120));
  EXPECT_TRUE(hueMatches(0.7, 40, 40, 120));
  EXPECT_TRUE(hueMatches(0.3, 40, 40, 120));

  s_target->clear(0, 0, 0, 0);
  running = 10;
  p->setUniform("Picking", true);
  m_buffer->draw(gl(), patch, p, &table, &running);
  image = s_target->read();
  EXPECT_EQ(pickingId(image, int(toPixel(-0.7)), int(toPixel(-0.2))), 10u);
  EXPECT_EQ(pickingId(image, int(toPixel(0.3)), int(toPixel(-0.2))), 11u);
  EXPECT_EQ(pickingId(image, int(toPixel(0.7)), int(toPixel(-0.2))), 12u);
}

}  // namespace
}  // namespace gputest
