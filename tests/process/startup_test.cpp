// Start-up of the real pellon binary: help text, empty window, OpenGL version check and the
// number of windows opened for each command-line shape.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <regex>

#include "tests/support/child_process.h"
#include "tests/support/x11_windows.h"

namespace {

const char* const kUsage =
    "  To use pellon, please specify a mesh after \" pellon -in \" in command line\n";
const double kStartSeconds = 30.0;

// Runs pellon until it shows `windows` windows, closes them, and returns its exit code.
int runAndClose(ChildProcess& pellon, size_t windows, std::vector<WindowInfo>* shown = nullptr) {
  std::vector<WindowInfo> found = waitForWindows(pellon.pid(), windows, kStartSeconds);
  if (shown) *shown = found;
  closeWindowsOfProcess(pellon.pid());
  return pellon.wait(kStartSeconds);
}

TEST(Startup, HelpPrintsUsageAndExitsZero) {
  for (const char* flag : {"-help", "-h"}) {
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, {flag}, directory.path());
    ASSERT_EQ(pellon.wait(kStartSeconds), 0) << flag;
    const std::string out = pellon.output();
    EXPECT_NE(out.find(std::string("  Launching help \n  \n") + kUsage + " \n"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("Nothing to display"), std::string::npos);
  }
}

TEST(Startup, EmptyWindowShowsBannerOnceAndEndsWhenClosed) {
  TemporaryDirectory directory;
  ChildProcess pellon(PELLON_BINARY, {}, directory.path());
  std::vector<WindowInfo> shown;
  ASSERT_EQ(runAndClose(pellon, 1, &shown), 0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].width, 800);
  EXPECT_EQ(shown[0].height, 600);

  const std::string out = pellon.output();
  EXPECT_NE(out.find(std::string("  Nothing to display !\n") + kUsage), std::string::npos) << out;
  EXPECT_EQ(countOccurrences(out, "ZELMOR, Release 4"), 1) << out;
  EXPECT_EQ(countOccurrences(out, "  GL   Vendor        : "), 1);
  EXPECT_EQ(countOccurrences(out, "  Depth buffer       : "), 1);
  EXPECT_EQ(countOccurrences(out, "  Retina pixel ratio : 1.0 \n"), 1);
  EXPECT_TRUE(
      std::regex_search(out, std::regex("\n  setting up the scene +[0-9]+\\.[0-9][0-9] s \n")));

  std::smatch version;
  ASSERT_TRUE(
      std::regex_search(out, version, std::regex("  GL   Version       : ([0-9]+)\\.([0-9]+)\n")));
  const int major = std::stoi(version[1]), minor = std::stoi(version[2]);
  EXPECT_TRUE(major > 4 || (major == 4 && minor >= 5)) << major << "." << minor;
}

TEST(Startup, OneWindowPerMeshArgument) {
  struct Case {
    std::vector<std::string> arguments;
    size_t windows;
  };
  // "-sol" without a file after it is a second mesh name; with one, the solution form; an
  // unrecognised first argument, the empty window.
  for (const Case& c : {Case{{"-in", "a.mesh", "b.mesh"}, 2}, Case{{"-in", "a.mesh", "-sol"}, 2},
                        Case{{"-in", "a.mesh", "-sol", "a.sol", "extra"}, 1},
                        Case{{"-IN", "a.mesh", "b.mesh"}, 1}}) {
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, c.arguments, directory.path());
    std::vector<WindowInfo> shown = waitForWindows(pellon.pid(), c.windows, kStartSeconds);
    // Give a wrongly classified line time to open a window too many.
    ::usleep(500 * 1000);
    shown = windowsOfProcess(pellon.pid());
    EXPECT_EQ(shown.size(), c.windows) << c.arguments.size();
    closeWindowsOfProcess(pellon.pid());
    EXPECT_EQ(pellon.wait(kStartSeconds), 0) << pellon.output();
    EXPECT_EQ(pellon.output().find("Nothing to display") == std::string::npos,
              c.arguments[0] == "-in");
  }
}

