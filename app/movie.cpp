// Movie frames: one viewer window reused for every line of the movie list.
#include "app/movie.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QResizeEvent>
#include <cctype>
#include <memory>

#include "app/ZelMeshViewer.h"
#include "app/scene_assembly.h"
#include "meshio/entity_types.h"
#include "meshio/status.h"
#include "scene/ZelDrawObject.h"
#include "window/driver_banner.h"

namespace {

const char* const kMovieList = "zelmor.movie";
const char* const kMovieState = "zelmor.data";
// How long a frame waits for the window system to apply a window size from the state file.
// Without a window manager Xvfb answers within milliseconds; the bound only keeps a window
// system that never answers from holding up the whole movie.
const int kResizeWaitMilliseconds = 2000;

// Follows the sizes the window system has reported for a window (its resize events).
class ResizeTracker : public QObject {
 public:
  explicit ResizeTracker(QWindow* window) : m_window(window), m_reported(window->size()) {
    window->installEventFilter(this);
  }
  ~ResizeTracker() override { m_window->removeEventFilter(this); }

  // Processes events until the window system has reported the window's current size, so that
  // the next frame is drawn into a framebuffer of that size.
  void waitForCurrentSize() {
    QElapsedTimer clock;
    clock.start();
    while (m_reported != m_window->size() && clock.elapsed() < kResizeWaitMilliseconds)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_window && event->type() == QEvent::Resize)
      m_reported = static_cast<QResizeEvent*>(event)->size();
    return false;
  }

 private:
  QWindow* m_window;
  QSize m_reported;
};

std::string firstWords(const std::string& line, std::string* second) {
  std::string words[2];
  size_t at = 0;
  for (std::string& word : words) {
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    const size_t start = at;
    while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    word = line.substr(start, std::min<size_t>(at - start, kMovieNameLimit));
  }
  *second = words[1];
  return words[0];
}

// The movie list, opened without blocking: a FIFO nobody writes to must not hold the program
// up (it reads as an empty list).
std::FILE* openList() {
  const int descriptor = ::open(kMovieList, O_RDONLY | O_NONBLOCK);
  if (descriptor < 0) return nullptr;
  std::FILE* list = ::fdopen(descriptor, "r");
  if (!list) ::close(descriptor);
  return list;
}

}  // namespace

std::optional<MovieLine> parseMovieLine(const std::string& line) {
  MovieLine parsed;
  parsed.mesh = firstWords(line, &parsed.solution);
  if (parsed.mesh.empty()) return std::nullopt;
  // With one word a solution of the mesh's own base name is looked for.
  if (parsed.solution.empty()) parsed.solution = parsed.mesh;
  return parsed;
}

std::string movieFrameName(const std::string& solutionName) {
  std::string name = solutionName;
  for (const char* suffix : {".sol", ".mesh"}) {
    const size_t found = name.find(suffix);
    if (found != std::string::npos) name.erase(found);
  }
  return name + ".png";
}

bool readMovieLine(std::FILE* list, std::string* line) {
  char buffer[kMovieLineLimit + 2];
  if (!std::fgets(buffer, sizeof buffer, list)) return false;
  *line = buffer;
  if (!line->empty() && line->back() == '\n') {
    line->pop_back();
    return true;
  }
  // An overlong line: what is beyond the limit belongs to no frame.
  for (int c = std::fgetc(list); c != EOF && c != '\n'; c = std::fgetc(list)) {
  }
  if (line->size() > size_t(kMovieLineLimit)) line->resize(kMovieLineLimit);
  return true;
}

void showSavedSceneCentre(ZelMeshViewer* viewer) {
  const QVector3D saved = viewer->camera().centre();
  double centre[3];
  for (int axis = 0; axis < 3; ++axis)
    centre[axis] = saved[axis] / viewer->sceneScale() + viewer->sceneCentre()[axis];
  viewer->showSceneCenter(centre);
}

void emptyScene(ZelMeshViewer* viewer) {
  // Objects refer to the mesh's arrays and to the palette: they go first.
  for (int kind = 0; kind < DrawKind::Count; ++kind) {
    for (ZelDrawObject* object : viewer->model().objectsOfKind(kind)) viewer->removeObject(object);
  }
  viewer->clearScene();
  viewer->cutScene().forget();
  viewer->objectSources().clear();
  viewer->setPalette(nullptr);
  viewer->setSceneCenterMarker(nullptr);
  for (int degree = 1; degree <= 4; ++degree) {
    std::vector<ZelFaceMark>().swap(viewer->triangleMarks(degree));
    std::vector<ZelFaceMark>().swap(viewer->quadrilateralMarks(degree));
  }
  viewer->setMesh(nullptr);
}

void drawMovieFrame(ZelMeshViewer* viewer, const MovieLine& line, MovieCut cut) {
  // Only the screenshot is drawn: the frames that assembling the scene, reading the state file
  // and showing the scene centre ask for would show no one anything.
  const bool held = viewer->framesHeld();
  viewer->setFramesHeld(true);
  ResizeTracker resizes(viewer);
  viewer->forgetDimension();
  assembleScene(viewer, line.mesh, line.solution);
  const std::string image = movieFrameName(line.solution);
  viewer->readStateFile(kMovieState);
  resizes.waitForCurrentSize();
  if (cut == MovieCut::CutPlane) {
    viewer->updateCutPlane();
  } else {
    viewer->updateCapping();
  }
  showSavedSceneCentre(viewer);
  viewer->requestScreenshot(image);
  emptyScene(viewer);
  viewer->setFramesHeld(held);
}

int runMovie(const QSurfaceFormat& format, MovieCut cut) {
  auto viewer = std::make_unique<ZelMeshViewer>(format);
  if (!viewer->isInitialised()) {
    printOpenGLTooOld(stdout, 0, 0);
    return 1;
  }
  zel::printMessage(cut == MovieCut::CutPlane ? "  Launching movie frames generator\n\n"
                                              : "  Launching movie capping frames generator\n\n");
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> list(openList(), std::fclose);
  if (!list) {
    zel::printMessage("  no file zelmor.movie found \n");
    zel::printMessage(
        "  Please specify your sequence of meshes and solution in a file named \"zelmor.movie\" "
        "\n");
    return 0;
  }
  std::string text;
  while (readMovieLine(list.get(), &text)) {
    if (const std::optional<MovieLine> line = parseMovieLine(text))
      drawMovieFrame(viewer.get(), *line, cut);
  }
  return 0;
}
