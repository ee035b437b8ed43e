// Shared set-up of the GPU tests: an offscreen 4.5 core context in which clip coordinates are
// the framebuffer's, the shader programs built from the compiled-in sources with the standard
// uniforms, buffer objects made from plain arrays, and pixel access.
#pragma once

#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/colour_maps.h"
#include "gpu/gpu_resources.h"
#include "gpu/shader_programs.h"
#include "meshio/entity_types.h"
#include "meshio/node_order.h"
#include "tests/support/offscreen_target.h"

namespace gputest {

using Image = std::vector<std::uint8_t>;
using Configure = std::function<void(GLSLProgram*)>;
using Buffer = std::unique_ptr<ZelBufferObject>;

// Palette 0, 1/4, 1/2, 3/4, 1 over built-in map `map` (default jet: nine entries, enough to
// tell neighbouring values apart).
inline ZelPaletteState testPalette(int map = 7) {
  ZelPaletteState palette;
  for (int i = 0; i < 5; ++i) palette.values[i] = 0.25f * i;
  palette.colourMap = zel::colourMap(map).rgb;
  palette.colourMapSize = zel::colourMap(map).entries;
  return palette;
}
// Colour the fragment stages must give `value` under testPalette(map), from the processor's
// own lookup (checked against the published tables by the unit tests).
inline zel::Rgb expectedColour(double value, int map = 7) {
  return zel::colourMapAt(map, zel::palettePosition({0, 0.25f, 0.5f, 0.75f, 1}, value));
}

struct Vec3 {
  double x, y, z;
};

// Bezier weight of lattice node `row` of a degree-k element at parameters (u, v): triangles
// k!/(i! j! l!) u^i v^j w^l with w = 1 - u - v, quadrilaterals and edges products of
// C(k, i) t^i (1 - t)^(k - i).
inline double bezierWeight(int shape, int k, const int* row, double u, double v) {
  const auto f = [](int n) { return std::tgamma(n + 1); };
  const auto b1 = [&](int i, double t) {
    return f(k) / (f(i) * f(k - i)) * std::pow(t, i) * std::pow(1 - t, k - i);
  };
  if (shape == EntityType::Triangle)
    return f(k) / (f(row[0]) * f(row[1]) * f(row[2])) * std::pow(u, row[0]) * std::pow(v, row[1]) *
           std::pow(1 - u - v, row[2]);
  return b1(row[0], u) * (shape == EntityType::Quadrilateral ? b1(row[1], v) : 1.0);
}

// Control points of a degree-k element of `shape`, one per lattice node in node order, placed
// by `place(s, t, row)` from the node's parameters: triangles (u, v) weighing vertices 0 and 1,
// quadrilaterals and edges (i / k, j / k).
using Place = std::function<Vec3(double s, double t, const int* row)>;
inline std::vector<float> controlPoints(int shape, int k, const Place& place) {
  const zel::LatticeOrder* order = zel::latticeNodeOrder(shape, k);
  std::vector<float> coords;
  for (int n = 0; n < order->count; ++n) {
    const int* row = order->row(n);
    const Vec3 p =
        place(row[0] / double(k), shape == EntityType::Edge ? 0.0 : row[1] / double(k), row);
    coords.insert(coords.end(), {float(p.x), float(p.y), float(p.z)});
  }
  return coords;
}

// The large test element of a shape and its parameters: the square [-0.8, 0.8]^2 with u
// along x and v along y, or the triangle (-0.8, -0.8), (0.8, -0.8), (-0.8, 0.8), counter-clockwise.
inline Vec3 elementPoint(int shape, double u, double v) {
  return shape == EntityType::Triangle ? Vec3{-0.8 + 1.6 * v, 0.8 - 1.6 * (u + v), 0}
                                       : Vec3{-0.8 + 1.6 * u, -0.8 + 1.6 * v, 0};
}
// Parameters of clip point (x, y); false unless it lies `margin` inside the element.
inline bool elementParameters(int shape, double x, double y, double margin, double& u, double& v) {
  const bool triangle = shape == EntityType::Triangle;
  v = triangle ? (x + 0.8) / 1.6 : (y + 0.8) / 1.6;
  u = triangle ? (0.8 - y) / 1.6 - v : (x + 0.8) / 1.6;
  return std::min({u, v, triangle ? 1 - u - v : std::min(1 - u, 1 - v)}) >= margin;
}

// The curved kinds with the program that draws each and its lattice shape and degree.
struct CurvedKind {
  int drawKind;
  const char* program;
  int shape;  // EntityType of the lattice: Edge, Triangle or Quadrilateral
  int degree;
};
inline const CurvedKind kCurvedKinds[] = {
    {DrawKind::TriangleP2, "P2TriSha", EntityType::Triangle, 2},
    {DrawKind::TriangleP3, "P3TriSha", EntityType::Triangle, 3},
    {DrawKind::TriangleP4, "P4TriSha", EntityType::Triangle, 4},
    {DrawKind::QuadrilateralQ2, "Q2QuaSha", EntityType::Quadrilateral, 2},
    {DrawKind::QuadrilateralQ3, "Q3QuaSha", EntityType::Quadrilateral, 3},
    {DrawKind::QuadrilateralQ4, "Q4QuaSha", EntityType::Quadrilateral, 4},
    {DrawKind::EdgeP2, "P2EdgSha", EntityType::Edge, 2},
    {DrawKind::EdgeP3, "P3EdgSha", EntityType::Edge, 3},
    {DrawKind::EdgeP4, "P4EdgSha", EntityType::Edge, 4}};

// Uniform setters: one float, int or bool; integers (booleans too) and floats by name.
template <typename T>
Configure uniform(const char* name, T value) {
  return [=](GLSLProgram* p) { p->setUniform(name, value); };
}
inline Configure set(std::vector<std::pair<const char*, int>> ints,
                     std::vector<std::pair<const char*, float>> floats = {}) {
  return [=](GLSLProgram* p) {
    for (const auto& [name, value] : ints) p->setUniform(name, value);
    for (const auto& [name, value] : floats) p->setUniform(name, value);
  };
}
// Model-view placing the scene two units before the eye.
inline const float kTwoAway[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};

class GpuTest : public ::testing::Test {
 public:
  static constexpr int kSize = 1024;

