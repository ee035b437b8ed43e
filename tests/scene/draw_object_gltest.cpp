// Scene objects drawn through their buffers on a real context: the displayed count, hiding,
// highlighting, a palette object's values and colour map reaching the pixels, and the
// release of a buffer's OpenGL objects.
#include <QOpenGLFunctions_4_0_Core>
#include <memory>

#include "scene/ZelDrawKinds.h"
#include "scene/ZelDrawPalette.h"
#include "tests/gpu/gpu_fixture.h"

namespace gputest {
namespace {

// Two straight triangles, the left one with value 0 and the right one with value 4.
const float kCoords[] = {-0.9f, -0.9f, 0, -0.1f, -0.9f, 0, -0.9f, 0.9f, 0,
                         0.1f,  -0.9f, 0, 0.9f,  -0.9f, 0, 0.1f,  0.9f, 0};
const unsigned kIndices[] = {0, 1, 2, 3, 4, 5};
const float kValues[] = {0.0f, 4.0f};

class DrawObjects : public GpuTest {
 protected:
  void SetUp() override {
    GpuTest::SetUp();
    object.reset(ZelDrawObject::create(DrawKind::Triangle, 3));
    object->setGLfunc(gl());
    object->setEntityCount(2);
    buffer.reset(ZelBufferObject::create(object.get()));
    buffer->updateVao(gl(), 6, kCoords, 2, kIndices);
  }

  // Draws the object with "TriSha" (solution colours on) and reads the image back.
  Image drawObject(int expectedCount) {
    s_target->clear(1, 1, 1, 1);
    GLSLProgram* program = useProgram("TriSha");
    program->setUniform("SolOn", true);
    EXPECT_EQ(buffer->render(gl(), object.get(), program), expectedCount);
    EXPECT_EQ(object->displayedCount(), expectedCount);
    return s_target->read();
  }

  // Attaches the palette to the object and its buffer and uploads the two values.
  void attach(ZelDrawPalette* palette) {
    object->setPalette(palette);
    buffer->setPalette(object->getPalette());
    buffer->setSolutionDegree(0);
    buffer->uploadTextures(gl(), 2, kValues);
  }

  // The left triangle's pixel (-0.7, -0.5) and the right one's (0.3, -0.5) show `left`, `right`.
  static void expectColours(const Image& image, const zel::Rgb& left, const zel::Rgb& right) {
    EXPECT_TRUE(near(at(image, -0.7, -0.5), left[0], left[1], left[2])) << "left";
    EXPECT_TRUE(near(at(image, 0.3, -0.5), right[0], right[1], right[2])) << "right";
  }

  std::unique_ptr<ZelDrawObject> object;
  std::unique_ptr<ZelBufferObject> buffer;
};

TEST_F(DrawObjects, DisplayedCountFollowsVisibilityAndHighlight) {
  Image image = drawObject(2);
  EXPECT_FALSE(isBackground(at(image, -0.7, -0.5)) || isBackground(at(image, 0.3, -0.5)));
  object->setVisible(false);
  EXPECT_EQ(countCovered(drawObject(0)), 0);
  EXPECT_EQ(object->entityCount(), 2);  // hiding changes only the displayed count

  object->setVisible(true);
  object->highlightList() = {1, 0};  // only the first entry is highlighted
  image = drawObject(2);
  EXPECT_TRUE(near(at(image, 0.3, -0.5), 0, 1, 1));
  EXPECT_FALSE(near(at(image, -0.7, -0.5), 0, 1, 1));
}

TEST_F(DrawObjects, PaletteValuesAndColourMapReachThePixels) {
  const float values[5] = {0, 1, 2, 3, 4};
  ZelDrawPalette palette(values, 6, 9, false);  // viridis
  attach(&palette);
  expectColours(drawObject(2), zel::colourMapAt(6, 0.0), zel::colourMapAt(6, 1.0));

  // New values are read at the next draw without a new upload: 0 is now the top.
  const float lower[5] = {-8, -6, -4, -2, 0};
  palette.setPaletteValues(lower);
  expectColours(drawObject(2), zel::colourMapAt(6, 1.0), zel::colourMapAt(6, 1.0));

  // Another colour map needs the upload again; jet's 9 entries put value 0 on entry 4.
  const float wide[5] = {-4, -2, 0, 2, 4};
  palette.setPaletteValues(wide);
  palette.setColourMap(7);
  attach(&palette);
  expectColours(drawObject(2), {0.5f, 1, 0.5f}, {0.5f, 0, 0});
}

// A buffer released before it goes leaves no OpenGL object behind (a scene emptied frame after
// frame would otherwise keep every frame's geometry and textures) and draws nothing more.
TEST_F(DrawObjects, ReleaseDeletesEveryOpenGLObject) {
  const auto live = [this](GLboolean (QOpenGLFunctions_4_0_Core::*exists)(GLuint)) {
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
  const int textures = live(&QOpenGLFunctions_4_0_Core::glIsTexture);
  const int buffers = live(&QOpenGLFunctions_4_0_Core::glIsBuffer);
  buffer->releaseGpu(gl());
  EXPECT_FALSE(gl()->glIsVertexArray(vertexArray));
  // Solution and colour map (the placeholders' names were never bound, so never textures).
  EXPECT_EQ(live(&QOpenGLFunctions_4_0_Core::glIsTexture), textures - 2);
  // Vertices and indices, the two texture buffers and the two placeholder buffers.
  EXPECT_EQ(live(&QOpenGLFunctions_4_0_Core::glIsBuffer), buffers - 6);
  drawObject(0);
}

}  // namespace
}  // namespace gputest
