// Cheap frames while the view moves, driven by real Qt mouse, wheel and key events: the frames
// of a drag or a wheel burst draw straight shapes, one frame per burst; once input is quiet one
// full frame follows whose picture equals a frame drawn with cheap frames off; screenshots
// stay full; with cheap frames off every frame is full. The window's pace clock is the test's
// own, moved by hand, so that slow frames on a loaded machine cannot change which are cheap.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>

#include "gpu/cheap_forms.h"
#include "tests/support/screenshot.h"
#include "tests/window/disc_window.h"
#include "window/interaction_pace.h"
#include "window/screenshot.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
using Programs = std::vector<std::string>;

// What the window drew in one frame.
struct Frame {
  bool cheap;
  Programs programs;
  std::vector<std::uint8_t> pixels;
  const std::uint8_t* at(int x, int y) const { return &pixels[4 * (size_t(y) * kWidth + x)]; }
};

bool sameColour(const std::uint8_t* a, const std::uint8_t* b) { return std::equal(a, a + 3, b); }

int differingPixels(const Frame& a, const Frame& b) {
  int count = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) count += !sameColour(a.at(x, y), b.at(x, y));
  return count;
}

// Whether every 2 x 2 block of pixels (from the corner) has one colour: a picture drawn at half
// the resolution and shown over the whole window.
bool pixelsDoubled(const Frame& frame) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (!sameColour(frame.at(x, y), frame.at(x & ~1, y & ~1))) return false;
  return true;
}

// Pixels clearly darker than the white background (faces and points are grey 0.7) in the
// left and the right half.
std::pair<int, int> coveredHalves(const Frame& frame) {
  std::pair<int, int> covered{0, 0};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (frame.at(x, y)[0] <= 230) ++(x < kWidth / 2 ? covered.first : covered.second);
  return covered;
}

class CheapFramesTest : public testing::Test {
 protected:
  // A curved disc of `shape` and degree 2, every frame recorded with its pixels.
  void show(int shape) {
    window = std::make_unique<ZelSceneWindow>(pellonSurfaceFormat());
    showDisc(*window, makeDiscMesh(shape, 2, 4), kWidth, kHeight);
    ASSERT_NE(window->glFunctions(), nullptr);
    window->setFrameObserver([this](bool cheap) {
      const bool multisampled = window->glContext()->format().samples() > 1;
      frames.push_back({cheap, window->lastFramePrograms(),
                        readFramePixels(window->glFunctions(), kWidth, kHeight, multisampled)});
    });
    window->setPaceClock([this] { return now; });
    window->renderNow();
    // Until no frame has been drawn for 300 ms (at most 5 s): the exposures of a newly shown
    // window may come late on a loaded machine, and would count as extra frames.
    QElapsedTimer total;
    total.start();
    for (size_t seen = size_t(-1); seen != frames.size() && total.elapsed() < 5000;) {
      seen = frames.size();
      serve(300, [&] { return frames.size() != seen; });
    }
    frames.clear();
  }
  // The input has been quiet for the quiet time, on the pace clock.
  void quietTimePasses() { now += zel::InteractionPace::kQuietMilliseconds; }
  // Serves events until `done` holds or `milliseconds` pass; whether it holds.
  template <typename Done>
  bool serve(int milliseconds, Done done) {
    QElapsedTimer wait;
    wait.start();
    while (!done() && wait.elapsed() < milliseconds) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(2);
    }
    return done();
  }
  void settle() {
    serve(400, [] { return false; });
  }
  bool waitForFrames(size_t count) {
    return serve(3000, [&] { return frames.size() >= count; });
  }
  // Mouse events of a middle-button drag (a pan, also in 2D), each drawn before the next: they
  // go straight to the window, as the moves of a real drag arrive.
  void mouse(QEvent::Type type, int step, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPoint(100 + 6 * step, 100 + 3 * step), Qt::MiddleButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &event);
    QCoreApplication::processEvents();
  }
  void drag(int steps) {
    mouse(QEvent::MouseButtonPress, 0, Qt::MiddleButton);
    for (int step = 1; step <= steps; ++step) {
      QThread::msleep(8);  // moves closer than 5 ms apart are ignored
      mouse(QEvent::MouseMove, step, Qt::MiddleButton);
    }
    mouse(QEvent::MouseButtonRelease, steps, Qt::NoButton);
  }
  // A burst of wheel notches, then the events it left are served.
  void wheel(int notches) {
    for (int i = 0; i < notches; ++i) {
      QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(0, 120), QPoint(0, 120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(window.get(), &event);
    }
    QCoreApplication::processEvents();
  }
  // The frame drawn now by an explicit request with cheap frames off: the reference picture.
  Frame fullReference() {
    const bool was = window->cheapFrames();
    window->setCheapFrames(false);
    const size_t before = frames.size();
    window->renderNow();
    window->setCheapFrames(was);
    EXPECT_EQ(frames.size(), before + 1);
    const Frame reference = frames.back();
    frames.pop_back();
    return reference;
  }

  std::unique_ptr<ZelSceneWindow> window;
  std::vector<Frame> frames;
  std::int64_t now = 0;  // the pace clock, in milliseconds
};

