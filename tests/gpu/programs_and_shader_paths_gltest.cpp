// Shader programs and buffers on a real context (build rules and failures, uniforms, uploads,
// placeholder textures) and the image properties of every shader path.
#include <unistd.h>

#include <cstring>

#include "gpu_fixture.h"

namespace gputest {
namespace {

std::vector<float> flat(std::initializer_list<float> xy) {
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
const zel::Rgb kMaterial = {0.1f, 0.4f, 0.9f};

using ShaderPaths = GpuTest;

// A flat trapezoid: planar but no parallelogram, so only a shown solution subdivides it.
TEST_F(ShaderPaths, StraightQuadrilateralsSubdivideOnlyForASolution) {
  const ZelPaletteState palette = testPalette();
  Buffer buffer =
      makeBuffer(DrawKind::Quadrilateral,
                 flat({-0.8f, -0.5f, 0.8f, -0.5f, 0.4f, 0.5f, -0.4f, 0.5f}), 1, &palette, {0.5f});
  EXPECT_EQ(primitives(*buffer, "QuaSha", nullptr), 2u);
  EXPECT_GT(primitives(*buffer, "QuaSha", uniform("SolOn", true)), 8u);
}

TEST_F(ShaderPaths, ThickLinesAreTwiceThicknessWide) {
  for (float thickness : {1.0f, 3.0f, 5.0f}) {
    const Image image = render(DrawKind::Edge, "EdgSha", flat({-0.5f, 0.01f, 0.5f, 0.01f}), 1,
                               uniform("THICKNESS", thickness));
    for (int x : {400, 512, 600}) {
      int run = 0;
      for (int y = 0; y < kSize; ++y) run += !isBackground(pixel(image, x, y));
      EXPECT_NEAR(run, 2 * thickness, 1.0) << "thickness " << thickness << " at column " << x;
    }
  }
}

TEST_F(ShaderPaths, ShrinkHalvesElementsAboutTheirCentre) {
  const std::vector<float> tri = flat({-0.9f, -0.9f, 0.9f, -0.9f, -0.9f, 0.9f});
  const std::vector<float> quad = flat({-0.9f, -0.9f, 0.9f, -0.9f, 0.9f, 0.9f, -0.9f, 0.9f});
  // Kind, program, control points, x = y of the triangle centroid or the quadrilateral centre.
  for (const auto& [kind, program, coords, centre] :
       {std::tuple{DrawKind::Triangle, "TriSha", tri, -0.3},
        {DrawKind::TriangleP2, "P2TriSha", asP2(tri), -0.3},
        {DrawKind::Quadrilateral, "QuaSha", quad, 0.0}}) {
    const int whole = countCovered(render(kind, program, coords));
    const Image image = render(kind, program, coords, 1, uniform("shrink", 0.5f));
    EXPECT_NEAR(double(countCovered(image)) / whole, 0.25, 0.01) << program;
    const double corner = (centre - 0.9) / 2;  // the first corner moves halfway to the centre
    EXPECT_FALSE(isBackground(at(image, corner + 0.01, corner + 0.01))) << program;
    EXPECT_TRUE(isBackground(at(image, corner - 0.01, corner - 0.01))) << program;
    EXPECT_FALSE(isBackground(at(image, centre, centre))) << program;
  }
}

// Value = x parameter of the quadrilateral (degree 1), so iso-values map to columns.
TEST_F(ShaderPaths, IsoLinesSitAtTheRegularAndUserValues) {
  ZelPaletteState palette = testPalette();
  palette.nbrIso = 2;  // lines every 0.125
  palette.usrIso[0] = 0.3f;
  for (int user = 0; user < 2; ++user) {
    palette.nbrUsrIso = user;
    s_target->clear(1, 1, 1, 1);
    draw(*makeBuffer(DrawKind::Quadrilateral,
                     flat({-0.8f, -0.5f, 0.8f, -0.5f, 0.8f, 0.5f, -0.8f, 0.5f}), 1, &palette,
                     {0, 1, 1, 0}, 1),
         "QuaSha", set({{"SolOn", 1}, {"IsoOn", 1}}, {{"IsoWidth", 2.0f}}));
    const Image image = s_target->read();
    const auto black = [&](double value) {
      return near(at(image, -0.8 + 1.6 * value, 0.0), 0, 0, 0, 40);
    };
    for (double value : {0.125, 0.25, 0.375, 0.5, 0.625, 0.875})
      EXPECT_EQ(black(value), !user) << value;
    for (double value : {0.0625, 0.3125, 0.5625, 0.8125}) EXPECT_FALSE(black(value));
    EXPECT_EQ(black(0.3), bool(user));
  }
}

// A face toward the viewer two units before the eye, the light at the eye: at the centre pixel
// light, view and normal directions coincide. Model 4 is the diffuse model on the same face
// wound the other way, lit through its negated normal.
TEST_F(ShaderPaths, LightingModelsFollowTheirFormulas) {
  const float ka = 0.2f, ks = 0.4f, intensity = 0.8f;
  for (int model = 0; model < 5; ++model) {
    const Image image = render(DrawKind::Triangle, "TriSha",
                               model < 4 ? flat({-0.9f, -0.9f, 0.9f, -0.9f, 0.0f, 0.9f})
                                         : flat({-0.9f, -0.9f, 0.0f, 0.9f, 0.9f, -0.9f}),
                               1, [&](GLSLProgram* p) {
                                 p->setUniformMatrix4("ModelViewMatrix", kTwoAway);
                                 p->setUniform("UsePhong", model % 4);
                               });
    for (int c = 0; c < 3; ++c) {
      // Toon: the half vector lies 10 degrees off the normal, specular 0.30 < 0.5 steps to 0.
      const double kd = kMaterial[c], expected[5] = {intensity * kd, intensity * (ka + kd + ks),
                                                     ka + kd, kd, intensity * kd};
      EXPECT_NEAR(pixel(image, kSize / 2, kSize / 2)[c], std::min(expected[model], 1.0) * 255, 3.0)
          << model << " " << c;
    }
  }
}

TEST_F(ShaderPaths, WireframeOnOffAndFacesOff) {
  const double edgeY = -0.8 + 0.5 / (kSize / 2.0);  // a pixel on the bottom edge
  for (int mode = 0; mode < 3; ++mode) {
    const Image image =
        render(DrawKind::Triangle, "TriSha", flat({-0.8f, -0.8f, 0.8f, -0.8f, 0.0f, 0.8f}), 1,
               set({{"LineOn", mode > 0}, {"FaceOff", mode == 2}}, {{"Line.Width", 2.0f}}));
    EXPECT_TRUE(mode ? near(at(image, 0, edgeY), 0.05f, 0, 0.05f, 3)
                     : near(at(image, 0, edgeY), kMaterial))
        << "edge pixel, mode " << mode;
    EXPECT_TRUE(mode == 2 ? isBackground(at(image, 0, 0)) : near(at(image, 0, 0), kMaterial))
        << "interior, mode " << mode;
  }
}

TEST_F(ShaderPaths, HighlightHideAndInsideOutTints) {
  // Left triangle front-facing, right one wound the other way (its back shows).
  const std::vector<float> two =
      flat({-0.9f, -0.5f, -0.1f, -0.5f, -0.5f, 0.5f, 0.1f, -0.5f, 0.5f, 0.5f, 0.9f, -0.5f});
  const auto draw2 = [&](const char* flag, std::vector<int> highlight) {
    ZelDrawState state;
    state.highlight = highlight;
    s_target->clear(1, 1, 1, 1);
    draw(*makeBuffer(DrawKind::Triangle, two, 2), "TriSha", flag ? uniform(flag, true) : nullptr,
         state);
    const Image image = s_target->read();
    return std::pair{at(image, -0.5, -0.2), at(image, 0.5, -0.2)};
  };
  auto [left, right] = draw2(nullptr, {1, 0});  // only the first entry reaches the shaders
  EXPECT_TRUE(near(right, 0, 1, 1) && near(left, kMaterial));
  std::tie(left, right) = draw2("DiscardUnPicked", {1});
  EXPECT_TRUE(near(right, 0, 1, 1) && isBackground(left));
  std::tie(left, right) = draw2("HighLightAll", {});
  EXPECT_TRUE(near(left, 0.04f + 0.6f, 0.16f, 0.36f));
  std::tie(left, right) = draw2("CheckInOut", {});
  EXPECT_TRUE(near(left, 0.03f + 0.7f, 0.12f, 0.27f) && near(right, 0.03f, 0.12f, 0.27f + 0.7f));
}

TEST_F(ShaderPaths, LegendShowsTheColourMapAndNeitherItNorTheOutlineIsPickable) {
  // One cell, corners a, b, c, d in index order; pal.gs puts x along a -> d, y along a -> b.
  const std::vector<float> cell = flat({-0.8f, -0.2f, -0.8f, 0.2f, 0.8f, 0.2f, 0.8f, -0.2f});
  const ZelPaletteState palette = testPalette();
  Buffer legend = makeBuffer(DrawKind::Palette, {}, 0);
  legend->setPaletteState(&palette);
  const unsigned indices[4] = {0, 1, 2, 3};
  legend->updateVao(gl(), 4, cell.data(), 1, indices);  // also uploads the colour map
  Buffer outline = makeBuffer(DrawKind::CutPlane, flat({-0.5f, -0.6f, 0.5f, -0.6f}), 1);
  for (bool picking : {false, true}) {
    s_target->clear(!picking, !picking, !picking, !picking);
    const Configure setup =
        set({{"Picking", picking}}, {{"THICKNESS", 4.0f}, {"Line.Width", 2.0f}});
    EXPECT_EQ(draw(*legend, "PalSha", setup) + draw(*outline, "CliPSha", setup), 2);
    const Image image = s_target->read();
    if (picking) {
      for (size_t i = 0; i < image.size(); i += 4 * 3) ASSERT_EQ(pickingId(&image[i]), 0u) << i;
      continue;
    }
    EXPECT_TRUE(near(at(image, 0.0, -0.6), kMaterial)) << "outline in the material colour";
    for (double t : {0.1, 0.4, 0.6, 0.9})
      EXPECT_TRUE(near(at(image, -0.8 + 1.6 * t, -0.1), zel::colourMapAt(7, t), 3)) << t;
    for (double t : {0.25, 0.5, 0.75}) {
      EXPECT_TRUE(near(at(image, -0.8 + 1.6 * t, 0.1), 0, 0, 0, 10)) << "separator at " << t;
      EXPECT_FALSE(near(at(image, -0.8 + 1.6 * t, -0.1), 0, 0, 0, 10)) << "lower half " << t;
    }
    EXPECT_TRUE(near(at(image, 0.0, -0.2 + 0.5 / (kSize / 2.0)), 0, 0, 0, 10)) << "border";
  }
}

TEST_F(ShaderPaths, PointsAreDiscsWithTheirOwnIds) {
  Buffer points = makeBuffer(DrawKind::Vertex, flat({-0.5f, 0, 0.5f, 0}), 2);
  ZelDrawState state;
  state.pointSize = 20;
  draw(*points, "PntSha", uniform("PointSize", 20.0f), state);
  Image image = s_target->read();
  EXPECT_TRUE(near(at(image, -0.5, 0.0), kMaterial));
  // The corner of the point's square lies outside its disc.
  EXPECT_TRUE(isBackground(pixel(image, int(toPixel(0.5)) + 9, int(toPixel(0.0)) + 9)));
  EXPECT_FALSE(isBackground(pixel(image, int(toPixel(0.5)) + 7, int(toPixel(0.0)))));
  s_target->clear(0, 0, 0, 0);
  // Ids above 2^24 use the alpha byte.
  draw(*points, "PntSha", set({{"Picking", 1}, {"BasePicking", 16777300}}, {{"PointSize", 20.0f}}),
       state);
  image = s_target->read();
  EXPECT_EQ(pickingId(at(image, -0.5, 0.0)), 16777300u);
  EXPECT_EQ(pickingId(at(image, 0.5, 0.0)), 16777301u);
}

// Members sharing one buffer: triangle 0 for the first, 1-2 for the second, 3 for a hidden
// third, which gets neither pixels nor an id range.
TEST_F(ShaderPaths, PatchMembersGetReferenceColoursAndIdRanges) {
  const std::vector<float> coords =
      flat({-0.9f, -0.5f, -0.5f, -0.5f, -0.7f, 0.5f, -0.1f, -0.5f, 0.3f, -0.5f, 0.1f, 0.5f,
            0.3f,  -0.5f, 0.7f,  -0.5f, 0.5f,  0.5f, 0.7f,  -0.5f, 0.9f, -0.5f, 0.8f, 0.5f});
  std::vector<float> normals(coords.size(), 0.0f);
  std::vector<unsigned> indices(12);
  for (unsigned i = 0; i < 12; ++i) normals[3 * i + 2] = 1, indices[i] = i;
  Buffer patch(ZelBufferObject::create(DrawKind::Patch));
  patch->updateVao(gl(), 12, coords.data(), normals.data(), 4, indices.data());
  ZelDrawState state;
  state.members.resize(3);
  // Reference 9: |9| mod 9 = 0, colour (40, 80, 120); reference 7: (40, 40, 120).
  const int members[3][4] = {{9, 0, 1, 1}, {7, 1, 2, 1}, {0, 3, 1, 0}};
  for (int m = 0; m < 3; ++m) {
    state.members[m].reference = members[m][0];
    state.members[m].firstTriangle = members[m][1];
    state.members[m].triangleCount = members[m][2];
    state.members[m].visible = members[m][3];
  }
  const double xs[4] = {-0.7, 0.1, 0.5, 0.8}, blue[4] = {1.5, 3, 3, 0};  // red / blue, green / blue
  for (bool picking : {false, true}) {
    s_target->clear(!picking, !picking, !picking, !picking);
    ZelPickingTable table;
    int running = 10;
    GLSLProgram* p = useProgram("PatSha");
    p->setUniformMatrix4("ModelViewMatrix", kTwoAway);
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

using ProgramTest = GpuTest;

TEST_F(ProgramTest, CompileLinkAndUniformRules) {
  GLSLProgram program(gl());
  const char vertex[] =
      "#version 410 core\nlayout(location = 0) in vec3 P;\n"
      "void main() { gl_Position = vec4(P, 1); }\n";
  // Nothing compiled yet, a bad source, a bad stage and a missing file.
  EXPECT_FALSE(program.link() ||
               program.compileShaderFromString("#version 410 core\nvoid main() { nope(); }\n", 0) ||
               program.compileShaderFromString(vertex, 7) ||
               program.compileShaderFromFile("/nonexistent/tri.vs", 0));
  const float seven = 7;
  program.setUniformArray("values", 1, &seven);  // not linked: no location may be kept
  ASSERT_TRUE(program.compileShaderFromString(vertex, GLSLProgram::Vertex));
  ASSERT_TRUE(program.compileShaderFromString(
      "#version 410 core\nuniform float values[12];\nuniform int counts[12];\nout vec4 c;\n"
      "void main() { c = vec4(values[11] + float(counts[11])); }\n",
      GLSLProgram::Fragment));
  ASSERT_TRUE(program.link());
  program.use();
  std::vector<float> floats(12);
  std::vector<int> ints(12);
  for (int i = 0; i < 12; ++i) floats[i] = ints[i] = i + 1;
  program.setUniformArray("values", 12, floats.data());
  program.setUniformArray("counts", 12, ints);
  char name[16] = "values[1]";
  program.setUniform(name, 20.0f);
  std::strcpy(name, "values[2]");  // locations are kept by the name's text, not its address
  program.setUniform(name, 30.0f);
  const auto uniform = [&](const char* n) {
    float f = -1;
    gl()->glGetUniformfv(GLuint(program.handle()), program.getUniformLocation(n), &f);
    return f;
  };
  const std::pair<const char*, float> expected[] = {
      {"values[0]", 1},  {"values[1]", 20}, {"values[2]", 30}, {"values[9]", 10},
      {"values[10]", 0}, {"counts[10]", 0}};  // the vector form sends only ten values
  for (const auto& [n, value] : expected) EXPECT_EQ(uniform(n), value) << n;
  program.setUniformArray("counts", 12, ints.data());  // the pointer form sends them all
  EXPECT_EQ(uniform("counts[11]"), 12.0f);
}

TEST_F(ProgramTest, EveryProgramBuildsAndOneTessellationStageAloneIsIgnored) {
  int count = 0;
  const ZelShaderProgramSources* programs = zelShaderPrograms(count);
  ASSERT_EQ(count, 27);  // the suite's 17, the upscaling of cheap frames, the 9 curved twins
  for (int i = 0; i < count; ++i) {
    const GLSLProgram* program = useProgram(programs[i].name);
    EXPECT_TRUE(program && program->isLinked()) << programs[i].name;
  }
  const std::string folder = std::string(ZEL_TEST_DATA) + "/../../glsl/";
  const auto file = [&](const char* name) { return folder + name; };
  EXPECT_TRUE(GLSLProgram(gl()).buildProgramFromFiles(
      "P2TriSha", file("tripk.vs").c_str(), file("tri.fs").c_str(), file("tripk.gs").c_str(),
      file("trip2.tcs").c_str(), file("trip2.tes").c_str()));
  GLSLProgram program(gl());
  ASSERT_TRUE(program.buildProgram("TriSha", ":/glsl/tri.vs", ":/glsl/tri.fs", QString(),
                                   ":/glsl/trip2.tcs", QString()));
  GLint attached = 0;
  gl()->glGetProgramiv(GLuint(program.handle()), GL_ATTACHED_SHADERS, &attached);
  EXPECT_EQ(attached, 2);
}

// Build failures end the process with status 1 and their message on standard output (sent to
// the error stream here, where death tests look). The child starts afresh: one forked from a
// process with driver threads can block for ever on a lock held at the fork.
TEST_F(ProgramTest, BuildFailuresEndTheProcessWithTheirMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto build = [](const char* vs) {
    std::fflush(stdout);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    GLSLProgram(gl()).buildProgram("PntSha", vs ? QString(vs) : QString(), ":/glsl/pnt.fs");
  };
  EXPECT_EXIT(build(nullptr), testing::ExitedWithCode(1), "PntSha: vertex and fragment shaders");
  EXPECT_EXIT(
      build(":/glsl/gone.vs"), testing::ExitedWithCode(1),
      "PntSha: Vertex shader\\(:/glsl/gone\\.vs\\) failed to compile !\nFile not found\\.$");
}

// Geometry is replaced only by accepted uploads (the old arrays freed); a draw binds placeholder
// textures and the identity palette; textures need geometry, without it an upload detaches the
// palette.
using BufferTest = GpuTest;  // a fresh context: no error left by the failed builds above

TEST_F(BufferTest, UploadsPlaceholdersAndTheIdentityPalette) {
  const std::vector<float> coords = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
  const unsigned indices[3] = {0, 1, 2};
  GLSLProgram* program = useProgram("TriSha");
  ZelBufferTriangle buffer, empty;
  ZelDrawState state;
  EXPECT_EQ(buffer.draw(gl(), state, program), 0) << "nothing uploaded";
  buffer.updateVao(gl(), 3, coords.data(), 1, indices);
  const unsigned first = buffer.vertexArray();
  buffer.updateVao(gl(), 3, coords.data(), 1, indices);
  EXPECT_FALSE(gl()->glIsVertexArray(first) && first != buffer.vertexArray()) << "old one freed";
  const unsigned live = buffer.vertexArray();
  buffer.updateVao(gl(), 0, coords.data(), 1, indices);
  buffer.updateVao(gl(), 3, coords.data(), 1, nullptr);
  EXPECT_TRUE(buffer.vertexArray() == live && gl()->glIsVertexArray(live));
  EXPECT_EQ(buffer.elementCount(), 1);
  state.visible = false;
  EXPECT_EQ(buffer.draw(gl(), state, program), 0);
  state.visible = true;
  state.reference = 42;
  program->setUniform("Sol", 1);
  EXPECT_EQ(buffer.draw(gl(), state, program), 1);
  EXPECT_TRUE(buffer.reference() == 42 && state.displayed == 1);
  EXPECT_EQ(gl()->glGetError(), GLenum(GL_NO_ERROR)) << "placeholder textures bound";
  float last = -1;
  GLint sol = -1;
  gl()->glGetUniformfv(GLuint(program->handle()), program->getUniformLocation("Palette[4]"), &last);
  gl()->glGetUniformiv(GLuint(program->handle()), program->getUniformLocation("Sol"), &sol);
  EXPECT_TRUE(last == 4.0f && sol == 0) << last << " " << sol;
  const ZelPaletteState palette = testPalette();
  const float value = 0.5f;
  for (ZelBufferTriangle* b : {&buffer, &empty}) {
    b->setPaletteState(&palette);
    b->uploadTextures(gl(), 1, &value);
  }
  EXPECT_TRUE(buffer.hasPalette() && !empty.hasPalette());
}

}  // namespace
}  // namespace gputest
