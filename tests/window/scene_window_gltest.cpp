// Scene window driven through real Qt key, mouse and wheel events: display switches, camera,
// field of view bounds, pictures that change and come back.
#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <QWheelEvent>
#include <climits>
#include <cstdlib>

#include "gpu/ZelBufferObject.h"
#include "gpu/patch_draws.h"
#include "scene/ZelDrawPalette.h"
#include "tests/support/image_probe.h"
#include "tests/support/screenshot.h"
#include "tests/window/disc_window.h"

namespace {

class SceneWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<ZelSceneWindow>(pellonSurfaceFormat());
    window->resize(800, 600);
    window->show();
    window->waitForInitialisation();
    ASSERT_NE(window->glFunctions(), nullptr);
    const double box[6] = {0, 1, 0, 1, 0, 1};
    window->storeBoundingBox(box);
    window->setDimension(3);
  }
  void key(Qt::Key code) { QTest::keyClick(window.get(), code); }
  // Presses the keys of `text`; the settings after them.
  ZelDisplaySettings& key(const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(window.get(), *c);
    return window->displaySettings();
  }
  void drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(window.get(), button, Qt::NoModifier, from);
    for (int step = 1; step <= 4; ++step) {
      QThread::msleep(10);  // moves closer than 5 ms apart are ignored
      QMouseEvent move(QEvent::MouseMove, from + (to - from) * step / 4, button, button,
                       Qt::NoModifier);
      QCoreApplication::sendEvent(window.get(), &move);
    }
    QTest::mouseRelease(window.get(), button, Qt::NoModifier, to);
  }
  // A wheel event as the platform delivers it: touchpads give pixels (and angles), wheel
  // mice under X11 angles only (120 eighths of a degree per notch) and no pixels.
  void wheel(QPoint pixelDelta, QPoint angleDelta) {
    QWheelEvent event(QPointF(400, 300), QPointF(400, 300), pixelDelta, angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.get(), &event);
  }
  // The picture after events are served.
  QImage picture() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return screenshotOf(*window);
  }

  std::unique_ptr<ZelSceneWindow> window;
};

TEST_F(SceneWindowTest, TextKeysSwitchTheDisplaySettingsWithinTheirBounds) {
  ZelDisplaySettings& s = window->displaySettings();
  s.tessellationLevel = 124;
  EXPECT_EQ(key("ttt").tessellationLevel, 125);
  s.tessellationLevel = 2;
  EXPECT_EQ(key("TTT").tessellationLevel, 1);
  // "l" works only while tessellation is off.
  EXPECT_FALSE(key("l").lineOn);
  EXPECT_TRUE(key("L").tessellationOn);
  EXPECT_FALSE(key("l").lineOn);
  // Solution keys need a palette.
  key("mop");
  EXPECT_FALSE(s.solutionOn || s.isoLinesOn);
  EXPECT_TRUE(s.paletteShown);
  window->addObject(new ZelDrawPalette());
  EXPECT_TRUE(key("p").paletteShown);  // neither solution nor iso-lines on yet
  key("mp");
  EXPECT_TRUE(s.solutionOn);
  EXPECT_FALSE(s.paletteShown);
  // Face colouring 3 -> 0 -> 1 -> 2 -> 3, bit 3 cleared; "B" flips bit 2; "a" bit 0.
  s.renderFlags = 23 | 8;
  EXPECT_EQ(key("f").faceMode(), 0);
  EXPECT_EQ(s.renderFlags & 8, 0);
  EXPECT_EQ(key("fff").faceMode(), 3);
  EXPECT_EQ(key("B").faceMode(), 1);
  EXPECT_EQ(key("a").renderFlags & 1, 0);
  EXPECT_EQ(key("rrrrr").shadingModel, 1);
  EXPECT_FLOAT_EQ(key("++").lineWidth, 1.3f);
  EXPECT_FLOAT_EQ(key("--------").lineWidth, 0.0f);
  EXPECT_TRUE(key("cbDdg").checkInOut);
  EXPECT_TRUE(s.discardUnpicked);
  EXPECT_TRUE(window->blackBackground() && window->verticesShown());
  EXPECT_FALSE(window->cornersShown());
  // F6 and F7 shrink and grow by 5 % up to 1; F12 toggles 0.95.
  const Qt::Key codes[] = {Qt::Key_F6, Qt::Key_F7, Qt::Key_F7, Qt::Key_F12, Qt::Key_F12};
  const float shrinks[] = {0.95f, 0.9975f, 1.0f, 0.95f, 1.0f};
  for (int i = 0; i < 5; ++i) {
    key(codes[i]);
    EXPECT_FLOAT_EQ(s.shrink, shrinks[i]) << i;
  }
}

TEST_F(SceneWindowTest, FieldOfViewStaysWithinItsBoundsThroughKeysAndWheels) {
  for (int i = 0; i < 60; ++i) key("Z");
  EXPECT_DOUBLE_EQ(window->fieldOfView(), 179.0);
  for (int i = 0; i < 400; ++i) key("z");
  EXPECT_DOUBLE_EQ(window->fieldOfView(), 1e-7);
  key("i");
  EXPECT_DOUBLE_EQ(window->fieldOfView(), 15.0);
  // Touchpads give pixels (which win over angles); wheel mice under X11 only angles, in
  // eighths of a degree. A vertical component below 1 zooms in; nothing at all, or angles
  // below one degree, do nothing.
  const QPoint none(0, 0);
  const struct {
    QPoint pixels, angles;
    double fieldOfView;
  } steps[] = {{none, none, 15.0},
               {QPoint(0, 120), QPoint(0, 120), 16.5},
               {QPoint(0, -120), QPoint(0, -120), 14.85},
               {none, QPoint(0, 120), 16.335},
               {none, QPoint(120, 0), 14.7015},
               {none, QPoint(0, 3), 14.7015},
               {QPoint(0, -2), QPoint(0, 120), 13.23135}};
  for (const auto& step : steps) {
    wheel(step.pixels, step.angles);
    EXPECT_NEAR(window->fieldOfView(), step.fieldOfView, 1e-9) << step.pixels.y();
  }
  for (int i = 0; i < 80; ++i) wheel(QPoint(0, 120), QPoint(0, 120));
  EXPECT_DOUBLE_EQ(window->fieldOfView(), 179.0);
}

