// Shared set-up of the GPU tests: an offscreen 4.5 core context, the shader programs built from
// the compiled-in sources, the standard uniforms, pixel access and a colour map of the tests'
// own with the palette rule evaluated on the processor.
#pragma once

#include <gtest/gtest.h>

#include <QOpenGLFunctions_4_0_Core>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/gpu_resources.h"
#include "gpu/shader_programs.h"
#include "meshio/entity_types.h"
#include "tests/support/offscreen_target.h"

namespace gputest {

using Rgb = std::array<float, 3>;

// The "jet" map: nine entries, enough to tell neighbouring values apart.
inline const std::vector<float>& jetMap() {
  static const std::vector<float> map = {0, 0, 0.5f, 0, 0, 1,    0, 0.5f, 1, 0,    1, 1, 0.5f, 1,
                                         0.5f, 1, 1, 0, 1, 0.5f, 0, 1,    0, 0, 0.5f, 0, 0};
  return map;
}

// Colour of `value` by the palette rule: clamp, find the interval, place it at (i - 1 + kc)
// on [0, 4] of the colour map, blend the two nearest entries.
inline Rgb paletteColour(const std::vector<float>& map, const float palette[5], double value) {
  const double clamped = std::min<double>(std::max<double>(value, palette[0]), palette[4]);
  int interval = 1;
  for (int i = 1; i <= 4; ++i)
    if (clamped >= palette[i - 1]) interval = i;
  const double width = palette[interval] - palette[interval - 1];
  const double kc = width > 0 ? (clamped - palette[interval - 1]) / width : 0.0;
  const int size = static_cast<int>(map.size() / 3);
  const double position = (interval - 1 + std::min(std::max(kc, 0.0), 1.0)) / 4.0 * (size - 1);
  const int first = std::min(static_cast<int>(std::floor(position)), size - 1);
  const int second = std::min(first + 1, size - 1);
  const double t = position - first;
  Rgb rgb;
  for (int c = 0; c < 3; ++c) rgb[c] = static_cast<float>((1 - t) * map[3 * first + c] + t * map[3 * second + c]);
  return rgb;
}

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
      const ZelShaderProgramSources* sources = zelShaderProgram(name.c_str());
      if (!sources) return nullptr;
      slot = std::make_unique<GLSLProgram>(gl());
      const auto path = [](const char* file) { return file ? QString(file) : QString(); };
      slot->buildProgram(sources->name, path(sources->vs), path(sources->fs), path(sources->gs),
                         path(sources->tcs), path(sources->tes));
    }
    slot->use();
    setStandardUniforms(slot.get());
    return slot.get();
  }

  // Identity placement and projection: normalised coordinates are clip coordinates, so x and
  // y in [-1, 1] cover the framebuffer. Flat shading, no lines, no solution display.
  static void setStandardUniforms(GLSLProgram* p) {
    const float identity4[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float half = kSize / 2.0f;
    const float viewport[16] = {half, 0, 0, 0, 0, half, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    p->setUniformMatrix4("MVP", identity4);
    p->setUniformMatrix4("ModelViewMatrix", identity4);
    p->setUniformMatrix3("NormalMatrix", identity3);
    p->setUniformMatrix4("ViewportMatrix", viewport);
    p->setUniform("WIN_SCALE", half, half);
    p->setUniform("THICKNESS", 1.0f);
    p->setUniform("trans", 0.0f, 0.0f, 0.0f);
    p->setUniform("scaling", 1.0f);
    p->setUniform("scenescaling", 0.0f, 0.0f, 0.0f, 1.0f);
    p->setUniform("CutPlane", 0.0f, 0.0f, 1.0f, 1.0f);
    p->setUniform("shrink", 1.0f);
    p->setUniform("tess_level", 4);
    p->setUniform("PointSize", 8.0f);
    p->setUniform("UsePhong", 3);
    p->setUniform("Material.Ka", 0.2f, 0.2f, 0.2f);
    p->setUniform("Material.Kd", 0.1f, 0.4f, 0.9f);
    p->setUniform("Material.Ks", 0.4f, 0.4f, 0.4f);
    p->setUniform("Material.Shininess", 80.0f);
    p->setUniform("Light.Position", 0.0f, 0.0f, 0.0f, 0.0f);
    p->setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
    p->setUniform("Line.Width", 1.0f);
    p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
    for (const char* flag : {"LineOn", "TessOn", "FaceOff", "SolOn", "IsoOn", "Picking",
                             "DiscardUnPicked", "HighLightAll", "CheckInOut"})
      p->setUniform(flag, false);
    p->setUniform("IsoWidth", 1.0f);
    p->setUniform("BasePicking", 1);
  }

  // Pixel column and row of a clip-space coordinate.
  static double toPixel(double ndc) { return (ndc + 1.0) * 0.5 * kSize; }
  static double toNdc(double pixel) { return pixel / (0.5 * kSize) - 1.0; }

  static const std::uint8_t* pixel(const std::vector<std::uint8_t>& image, int x, int y) {
    return &image[(static_cast<size_t>(y) * kSize + x) * 4];
  }
  static bool isBackground(const std::vector<std::uint8_t>& image, int x, int y) {
    const std::uint8_t* p = pixel(image, x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
  // Picking id under a pixel: red bits 16-23, green 8-15, blue 0-7, alpha 24-31.
  static std::uint32_t pickingId(const std::vector<std::uint8_t>& image, int x, int y) {
    const std::uint8_t* p = pixel(image, x, y);
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) |
           p[2];
  }
  static int countCovered(const std::vector<std::uint8_t>& image) {
    int covered = 0;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) covered += !isBackground(image, x, y);
    return covered;
  }

  static OffscreenTarget* s_target;
  static std::map<std::string, std::unique_ptr<GLSLProgram>> s_programs;
};

inline OffscreenTarget* GpuTest::s_target = nullptr;
inline std::map<std::string, std::unique_ptr<GLSLProgram>> GpuTest::s_programs;

}  // namespace gputest
