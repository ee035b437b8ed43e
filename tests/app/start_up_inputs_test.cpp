// What the program reads at start-up, without a window: the command line's modes, state-file
// names and window system; the parameter file's lookup, keywords and error rules; the movie
// list's lines and frame names; the demonstration gallery's nodal values.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <fstream>

#include "app/command_line.h"
#include "app/demo_scenes.h"
#include "app/movie.h"
#include "app/parameter_file.h"
#include "app/window_system.h"
#include "meshio/entity_types.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/text_streams.h"

namespace {

CommandLine classify(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "pellon");
  return classifyCommandLine(arguments);
}

TEST(CommandLine, FirstArgumentChoosesTheModeByExactMatch) {
  const std::pair<const char*, StartMode> modes[] = {
      {"-help", StartMode::Help},   {"-h", StartMode::Help},
      {"-movie", StartMode::Movie}, {"-moviecapping", StartMode::MovieCapping},
      {"-demo", StartMode::Demo},   {"-demofull", StartMode::DemoFull}};
  for (const auto& [argument, mode] : modes) EXPECT_EQ(classify({argument}).mode, mode) << argument;
  EXPECT_EQ(classify({}).mode, StartMode::EmptyWindow);
  EXPECT_EQ(classify({"-in"}).mode, StartMode::EmptyWindow);  // nothing after it
  // Case, doubled dashes, trailing characters and prefixes are not recognised.
  for (const char* unknown :
       {"--in", "-IN", "-in=", "-Help", "--help", "-helpme", "-movi", "-Demo", "in", "a.mesh", ""})
    EXPECT_EQ(classify({unknown, "a.mesh"}).mode, StartMode::EmptyWindow) << unknown;
}

void expectLine(const std::vector<std::string>& arguments, StartMode mode,
                const std::vector<std::string>& meshes, const std::string& solution) {
  const CommandLine got = classify(arguments);
  EXPECT_EQ(std::tie(got.mode, got.meshes, got.solution), std::tie(mode, meshes, solution));
}

TEST(CommandLine, SolutionFormNeedsAFileAfterSol) {
  expectLine({"-in", "a.mesh", "-sol", "a.sol"}, StartMode::MeshWithSolution, {"a.mesh"}, "a.sol");
  // Arguments after the solution file are ignored.
  expectLine({"-in", "a.mesh", "-sol", "a.sol", "b.mesh"}, StartMode::MeshWithSolution, {"a.mesh"},
             "a.sol");
  // Without a fifth argument, "-sol" is a second mesh name.
  expectLine({"-in", "a.mesh", "-sol"}, StartMode::Meshes, {"a.mesh", "-sol"}, "");
  // "-sol" elsewhere than third is just a name; meshes keep their order and names.
  expectLine({"-in", "b.meshb", "dir/a", "-sol", "c.mesh"}, StartMode::Meshes,
             {"b.meshb", "dir/a", "-sol", "c.mesh"}, "");
}

TEST(StateFileName, CutAtTheFirstDotMesh) {
  const std::pair<const char*, const char*> names[] = {
      {"dir/run.mesh", "dir/run.data"}, {"run.mesh.gz", "run.data"},
      {"cube.meshb", "cube.data"},      {"cube", "cube.data"},
      {"a.meshes/b.mesh", "a.data"},    {"run.msh", "run.msh.data"}};
  for (const auto& [mesh, state] : names) EXPECT_EQ(stateFileName(mesh), state);
}

TEST(WindowSystem, PlatformArgumentWinsOverTheVariableAndX11NeedsADisplay) {
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a.mesh"}, nullptr), "");
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a.mesh"}, "offscreen"), "offscreen");
  EXPECT_EQ(chosenPlatform({"pellon", "-platform", "minimal", "-in", "a"}, "xcb"), "minimal");
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a", "-platform", "xcb"}, "offscreen"), "xcb");
  // A trailing "-platform" names nothing; the program name is never an option.
  EXPECT_EQ(chosenPlatform({"pellon", "-platform"}, "offscreen"), "offscreen");
  EXPECT_EQ(chosenPlatform({"-platform", "pellon"}, nullptr), "");

  for (const char* x11 : {"", "xcb", "xcb:nograb"})
    EXPECT_TRUE(!displayAvailable(x11, nullptr) && !displayAvailable(x11, "") &&
                displayAvailable(x11, ":99"))
        << x11;
  for (const char* other : {"offscreen", "minimal", "wayland", "xcbx"})
    EXPECT_TRUE(displayAvailable(other, nullptr)) << other;
}