  static void SetUpTestSuite() {
    zelInitGpuResources();
    s_target = new OffscreenTarget(kSize, kSize);
  }
  static void TearDownTestSuite() {
    s_programs.clear();
    delete s_target;
    s_target = nullptr;
  }

 protected:
  void SetUp() override {
    ASSERT_TRUE(s_target && s_target->valid()) << "no OpenGL 4 core context with a framebuffer";
    ZelBufferObject::setMaxPatchesPerDraw(32);
    gl()->glDisable(GL_CLIP_DISTANCE0);
    s_target->clear(1, 1, 1, 1);
  }

  static QOpenGLFunctions_4_0_Core* gl() { return s_target->gl(); }

  // The named program, built on first use, bound, with the standard uniforms set.
  static GLSLProgram* useProgram(const std::string& name) {
    std::unique_ptr<GLSLProgram>& slot = s_programs[name];
    if (!slot) {
      const ZelShaderProgramSources* s = zelShaderProgram(name.c_str());
      if (!s) return nullptr;
      slot = std::make_unique<GLSLProgram>(gl());
      const auto path = [](const char* file) { return file ? QString(file) : QString(); };
      slot->buildProgram(s->name, path(s->vs), path(s->fs), path(s->gs), path(s->tcs),
                         path(s->tes));
    }
    slot->use();
    setStandardUniforms(slot.get());
    return slot.get();
  }

  // Identity placement and projection: x and y in [-1, 1] cover the framebuffer. Flat
  // shading in the material colour (0.1, 0.4, 0.9), no lines, no solution display.
  static void setStandardUniforms(GLSLProgram* p) {
    const float identity4[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}, half = kSize / 2.0f;
    const float viewport[16] = {half, 0, 0, 0, 0, half, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const char* m : {"MVP", "ModelViewMatrix"}) p->setUniformMatrix4(m, identity4);
    p->setUniformMatrix3("NormalMatrix", identity3);
    p->setUniformMatrix4("ViewportMatrix", viewport);
    p->setUniform("WIN_SCALE", half, half);
    p->setUniform("scenescaling", 0.0f, 0.0f, 0.0f, 1.0f);
    p->setUniform("CutPlane", 0.0f, 0.0f, 1.0f, 1.0f);
    for (const char* one : {"THICKNESS", "scaling", "shrink", "IsoWidth", "Line.Width"})
      p->setUniform(one, 1.0f);
    p->setUniform("tess_level", 4);
    p->setUniform("PointSize", 8.0f);
    p->setUniform("UsePhong", 3);
    p->setUniform("trans", 0.0f, 0.0f, 0.0f);
    p->setUniform("Material.Ka", 0.2f, 0.2f, 0.2f);
    p->setUniform("Material.Kd", 0.1f, 0.4f, 0.9f);
    p->setUniform("Material.Ks", 0.4f, 0.4f, 0.4f);
    p->setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
    p->setUniform("Material.Shininess", 80.0f);
    p->setUniform("Light.Position", 0.0f, 0.0f, 0.0f, 0.0f);
    p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
    for (const char* flag : {"LineOn", "TessOn", "FaceOff", "SolOn", "IsoOn", "Picking",
                             "DiscardUnPicked", "HighLightAll", "CheckInOut"})
      p->setUniform(flag, false);
    p->setUniform("BasePicking", 1);
  }

