// Image properties of the shader paths: subdivision levels, thick lines, clipping by the cut
// plane, shrink, iso-lines, lighting models, wireframe, highlight, the legend, points and
// patches.

#include "gpu_fixture.h"

namespace gputest {
namespace {

std::vector<float> triangles(std::initializer_list<float> xy) {
  std::vector<float> coords;
  for (auto p = xy.begin(); p != xy.end(); p += 2) coords.insert(coords.end(), {p[0], p[1], 0});
  return coords;
}
// Adds the mid-edge control points that make a straight triangle a P2 one.
std::vector<float> asP2(std::vector<float> t) {
  for (int e = 0; e < 3; ++e)
    for (int c = 0; c < 3; ++c) t.push_back((t[3 * e + c] + t[3 * ((e + 1) % 3) + c]) / 2);
  return t;
}
Configure uniform(const char* name, float value) {
  return [=](GLSLProgram* p) { p->setUniform(name, value); };
}

using ShaderPaths = GpuTest;

// A flat trapezoid: planar but no parallelogram, so only a shown solution subdivides it.
TEST_F(ShaderPaths, StraightQuadrilateralsSubdivideOnlyForASolution) {
  const std::vector<float> quad = {-0.8f, -0.5f, 0, 0.8f, -0.5f, 0, 0.4f, 0.5f, 0, -0.4f, 0.5f, 0};
  const ZelPaletteState palette = testPalette();
  auto buffer = makeBuffer(DrawKind::Quadrilateral, quad, 1, &palette, {0.5f});
  EXPECT_EQ(primitives(*buffer, "QuaSha", nullptr), 2u);
  EXPECT_GT(primitives(*buffer, "QuaSha", uniform("SolOn", 1)), 8u);
}

TEST_F(ShaderPaths, ThickLinesAreTwiceThicknessWide) {
  for (float thickness : {1.0f, 3.0f, 5.0f}) {
    const Image image = render(DrawKind::Edge, "EdgSha", triangles({-0.5f, 0.01f, 0.5f, 0.01f}), 1,
                               uniform("THICKNESS", thickness));
    for (int x : {400, 512, 600}) {
      int run = 0;
      for (int y = 0; y < kSize; ++y) run += !isBackground(pixel(image, x, y));
      EXPECT_NEAR(run, 2 * thickness, 1.0) << "thickness " << thickness << " at column " << x;
    }
  }
}

TEST_F(ShaderPaths, CutPlaneClipsOnlyWhereItIsOn) {
  const std::vector<float> big = triangles({-0.9f, -0.9f, 0.9f, -0.9f, 0.0f, 0.9f});
  for (bool on : {true, false})
    for (int kind : {int(DrawKind::Triangle), int(DrawKind::TriangleP2)}) {
      const char* program = kind == DrawKind::Triangle ? "TriSha" : "P2TriSha";
      gl()->glEnable(GL_CLIP_DISTANCE0);
      const Image image = render(kind, program, kind == DrawKind::Triangle ? big : asP2(big), 1,
                                 [&](GLSLProgram* p) {
                                   p->setUniform("CutPlaneOn", on);
                                   p->setUniform("CutPlane", 1.0f, 0.0f, 0.0f, 0.2f);  // x >= 0.2
                                 });
      gl()->glDisable(GL_CLIP_DISTANCE0);
      EXPECT_EQ(isBackground(at(image, 0.1, -0.5)), on) << program << (on ? " on" : " off");
      EXPECT_FALSE(isBackground(at(image, 0.3, -0.5))) << program;
    }
}

TEST_F(ShaderPaths, ShrinkHalvesElementsAboutTheirCentre) {
  const std::vector<float> tri = triangles({-0.9f, -0.9f, 0.9f, -0.9f, -0.9f, 0.9f});
  const std::vector<float> quad = triangles({-0.9f, -0.9f, 0.9f, -0.9f, 0.9f, 0.9f, -0.9f, 0.9f});
  struct Case {
    int kind;
    const char* program;
    std::vector<float> coords;
    double centre;  // x = y of the triangle centroid or the quadrilateral centre
  };
  for (const Case& c : {Case{DrawKind::Triangle, "TriSha", tri, -0.3},
                        Case{DrawKind::TriangleP2, "P2TriSha", asP2(tri), -0.3},
                        Case{DrawKind::Quadrilateral, "QuaSha", quad, 0.0}}) {
    const int whole = countCovered(render(c.kind, c.program, c.coords));
    const Image image = render(c.kind, c.program, c.coords, 1, uniform("shrink", 0.5f));
    EXPECT_NEAR(double(countCovered(image)) / whole, 0.25, 0.01) << c.program;
    const double corner = (c.centre - 0.9) / 2;  // the first corner moves halfway to the centre
    EXPECT_FALSE(isBackground(at(image, corner + 0.01, corner + 0.01))) << c.program;
    EXPECT_TRUE(isBackground(at(image, corner - 0.01, corner - 0.01))) << c.program;
    EXPECT_FALSE(isBackground(at(image, c.centre, c.centre))) << c.program;
  }
}

TEST_F(ShaderPaths, IsoLinesSitAtTheRegularAndUserValues) {
  // Value = x parameter of the quadrilateral (degree 1), so iso-values map to columns.
  const std::vector<float> quad = triangles({-0.8f, -0.5f, 0.8f, -0.5f, 0.8f, 0.5f, -0.8f, 0.5f});
  const auto blackAt = [](const Image& image, double value) {
    return near(at(image, -0.8 + 1.6 * value, 0.0), 0, 0, 0, 40);
  };
  ZelPaletteState palette = testPalette();
  palette.nbrIso = 2;  // lines every 0.125
  for (int user = 0; user < 2; ++user) {
    palette.nbrUsrIso = user;
    palette.usrIso[0] = 0.3f;
    s_target->clear(1, 1, 1, 1);
    draw(*makeBuffer(DrawKind::Quadrilateral, quad, 1, &palette, {0, 1, 1, 0}, 1), "QuaSha",
         [](GLSLProgram* p) {
           for (const char* on : {"SolOn", "IsoOn"}) p->setUniform(on, true);
           p->setUniform("IsoWidth", 2.0f);
         });
    const Image image = s_target->read();
    for (double value : {0.125, 0.25, 0.375, 0.5, 0.625, 0.875})
      EXPECT_EQ(blackAt(image, value), !user) << value;
    for (double value : {0.0625, 0.3125, 0.5625, 0.8125}) EXPECT_FALSE(blackAt(image, value));
    EXPECT_EQ(blackAt(image, 0.3), bool(user));
  }
}

TEST_F(ShaderPaths, LightingModelsFollowTheirFormulas) {
  // A face toward the viewer two units before the eye, the light at the eye: at the centre
  // pixel light, view and normal directions coincide. Model 4 is the diffuse model on the
  // same face wound the other way, lit through its negated normal.
  const float kd[3] = {0.1f, 0.4f, 0.9f}, ka = 0.2f, ks = 0.4f, intensity = 0.8f;
  for (int model = 0; model < 5; ++model) {
    const Image image =
        render(DrawKind::Triangle, "TriSha",
               model < 4 ? triangles({-0.9f, -0.9f, 0.9f, -0.9f, 0.0f, 0.9f})
                         : triangles({-0.9f, -0.9f, 0.0f, 0.9f, 0.9f, -0.9f}),
               1, [&](GLSLProgram* p) {
                 const float mv[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
                 p->setUniformMatrix4("ModelViewMatrix", mv);
                 p->setUniform("UsePhong", model % 4);
               });
    const std::uint8_t* centre = pixel(image, kSize / 2, kSize / 2);
    for (int c = 0; c < 3; ++c) {
      // Toon: the half vector lies 10 degrees off the normal, specular 0.30 < 0.5 steps to 0.
      const double expected[5] = {intensity * kd[c], intensity * (ka + kd[c] + ks), ka + kd[c],
                                  kd[c], intensity * kd[c]};
      EXPECT_NEAR(centre[c], std::min(expected[model], 1.0) * 255, 3.0) << model << " " << c;
    }
  }
}

TEST_F(ShaderPaths, WireframeOnOffAndFacesOff) {
  const double edgeY = -0.8 + 0.5 / (kSize / 2.0);  // a pixel on the bottom edge
  for (int mode = 0; mode < 3; ++mode) {
    const Image image =
        render(DrawKind::Triangle, "TriSha", triangles({-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f}), 1,
               [&](GLSLProgram* p) {
                 p->setUniform("LineOn", mode > 0);
                 p->setUniform("FaceOff", mode == 2);
                 p->setUniform("Line.Width", 2.0f);
               });
    EXPECT_TRUE(mode ? near(at(image, 0, edgeY), 0.05f, 0, 0.05f, 3)
                     : near(at(image, 0, edgeY), 0.1f, 0.4f, 0.9f))
        << "edge pixel, mode " << mode;
    EXPECT_TRUE(mode == 2 ? isBackground(at(image, 0, 0)) : near(at(image, 0, 0), 0.1f, 0.4f, 0.9f))
        << "interior, mode " << mode;
  }
}

TEST_F(ShaderPaths, HighlightHideAndInsideOutTints) {
  // Left triangle front-facing, right one wound the other way (its back shows).
  const std::vector<float> two =
      triangles({-0.9f, -0.5f, -0.1f, -0.5f, -0.5f, 0.5f, 0.1f, -0.5f, 0.5f, 0.5f, 0.9f, -0.5f});
  const auto draw2 = [&](const char* flag, std::vector<int> highlight) {
    ZelDrawState state;
    state.highlight = highlight;
    s_target->clear(1, 1, 1, 1);
    draw(*makeBuffer(DrawKind::Triangle, two, 2), "TriSha", flag ? uniform(flag, 1) : nullptr,
         state);
    return s_target->read();
  };
  Image image = draw2(nullptr, {1, 0});  // only the first entry reaches the shaders
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0, 1, 1));
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.1f, 0.4f, 0.9f));
  image = draw2("DiscardUnPicked", {1});
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0, 1, 1));
  EXPECT_TRUE(isBackground(at(image, -0.5, -0.2)));
  image = draw2("HighLightAll", {});
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.04f + 0.6f, 0.16f, 0.36f));
  image = draw2("CheckInOut", {});
  EXPECT_TRUE(near(at(image, -0.5, -0.2), 0.03f + 0.7f, 0.12f, 0.27f));
  EXPECT_TRUE(near(at(image, 0.5, -0.2), 0.03f, 0.12f, 0.27f + 0.7f));
}

