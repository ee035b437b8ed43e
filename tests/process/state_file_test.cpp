// The view saved with key "w" and restored at start-up from the mesh's state file gives the
// same picture, on a mesh that is not centred at the origin.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "tests/support/child_process.h"
#include "tests/support/x11_windows.h"

namespace {

const double kSeconds = 60.0;

TEST(StateFile, SavedViewIsRestoredAtStartUp) {
  TemporaryDirectory directory;
  const std::string mesh = directory.path() + "/sector.mesh";
  std::filesystem::copy_file(std::string(ZEL_TEST_DATA) + "/ho/hex_sector_q2.mesh", mesh);

  std::string first;
  {
    ChildProcess pellon(PELLON_BINARY, {"-in", mesh}, directory.path());
    ASSERT_EQ(waitForWindows(pellon.pid(), 1, kSeconds).size(), 1u);
    ASSERT_TRUE(pellon.waitForOutput("setting up the scene"));
    for (const char* key : {"z", "z", "Right", "t", "t", "r", "w"})
      sendKeyToProcess(pellon.pid(), key);
    ASSERT_TRUE(pellon.waitForOutput("  writing zelmor.data\n"));
    sendKeyToProcess(pellon.pid(), "space");
    ASSERT_TRUE(pellon.waitForOutput("screen shot done"));
    first = screenshotsReported(pellon.output()).back();
    closeWindowsOfProcess(pellon.pid());
    ASSERT_EQ(pellon.wait(kSeconds), 0);
    // Seconds-stamped names: make sure the second screenshot cannot overwrite the first.
    std::filesystem::rename(directory.path() + "/" + first, directory.path() + "/first.png");
  }
  std::filesystem::rename(directory.path() + "/zelmor.data", directory.path() + "/sector.data");

  ChildProcess pellon(PELLON_BINARY, {"-in", mesh}, directory.path());
  ASSERT_EQ(waitForWindows(pellon.pid(), 1, kSeconds).size(), 1u);
  ASSERT_TRUE(pellon.waitForOutput("setting up the scene"));
  ASSERT_TRUE(pellon.waitForOutput("  opening " + directory.path() + "/sector.data \n"));
  EXPECT_NE(pellon.output().find("  DATA FILE FOUND \n"), std::string::npos);
  ::usleep(300 * 1000);
  sendKeyToProcess(pellon.pid(), "space");
  ASSERT_TRUE(pellon.waitForOutput("screen shot done"));
  const std::string second = screenshotsReported(pellon.output()).back();
  closeWindowsOfProcess(pellon.pid());
  ASSERT_EQ(pellon.wait(kSeconds), 0);

  const QImage before(QString::fromStdString(directory.path() + "/first.png"));
  const QImage after(QString::fromStdString(directory.path() + "/" + second));
  ASSERT_EQ(before.size(), after.size());
  int differing = 0, covered = 0;
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      const QRgb a = before.pixel(x, y), b = after.pixel(x, y);
      covered += qRed(a) + qGreen(a) + qBlue(a) < 3 * 250;
      differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b)) >
                   12;
    }
  }
  EXPECT_GT(covered, 10000);  // the mesh is on screen
  EXPECT_LT(differing, before.width() * before.height() / 500) << "pixels differing: " << differing;
}

// A window size no screen holds and the largest tessellation level in the state file: the
// window still comes up at a size the screen holds, and pellon ends normally.
TEST(StateFile, HugeSizesDoNotHoldUpTheStart) {
  TemporaryDirectory directory;
  const std::string mesh = directory.path() + "/sector.mesh";
  std::filesystem::copy_file(std::string(ZEL_TEST_DATA) + "/ho/hex_sector_q2.mesh", mesh);
  std::ofstream(directory.path() + "/sector.data")
      << "WindowSize 100000 2147483647 TessLevel 2147483647";
  ChildProcess pellon(PELLON_BINARY, {"-in", mesh}, directory.path());
  ASSERT_EQ(waitForWindows(pellon.pid(), 1, kSeconds).size(), 1u);
  ASSERT_TRUE(pellon.waitForOutput("LARGER THAN THE SCREEN")) << pellon.output();
  sendKeyToProcess(pellon.pid(), "t");  // one tessellation level up from the largest
  ::usleep(300 * 1000);
  const auto windows = windowsOfProcess(pellon.pid());
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_LE(windows[0].width, 16384);
  EXPECT_LE(windows[0].height, 16384);
  closeWindowsOfProcess(pellon.pid());
  EXPECT_EQ(pellon.wait(kSeconds), 0) << pellon.output();
}

}  // namespace