TEST(MovieList, LinesGiveMeshAndSolutionAndFrameNames) {
  const std::string m(300, 'm'), s(260, 's');
  const struct {
    std::string line, mesh, solution;
  } lines[] = {{"run12.mesh run12.sol", "run12.mesh", "run12.sol"},
               // One word: the solution is looked for under the mesh's own name.
               {"run12.meshb", "run12.meshb", "run12.meshb"},
               // Any white space separates; words after the second are ignored.
               {" \ta.mesh \t b.sol  c.sol d\r", "a.mesh", "b.sol"},
               // Names are cut at 255 characters.
               {m + " " + s, m.substr(0, 255), s.substr(0, 255)}};
  for (const auto& line : lines) {
    const auto parsed = parseMovieLine(line.line);
    ASSERT_TRUE(parsed) << line.line;
    EXPECT_EQ(std::tie(parsed->mesh, parsed->solution), std::tie(line.mesh, line.solution));
  }
  // Lines without a word are no frame.
  EXPECT_FALSE(parseMovieLine(""));
  EXPECT_FALSE(parseMovieLine(" \t \r"));
  // Frame names are cut at the solution's extension, then the mesh's.
  const std::pair<const char*, const char*> names[] = {
      {"run12.sol", "run12.png"},   {"run12.solb", "run12.png"},
      {"run12.meshb", "run12.png"}, {"out/step.mesh.sol", "out/step.png"},
      {"a.sol.mesh", "a.png"},      {"field.mesh_b.solb", "field.png"},
      {"frame", "frame.png"}};
  for (const auto& [solution, frame] : names) EXPECT_EQ(movieFrameName(solution), frame);
}

