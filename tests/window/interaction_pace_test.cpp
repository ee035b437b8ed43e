// Frame pace while the view moves: cheap frames during motion input and its quiet time, one
// full frame due once the input is quiet, none when cheap frames are off.
#include "window/interaction_pace.h"

#include <gtest/gtest.h>

namespace {

using zel::InteractionPace;
constexpr std::int64_t kQuiet = InteractionPace::kQuietMilliseconds;

TEST(InteractionPace, FramesAreCheapOnlyWithinTheQuietTimeOfTheLastMotion) {
  InteractionPace pace;
  EXPECT_FALSE(pace.cheapAt(1000)) << "no motion yet";
  EXPECT_EQ(pace.quietIn(1000), 0);
  pace.noteMotion(1000);
  EXPECT_TRUE(pace.cheapAt(1000) && pace.cheapAt(1000 + kQuiet - 1));
  EXPECT_FALSE(pace.cheapAt(1000 + kQuiet));
  EXPECT_EQ(pace.quietIn(1040), kQuiet - 40);
  // Each motion input restarts the quiet time: a burst stays cheap throughout.
  pace.noteMotion(1100);
  EXPECT_TRUE(pace.cheapAt(1100 + kQuiet - 1));
  EXPECT_EQ(pace.quietIn(1100 + kQuiet + 500), 0);
}

TEST(InteractionPace, OneFullFrameIsDueAfterCheapOnesOnceInputIsQuietOrCheapFramesAreOff) {
  InteractionPace pace;
  pace.noteMotion(0);
  pace.frameDrawn(true);
  EXPECT_TRUE(pace.cheapOnScreen());
  EXPECT_FALSE(pace.fullFrameDue(kQuiet - 1)) << "still moving";
  EXPECT_TRUE(pace.fullFrameDue(kQuiet));
  pace.frameDrawn(false);  // the full frame
  EXPECT_FALSE(pace.fullFrameDue(kQuiet + 1000)) << "a full picture is not drawn again";
  // A full frame drawn during the motion (a screenshot) leaves nothing due either.
  pace.noteMotion(5000);
  pace.frameDrawn(true);
  pace.frameDrawn(false);
  EXPECT_FALSE(pace.fullFrameDue(5000 + kQuiet));
  // Turned off, every frame is full and a cheap picture is replaced at once.
  pace.noteMotion(6000);
  pace.frameDrawn(true);
  pace.setEnabled(false);
  EXPECT_FALSE(pace.enabled() || pace.cheapAt(6001));
  EXPECT_TRUE(pace.fullFrameDue(6001)) << "the cheap picture must not stay while input goes on";
  pace.noteMotion(6010);
  EXPECT_FALSE(pace.cheapAt(6010));
  pace.setEnabled(true);
  EXPECT_TRUE(pace.cheapAt(6010));
}

}  // namespace