TEST_F(ShaderPaths, LegendShowsTheColourMapAndNeitherItNorTheOutlineIsPickable) {
  // One cell, corners a, b, c, d in index order; pal.gs puts x along a -> d, y along a -> b.
  const std::vector<float> cell = triangles({-0.8f, -0.2f, -0.8f, 0.2f, 0.8f, 0.2f, 0.8f, -0.2f});
  const ZelPaletteState palette = testPalette();
  auto legend = makeBuffer(DrawKind::Palette, {}, 0);
  legend->setPaletteState(&palette);
  const unsigned indices[4] = {0, 1, 2, 3};
  legend->updateVao(gl(), 4, cell.data(), 1, indices);  // also uploads the colour map
  auto outline = makeBuffer(DrawKind::CutPlane, triangles({-0.5f, -0.6f, 0.5f, -0.6f}), 1);
  for (bool picking : {false, true}) {
    s_target->clear(!picking, !picking, !picking, !picking);
    const auto setup = [&](GLSLProgram* p) {
      p->setUniform("Picking", picking);
      p->setUniform("THICKNESS", 4.0f);
      p->setUniform("Line.Width", 2.0f);
    };
    EXPECT_EQ(draw(*legend, "PalSha", setup), 1);
    EXPECT_EQ(draw(*outline, "CliPSha", setup), 1);
    const Image image = s_target->read();
    if (picking) {
      for (size_t i = 0; i < image.size(); i += 4 * 3) ASSERT_EQ(pickingId(&image[i]), 0u) << i;
      continue;
    }
    EXPECT_TRUE(near(at(image, 0.0, -0.6), 0.1f, 0.4f, 0.9f)) << "outline in the material colour";
    for (double t : {0.1, 0.4, 0.6, 0.9}) {
      const zel::Rgb e = zel::colourMapAt(7, t);
      EXPECT_TRUE(near(at(image, -0.8 + 1.6 * t, -0.1), e[0], e[1], e[2], 3)) << t;
    }
    for (double t : {0.25, 0.5, 0.75}) {
      EXPECT_TRUE(near(at(image, -0.8 + 1.6 * t, 0.1), 0, 0, 0, 10)) << "separator at " << t;
      EXPECT_FALSE(near(at(image, -0.8 + 1.6 * t, -0.1), 0, 0, 0, 10)) << "lower half " << t;
    }
    EXPECT_TRUE(near(at(image, 0.0, -0.2 + 0.5 / (kSize / 2.0)), 0, 0, 0, 10)) << "border";
  }
}

