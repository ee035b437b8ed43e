// The real pellon binary under a bare X server (no window manager): help, the empty window and
// the OpenGL check, screenshots, one window per mesh with the state file beside it applied at
// start-up, and the movie modes, one PNG per line of "zelmor.movie".
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/image_probe.h"
#include "tests/support/x11_windows.h"

namespace {

const char* const kUsage =
    "  To use pellon, please specify a mesh after \" pellon -in \" in command line\n";
const double kStartSeconds = 30.0, kSeconds = 120.0;

// The empty window, 800 x 600 times the scale factor, shows the banner and the driver once, and
// "space" writes a screenshot of the window in device pixels; under OpenGL older than 4 it shows
// the refusal once instead and stays up. All end when the window is closed.
TEST(Startup, EmptyWindowShowsBannerOrRefusesOpenGLOlderThanFourOnceAndEndsWhenClosed) {
  for (const auto& [ratio, old] : {std::pair{1, false}, {2, false}, {1, true}}) {
    const std::vector<std::string> lines[2] = {
        {"ZELMOR, Release 4", "  GL   Vendor        : ", "  Depth buffer       : ",
         "  Retina pixel ratio : " + std::to_string(ratio) + ".0 \n"},
        {"You cannot use zelmor 4 on your host as openGL 4 is required, sorry !",
         "The openGL context is 3.3", "  The window won't display anything !\n\n"}};
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, {}, directory.path(),
                        {old ? "MESA_GL_VERSION_OVERRIDE=3.3" : "MESA_GL_VERSION_OVERRIDE",
                         "QT_SCALE_FACTOR=" + std::to_string(ratio)});
    const std::vector<WindowInfo> shown = waitForWindows(pellon.pid(), 1, kStartSeconds);
    ::usleep(500 * 1000);
    EXPECT_TRUE(pellon.running());
    std::vector<std::string> names;
    if (!old) {
      ASSERT_EQ(sendKeyToProcess(pellon.pid(), "space"), 1);
      ASSERT_TRUE(pellon.waitForOutput("screen shot done"));
      names = screenshotsReported(pellon.output());
    }
    closeWindowsOfProcess(pellon.pid());
    ASSERT_EQ(pellon.wait(kStartSeconds), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].width == 800 * ratio && shown[0].height == 600 * ratio) << ratio;
    const std::string out = pellon.output();
    for (int refusal : {0, 1})
      for (const std::string& line : lines[refusal])
        EXPECT_EQ(countOccurrences(out, line), refusal == old) << line << "\n" << out;
    if (old) continue;
    ASSERT_EQ(names.size(), 1u) << out;
    EXPECT_TRUE(std::regex_match(names[0], std::regex("screenshot_[0-9]+\\.png")));
    EXPECT_EQ(QImage(QString::fromStdString(directory.file(names[0]))).size(),
              QSize(800 * ratio, 600 * ratio));
    EXPECT_NE(out.find(std::string("  Nothing to display !\n") + kUsage), std::string::npos);
    EXPECT_TRUE(
        std::regex_search(out, std::regex("\n  setting up the scene +[0-9]+\\.[0-9][0-9] s \n")));
    std::smatch version;
    ASSERT_TRUE(std::regex_search(out, version,
                                  std::regex("  GL   Version       : ([0-9]+)\\.([0-9]+)\n")));
    EXPECT_GE(100 * std::stoi(version[1]) + std::stoi(version[2]), 405) << version[0];
  }
}

// Help ("-help" or "-h") needs neither a display nor OpenGL. Without a display, or with one
// nobody answers at, Qt's X11 platform would abort; with a platform that has no OpenGL the window
// would wait for ever: the viewing modes end at once with their message and status 1.
TEST(Startup, WithoutDisplayOrOpenGLHelpAnswersAndTheOtherModesEndWithStatusOne) {
  const char* const noOpenGL = "You cannot use zelmor 4 on your host as openGL 4 is required";
  for (const auto& [environment, expected] :
       std::vector<std::pair<std::vector<std::string>, const char*>>{
           {{}, nullptr},
           {{"DISPLAY", "QT_QPA_PLATFORM"}, "  No display found (DISPLAY is not set): run pellon"},
           {{"QT_QPA_PLATFORM", "DISPLAY=:947"}, "  Cannot connect to the display named"},
           {{"DISPLAY", "QT_QPA_PLATFORM=offscreen"}, noOpenGL},
           {{"QT_QPA_PLATFORM=minimal"}, noOpenGL}}) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-help"}, {"-h"}, {}, {"-in", "a.mesh"}}) {
      const bool help = arguments.size() == 1;
      if (!help && !expected) break;
      const std::string label = (environment.empty() ? "display" : environment.back()) + " " +
                                (arguments.empty() ? "" : arguments[0]);
      TemporaryDirectory directory;
      ChildProcess pellon(PELLON_BINARY, arguments, directory.path(), environment);
      EXPECT_EQ(pellon.wait(kStartSeconds), help ? 0 : 1) << label << "\n" << pellon.output();
      const std::string out = pellon.output();
      const std::string message =
          help ? std::string("  Launching help \n  \n") + kUsage + " \n" : expected;
      EXPECT_EQ(countOccurrences(out, message), 1) << label << "\n" << out;
      EXPECT_EQ(out.find("Nothing to display"), std::string::npos) << label;
      EXPECT_EQ(out.find("zel_OpenMesh"), std::string::npos) << label;
    }
  }
}

