// Classification of the command line into start-up modes, state-file names, and whether the
// window system can be reached.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/window_system.h"

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
  EXPECT_TRUE(classify({"-in"}).meshes.empty());
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

  for (const char* x11 : {"", "xcb", "xcb:nograb"}) {
    EXPECT_FALSE(displayAvailable(x11, nullptr)) << x11;
    EXPECT_FALSE(displayAvailable(x11, "")) << x11;
    EXPECT_TRUE(displayAvailable(x11, ":99")) << x11;
  }
  for (const char* other : {"offscreen", "minimal", "wayland", "xcbx"})
    EXPECT_TRUE(displayAvailable(other, nullptr)) << other;
  const std::string line = kNoDisplayLine;
  EXPECT_NE(line.find("xvfb-run"), std::string::npos);
  EXPECT_EQ(line.find('\n'), line.size() - 1);
}

}  // namespace
