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
  EXPECT_EQ(classify({}).mode, StartMode::EmptyWindow);
  EXPECT_EQ(classify({"-help"}).mode, StartMode::Help);
  EXPECT_EQ(classify({"-h"}).mode, StartMode::Help);
  EXPECT_EQ(classify({"-movie"}).mode, StartMode::Movie);
  EXPECT_EQ(classify({"-moviecapping"}).mode, StartMode::MovieCapping);
  EXPECT_EQ(classify({"-demo"}).mode, StartMode::Demo);
  EXPECT_EQ(classify({"-demofull"}).mode, StartMode::DemoFull);
  EXPECT_EQ(classify({"-in"}).mode, StartMode::EmptyWindow);  // nothing after it
  EXPECT_TRUE(classify({"-in"}).meshes.empty());
  // Case, doubled dashes, trailing characters and prefixes are not recognised.
  for (const char* unknown : {"--in", "-IN", "-in=", "-Help", "--help", "-helpme", "-movi", "-Demo",
                              "in", "a.mesh", ""}) {
    EXPECT_EQ(classify({unknown, "a.mesh"}).mode, StartMode::EmptyWindow) << unknown;
  }
}

TEST(CommandLine, SolutionFormNeedsAFileAfterSol) {
  const CommandLine solution = classify({"-in", "a.mesh", "-sol", "a.sol"});
  EXPECT_EQ(solution.mode, StartMode::MeshWithSolution);
  EXPECT_EQ(solution.meshes, std::vector<std::string>{"a.mesh"});
  EXPECT_EQ(solution.solution, "a.sol");

  // Arguments after the solution file are ignored.
  const CommandLine extra = classify({"-in", "a.mesh", "-sol", "a.sol", "b.mesh"});
  EXPECT_EQ(extra.mode, StartMode::MeshWithSolution);
  EXPECT_EQ(extra.meshes, std::vector<std::string>{"a.mesh"});
  EXPECT_EQ(extra.solution, "a.sol");

  // Without a fifth argument, "-sol" is a second mesh name.
  const CommandLine twoMeshes = classify({"-in", "a.mesh", "-sol"});
  EXPECT_EQ(twoMeshes.mode, StartMode::Meshes);
  EXPECT_EQ(twoMeshes.meshes, (std::vector<std::string>{"a.mesh", "-sol"}));

  // "-sol" elsewhere than third is just a name; meshes keep their order and names.
  const CommandLine meshes = classify({"-in", "b.meshb", "dir/a", "-sol", "c.mesh"});
  EXPECT_EQ(meshes.mode, StartMode::Meshes);
  EXPECT_EQ(meshes.meshes, (std::vector<std::string>{"b.meshb", "dir/a", "-sol", "c.mesh"}));
  EXPECT_TRUE(meshes.solution.empty());
}

TEST(StateFileName, CutAtTheFirstDotMesh) {
  EXPECT_EQ(stateFileName("dir/run.mesh"), "dir/run.data");
  EXPECT_EQ(stateFileName("run.mesh.gz"), "run.data");
  EXPECT_EQ(stateFileName("cube.meshb"), "cube.data");
  EXPECT_EQ(stateFileName("cube"), "cube.data");
  EXPECT_EQ(stateFileName("a.meshes/b.mesh"), "a.data");
  EXPECT_EQ(stateFileName("run.msh"), "run.msh.data");
}

TEST(WindowSystem, PlatformArgumentWinsOverTheVariable) {
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a.mesh"}, nullptr), "");
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a.mesh"}, "offscreen"), "offscreen");
  EXPECT_EQ(chosenPlatform({"pellon", "-platform", "minimal", "-in", "a"}, "xcb"), "minimal");
  EXPECT_EQ(chosenPlatform({"pellon", "-in", "a", "-platform", "xcb"}, "offscreen"), "xcb");
  // A trailing "-platform" names nothing; the program name is never an option.
  EXPECT_EQ(chosenPlatform({"pellon", "-platform"}, "offscreen"), "offscreen");
  EXPECT_EQ(chosenPlatform({"-platform", "pellon"}, nullptr), "");
}

TEST(WindowSystem, TheX11PlatformNeedsADisplay) {
  for (const char* x11 : {"", "xcb", "xcb:nograb"}) {
    EXPECT_FALSE(displayAvailable(x11, nullptr)) << x11;
    EXPECT_FALSE(displayAvailable(x11, "")) << x11;
    EXPECT_TRUE(displayAvailable(x11, ":99")) << x11;
  }
  for (const char* other : {"offscreen", "minimal", "wayland", "xcbx"})
    EXPECT_TRUE(displayAvailable(other, nullptr)) << other;
  EXPECT_NE(std::string(kNoDisplayLine).find("xvfb-run"), std::string::npos);
  EXPECT_EQ(std::string(kNoDisplayLine).find('\n'), std::string(kNoDisplayLine).size() - 1);
}

}  // namespace
