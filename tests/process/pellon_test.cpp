// The real pellon binary under a bare X server (no window manager). Start-up: help text, empty
// window, OpenGL version check, the number of windows opened for each command-line shape, and
// screenshots. The view saved in "zelmor.data": written with key "w" and restored at start-up
// from the mesh's state file, clamped to what the screen holds; held by the movie modes, which
// write one PNG per line of "zelmor.movie", named after the solution.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <cmath>
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
    if (!old) {
      ASSERT_EQ(sendKeyToProcess(pellon.pid(), "space"), 1);
      ASSERT_TRUE(pellon.waitForOutput("screen shot done"));
      const std::vector<std::string> names = screenshotsReported(pellon.output());
      ASSERT_EQ(names.size(), 1u) << pellon.output();
      EXPECT_TRUE(std::regex_match(names[0], std::regex("screenshot_[0-9]+\\.png")));
      EXPECT_EQ(QImage(QString::fromStdString(directory.file(names[0]))).size(),
                QSize(800 * ratio, 600 * ratio));
    }
    closeWindowsOfProcess(pellon.pid());
    ASSERT_EQ(pellon.wait(kStartSeconds), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].width, 800 * ratio);
    EXPECT_EQ(shown[0].height, 600 * ratio);
    const std::string out = pellon.output();
    for (int refusal : {0, 1})
      for (const std::string& line : lines[refusal])
        EXPECT_EQ(countOccurrences(out, line), refusal == old) << line << "\n" << out;
    if (old) continue;
    EXPECT_NE(out.find(std::string("  Nothing to display !\n") + kUsage), std::string::npos);
    EXPECT_TRUE(
        std::regex_search(out, std::regex("\n  setting up the scene +[0-9]+\\.[0-9][0-9] s \n")));
    std::smatch version;
    ASSERT_TRUE(std::regex_search(out, version,
                                  std::regex("  GL   Version       : ([0-9]+)\\.([0-9]+)\n")));
    const int major = std::stoi(version[1]), minor = std::stoi(version[2]);
    EXPECT_TRUE(major > 4 || (major == 4 && minor >= 5)) << major << "." << minor;
  }
}

TEST(Startup, OneWindowPerMeshArgument) {
  // "-sol" without a file after it is a second mesh name; with one, the solution form; an
  // unrecognised first argument, the empty window.
  for (const auto& [arguments, windows] : std::vector<std::pair<std::vector<std::string>, size_t>>{
           {{"-in", "a.mesh", "b.mesh"}, 2},
           {{"-in", "a.mesh", "-sol"}, 2},
           {{"-in", "a.mesh", "-sol", "a.sol", "extra"}, 1},
           {{"-IN", "a.mesh", "b.mesh"}, 1}}) {
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, arguments, directory.path());
    waitForWindows(pellon.pid(), windows, kStartSeconds);
    ::usleep(500 * 1000);  // time for a wrongly classified line to open a window too many
    EXPECT_EQ(windowsOfProcess(pellon.pid()).size(), windows) << arguments.size();
    closeWindowsOfProcess(pellon.pid());
    EXPECT_EQ(pellon.wait(kStartSeconds), 0) << pellon.output();
    EXPECT_EQ(pellon.output().find("Nothing to display") == std::string::npos,
              arguments[0] == "-in");
  }
}

