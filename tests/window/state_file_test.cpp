// State file: round trip of every field, and hand-written files with the reader's error rules.
#include "window/state_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "meshio/entity_types.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/text_streams.h"

namespace {

using Hidden = std::vector<std::pair<int, int>>;

// Runs the reader on `text`; `messages` receives what it printed.
ViewState readText(const std::string& text, std::string* messages = nullptr) {
  std::FILE *in = streamOf(text), *out = std::tmpfile();
  ViewState state = readViewState(in, out);
  if (messages) *messages = textOf(out);
  std::fclose(in);
  std::fclose(out);
  return state;
}

// The fixed format: read, every field is set as written, and written again it gives the same
// text. Keywords are case-insensitive and other words are skipped.
TEST(StateFile, ReadsTheFixedFormatAndWritesItBack) {
  const std::string text =
      "WindowSize\n640 480\nCenter\n0.125000 -0.250000 0.500000\n"
      "Rotation\n0.500000 -0.500000 0.500000 0.500000\nAxis\n0.000000 1.000000 0.000000\n"
      "Translation\n0.010000 -0.020000 0.000000\nShowCutPlane\n1\n"
      "CutPlaneEquation\n0.000000 1.000000 0.000000 0.500000\nFovy\n12.345678\n"
      "SolOn\n1\nIsoOn\n0\nPalOn\n1\nLineOn\n0\nTessOn\n1\nTessLevel\n17\nShaMod\n2\n"
      "RenMod\n21\nWireSiz\n1.050000\nNumberOfHiddenObjects\n2\n"
      "Triangle  3\nSrfQuadrilateralQ4  -2\n";
  ViewState s = readText(text);
  ASSERT_TRUE(s.windowSize && s.centre && s.rotation && s.axis && s.translation && s.showCutPlane &&
              s.cutPlane && s.fieldOfView && s.solutionOn && s.isoLinesOn && s.paletteShown &&
              s.lineOn && s.tessellationOn && s.tessellationLevel && s.shadingModel &&
              s.renderFlags && s.lineWidth);
  EXPECT_EQ(s.windowSize, std::make_pair(640, 480));
  EXPECT_EQ((*s.rotation)[1], -0.5f);  // scalar first
  EXPECT_EQ((*s.cutPlane)[3], 0.5f);
  EXPECT_EQ(std::make_tuple(*s.fieldOfView, *s.renderFlags), std::make_tuple(12.345678, 21));
  EXPECT_EQ(s.hidden, (Hidden{{DrawKind::Triangle, 3}, {DrawKind::SrfQuadrilateralQ4, -2}}));
  std::FILE* out = std::tmpfile();
  EXPECT_TRUE(writeViewState(out, s));
  EXPECT_EQ(textOf(out), text);
  std::fclose(out);

  std::string messages;
  s = readText("# a comment with words\nWINDOWSIZE 300 200 fovy 20 tessLEVEL 9 Lineon 1",
               &messages);
  EXPECT_EQ(s.windowSize, std::make_pair(300, 200));
  EXPECT_EQ(std::make_tuple(*s.fieldOfView, *s.tessellationLevel, *s.lineOn),
            std::make_tuple(20.0, 9, 1));
  EXPECT_EQ(messages, "");
  // Hidden objects' kind names are case-sensitive; an unknown one ends the list, and reading
  // goes on after it.
  s = readText("NumberOfHiddenObjects 3 Triangle 4 triangle 5 Edge 6 SolOn 1");
  EXPECT_EQ(s.hidden, (Hidden{{DrawKind::Triangle, 4}}));
  EXPECT_EQ(s.solutionOn, 1);
  EXPECT_TRUE(readText("NumberOfHiddenObjects 0 Triangle 4").hidden.empty());
}

// An error in an integer or a single real ends the reading; one inside a three- or
// four-component value abandons only its keyword. Each error prints one line.
TEST(StateFile, ValueErrorsEndTheReadingOrAbandonTheirKeyword) {
  const std::pair<const char*, bool> cases[] = {
      {"SolOn 1 TessLevel x IsoOn 1", true},
      {"SolOn 1 ShaMod", true},
      {"SolOn 1 Fovy abc IsoOn 1", true},
      {"SolOn 1 Center 1 oops 3 IsoOn 1 Translation 1 2", false}};
  for (const auto& [text, ends] : cases) {
    std::string messages;
    const ViewState s = readText(text, &messages);
    EXPECT_EQ(s.solutionOn, 1) << text;
    EXPECT_EQ(bool(s.isoLinesOn), !ends) << text;
    EXPECT_FALSE(s.tessellationLevel || s.shadingModel || s.fieldOfView || s.centre ||
                 s.translation)
        << text;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), ends ? 1 : 2) << messages;
  }
  std::string messages;
  readText("TessLevel x", &messages);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: tesslevel: ERROR WHILE READING INTEGER VALUE(x)\n");
}

