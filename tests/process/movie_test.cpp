// The movie modes of the real pellon under a bare X server (no window manager): one PNG per
// line of "zelmor.movie", named after the solution, all of the window size and view saved in
// "zelmor.data"; a missing list is reported.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/image_probe.h"

namespace {

const double kSeconds = 120.0;

bool covered(QRgb pixel) { return qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 240; }

// Mean column of the covered pixels below the palette legend (the top 40 rows), and their
// number.
double coveredCentreX(const QImage& image, int* count) {
  double sum = 0;
  *count = 0;
  for (int y = 40; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (covered(image.pixel(x, y))) {
        sum += x;
        ++*count;
      }
  return *count ? sum / *count : -1;
}

TEST(Movie, OneFramePerLineWithTheSavedSizeAndView) {
  TemporaryDirectory directory;
  const std::string dir = directory.path() + "/";
  const std::string data = std::string(ZEL_TEST_DATA) + "/sol/";
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

  EXPECT_EQ(screenshotsReported(out),
            (std::vector<std::string>{"run1.png", "run2.png", "missing.png", "disc.png"}));

  std::map<std::string, QImage> images;
  for (const char* name : {"run1.png", "run2.png", "missing.png", "disc.png"}) {
    images[name] = QImage(QString::fromStdString(dir + name));
    EXPECT_EQ(images[name].size(), QSize(400, 300)) << name;
  }
  ASSERT_EQ(images["run1.png"].size(), QSize(400, 300));
  // The saved view: the disc's radius is 0.5 / (3 tan 15 deg) x 150 = 93 pixels, and the pan
  // moves it 0.4 / (3 tan 15 deg x 4/3) x 200 = 75 pixels right of the centre.
  int count = 0;
  EXPECT_NEAR(coveredCentreX(images["run1.png"], &count), 275, 6);
  EXPECT_NEAR(count, M_PI * 93 * 93, 0.08 * M_PI * 93 * 93);
  // The same mesh, solution and view give the same picture in every frame.
  EXPECT_LT(differingPixels(images["run1.png"], images["run2.png"]), 40);
  EXPECT_LT(differingPixels(images["run1.png"], images["disc.png"]), 40);
  // The mesh that cannot be opened still has its frame, empty.
  coveredCentreX(images["missing.png"], &count);
  EXPECT_EQ(count, 0);
}

TEST(Movie, MissingListIsReportedAndTheProgramEnds) {
  const std::string missing =
      "  no file zelmor.movie found \n"
      "  Please specify your sequence of meshes and solution in a file named \"zelmor.movie\" \n";
  for (const auto& [flag, launch] :
       {std::pair{"-movie", "  Launching movie frames generator\n\n"},
        std::pair{"-moviecapping", "  Launching movie capping frames generator\n\n"}}) {
    TemporaryDirectory directory;
    ChildProcess pellon(PELLON_BINARY, {flag}, directory.path());
    ASSERT_EQ(pellon.wait(kSeconds), 0) << flag;
    const std::string out = pellon.output();
    EXPECT_NE(out.find(std::string(launch) + missing), std::string::npos) << out;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
      EXPECT_NE(entry.path().extension(), ".png") << flag;
  }
}

// A list that is a FIFO nobody writes to reads as an empty list: no frame, and the program
// ends instead of waiting for a writer.
TEST(Movie, ListWithoutWriterDoesNotHoldUpTheProgram) {
  TemporaryDirectory directory;
  ASSERT_EQ(::mkfifo((directory.path() + "/zelmor.movie").c_str(), 0600), 0);
  ChildProcess pellon(PELLON_BINARY, {"-movie"}, directory.path());
  ASSERT_EQ(pellon.wait(kSeconds), 0) << pellon.output();
  EXPECT_EQ(pellon.output().find("screen shot done"), std::string::npos);
  EXPECT_EQ(pellon.output().find("no file zelmor.movie"), std::string::npos);
}

}  // namespace
