// Classification of pellon's command line into its start-up modes, and the state-file name
// that belongs to a mesh.
#pragma once

#include <string>
#include <vector>

enum class StartMode {
  EmptyWindow,       // no arguments, "-in" alone, or an unknown first argument
  Help,              // "-help" or "-h"
  MeshWithSolution,  // "-in" FILE "-sol" SOLFILE
  Meshes,            // "-in" FILE [FILE ...]
  Movie,             // "-movie"
  MovieCapping,      // "-moviecapping"
  Demo,              // "-demo"
  DemoFull,          // "-demofull"
};

struct CommandLine {
  StartMode mode = StartMode::EmptyWindow;
  std::vector<std::string> meshes;  // in the order given
  std::string solution;             // MeshWithSolution only
};

// `arguments` includes the program name first, as in argv. Every comparison is an exact,
// case-sensitive match of the whole argument.
CommandLine classifyCommandLine(const std::vector<std::string>& arguments);

// The mesh name cut at its first ".mesh", followed by ".data": "cube.meshb" -> "cube.data".
std::string stateFileName(const std::string& meshName);

// The usage line printed by the empty window and the help text.
extern const char* const kUsageLine;
