// Command-line classification and state-file names.
#include "app/command_line.h"

const char* const kUsageLine =
    "  To use pellon, please specify a mesh after \" pellon -in \" in command line";

CommandLine classifyCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  if (arguments.size() < 2) return line;

  const std::string& first = arguments[1];
  if (first == "-help" || first == "-h") {
    line.mode = StartMode::Help;
  } else if (first == "-movie") {
    line.mode = StartMode::Movie;
  } else if (first == "-moviecapping") {
    line.mode = StartMode::MovieCapping;
  } else if (first == "-demo") {
    line.mode = StartMode::Demo;
  } else if (first == "-demofull") {
    line.mode = StartMode::DemoFull;
  } else if (first == "-in" && arguments.size() >= 3) {
    // The solution form needs a file after "-sol"; "-in a.mesh -sol" names two meshes.
    if (arguments.size() >= 5 && arguments[3] == "-sol") {
      line.mode = StartMode::MeshWithSolution;
      line.meshes = {arguments[2]};
      line.solution = arguments[4];
    } else {
      line.mode = StartMode::Meshes;
      line.meshes.assign(arguments.begin() + 2, arguments.end());
    }
  }
  return line;
}

std::string stateFileName(const std::string& meshName) {
  return meshName.substr(0, meshName.find(".mesh")) + ".data";
}
