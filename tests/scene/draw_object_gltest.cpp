// Scene objects drawn through their buffers on a real context: the displayed count, hiding,
// highlighting, a palette object's values and colour map reaching the pixels, and the id
// ranges and counts of a patch with members, and the release of a buffer's OpenGL objects.
#include <QOpenGLFunctions_4_0_Core>
#include <memory>
#include <vector>

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
  std::vector<std::uint8_t> drawObject(int expectedCount) {
    s_target->clear(1, 1, 1, 1);
    GLSLProgram* program = useProgram("TriSha");
    program->setUniform("SolOn", true);
    EXPECT_EQ(buffer->render(gl(), object.get(), program), expectedCount);
    EXPECT_EQ(object->displayedCount(), expectedCount);
    return s_target->read();
  }

  // Attaches the palette object to the surface and the buffer, and uploads the two values
  // with the palette's colour map.
  void attach(ZelDrawPalette* palette) {
    object->setPalette(palette);
    buffer->setPalette(object->getPalette());
    buffer->setSolutionDegree(0);
    buffer->uploadTextures(gl(), 2, kValues);
  }

  static void expectColour(const std::vector<std::uint8_t>& image, double x, double y,
                           const zel::Rgb& want, const char* what) {
    const std::uint8_t* p = pixel(image, int(toPixel(x)), int(toPixel(y)));
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], want[c] * 255.0, 2.0) << what << " channel " << c;
  }

  std::unique_ptr<ZelDrawObject> object;
  std::unique_ptr<ZelBufferObject> buffer;
};

TEST_F(DrawObjects, RealFunctionTableMakesObjectsUsable) {
  object->setWarnWhenUnusable(true);
  EXPECT_TRUE(object->usableForDisplay());
  EXPECT_EQ(object->glFunctions(), gl());
}

TEST_F(DrawObjects, DisplayedCountFollowsVisibility) {
  std::vector<std::uint8_t> image = drawObject(2);
  EXPECT_FALSE(isBackground(pixel(image, int(toPixel(-0.7)), int(toPixel(-0.5)))));
  EXPECT_FALSE(isBackground(pixel(image, int(toPixel(0.3)), int(toPixel(-0.5)))));

  object->setVisible(false);
  image = drawObject(0);
  EXPECT_EQ(countCovered(image), 0);
  EXPECT_EQ(object->entityCount(), 2);  // hiding changes only the displayed count

  object->setVisible(true);
  object->highlightList() = {1, 0};  // only the first entry is highlighted
  image = drawObject(2);
  expectColour(image, 0.3, -0.5, {0, 1, 1}, "highlighted");
  const std::uint8_t* left = pixel(image, int(toPixel(-0.7)), int(toPixel(-0.5)));
  EXPECT_FALSE(left[0] < 3 && left[1] > 252 && left[2] > 252) << "only entry 1 is cyan";
}

TEST_F(DrawObjects, PaletteValuesAndColourMapReachThePixels) {
  const float values[5] = {0, 1, 2, 3, 4};
  ZelDrawPalette palette(values, 6, 9, false);  // viridis
  attach(&palette);
  std::vector<std::uint8_t> image = drawObject(2);
  expectColour(image, -0.7, -0.5, zel::colourMapAt(6, 0.0), "value 0 on [0, 4]");
  expectColour(image, 0.3, -0.5, zel::colourMapAt(6, 1.0), "value 4 on [0, 4]");

  // New values are read at the next draw without a new upload: 0 is now the top.
  const float lower[5] = {-8, -6, -4, -2, 0};
  palette.setPaletteValues(lower);
  image = drawObject(2);
  expectColour(image, -0.7, -0.5, zel::colourMapAt(6, 1.0), "value 0 on [-8, 0]");
  expectColour(image, 0.3, -0.5, zel::colourMapAt(6, 1.0), "value 4 clamped");

  // Another colour map needs the upload again; a middle value shows the map's own entries.
  const float wide[5] = {-4, -2, 0, 2, 4};
  palette.setPaletteValues(wide);
  palette.setColourMap(7);  // jet, 9 entries: value 0 sits on entry 4
  attach(&palette);
  image = drawObject(2);
  expectColour(image, -0.7, -0.5, {0.5f, 1, 0.5f}, "jet middle");
  expectColour(image, 0.3, -0.5, {0.5f, 0, 0}, "jet top");
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

TEST_F(DrawObjects, PatchMembersGetConsecutiveIdRanges) {
  ZelDrawPatch patch(0);
  patch.setGLfunc(gl());
  std::unique_ptr<ZelDrawObject> a(ZelDrawObject::create(DrawKind::Triangle, 9));
  std::unique_ptr<ZelDrawObject> b(ZelDrawObject::create(DrawKind::Triangle, 18));
  a->setEntityCount(1);
  a->setFirstTriangle(0);
  b->setEntityCount(1);
  b->setFirstTriangle(1);
  patch.setMembers({a.get(), b.get()});
  patch.setEntityCount(2);

  const float normals[18] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  std::unique_ptr<ZelBufferObject> patchBuffer(ZelBufferObject::create(&patch));
  ASSERT_NE(patchBuffer, nullptr);
  patchBuffer->updateVao(gl(), 6, kCoords, normals, 2, kIndices);

  GLSLProgram* program = useProgram("PatSha");
  program->setUniform("Picking", true);
  ZelPickingTable table;
  int running = 5;
  s_target->clear(0, 0, 0, 0);
  EXPECT_EQ(patchBuffer->render(gl(), &patch, program, &table, &running), 2);
  EXPECT_EQ(patch.displayedCount(), 2);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0], (std::pair<int, ZelDrawObject*>(5, a.get())));
  EXPECT_EQ(table[1], (std::pair<int, ZelDrawObject*>(6, b.get())));
  EXPECT_EQ(running, 7);
  const std::vector<std::uint8_t> image = s_target->read();
  EXPECT_EQ(pickingId(pixel(image, int(toPixel(-0.7)), int(toPixel(-0.5)))), 5u);
  EXPECT_EQ(pickingId(pixel(image, int(toPixel(0.3)), int(toPixel(-0.5)))), 6u);

  // A hidden member gets no range and is not drawn.
  b->setVisible(false);
  table.clear();
  running = 1;
  s_target->clear(0, 0, 0, 0);
  patchBuffer->render(gl(), &patch, program, &table, &running);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(running, 2);
  EXPECT_EQ(pickingId(pixel(s_target->read(), int(toPixel(0.3)), int(toPixel(-0.5)))), 0u);
}

}  // namespace
}  // namespace gputest