// One window per mesh, none for the solution, each with the state file beside its mesh applied
// at start-up: the window takes its size, and the largest tessellation level does not hold the
// start up (what a state file restores, and key "w" writing it, the window's tests check).
TEST(Startup, OneWindowPerMeshWithItsStateFile) {
  TemporaryDirectory directory;
  const std::string mesh = directory.file("sector.mesh"), data = directory.file("sector.data");
  std::filesystem::copy_file(ZEL_TEST_DATA "/ho/hex_sector_q2.mesh", mesh);
  std::ofstream(data) << "WindowSize 640 480 TessLevel 2147483647";
  for (const auto& [arguments, windows] : std::vector<std::pair<std::vector<std::string>, size_t>>{
           {{"-in", "a.mesh", mesh}, 2}, {{"-in", mesh, "-sol", "a.sol", "extra"}, 1}}) {
    ChildProcess pellon(PELLON_BINARY, arguments, directory.path());
    ASSERT_TRUE(pellon.waitForOutput("  DATA FILE FOUND \n  opening " + data + " \n"))
        << pellon.output();
    const auto restored = [](const WindowInfo& w) { return w.width == 640 && w.height == 480; };
    std::vector<WindowInfo> shown;
    for (int i = 0; i < 100 && std::count_if(shown.begin(), shown.end(), restored) != 1; ++i)
      ::usleep(100 * 1000), shown = windowsOfProcess(pellon.pid());
    ::usleep(500 * 1000);  // time for a window too many to open
    shown = windowsOfProcess(pellon.pid());
    EXPECT_EQ(shown.size(), windows) << arguments.size();
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), restored), 1) << arguments.size();
    closeWindowsOfProcess(pellon.pid());
    EXPECT_EQ(pellon.wait(kSeconds), 0) << pellon.output();
  }
}

TEST(Movie, OneFramePerLineWithTheSavedSize) {
  TemporaryDirectory directory;
  const std::string dir = directory.path() + "/", data = ZEL_TEST_DATA "/sol/";
  std::filesystem::copy_file(data + "disk_tri_p1.meshb", dir + "disc.meshb");
  for (const char* solution : {"run1.sol", "run2.sol", "disc.sol"})
    std::filesystem::copy_file(data + "disk_tri_p1.scalar.sol", dir + solution);
  // An empty line, words beyond the second, a mesh that does not exist, and a mesh alone that
  // takes the solution of its own base name.
  std::ofstream(dir + "zelmor.movie")
      << "disc.meshb run1.sol\n\n   \ndisc.meshb run2.sol more words\nmissing.mesh\ndisc.meshb\n";
  // The unit disc, zoomed out to fit and panned right by 0.4 (normalised units).
  std::ofstream(dir + "zelmor.data")
      << "WindowSize\n400 300\nTranslation\n0.400000 0.000000 0.000000\nFovy\n30.000000\n";
  ChildProcess pellon(PELLON_BINARY, {"-movie"}, directory.path());
  ASSERT_EQ(pellon.wait(kSeconds), 0) << pellon.output();
  const std::string out = pellon.output();
  EXPECT_EQ(countOccurrences(out, "  opening zelmor.data \n"), 4) << out;
  const std::vector<std::string> names = {"run1.png", "run2.png", "missing.png", "disc.png"};
  EXPECT_EQ(screenshotsReported(out), names);
  std::vector<QImage> images;
  for (const std::string& name : names) {
    images.emplace_back(QString::fromStdString(dir + name));
    ASSERT_EQ(images.back().size(), QSize(400, 300)) << name;
  }
  // The same mesh, solution and view give the same picture in every frame; the mesh that
  // cannot be opened still has its frame, empty (the movie frames' tests check the saved view).
  const QImage& empty = images[2];
  EXPECT_EQ(differingPixels(empty, empty.copy(0, 299, 1, 1).scaled(empty.size())), 0);
  EXPECT_GT(differingPixels(images[0], empty), 20000);
  EXPECT_LT(differingPixels(images[0], images[1]), 40);
  EXPECT_LT(differingPixels(images[0], images[3]), 40);
}

// A missing list is reported and the program ends; a list that is a FIFO nobody writes to reads
// as an empty list and does not hold the program up. Neither gives a frame.
TEST(Movie, MissingOrSilentListsEndTheProgramWithoutFrames) {
  const std::string missing =
      "  no file zelmor.movie found \n"
      "  Please specify your sequence of meshes and solution in a file named \"zelmor.movie\" \n";
  for (const auto& [flag, fifo] :
       {std::pair{"-movie", false}, {"-moviecapping", false}, {"-movie", true}}) {
    const std::string launch =
        std::string("  Launching movie ") + (flag[6] ? "capping " : "") + "frames generator\n\n";
    TemporaryDirectory directory;
    ASSERT_TRUE(!fifo || ::mkfifo(directory.file("zelmor.movie").c_str(), 0600) == 0);
    ChildProcess pellon(PELLON_BINARY, {flag}, directory.path());
    ASSERT_EQ(pellon.wait(kSeconds), 0) << flag << fifo;
    const std::string out = pellon.output();
    EXPECT_NE(out.find(launch + (fifo ? "" : missing)), std::string::npos) << out;
    EXPECT_EQ(out.find("no file zelmor.movie") == std::string::npos, fifo) << out;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
      EXPECT_NE(entry.path().extension(), ".png") << flag << fifo;
  }
}

}  // namespace
