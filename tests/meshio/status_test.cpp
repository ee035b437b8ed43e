// Status buffer: message in the first half, bounded; echo in the second half; fatal exit.
#include "meshio/status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Status, FormatsIntoFirstHalfAndReturnsFailure) {
  char status[zel::kStatusSize];
  std::memset(status, 'x', sizeof status);
  EXPECT_EQ(zel::setStatus(status, " zel_Typ2Siz is undefined for Typ %d !\n", 5), 2);
  EXPECT_STREQ(status, " zel_Typ2Siz is undefined for Typ 5 !\n");
  EXPECT_EQ(status[zel::kStatusHalf], 'x');  // second half untouched
}

TEST(Status, LongMessageIsCutAtHalfAndEchoGoesToSecondHalf) {
  char status[zel::kStatusSize];
  std::memset(status, 'x', sizeof status);
  std::string longText(2000, 'a');
  zel::setStatus(status, "%s", longText.c_str());
  EXPECT_EQ(std::strlen(status), 511u);
  zel::echoStatus(status, longText.c_str());
  EXPECT_EQ(std::strlen(status + zel::kStatusHalf), 511u);
  EXPECT_EQ(std::strlen(status), 511u);  // echo did not disturb the message
  EXPECT_EQ(zel::setStatus(nullptr, "ignored"), 2);
  zel::echoStatus(nullptr, "ignored");
}

TEST(StatusDeathTest, FatalExitEndsWithStatusOne) {
  EXPECT_EXIT(zel::fatalExit(stderr, "broken %d\n", 7), ::testing::ExitedWithCode(1), "broken 7");
}