TEST_F(ShaderPaths, PointsAreDiscsWithTheirOwnIds) {
  auto points = makeBuffer(DrawKind::Vertex, triangles({-0.5f, 0, 0.5f, 0}), 2);
  ZelDrawState state;
  state.pointSize = 20;
  draw(*points, "PntSha", uniform("PointSize", 20.0f), state);
  Image image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, 0.0), 0.1f, 0.4f, 0.9f));
  // The corner of the point's square lies outside its disc.
  EXPECT_TRUE(isBackground(pixel(image, int(toPixel(0.5)) + 9, int(toPixel(0.0)) + 9)));
  EXPECT_FALSE(isBackground(pixel(image, int(toPixel(0.5)) + 7, int(toPixel(0.0)))));
  s_target->clear(0, 0, 0, 0);
  draw(
      *points, "PntSha",
      [](GLSLProgram* p) {
        p->setUniform("PointSize", 20.0f);
        p->setUniform("Picking", true);
        p->setUniform("BasePicking", 16777300);  // above 2^24: uses the alpha byte
      },
      state);
  image = s_target->read();
  EXPECT_EQ(pickingId(at(image, -0.5, 0.0)), 16777300u);
  EXPECT_EQ(pickingId(at(image, 0.5, 0.0)), 16777301u);
}

