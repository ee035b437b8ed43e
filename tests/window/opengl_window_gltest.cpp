// Frame scheduling of the OpenGL window: lazy context creation, one initialisation, and no
// frame drawn twice (at initialisation, after a frame drawn at once, at a viewer's start-up).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <numeric>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "tests/support/expose_counter.h"
#include "window/OpenGLWindow.h"

namespace {

class CountingWindow : public OpenGLWindow {
 public:
  CountingWindow() : OpenGLWindow(pellonSurfaceFormat()) {}
  void initialize() override {
    ++initialisations;
    OpenGLWindow::initialize();
    renderNow();  // as the scene window does
  }
  void render() override { ++frames; }
  void exposeEvent(QExposeEvent* event) override {  // frames per expose event
    const int before = frames;
    OpenGLWindow::exposeEvent(event);
    framesPerExpose.push_back(frames - before);
  }
  // Frames not drawn for an expose event: those the window's own requests caused. The X server
  // sends exposes at its own pace, late on a loaded machine, so tests count these instead.
  int requestedFrames() const {
    return frames - std::accumulate(framesPerExpose.begin(), framesPerExpose.end(), 0);
  }
  void open() {
    resize(320, 240);
    show();
    waitForInitialisation();
  }
  int frames = 0, initialisations = 0;
  std::vector<int> framesPerExpose;
};

// Serves events until `done` holds or `milliseconds` pass.
template <typename Condition>
bool processEventsUntil(Condition done, int milliseconds = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}
// Serves events for `milliseconds`: frames already asked for are drawn by then.
void idle(int milliseconds = 300) {
  processEventsUntil([] { return false; }, milliseconds);
}

// The first expose creates the context and initialises once; a frame drawn at once serves a
// pending request.
TEST(OpenGLWindow, AFrameDrawnNowServesThePendingRequest) {
  CountingWindow window;
  window.renderNow();  // hidden: no context, no frame
  window.renderNowNoSwap();
  EXPECT_TRUE(!window.glContext() && !window.isInitialised() && window.frames == 0);
  QSignalSpy initDone(&window, &OpenGLWindow::openGLinitDone);
  window.open();
  window.waitForInitialisation();  // already initialised: no second initialisation
  idle();
  EXPECT_EQ(std::make_pair(window.initialisations, initDone.count()), std::make_pair(1, 1));
  // The frame of initialize is the first expose's frame, not one more.
  ASSERT_TRUE(window.glContext() && window.isInitialised() && !window.framesPerExpose.empty());
  EXPECT_EQ(window.framesPerExpose[0], 1);
  const int before = window.requestedFrames();
  window.renderLater();
  window.renderNow();
  EXPECT_EQ(window.requestedFrames(), before + 1);
  idle();
  EXPECT_EQ(window.requestedFrames(), before + 1);
  // A frame that is only read back leaves the request to draw the visible one.
  window.renderLater();
  window.renderNowNoSwap();
  ASSERT_TRUE(processEventsUntil([&] { return window.requestedFrames() == before + 3; }));
  idle();
  EXPECT_EQ(window.requestedFrames(), before + 3);
}

// Assembly asks for a redraw (the view reset) and ends by drawing the scene at once: the
// event loop must not draw that frame again (a second of software rendering on big meshes).
TEST(OpenGLWindow, MeshViewerDrawsItsSceneOnceAtStartUp) {
  ZelMeshViewer viewer(pellonSurfaceFormat());
  ExposeCounter exposes;
  viewer.installEventFilter(&exposes);
  ASSERT_TRUE(viewer.isInitialised());
  idle();
  // Every expose of a shown window draws one frame; the X server sends them at its own pace.
  auto requested = [&] { return viewer.frameCount() - exposes.count; };
  const long before = requested();
  assembleScene(&viewer, std::string(ZEL_TEST_DATA) + "/ho/sphere_p2.mesh", "none");
  EXPECT_EQ(requested(), before + 1);
  EXPECT_GT(viewer.lastFramePrimitives(), 0);
  idle(500);
  EXPECT_EQ(requested(), before + 1);
}

}  // namespace