TEST(StateFile, ValuesOutsideTheirRangeAreClampedWithAMessage) {
  std::string messages;
  ViewState s =
      readText("WindowSize 100000 0 TessLevel 2147483647 ShaMod -1 Fovy 0 WireSiz -2", &messages);
  EXPECT_EQ(s.windowSize, std::make_pair(16384, 1));
  EXPECT_EQ(std::make_tuple(*s.tessellationLevel, *s.shadingModel, *s.fieldOfView, *s.lineWidth),
            std::make_tuple(125, 0, 1e-7, 0.0));
  // One warning a value, in this form.
  EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 6) << messages;
  EXPECT_EQ(
      messages.substr(0, messages.find('\n') + 1),
      "  ## WARNING: ZELMOR: windowsize: VALUE 100000 OUT OF RANGE [1, 16384], SET TO 16384 \n");
  // The limits themselves are kept silently.
  s = readText("WindowSize 16384 1 TessLevel 1 ShaMod 3 Fovy 179 WireSiz 1000", &messages);
  EXPECT_EQ(s.windowSize, std::make_pair(16384, 1));
  EXPECT_EQ(std::make_tuple(*s.tessellationLevel, *s.shadingModel, *s.fieldOfView, *s.lineWidth),
            std::make_tuple(1, 3, 179.0, 1000.0));
  EXPECT_EQ(messages, "");
  // Reals that are not finite numbers, or beyond single precision, are not reals here.
  s = readText("Center nan 0 0 Axis 0 inf 0 Translation 0 0 1e39 Fovy 1e300", &messages);
  EXPECT_FALSE(s.centre || s.axis || s.translation || s.fieldOfView);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 4) << messages;
}

TEST(StateFile, OnlyASmallRegularWritableFileIsRead) {
  const TemporaryDirectory scratch;
  ViewState state;
  // Reads the file `name`: whether it was read, and what was printed.
  const auto read = [&](const std::string& name) {
    std::FILE* out = std::tmpfile();
    const bool done = readViewStateFile(name, &state, out);
    const std::string messages = textOf(out);
    std::fclose(out);
    return std::make_pair(done, messages);
  };
  const std::string view = scratch.file("view.data"), fifo = scratch.file("fifo.data"),
                    huge = scratch.file("huge.data");
  std::ofstream(view) << "TessLevel 7";
  EXPECT_EQ(read(view), std::make_pair(true, std::string()));
  EXPECT_EQ(state.tessellationLevel, 7);
  // Neither a FIFO without writer nor an endless device may hold the reader up. A missing
  // file gets only the caller's loading error.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(huge) << std::string(kMaximumStateFileSize + 1, ' ');
  for (const auto& [name, reason] : {std::make_pair(fifo, ": not a regular file"),
                                     {"/dev/zero", ": not a regular file"},
                                     {scratch.path(), ": not a regular file"},
                                     {huge, ": file too large"}})
    EXPECT_EQ(read(name), std::make_pair(false, "  ## ERROR: ZELMOR: " + name + reason + " \n"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(read(scratch.file("missing.data")), std::make_pair(false, std::string()));
  if (::geteuid() != 0) {  // root may write anything
    ::chmod(view.c_str(), 0400);
    EXPECT_EQ(read(view), std::make_pair(false, std::string()));
  }
}

}  // namespace