  // A buffer of `kind` holding `coords` (x, y, z per vertex, one vertex per control point in
  // node order, elements one after another), with a solution when `palette` is given.
  static Buffer makeBuffer(int kind, const std::vector<float>& coords, int elements,
                           const ZelPaletteState* palette = nullptr,
                           const std::vector<float>& solution = {}, int degree = 0) {
    std::vector<unsigned> indices(coords.size() / 3);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = unsigned(i);
    Buffer buffer(ZelBufferObject::create(kind));
    buffer->updateVao(gl(), int(indices.size()), coords.data(), elements, indices.data());
    if (palette) {
      buffer->setPaletteState(palette);
      buffer->setSolutionDegree(degree);
      buffer->uploadTextures(gl(), int(solution.size()), solution.data());
    }
    return buffer;
  }

  // Draws the buffer through the program with the standard uniforms and `setup`; returns the
  // count drawn.
  static int draw(ZelBufferObject& buffer, const char* program, const Configure& setup = nullptr,
                  ZelDrawState state = ZelDrawState()) {
    GLSLProgram* p = useProgram(program);
    if (setup) setup(p);
    return buffer.draw(gl(), state, p);
  }

  // Primitives the stages after the vertex stage generate drawing `buffer`.
  static unsigned primitives(ZelBufferObject& buffer, const char* program, const Configure& setup) {
    GLuint query = 0, count = 0;
    gl()->glGenQueries(1, &query);
    gl()->glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    draw(buffer, program, setup);
    gl()->glEndQuery(GL_PRIMITIVES_GENERATED);
    gl()->glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    gl()->glDeleteQueries(1, &query);
    return count;
  }

  // One object drawn over a cleared target; the image read back.
  static Image render(int kind, const char* program, const std::vector<float>& coords,
                      int elements = 1, const Configure& setup = nullptr) {
    s_target->clear(1, 1, 1, 1);
    EXPECT_EQ(draw(*makeBuffer(kind, coords, elements), program, setup), elements) << program;
    return s_target->read();
  }

  // Pixels: column and row of a clip coordinate and back; images are rows from the bottom.
  static double toPixel(double ndc) { return (ndc + 1.0) * 0.5 * kSize; }
  static double toNdc(double pixel) { return pixel / (0.5 * kSize) - 1.0; }
  static const std::uint8_t* pixel(const Image& image, int x, int y) {
    return &image[(static_cast<size_t>(y) * kSize + x) * 4];
  }
  static const std::uint8_t* at(const Image& image, double x, double y) {
    return pixel(image, int(toPixel(x)), int(toPixel(y)));
  }
  static bool isBackground(const std::uint8_t* p) {
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
  static bool near(const std::uint8_t* got, float r, float g, float b, double tolerance = 2.0) {
    return std::abs(got[0] - r * 255) <= tolerance && std::abs(got[1] - g * 255) <= tolerance &&
           std::abs(got[2] - b * 255) <= tolerance;
  }
  static bool near(const std::uint8_t* got, const zel::Rgb& c, double tolerance = 2.0) {
    return near(got, c[0], c[1], c[2], tolerance);
  }
  // Picking id of a pixel: red bits 16-23, green 8-15, blue 0-7, alpha 24-31.
  static std::uint32_t pickingId(const std::uint8_t* p) {
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) |
           p[2];
  }
  static int countCovered(const Image& image) {
    int covered = 0;
    for (size_t i = 0; i < image.size(); i += 4) covered += !isBackground(&image[i]);
    return covered;
  }

  // Not a smart pointer: destroying the context at a fatal exit (death tests) crashes.
  inline static OffscreenTarget* s_target = nullptr;
  inline static std::map<std::string, std::unique_ptr<GLSLProgram>> s_programs;
};

}  // namespace gputest
