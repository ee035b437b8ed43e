// Cheap frames while the view moves, driven by real Qt events: straight shapes at half the
// resolution, one frame per burst, then one full frame equal to a frame drawn with cheap frames
// off. The pace clock is moved by hand: slow frames on a loaded machine cannot decide.
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

// Pixels (x, y) of the window for which `holds` holds.
template <typename Holds>
int countPixels(Holds holds) {
  int count = 0;
  for (int p = 0; p < kWidth * kHeight; ++p) count += holds(p % kWidth, p / kWidth);
  return count;
}

int differingPixels(const Frame& a, const Frame& b) {
  return countPixels([&](int x, int y) { return !sameColour(a.at(x, y), b.at(x, y)); });
}

// Whether every 2 x 2 block of pixels has one colour: a picture drawn at half the resolution.
bool pixelsDoubled(const Frame& f) {
  return !countPixels([&](int x, int y) { return !sameColour(f.at(x, y), f.at(x & ~1, y & ~1)); });
}

// Pixels darker than the white background (faces and points are grey 0.7) in each half.
std::pair<int, int> coveredHalves(const Frame& f) {
  const auto covered = [&](bool left) {
    return countPixels(
        [&](int x, int y) { return (x < kWidth / 2) == left && f.at(x, y)[0] <= 230; });
  };
  return {covered(true), covered(false)};
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
    // Late exposures of a new window would count as extra frames: wait for 300 ms without any.
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
  // A middle-button drag (a pan, also in 2D), each event sent straight and drawn at once.
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
  for (const Frame& frame : frames)
    EXPECT_TRUE(frame.cheap && frame.programs == Programs{"TriSha"});
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
  // The cheap picture is drawn at half the resolution, the full one not, over the same area.
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

// Turned off, a full picture replaces the cheap one at once and every frame of a drag is full.
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
  for (const Frame& frame : frames)
    EXPECT_TRUE(!frame.cheap && frame.programs == Programs{"Q2QuaSha"});
  settle();
  EXPECT_EQ(frames.size(), 5u);
}

TEST_F(CheapFramesTest, LargeVertexCloudsDrawAnEvenSubsetWithTheSamePickingNumbers) {
  show(EntityType::Triangle);
  for (ZelDrawObject* object : window->allObjects()) object->setVisible(false);
  // Just over the budget: the subset is every second point, the even ones drawn at the left.
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