TEST(Startup, OpenGLOlderThanFourIsRefusedOnceAndTheWindowStaysUsable) {
  TemporaryDirectory directory;
  ChildProcess pellon(PELLON_BINARY, {}, directory.path(), {"MESA_GL_VERSION_OVERRIDE=3.3"});
  ASSERT_EQ(waitForWindows(pellon.pid(), 1, kStartSeconds).size(), 1u);
  ::usleep(500 * 1000);
  EXPECT_TRUE(pellon.running());
  closeWindowsOfProcess(pellon.pid());
  ASSERT_EQ(pellon.wait(kStartSeconds), 0);

  const std::string out = pellon.output();
  EXPECT_EQ(countOccurrences(
                out, "You cannot use zelmor 4 on your host as openGL 4 is required, sorry !"),
            1)
      << out;
  EXPECT_EQ(countOccurrences(out, "The openGL context is 3.3"), 1);
  EXPECT_EQ(countOccurrences(out, "  The window won't display anything !\n\n"), 1);
  EXPECT_EQ(out.find("ZELMOR, Release 4"), std::string::npos);
  EXPECT_EQ(out.find("  GL   Vendor"), std::string::npos);
}

// Without a display, or with one nobody answers at, Qt's X11 platform would abort; with a platform
// that has no OpenGL the window would wait for ever. Both end at once with their message and status
// 1; help needs neither.
TEST(Startup, WithoutDisplayOrOpenGLHelpAnswersAndTheOtherModesEndWithStatusOne) {
  struct Case {
    std::vector<std::string> environment;
    const char* expected;  // the message of the viewing modes
  };
  const char* const noDisplay = "  No display found (DISPLAY is not set): run pellon headless";
  const char* const noOpenGL = "You cannot use zelmor 4 on your host as openGL 4 is required";
  const char* const unreachable = "  Cannot connect to the display named by DISPLAY: run pellon";
  for (const Case& c : {Case{{"DISPLAY", "QT_QPA_PLATFORM"}, noDisplay},
                        Case{{"QT_QPA_PLATFORM", "DISPLAY=:947"}, unreachable},
                        Case{{"DISPLAY", "QT_QPA_PLATFORM=xcb"}, noDisplay},
                        Case{{"DISPLAY", "QT_QPA_PLATFORM=offscreen"}, noOpenGL},
                        Case{{"QT_QPA_PLATFORM=minimal"}, noOpenGL}}) {
    const std::string label = c.environment.back();
    {
      TemporaryDirectory directory;
      ChildProcess pellon(PELLON_BINARY, {"-help"}, directory.path(), c.environment);
      EXPECT_EQ(pellon.wait(kStartSeconds), 0) << label << "\n" << pellon.output();
      EXPECT_NE(pellon.output().find(kUsage), std::string::npos) << label;
    }
    for (std::vector<std::string> arguments : {std::vector<std::string>{}, {"-in", "a.mesh"}}) {
      TemporaryDirectory directory;
      ChildProcess pellon(PELLON_BINARY, arguments, directory.path(), c.environment);
      EXPECT_EQ(pellon.wait(kStartSeconds), 1) << label << "\n" << pellon.output();
      const std::string out = pellon.output();
      EXPECT_EQ(countOccurrences(out, c.expected), 1) << label << "\n" << out;
      EXPECT_EQ(out.find("Nothing to display"), std::string::npos) << label;
      EXPECT_EQ(out.find("zel_OpenMesh"), std::string::npos) << label;
    }
  }
}

TEST(Startup, SpaceWritesAScreenshotInDevicePixels) {
  for (int ratio : {1, 2}) {
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, {}, directory.path(),
                        {"QT_SCALE_FACTOR=" + std::to_string(ratio)});
    ASSERT_EQ(waitForWindows(pellon.pid(), 1, kStartSeconds).size(), 1u);
    ::usleep(300 * 1000);
    ASSERT_EQ(sendKeyToProcess(pellon.pid(), "space"), 1);
    ASSERT_TRUE(pellon.waitForOutput("screen shot done"));
    const std::vector<std::string> names = screenshotsReported(pellon.output());
    ASSERT_EQ(names.size(), 1u) << pellon.output();
    EXPECT_TRUE(std::regex_match(names[0], std::regex("screenshot_[0-9]+\\.png")));
    EXPECT_EQ(QImage(QString::fromStdString(directory.file(names[0]))).size(),
              QSize(800 * ratio, 600 * ratio));
    closeWindowsOfProcess(pellon.pid());
    EXPECT_EQ(pellon.wait(kStartSeconds), 0);
  }
}

}  // namespace