// Members sharing one buffer: triangle 0 for the first, 1-2 for the second, 3 for a hidden
// third, which gets neither pixels nor an id range.
TEST_F(ShaderPaths, PatchMembersGetReferenceColoursAndIdRanges) {
  const std::vector<float> coords =
      triangles({-0.9f, -0.5f, -0.5f, -0.5f, -0.7f, 0.5f, -0.1f, -0.5f, 0.3f, -0.5f, 0.1f, 0.5f,
                 0.3f,  -0.5f, 0.7f,  -0.5f, 0.5f,  0.5f, 0.7f,  -0.5f, 0.9f, -0.5f, 0.8f, 0.5f});
  std::vector<float> normals(coords.size(), 0.0f);
  for (size_t i = 2; i < normals.size(); i += 3) normals[i] = 1.0f;
  std::vector<unsigned> indices(12);
  for (unsigned i = 0; i < 12; ++i) indices[i] = i;
  std::unique_ptr<ZelBufferObject> patch(ZelBufferObject::create(DrawKind::Patch));
  testing::internal::CaptureStdout();
  patch->updateVao(gl(), 12, coords.data(), normals.data(), 4, indices.data());
  EXPECT_NE(testing::internal::GetCapturedStdout().find(" updating zelpatch buffer size "),
            std::string::npos);
  ZelDrawState state;
  state.members.resize(3);
  state.members[0].reference = 9;  // |9| mod 9 = 0: (40, 80, 120)
  state.members[0].triangleCount = 1;
  state.members[1].reference = 7;  // (40, 40, 120)
  state.members[1].firstTriangle = 1;
  state.members[1].triangleCount = 2;
  state.members[2].firstTriangle = 3;
  state.members[2].triangleCount = 1;
  state.members[2].visible = false;
  const double xs[4] = {-0.7, 0.1, 0.5, 0.8}, blue[4] = {1.5, 3, 3, 0};  // red / blue, green / blue
  for (bool picking : {false, true}) {
    s_target->clear(!picking, !picking, !picking, !picking);
    ZelPickingTable table;
    int running = 10;
    GLSLProgram* p = useProgram("PatSha");
    const float mv[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
    p->setUniformMatrix4("ModelViewMatrix", mv);
    p->setUniform("UsePhong", 0);
    p->setUniform("Picking", picking);
    patch->draw(gl(), state, p, &table, &running);
    EXPECT_EQ(running, 13);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_TRUE(table[0].first == 10 && table[1].first == 11);
    const Image image = s_target->read();
    for (int k = 0; k < 4; ++k) {
      const std::uint8_t* got = at(image, xs[k], -0.2);
      if (k == 3) {
        EXPECT_TRUE(picking ? pickingId(got) == 0 : isBackground(got)) << "hidden member";
      } else if (picking) {
        EXPECT_EQ(pickingId(got), 10u + k);
      } else {  // lit diffuse: only the ratios between channels are those of the colours
        EXPECT_GT(got[2], 50);
        EXPECT_NEAR(got[2] / double(got[0]), 3, 0.3) << k;
        EXPECT_NEAR(got[2] / double(got[1]), blue[k], 0.3) << k;
      }
    }
  }
}

}  // namespace
}  // namespace gputest
