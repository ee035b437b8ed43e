// Frame scheduling of the OpenGL window: lazy context creation, collapsed update requests,
// waiting for initialisation.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QSignalSpy>

#include "app/pellon.h"
#include "window/OpenGLWindow.h"

namespace {

class CountingWindow : public OpenGLWindow {
 public:
  CountingWindow() : OpenGLWindow(pellonSurfaceFormat()) {}
  void initialize() override {
    ++initialisations;
    OpenGLWindow::initialize();
  }
  void render() override { ++frames; }
  int frames = 0;
  int initialisations = 0;
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

TEST(OpenGLWindow, HiddenWindowGetsNoContext) {
  CountingWindow window;
  window.renderNow();
  window.renderNowNoSwap();
  EXPECT_EQ(window.glContext(), nullptr);
  EXPECT_FALSE(window.isInitialised());
  EXPECT_EQ(window.frames, 0);
}

TEST(OpenGLWindow, FirstExposeCreatesContextAndInitialisesOnce) {
  CountingWindow window;
  QSignalSpy initDone(&window, &OpenGLWindow::openGLinitDone);
  window.resize(320, 240);
  window.show();
  window.waitForInitialisation();
  EXPECT_TRUE(window.isInitialised());
  ASSERT_NE(window.glContext(), nullptr);
  EXPECT_GE(window.glContext()->format().majorVersion(), 4);
  EXPECT_EQ(window.initialisations, 1);
  EXPECT_EQ(initDone.count(), 1);
  EXPECT_GE(window.frames, 1);

  // Already initialised: returns at once, without a second initialisation.
  QElapsedTimer timer;
  timer.start();
  window.waitForInitialisation();
  EXPECT_LT(timer.elapsed(), 100);
  window.renderNow();
  EXPECT_EQ(window.initialisations, 1);
  EXPECT_EQ(initDone.count(), 1);
}

TEST(OpenGLWindow, UpdateRequestsCollapseIntoOneFrame) {
  CountingWindow window;
  window.resize(320, 240);
  window.show();
  window.waitForInitialisation();
  // Let any exposure-driven frames settle first.
  processEventsUntil([] { return false; }, 300);

  const int before = window.frames;
  window.renderLater();
  window.renderLater();
  window.renderLater();
  EXPECT_EQ(window.frames, before);
  ASSERT_TRUE(processEventsUntil([&] { return window.frames > before; }));
  processEventsUntil([] { return false; }, 300);
  EXPECT_EQ(window.frames, before + 1);

  // Once served, a new request draws again.
  window.renderLater();
  ASSERT_TRUE(processEventsUntil([&] { return window.frames > before + 1; }));
}

}  // namespace
