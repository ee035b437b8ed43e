// Without a window: the command line's start-up modes, state-file names and window system; the
// movie list's lines and frame names; the demonstration gallery's nodal values.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/demo_scenes.h"
#include "app/movie.h"
#include "app/window_system.h"
#include "meshio/entity_types.h"

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
  EXPECT_EQ(got.mode, mode);
  EXPECT_EQ(got.meshes, meshes);
  EXPECT_EQ(got.solution, solution);
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
    EXPECT_EQ(parsed->mesh, line.mesh);
    EXPECT_EQ(parsed->solution, line.solution);
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

}  // namespace