// Help ("-help" or "-h") needs neither a display nor OpenGL. Without a display, or with one
// nobody answers at, Qt's X11 platform would abort; with a platform that has no OpenGL the window
// would wait for ever: the viewing modes end at once with their message and status 1.
TEST(Startup, WithoutDisplayOrOpenGLHelpAnswersAndTheOtherModesEndWithStatusOne) {
  const char* const noDisplay = "  No display found (DISPLAY is not set): run pellon headless";
  const char* const noOpenGL = "You cannot use zelmor 4 on your host as openGL 4 is required";
  const char* const unreachable = "  Cannot connect to the display named by DISPLAY: run pellon";
  for (const auto& [environment, expected] :
       std::vector<std::pair<std::vector<std::string>, const char*>>{
           {{}, nullptr},
           {{"DISPLAY", "QT_QPA_PLATFORM"}, noDisplay},
           {{"QT_QPA_PLATFORM", "DISPLAY=:947"}, unreachable},
           {{"DISPLAY", "QT_QPA_PLATFORM=xcb"}, noDisplay},
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

// Mean column of the covered pixels below the palette legend (the top 40 rows), and their number.
std::pair<double, int> coveredCentreX(const QImage& image) {
  double sum = 0;
  int count = 0;
  for (int y = 40; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 240) sum += x, ++count;
    }
  return {count ? sum / count : -1, count};
}

// Starts pellon on the mesh, sends the keys, and returns the screenshot that "space" then takes.
std::string screenshotAfter(const TemporaryDirectory& directory, const std::string& mesh,
                            std::vector<const char*> keys, const std::string& expected) {
  ChildProcess pellon(PELLON_BINARY, {"-in", mesh}, directory.path());
  EXPECT_EQ(waitForWindows(pellon.pid(), 1, kSeconds).size(), 1u);
  EXPECT_TRUE(pellon.waitForOutput("setting up the scene"));
  EXPECT_TRUE(pellon.waitForOutput(expected)) << pellon.output();
  ::usleep(300 * 1000);
  keys.push_back("space");
  for (const char* key : keys) sendKeyToProcess(pellon.pid(), key);
  EXPECT_TRUE(pellon.waitForOutput("screen shot done"));
  const std::vector<std::string> names = screenshotsReported(pellon.output());
  closeWindowsOfProcess(pellon.pid());
  EXPECT_EQ(pellon.wait(kSeconds), 0);
  return names.empty() ? "" : directory.file(names.back());
}

// The view saved with key "w" and restored at start-up from the mesh's state file gives the
// same picture, on a mesh that is not centred at the origin.
TEST(StateFile, SavedViewIsRestoredAtStartUp) {
  TemporaryDirectory directory;
  const std::string mesh = directory.file("sector.mesh"), data = directory.file("sector.data");
  std::filesystem::copy_file(ZEL_TEST_DATA "/ho/hex_sector_q2.mesh", mesh);
  // Seconds-stamped names: the second screenshot must not overwrite the first.
  const std::string first = directory.file("first.png");
  std::filesystem::rename(
      screenshotAfter(directory, mesh, {"z", "z", "Right", "t", "t", "r", "w"}, "setting up"),
      first);
  ASSERT_TRUE(std::filesystem::exists(directory.file("zelmor.data")));
  std::filesystem::rename(directory.file("zelmor.data"), data);
  const std::string second =
      screenshotAfter(directory, mesh, {}, "  DATA FILE FOUND \n  opening " + data + " \n");
  const QImage before(QString::fromStdString(first)), after(QString::fromStdString(second));
  ASSERT_EQ(before.size(), after.size());
  // The mesh is on screen: pixels other than the background's colour in the corner.
  EXPECT_GT(differingPixels(before, before.copy(0, 0, 1, 1).scaled(before.size())), 10000);
  EXPECT_LT(differingPixels(before, after), before.width() * before.height() / 500);
}

// A window size no screen holds and the largest tessellation level in the state file: the
// window still comes up at a size the screen holds, and pellon ends normally.
TEST(StateFile, HugeSizesDoNotHoldUpTheStart) {
  TemporaryDirectory directory;
  const std::string mesh = directory.file("sector.mesh");
  std::filesystem::copy_file(ZEL_TEST_DATA "/ho/hex_sector_q2.mesh", mesh);
  std::ofstream(directory.file("sector.data"))
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

TEST(Movie, OneFramePerLineWithTheSavedSizeAndView) {
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
  EXPECT_NE(out.find("  Launching movie frames generator\n\n"), std::string::npos) << out;
  EXPECT_EQ(countOccurrences(out, "  opening zelmor.data \n"), 4);
  const std::vector<std::string> names = {"run1.png", "run2.png", "missing.png", "disc.png"};
  EXPECT_EQ(screenshotsReported(out), names);
  std::vector<QImage> images;
  for (const std::string& name : names) {
    images.emplace_back(QString::fromStdString(dir + name));
    ASSERT_EQ(images.back().size(), QSize(400, 300)) << name;
  }
  // The saved view: the disc's radius is 0.5 / (3 tan 15 deg) x 150 = 93 pixels, and the pan
  // moves it 0.4 / (3 tan 15 deg x 4/3) x 200 = 75 pixels right of the centre.
  const auto [centreX, count] = coveredCentreX(images[0]);
  EXPECT_NEAR(centreX, 275, 6);
  EXPECT_NEAR(count, M_PI * 93 * 93, 0.08 * M_PI * 93 * 93);
  // The same mesh, solution and view give the same picture in every frame; the mesh that
  // cannot be opened still has its frame, empty.
  EXPECT_LT(differingPixels(images[0], images[1]), 40);
  EXPECT_LT(differingPixels(images[0], images[3]), 40);
  EXPECT_EQ(coveredCentreX(images[2]).second, 0);
}

// A missing list is reported and the program ends; a list that is a FIFO nobody writes to reads
// as an empty list and does not hold the program up. Neither gives a frame.
TEST(Movie, MissingOrSilentListsEndTheProgramWithoutFrames) {
  const std::string missing =
      "  no file zelmor.movie found \n"
      "  Please specify your sequence of meshes and solution in a file named \"zelmor.movie\" \n";
  for (const auto& [flag, launch, fifo] :
       {std::tuple{"-movie", "  Launching movie frames generator\n\n", false},
        std::tuple{"-moviecapping", "  Launching movie capping frames generator\n\n", false},
        std::tuple{"-movie", "  Launching movie frames generator\n\n", true}}) {
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