TEST(MovieList, OverlongLinesAreCutAndTheirRestSkipped) {
  std::FILE* list = std::tmpfile();
  ASSERT_NE(list, nullptr);
  std::fputs(("a.mesh b.sol\n" + std::string(600, 'x') + "\n\nlast.mesh").c_str(), list);
  std::rewind(list);
  std::string line;
  for (const std::string& expected : {std::string("a.mesh b.sol"), std::string(511, 'x'),
                                      std::string(), std::string("last.mesh")}) {
    ASSERT_TRUE(readMovieLine(list, &line));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(readMovieLine(list, &line));
  std::fclose(list);
}

// Only x and y count: the square's far corner is sqrt(2) away whatever its height; at degree 2
// the mid-edge nodes (sorted, their order aside) lie 0.5 and sqrt(1.25) away, the centre
// sqrt(0.5). The gallery's picture test covers the other shapes and degrees.
TEST(DemoGallery, NodalValuesAreTheCosineOfTheDistanceToTheFirstVertexAndOtherKindsEndTheProcess) {
  const double square[12] = {5, 0, 1, 6, 0, 1, 6, 1, 7, 5, 1, 1};
  const double far = std::cos(M_PI * std::sqrt(2.0)), c = std::cos(M_PI * std::sqrt(1.25));
  const double h = std::cos(M_PI * std::sqrt(0.5)), expected[9] = {1, -1, far, -1, c, c, h, 0, 0};
  std::vector<double> got = galleryNodalValues(DrawKind::Quadrilateral, 2, square);
  ASSERT_EQ(got.size(), 9u);
  std::sort(got.begin() + 4, got.end());
  for (size_t n = 0; n < 9; ++n) EXPECT_NEAR(got[n], expected[n], 1e-12) << n;
  for (const auto& [kind, degree] : {std::pair{DrawKind::TriangleP2, 2},
                                     {DrawKind::Edge, 1},
                                     {DrawKind::Triangle, 11},
                                     {DrawKind::Quadrilateral, 0}})
    EXPECT_EXIT(galleryNodalValues(kind, degree, square), testing::ExitedWithCode(1), "");
}

using Point = std::array<double, 3>;
using Points = std::vector<Point>;
using Values = std::vector<float>;

// Reads `text` as a parameter file; `messages` receives what was printed.
DisplayParameters readText(const std::string& text, std::string* messages = nullptr) {
  std::FILE* in = streamOf(text);
  std::FILE* out = std::tmpfile();
  DisplayParameters parameters;
  readParameterKeywords(in, &parameters, out);
  if (messages) *messages = textOf(out);
  std::fclose(in);
  std::fclose(out);
  return parameters;
}

TEST(ParameterFile, KeywordsInAnyCaseSetTheirValues) {
  std::string messages;
  DisplayParameters p = readText(
      "some comment words\nCutPlane 1  0.5 0 0  1 0 0\nNUMBEROFSUBISOLINES 20 isolineswidth 2.5\n"
      "palette 0 1 2 3 4 IsoLines 2 0.25 0.75 boundingbox -1 1 -2 2 -3 3 colormap Viridis "
      "displayfield 0",
      &messages);
  ASSERT_EQ(std::tie(p.NbrUsrCut, p.NbrUsrIso), std::make_tuple(1, 2));
  EXPECT_EQ(std::tie(p.ctr[0], p.nor[0], p.UsrIsoVal),
            std::make_tuple(Point{0.5, 0, 0}, Point{1, 0, 0}, Values{0.25f, 0.75f}));
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid, p.Pal, p.usrPal[4], p.bbox[5], p.cm, p.displayField),
            std::make_tuple(9, 2.5, 1, 4.0f, 3.0, 6, 1));
  EXPECT_FALSE(p.fullFrames);
  EXPECT_EQ(messages, "  Viridis colormap used\n  Display Solution Field 1 \n");
  EXPECT_EQ(readText("isolineswidth 0.1").IsoWid, double(0.1f));  // stored in single precision

  // An unknown colour map keeps the previous one.
  EXPECT_EQ(readText("colormap magma colormap sepia", &messages).cm, 3);
  EXPECT_EQ(messages, "  Magma colormap used\n  unknow colormap ! \n");

  // The full-frames keyword takes no value and is recognised in any case, but only whole.
  EXPECT_FALSE(readText("full frames fullframe fullframess").fullFrames);
  p = readText("FullFrames numberofsubisolines 4");
  EXPECT_TRUE(p.fullFrames);
  EXPECT_EQ(p.nbrIso, 4) << "the word after the keyword is read as a keyword";
  EXPECT_TRUE(readText("colormap viridis FULLFRAMES").fullFrames);
}

TEST(ParameterFile, ErrorsFollowTheirRecoveryRules) {
  std::string messages;
  DisplayParameters p = readText("isolineswidth wide colormap jet", &messages);
  EXPECT_EQ(std::tie(p.IsoWid, p.cm), std::make_tuple(1.0, 0));  // the rest is ignored
  EXPECT_EQ(messages,
            "  ## ERROR: ZELMOR: isolineswidth: ERROR WHILE READING DOUBLE VALUE(wide)\n");
  EXPECT_EQ(readText("palette 1 2 3", &messages).Pal, 0);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: palette: MISSING DOUBLE VALUE \n");

  // A bad real abandons only its keyword; the count stays.
  p = readText("cutplane 2 0 0 0 1 0 0  0 x 0 0 1 0 numberofsubisolines 3", &messages);
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.nor[0], p.nbrIso), std::make_tuple(2, Point{1, 0, 0}, 3));
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: cutplane: ERROR WHILE READING DOUBLE VALUE(x)\n");

  p = readText("isolines many colormap jet");
  EXPECT_EQ(std::tie(p.NbrUsrIso, p.cm), std::make_tuple(0, 0));
  EXPECT_EQ(readText("displayfield -3").displayField, 1);
  EXPECT_EQ(readText("displayfield", &messages).displayField, 1);
  EXPECT_EQ(messages, "  ## ERROR: ZELMOR: displayfield: MISSING INTEGER VALUE \n");
  p = readText("numberofsubisolines 2.5 isolineswidth 3");
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid), std::make_tuple(9, 1.0));
}