// The OpenGL set-up applies the choice of patches per draw call: the one forced by
// ZEL_PATCH_DRAWS (the one-draw run of these tests sets "one"), else the probe's verdict.
TEST_F(SceneWindowTest, PatchDrawsFollowTheVariableElseTheDriverProbe) {
  const ZelPatchDraws requested = requestedPatchDraws(std::getenv("ZEL_PATCH_DRAWS"));
  ASSERT_TRUE(window->makeContextCurrent());
  const bool oneCall = requested == ZelPatchDraws::Probe
                           ? patchNumberingIsExact(window->glFunctions())
                           : requested == ZelPatchDraws::OneCall;
  EXPECT_EQ(ZelBufferObject::maxPatchesPerDraw(), oneCall ? INT_MAX : kBatchPatches);
}

TEST_F(SceneWindowTest, LeftDragTurnsOnlyThreeDimensionalScenesAndMiddleDragPans) {
  SceneCamera& camera = window->camera();
  const QQuaternion start = camera.rotation();
  drag(Qt::LeftButton, QPoint(400, 300), QPoint(500, 300));
  EXPECT_FALSE(qFuzzyCompare(camera.rotation(), start));
  key("k");  // two-dimensional view
  EXPECT_EQ(window->dimension(), 2);
  const QQuaternion turned = camera.rotation();
  drag(Qt::LeftButton, QPoint(400, 300), QPoint(500, 300));
  EXPECT_TRUE(qFuzzyCompare(camera.rotation(), turned));
  drag(Qt::MiddleButton, QPoint(400, 300), QPoint(500, 300));
  EXPECT_GT(camera.pan().x(), 0.0f);
  // Cut plane keys act only on three-dimensional scenes.
  key(Qt::Key_F1);
  EXPECT_FALSE(window->cutPlaneShown());
  key("k");
  key(Qt::Key_F1);
  EXPECT_TRUE(window->cutPlaneShown());
  key(Qt::Key_F2);
  EXPECT_EQ(camera.mode(), SceneCamera::CutPlaneMode);
  key(Qt::Key_F2);
  EXPECT_EQ(camera.mode(), SceneCamera::SceneMode);
  const QVector3D pan = camera.pan();
  key(Qt::Key_Left);
  EXPECT_NEAR(camera.pan().x(), pan.x() + 0.015f, 1e-6f);
  key(Qt::Key_Up);
  EXPECT_NEAR(camera.pan().y(), pan.y() - 0.015f, 1e-6f);
}

// Surface faces of volumes: a group that the cut plane clips.
TEST_F(SceneWindowTest, KeysChangeThePictureAndTogglingBackRestoresIt) {
  showDisc(*window, makeDiscMesh(EntityType::Triangle, 2, 4), 800, 600, DrawKind::SrfTriangleP2, 3);
  const QImage start = picture();
  EXPECT_EQ(start.pixelColor(10, 10), QColor(255, 255, 255));
  // Each key and the key that takes it back: lines, tessellation edges, face colouring,
  // shading, background, zoom.
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"l", "l"}, {"L", "L"}, {"f", "fff"}, {"r", "rrr"}, {"b", "b"}, {"z", "i"}};
  for (const auto& [change, back] : keys) {
    key(change.c_str());
    const QImage changed = picture();
    EXPECT_GT(differingPixels(start, changed), 500) << change;
    if (change == "b") {
      EXPECT_EQ(changed.pixelColor(10, 10), QColor(0, 0, 0));
    }
    key(back.c_str());
    EXPECT_LT(differingPixels(start, picture()), 50) << back;
  }
  // Shrink, and the cut plane x = 0 of the stored box, which clips half of the disc away.
  for (const auto& [code, changed] : {std::make_pair(Qt::Key_F12, 500), {Qt::Key_F1, 5000}}) {
    key(code);
    EXPECT_GT(differingPixels(start, picture()), changed) << code;
    key(code);
    EXPECT_LT(differingPixels(start, picture()), 50) << code;
  }
}

// Reference colours (face mode 2, without lines): 1 (120, 40, 40) and 2 (80, 120, 40), red
// dominates one, green the other.
TEST(SceneWindow, EachReferenceGetsItsColourInReferenceMode) {
  ZelSceneWindow window(pellonSurfaceFormat());
  showDisc(window, makeDiscMesh(EntityType::Triangle, 2, 4), 800, 600);
  window.displaySettings().renderFlags = (window.displaySettings().renderFlags & ~6) | (2 << 1);
  window.displaySettings().lineOn = false;
  const QImage image = screenshotOf(window);
  const QColor one = image.pixelColor(400, 450), two = image.pixelColor(250, 150),
               three = image.pixelColor(550, 150);
  EXPECT_TRUE(one != two && two != three && one != three);
  EXPECT_GT(one.red(), one.green());
  EXPECT_GT(two.green(), two.red());
}

}  // namespace
