// Start-up of pellon: classifies the command line and runs the chosen mode.
#include "app/pellon.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/ZelMeshViewer.h"
#include "app/command_line.h"
#include "app/demo_scenes.h"
#include "app/movie.h"
#include "app/scene_assembly.h"
#include "app/window_system.h"
#include "meshio/status.h"
#include "window/driver_banner.h"

namespace {

void printUsageLine() { zel::printMessage("%s\n", kUsageLine); }

// A viewer whose OpenGL context exists; null, after the OpenGL message, when the window could
// not create one (the program then ends instead of showing a window that can never draw).
std::unique_ptr<ZelMeshViewer> openViewer(const QSurfaceFormat& format) {
  auto viewer = std::make_unique<ZelMeshViewer>(format);
  if (viewer->isInitialised()) return viewer;
  printOpenGLTooOld(stdout, 0, 0);
  return nullptr;
}

int runEmptyWindow(QApplication& application, const QSurfaceFormat& format) {
  auto viewer = openViewer(format);
  if (!viewer) return 1;
  viewer->resize(800, 600);
  viewer->show();
  zel::printMessage("  Nothing to display !\n");
  printUsageLine();
  return application.exec();
}

// Needs no window system: answered before one exists, so that it works without a display.
int runHelp() {
  zel::printMessage("  Launching help \n");
  zel::printMessage("  \n");
  printUsageLine();
  zel::printMessage(" \n");
  zel::printMessage("  For more information on ZELMOR, please visit https://zelmor.example.org\n");
  zel::printMessage(" \n");
  return 0;
}

// Restores the view saved beside the mesh, if there is one.
void applyStateFile(ZelMeshViewer* viewer, const std::string& meshName) {
  const std::string name = stateFileName(meshName);
  // Probed without blocking: a FIFO with no writer must not hold up the start.
  const int probe = ::open(name.c_str(), O_RDONLY | O_NONBLOCK);
  if (probe < 0) return;
  ::close(probe);
  zel::printMessage("  DATA FILE FOUND \n");
  viewer->readStateFile(name);
  viewer->updateCutPlane();
  // Places the marker and draws the frame at once; a second redraw would repeat that frame.
  showSavedSceneCentre(viewer);
}

// Opens one viewer per mesh, each with its scene and its saved view.
int runViewers(QApplication& application, const QSurfaceFormat& format, const CommandLine& line) {
  std::vector<std::unique_ptr<ZelMeshViewer>> viewers;
  for (const std::string& mesh : line.meshes) {
    viewers.push_back(openViewer(format));
    if (!viewers.back()) return 1;
    const std::string& solution = line.mode == StartMode::MeshWithSolution ? line.solution : mesh;
    assembleScene(viewers.back().get(), mesh, solution);
    applyStateFile(viewers.back().get(), mesh);
  }
  return application.exec();
}

}  // namespace

QSurfaceFormat pellonSurfaceFormat() {
  QSurfaceFormat format;
  format.setVersion(4, 5);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  format.setSamples(16);
  return format;
}

int runPellon(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  const std::vector<std::string> arguments(argv, argv + argc);
  if (classifyCommandLine(arguments).mode == StartMode::Help) return runHelp();
  const std::string platform = chosenPlatform(arguments, std::getenv("QT_QPA_PLATFORM"));
  if (!displayAvailable(platform, std::getenv("DISPLAY"))) {
    std::fputs(kNoDisplayLine, stdout);
    return 1;
  }
  if (isX11Platform(platform) && !x11DisplayReachable(std::getenv("DISPLAY"))) {
    std::fputs(kUnreachableDisplayLine, stdout);
    return 1;
  }

  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");
  const QSurfaceFormat format = pellonSurfaceFormat();
  int major = 0, minor = 0;
  if (!openGLContextAvailable(format, &major, &minor)) {
    printOpenGLTooOld(stdout, major, minor);
    return 1;
  }

  // Classified again: the application object has taken its own options (such as "-platform")
  // out of argv.
  const CommandLine line = classifyCommandLine(std::vector<std::string>(argv, argv + argc));
  switch (line.mode) {
    case StartMode::EmptyWindow:
      return runEmptyWindow(application, format);
    case StartMode::Help:
      return runHelp();
    case StartMode::MeshWithSolution:
    case StartMode::Meshes:
      return runViewers(application, format, line);
    case StartMode::Movie:
      return runMovie(format, MovieCut::CutPlane);
    case StartMode::MovieCapping:
      return runMovie(format, MovieCut::Capping);
    case StartMode::Demo:
      return runDemo(application, format, DemoSize::Small);
    case StartMode::DemoFull:
      return runDemo(application, format, DemoSize::Full);
  }
  return 0;
}