TEST(ParameterFile, ValuesOutsideTheirRangeAreClampedAndCountsMatchTheirArrays) {
  std::string messages;
  DisplayParameters p = readText("numberofsubisolines -4 isolineswidth 5000", &messages);
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid), std::make_tuple(0, 1000.0));
  EXPECT_EQ(
      messages,
      "  ## WARNING: ZELMOR: numberofsubisolines: VALUE -4 OUT OF RANGE [0, 9], SET TO 0 \n"
      "  ## WARNING: ZELMOR: isolineswidth: VALUE 5000 OUT OF RANGE [0, 1000], SET TO 1000 \n");
  p = readText("isolineswidth -1 palette 0 1 nan 3 4 boundingbox 0 inf");
  EXPECT_EQ(std::tie(p.IsoWid, p.Pal, p.bbox[1]), std::make_tuple(0.0, 0, 0.0));

  // Huge counts allocate only what the file can hold.
  p = readText("cutplane 2000000000 1 2 3 4 5 6");
  EXPECT_LE(p.NbrUsrCut, 10);
  EXPECT_EQ(p.ctr.size(), size_t(p.NbrUsrCut));
  EXPECT_EQ(p.ctr[0], (Point{1, 2, 3}));
  EXPECT_LE(readText("isolines 2000000000 1").NbrUsrIso, 10);
  // A later count error empties the planes and values of an earlier keyword with it.
  p = readText("cutplane 1 1 2 3 4 5 6 isolines 1 0.5 isolines x");
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.NbrUsrIso, p.UsrIsoVal), std::make_tuple(1, 0, Values{}));
  p = readText("cutplane 1 1 2 3 4 5 6 cutplane -");
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.ctr, p.nor), std::make_tuple(0, Points{}, Points{}));
}

TEST(ParameterFile, LookupPrefersTheMeshFileOverDefaultsAndReadsOnlyRegularFiles) {
  EXPECT_EQ(parameterFileName("mesh.meshb"), "mesh.zelmor");
  EXPECT_EQ(parameterFileName("dir/run.mesh.gz"), "dir/run.zelmor");
  EXPECT_EQ(parameterFileName("cube"), "cube.zelmor");

  const TemporaryDirectory scratch(true);
  std::FILE* out = std::tmpfile();
  DisplayParameters none, fallback, local, fifo, zero;
  EXPECT_FALSE(readParameterFile("cube.meshb", &none, out));
  EXPECT_EQ(std::tie(none.nbrIso, none.IsoWid, none.cm), std::make_tuple(9, 1.0, 0));
  std::ofstream("DEFAULT.zelmor") << "colormap jet";
  EXPECT_TRUE(readParameterFile("cube.meshb", &fallback, out));
  EXPECT_EQ(fallback.cm, 7);
  std::ofstream("cube.zelmor") << "colormap plasma";
  EXPECT_TRUE(readParameterFile("cube.meshb", &local, out));
  EXPECT_EQ(local.cm, 5);
  // A FIFO without writer as the mesh's own file: refused at once, the defaults stay and the
  // files after it are not looked at. An endless device is refused the same way.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(::mkfifo("fifo.zelmor", 0600), 0);
  EXPECT_FALSE(readParameterFile("fifo.meshb", &fifo, out));
  EXPECT_EQ(fifo.cm, 0);
  std::filesystem::remove("DEFAULT.zelmor");
  std::filesystem::create_symlink("/dev/zero", "DEFAULT.zelmor");
  EXPECT_FALSE(readParameterFile("other.mesh", &zero, out));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(textOf(out),
            "  %% WARNING: NO PARAMETER FILE FOUND. USE DEFAULT VALUES\n"
            "  % DEFAULT.zelmor OPENED\n  Jet colormap used\n"
            "  % cube.zelmor OPENED\n  Plasma colormap used\n"
            "  ## ERROR: ZELMOR: fifo.zelmor: not a regular file \n"
            "  ## ERROR: ZELMOR: DEFAULT.zelmor: not a regular file \n");
  std::fclose(out);
}

}  // namespace
