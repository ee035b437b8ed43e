// What the program reads at start-up, without a window: the command line's modes, state-file
// names and window system; the parameter file's lookup, keywords and error rules; the movie
// list's lines and frame names; the demonstration gallery's nodal values.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
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

TEST(CommandLine, FirstArgumentChoosesTheModeByExactMatchAndMeshesKeepTheirNames) {
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
  // "-sol" elsewhere than third is just a name; meshes keep their order and names.
  const CommandLine got = classify({"-in", "b.meshb", "dir/a", "-sol", "c.mesh"});
  EXPECT_EQ(std::tie(got.mode, got.meshes, got.solution),
            std::make_tuple(StartMode::Meshes,
                            std::vector<std::string>{"b.meshb", "dir/a", "-sol", "c.mesh"}, ""));
  // Third, it makes the solution form; without a file after it, it is a second mesh name.
  const CommandLine solution = classify({"-in", "a.mesh", "-sol", "a.sol", "extra"});
  EXPECT_EQ(std::tie(solution.mode, solution.meshes, solution.solution),
            std::make_tuple(StartMode::MeshWithSolution, std::vector<std::string>{"a.mesh"},
                            std::string("a.sol")));
  EXPECT_EQ(classify({"-in", "a.mesh", "-sol"}).meshes,
            (std::vector<std::string>{"a.mesh", "-sol"}));
}

// State and parameter files are named after the mesh cut at its first ".mesh"; movie frames
// after the solution cut at its extension, then the mesh's.
TEST(FileNames, StateParameterAndFrameNamesCutTheirSourceName) {
  // Each rule on (name, expected) pairs.
  const auto expectNames = [](std::string (*rule)(const std::string&),
                              std::vector<std::string> names) {
    for (size_t i = 0; i < names.size(); i += 2) EXPECT_EQ(rule(names[i]), names[i + 1]);
  };
  expectNames(stateFileName,
              {"dir/run.mesh", "dir/run.data", "run.mesh.gz", "run.data", "cube.meshb", "cube.data",
               "cube", "cube.data", "a.meshes/b.mesh", "a.data", "run.msh", "run.msh.data"});
  expectNames(parameterFileName, {"mesh.meshb", "mesh.zelmor", "cube", "cube.zelmor",
                                  "dir/run.mesh.gz", "dir/run.zelmor"});
  expectNames(movieFrameName,
              {"run12.solb", "run12.png", "out/step.mesh.sol", "out/step.png", "a.sol.mesh",
               "a.png", "field.mesh_b.solb", "field.png", "frame", "frame.png"});
}