TEST_F(CheapFramesTest, DragFramesAreStraightAndTheQuietFrameEqualsAFullFrame) {
  show(EntityType::Triangle);
  drag(5);
  // Press, five moves and the release: each drawn at once, every one cheap and straight.
  ASSERT_EQ(frames.size(), 7u);
  for (const Frame& frame : frames) {
    EXPECT_TRUE(frame.cheap);
    EXPECT_EQ(frame.programs, Programs{"TriSha"});
  }
  // The quiet timer fires and finds the input not yet quiet: it waits again.
  settle();
  ASSERT_EQ(frames.size(), 7u) << "the full frame came before the input was quiet";
  quietTimePasses();
  ASSERT_TRUE(waitForFrames(8)) << "no full frame once the input was quiet";
  const Frame quiet = frames.back(), cheap = frames[6];
  EXPECT_FALSE(quiet.cheap);
  EXPECT_EQ(quiet.programs, Programs{"P2TriSha"});
  settle();
  EXPECT_EQ(frames.size(), 8u) << "the picture at rest was drawn again";

  const Frame reference = fullReference();
  EXPECT_EQ(differingPixels(quiet, reference), 0);
  // The cheap picture of the same view is different (straight boundary, no element edges, half
  // the resolution): the comparison above can fail. Drawn at half the resolution over the
  // whole window, the disc covers about the same area.
  EXPECT_GT(differingPixels(cheap, reference), 100);
  EXPECT_TRUE(pixelsDoubled(cheap));
  EXPECT_FALSE(pixelsDoubled(reference));
  const auto area = [](const Frame& f) { return coveredHalves(f).first + coveredHalves(f).second; };
  EXPECT_NEAR(area(cheap), area(reference), 0.03 * area(reference));

  // A screenshot taken while the view moves is full, and leaves no frame due.
  wheel(1);
  ASSERT_EQ(frames.size(), 9u);
  EXPECT_TRUE(frames.back().cheap);
  screenshotOf(*window);
  ASSERT_EQ(frames.size(), 10u);
  EXPECT_FALSE(frames.back().cheap) << "a screenshot taken while the view moves";
  const Programs& shot = frames.back().programs;
  EXPECT_EQ(std::count(shot.begin(), shot.end(), "P2TriSha"), 1);
  quietTimePasses();
  settle();
  EXPECT_EQ(frames.size(), 10u) << "the full picture on screen was drawn again";
}

// Turned off while a cheap picture is on screen, the full one replaces it at once, without
// waiting for the quiet time; then every frame of a drag is full.
TEST_F(CheapFramesTest, AWheelBurstIsOneCheapFrameThenOneFullOneAndTurnedOffEveryFrameIsFull) {
  show(EntityType::Quadrilateral);
  wheel(4);
  ASSERT_EQ(frames.size(), 1u) << "requests of one burst are merged into one frame";
  EXPECT_TRUE(frames[0].cheap);
  EXPECT_EQ(frames[0].programs, Programs{"QuaSha"});
  quietTimePasses();
  ASSERT_TRUE(waitForFrames(2));
  EXPECT_FALSE(frames[1].cheap);
  EXPECT_EQ(frames[1].programs, Programs{"Q2QuaSha"});
  EXPECT_EQ(differingPixels(frames[1], fullReference()), 0);

  wheel(1);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_TRUE(frames.back().cheap);
  window->setCheapFrames(false);
  // Timers left out: the quiet timer cannot be what draws this frame.
  QCoreApplication::processEvents(QEventLoop::X11ExcludeTimers);
  ASSERT_EQ(frames.size(), 4u) << "waited for the quiet time";
  EXPECT_FALSE(frames.back().cheap);
  frames.clear();
  drag(3);
  ASSERT_EQ(frames.size(), 5u);
  for (const Frame& frame : frames) {
    EXPECT_FALSE(frame.cheap);
    EXPECT_EQ(frame.programs, Programs{"Q2QuaSha"});
  }
  settle();
  EXPECT_EQ(frames.size(), 5u);
}

TEST_F(CheapFramesTest, LargeVertexCloudsDrawAnEvenSubsetWithTheSamePickingNumbers) {
  show(EntityType::Triangle);
  for (ZelDrawObject* object : window->allObjects()) object->setVisible(false);
  // Just over the budget, so the subset takes every second point: the even ones on a small
  // grid at the left, the odd ones on the same grid at the right.
  const int count = zel::kCheapPointBudget + 1;
  std::vector<double> coords(3 * (size_t(count) + 1), 0.0);
  for (int i = 0; i < count; ++i) {
    const int cell = (i / 2) % 100;
    coords[3 * size_t(i) + 3] = (i % 2 ? 0.3 : -0.7) + 0.04 * (cell % 10);
    coords[3 * size_t(i) + 4] = -0.2 + 0.04 * (cell / 10);
  }
  ZelDrawObject* cloud = ZelDrawObject::create(DrawKind::Vertex, 0);
  window->addObject(cloud);
  window->attachData(cloud, count, coords.data());
  QTest::keyClick(window.get(), 'D');
  window->displaySettings().pointSize = 2.0f;
  window->renderNow();
  settle();
  const std::pair<int, int> full = coveredHalves(frames.back());
  const int fullPrimitives = window->lastFramePrimitives();
  ASSERT_GT(full.first, 100);
  ASSERT_GT(full.second, 100);

  wheel(1);
  ASSERT_TRUE(frames.back().cheap);
  const std::pair<int, int> cheap = coveredHalves(frames.back());
  EXPECT_GT(cheap.first, full.first / 2) << "the subset lost the even points";
  // The points keep their size on the screen in the picture drawn at half the resolution.
  EXPECT_LT(cheap.first, 2 * full.first) << "points drawn twice as large";
  EXPECT_EQ(cheap.second, 0) << "the odd points were drawn: no subset";
  EXPECT_EQ(window->lastFramePrimitives(), fullPrimitives);
  quietTimePasses();
  ASSERT_TRUE(waitForFrames(frames.size() + 1));
  EXPECT_FALSE(frames.back().cheap);
  EXPECT_EQ(differingPixels(frames.back(), fullReference()), 0);
  EXPECT_GT(coveredHalves(frames.back()).second, 100) << "the odd points are back at rest";
}

}  // namespace
