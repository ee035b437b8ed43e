// Scene objects drawn through their buffers on a real context: a palette object's values and
// colour map reaching the pixels, and the release of a buffer's OpenGL objects.
#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"
#include "tests/gpu/gpu_fixture.h"

namespace gputest {
namespace {

class DrawObjects : public GpuTest {
 protected:
  // Two straight triangles, the left one with value 0 and the right one with value 4.
  void SetUp() override {
    GpuTest::SetUp();
    const float coords[] = {-0.9f, -0.9f, 0, -0.1f, -0.9f, 0, -0.9f, 0.9f, 0,
                            0.1f,  -0.9f, 0, 0.9f,  -0.9f, 0, 0.1f,  0.9f, 0};
    const unsigned indices[] = {0, 1, 2, 3, 4, 5};
    object->setGLfunc(gl());
    object->setEntityCount(2);
    buffer->updateVao(gl(), 6, coords, 2, indices);
  }

  // Draws the object with "TriSha" (solution colours on); true when the left triangle's pixel
  // (-0.7, -0.5) shows `left` and the right one's (0.3, -0.5) `right`.
  bool drawObject(int expectedCount, const zel::Rgb& left = {}, const zel::Rgb& right = {}) {
    s_target->clear(1, 1, 1, 1);
    GLSLProgram* program = useProgram("TriSha");
    program->setUniform("SolOn", true);
    EXPECT_EQ(buffer->render(gl(), object.get(), program), expectedCount);
    EXPECT_EQ(object->displayedCount(), expectedCount);
    const Image image = s_target->read();
    return near(at(image, -0.7, -0.5), left) && near(at(image, 0.3, -0.5), right);
  }
  // Attaches the palette to the object and its buffer and uploads the two values.
  void attach(ZelDrawPalette* palette) {
    const float values[] = {0.0f, 4.0f};
    object->setPalette(palette);
    buffer->setPalette(object->getPalette());
    buffer->setSolutionDegree(0);
    buffer->uploadTextures(gl(), 2, values);
  }

  std::unique_ptr<ZelDrawObject> object{ZelDrawObject::create(DrawKind::Triangle, 3)};
  std::unique_ptr<ZelBufferObject> buffer{ZelBufferObject::create(object.get())};
};

TEST_F(DrawObjects, PaletteValuesAndColourMapReachThePixels) {
  const float values[5] = {0, 1, 2, 3, 4};
  ZelDrawPalette palette(values, 6, 9, false);  // viridis
  attach(&palette);
  EXPECT_TRUE(drawObject(2, zel::colourMapAt(6, 0.0), zel::colourMapAt(6, 1.0)));
  // New values are read at the next draw without a new upload: 0 is now the top.
  const float lower[5] = {-8, -6, -4, -2, 0};
  palette.setPaletteValues(lower);
  EXPECT_TRUE(drawObject(2, zel::colourMapAt(6, 1.0), zel::colourMapAt(6, 1.0)));
  // Another colour map needs the upload again; jet's 9 entries put value 0 on entry 4.
  const float wide[5] = {-4, -2, 0, 2, 4};
  palette.setPaletteValues(wide);
  palette.setColourMap(7);
  attach(&palette);
  EXPECT_TRUE(drawObject(2, {0.5f, 1, 0.5f}, {0.5f, 0, 0}));
}

// A buffer released before it goes leaves no OpenGL object behind (a scene emptied frame after
// frame would otherwise keep every frame's geometry and textures) and draws nothing more.
TEST_F(DrawObjects, ReleaseDeletesEveryOpenGLObject) {
  using Gl = QOpenGLFunctions_4_0_Core;
  const auto live = [this](GLboolean (Gl::*exists)(GLuint)) {
    int count = 0;
    for (GLuint name = 1; name < 512; ++name) count += (gl()->*exists)(name) == GL_TRUE;
    return count;
  };
  const float values[5] = {0, 1, 2, 3, 4};
  ZelDrawPalette palette(values, 6, 9, false);
  attach(&palette);
  drawObject(2);
  const unsigned vertexArray = buffer->vertexArray();
  ASSERT_TRUE(gl()->glIsVertexArray(vertexArray));
  const int textures = live(&Gl::glIsTexture), buffers = live(&Gl::glIsBuffer);
  buffer->releaseGpu(gl());
  EXPECT_FALSE(gl()->glIsVertexArray(vertexArray));
  // Solution and colour map (the placeholders' names were never bound, so never textures).
  EXPECT_EQ(live(&Gl::glIsTexture), textures - 2);
  // Vertices and indices, the two texture buffers and the two placeholder buffers.
  EXPECT_EQ(live(&Gl::glIsBuffer), buffers - 6);
  drawObject(0);
}

}  // namespace
}  // namespace gputest
