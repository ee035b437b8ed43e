// Status buffer: message in the first half, bounded; echo in the second half; fatal exit.
#include "meshio/status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Status, MessagesStayInTheirHalfAndReturnFailure) {
  char status[zel::kStatusSize];
  std::memset(status, 'x', sizeof status);
  const std::string longText(2000, 'a');
  EXPECT_EQ(zel::setStatus(status, "%s %d", longText.c_str(), 5), 2);
  EXPECT_EQ(std::strlen(status), 511u);
  EXPECT_EQ(status[zel::kStatusHalf], 'x');  // second half untouched
  zel::echoStatus(status, longText.c_str());
  EXPECT_EQ(std::strlen(status + zel::kStatusHalf), 511u);
  EXPECT_EQ(std::strlen(status), 511u);  // echo did not disturb the message
  EXPECT_EQ(zel::setStatus(nullptr, "ignored"), 2);
  zel::echoStatus(nullptr, "ignored");
}

TEST(StatusDeathTest, FatalExitEndsWithStatusOne) {
  EXPECT_EXIT(zel::fatalExit(stderr, "broken %d\n", 7), ::testing::ExitedWithCode(1), "broken 7");
}