TEST(WindowSystem, PlatformArgumentWinsOverTheVariableAndX11NeedsADisplay) {
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

// One word: the solution under the mesh's own name. Any white space separates, words after the
// second are ignored, names are cut at 255 characters and lines without a word are no frame.
TEST(MovieList, LinesGiveMeshAndSolutionAndOverlongLinesAreCut) {
  const std::string m(300, 'm'), s(260, 's');
  const std::array<std::string, 3> lines[] = {{" \ta.mesh \t b.sol  c.sol d\r", "a.mesh", "b.sol"},
                                              {m + " " + s, m.substr(0, 255), s.substr(0, 255)}};
  for (const auto& [line, mesh, solution] : lines) {
    const auto parsed = parseMovieLine(line);
    ASSERT_TRUE(parsed) << line;
    EXPECT_EQ(std::tie(parsed->mesh, parsed->solution), std::tie(mesh, solution));
  }
  EXPECT_FALSE(parseMovieLine("") || parseMovieLine(" \t \r"));
  // Lines of the list longer than 511 characters are cut and their rest skipped.
  std::FILE* list = streamOf("a.mesh b.sol\n" + std::string(600, 'x') + "\n\nlast.mesh");
  std::string line;
  for (const std::string& expected : {std::string("a.mesh b.sol"), std::string(511, 'x'),
                                      std::string(), std::string("last.mesh")}) {
    ASSERT_TRUE(readMovieLine(list, &line));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(readMovieLine(list, &line));
  std::fclose(list);
}

// The gallery's values themselves are checked on screen (DemoScenes); other kinds and degrees
// end the process.
TEST(DemoGallery, OtherKindsAndDegreesEndTheProcess) {
  const double square[12] = {5, 0, 1, 6, 0, 1, 6, 1, 7, 5, 1, 1};
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
  std::FILE *in = streamOf(text), *out = std::tmpfile();
  DisplayParameters parameters;
  readParameterKeywords(in, &parameters, out);
  if (messages) *messages = textOf(out);
  std::fclose(in), std::fclose(out);
  return parameters;
}

TEST(ParameterFile, KeywordsSetTheirValuesWithinTheirRangesAndErrorsFollowTheirRecoveryRules) {
  std::string messages;
  DisplayParameters p = readText(
      "some comment words\nCutPlane 1  0.5 0 0  1 0 0\nNUMBEROFSUBISOLINES 20 isolineswidth 2.5\n"
      "palette 0 1 2 3 4 IsoLines 2 0.25 0.75 boundingbox -1 1 -2 2 -3 3 colormap Viridis "
      "displayfield 0",
      &messages);
  ASSERT_EQ(std::tie(p.NbrUsrCut, p.NbrUsrIso), std::make_tuple(1, 2));
  EXPECT_EQ(std::tie(p.ctr[0], p.nor[0], p.UsrIsoVal),
            std::make_tuple(Point{0.5, 0, 0}, Point{1, 0, 0}, Values{0.25f, 0.75f}));
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid, p.Pal, p.usrPal[4], p.bbox[5], p.cm, p.displayField,
                     p.fullFrames),
            std::make_tuple(9, 2.5, 1, 4.0f, 3.0, 6, 1, false));
  EXPECT_EQ(messages, "  Viridis colormap used\n  Display Solution Field 1 \n");
  EXPECT_EQ(readText("isolineswidth 0.1").IsoWid, double(0.1f));  // stored in single precision
  // An unknown colour map keeps the previous one.
  EXPECT_EQ(readText("colormap magma colormap sepia").cm, 3);
  // The full-frames keyword takes no value and is recognised in any case, but only whole.
  EXPECT_FALSE(readText("full frames fullframe fullframess").fullFrames);
  p = readText("FullFrames numberofsubisolines 4");  // the next word is read as a keyword
  EXPECT_EQ(std::tie(p.fullFrames, p.nbrIso), std::make_tuple(true, 4));
  EXPECT_TRUE(readText("colormap viridis FULLFRAMES").fullFrames);
  // Errors follow the recovery rule of their keyword.
  p = readText("isolineswidth wide colormap jet", &messages);
  EXPECT_EQ(std::tie(p.IsoWid, p.cm), std::make_tuple(1.0, 0));  // the rest is ignored
  EXPECT_EQ(messages,
            "  ## ERROR: ZELMOR: isolineswidth: ERROR WHILE READING DOUBLE VALUE(wide)\n");
  EXPECT_EQ(readText("palette 1 2 3").Pal, 0);
  // A bad real abandons only its keyword; the count stays.
  p = readText("cutplane 2 0 0 0 1 0 0  0 x 0 0 1 0 numberofsubisolines 3");
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.nor[0], p.nbrIso), std::make_tuple(2, Point{1, 0, 0}, 3));
  p = readText("isolines many colormap jet");
  EXPECT_EQ(std::tie(p.NbrUsrIso, p.cm), std::make_tuple(0, 0));
  EXPECT_EQ(readText("displayfield -3").displayField, 1);
  EXPECT_EQ(readText("displayfield").displayField, 1);
  p = readText("numberofsubisolines 2.5 isolineswidth 3");
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid), std::make_tuple(9, 1.0));
  // Values outside their range are clamped, counts match their arrays.
  p = readText("numberofsubisolines -4 isolineswidth 5000");
  EXPECT_EQ(std::tie(p.nbrIso, p.IsoWid), std::make_tuple(0, 1000.0));
  p = readText("isolineswidth -1 palette 0 1 nan 3 4 boundingbox 0 inf");
  EXPECT_EQ(std::tie(p.IsoWid, p.Pal, p.bbox[1]), std::make_tuple(0.0, 0, 0.0));
  // Huge counts allocate only what the file can hold.
  p = readText("cutplane 2000000000 1 2 3 4 5 6");
  ASSERT_TRUE(p.NbrUsrCut >= 1 && p.NbrUsrCut <= 10 && p.ctr.size() == size_t(p.NbrUsrCut));
  EXPECT_EQ(p.ctr[0], (Point{1, 2, 3}));
  EXPECT_LE(readText("isolines 2000000000 1").NbrUsrIso, 10);
  // A later count error empties the planes and values of an earlier keyword with it.
  p = readText("cutplane 1 1 2 3 4 5 6 isolines 1 0.5 isolines x");
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.NbrUsrIso, p.UsrIsoVal), std::make_tuple(1, 0, Values{}));
  p = readText("cutplane 1 1 2 3 4 5 6 cutplane -");
  EXPECT_EQ(std::tie(p.NbrUsrCut, p.ctr, p.nor), std::make_tuple(0, Points{}, Points{}));
}

TEST(ParameterFile, LookupPrefersTheMeshFileOverDefaultsAndReadsOnlyRegularFiles) {
  const TemporaryDirectory scratch(true);
  std::FILE* out = std::tmpfile();
  DisplayParameters none, fallback, local, fifo, zero;
  EXPECT_FALSE(readParameterFile("cube.meshb", &none, out));
  EXPECT_EQ(std::tie(none.nbrIso, none.IsoWid, none.cm), std::make_tuple(9, 1.0, 0));
  std::ofstream("DEFAULT.zelmor") << "colormap jet";
  EXPECT_TRUE(readParameterFile("cube.meshb", &fallback, out) && fallback.cm == 7);
  std::ofstream("cube.zelmor") << "colormap plasma";
  EXPECT_TRUE(readParameterFile("cube.meshb", &local, out) && local.cm == 5);
  // A FIFO without writer as the mesh's own file: refused at once, the defaults stay and the
  // files after it are not looked at. An endless device is refused the same way.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(::mkfifo("fifo.zelmor", 0600), 0);
  EXPECT_TRUE(!readParameterFile("fifo.meshb", &fifo, out) && fifo.cm == 0);
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
