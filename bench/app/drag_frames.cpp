// Frames of a real drag: the boundary of the cube of 6 n^3 P2 tetrahedra (94 cells a side:
// 4,983,504 tetrahedra, 106,032 boundary P2 triangles on 6,751,269 nodes), a torus of P2
// triangles (2,000,000 by default) and the cube's boundary with its whole vertex cloud shown.
// Each scene is shown in the viewer's 800x600 window; a left-button drag of 20 moves goes
// through the window's event handlers, each move drawn before the next, then the program waits
// for the full frame that follows once input is quiet, and draws one more full frame. Printed:
// the median cheap frame, the faster full frame and their ratio, measured in the same run.
// Usage (needs a display: tests/support/headless.sh):
//   bench_drag_frames [CUBE CELLS (94)] [TORUS TRIANGLES (2000000)] [LEVEL (4)] [CLOUD (1)]
// CLOUD 0 leaves out the vertex-cloud case.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/pellon.h"
#include "bench/bench_clock.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"

namespace {

using bench::median;
using bench::now;

// Nodes (1-based, 3 doubles each, slot 0 unused) and P2 triangles (1-based, 6 nodes each:
// corners, then the nodes of edges 0-1, 1-2, 2-0).
struct P2Surface {
  std::vector<double> coords;
  std::vector<int> nodes;
  int vertexCount = 0;
  int triangleCount = 0;
  double box[6] = {0, 0, 0, 0, 0, 0};
};

// Appends the P2 triangle with corners a, b, c given as (i, j) on a node grid of step 2;
// `id` numbers grid points (wrapping or not).
template <typename Id>
void addP2(P2Surface& s, const int (&a)[2], const int (&b)[2], const int (&c)[2], Id id) {
  const int* corner[3] = {a, b, c};
  for (const int* p : corner) s.nodes.push_back(id(p[0], p[1]));
  for (int e = 0; e < 3; ++e) {
    const int* p = corner[e];
    const int* q = corner[(e + 1) % 3];
    s.nodes.push_back(id((p[0] + q[0]) / 2, (p[1] + q[1]) / 2));
  }
  ++s.triangleCount;
}

// The unit cube of n cells a side with P2 nodes on the (2n + 1)^3 grid (every node of the
// tetrahedra, as the vertex cloud shows them) and its boundary in 12 n^2 P2 triangles.
P2Surface cubeBoundary(int n) {
  P2Surface s;
  const int side = 2 * n + 1;
  s.vertexCount = side * side * side;
  s.coords.assign(3 * (size_t(s.vertexCount) + 1), 0.0);
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        double* c = &s.coords[3 * (1 + x + size_t(side) * (y + size_t(side) * z))];
        c[0] = 0.5 * x / n, c[1] = 0.5 * y / n, c[2] = 0.5 * z / n;
      }
  s.nodes.assign(6, 0);  // slot 0
  for (int face = 0; face < 6; ++face) {
    const int axis = face / 2, level = (face % 2) * 2 * n;
    const auto id = [&](int u, int v) {
      int p[3];
      p[axis] = level, p[(axis + 1) % 3] = u, p[(axis + 2) % 3] = v;
      return 1 + p[0] + side * (p[1] + side * p[2]);
    };
    for (int a = 0; a < 2 * n; a += 2)
      for (int b = 0; b < 2 * n; b += 2) {
        const int p00[2] = {a, b}, p10[2] = {a + 2, b}, p11[2] = {a + 2, b + 2},
                  p01[2] = {a, b + 2};
        addP2(s, p00, p10, p11, id);
        addP2(s, p00, p11, p01, id);
      }
  }
  for (int axis = 0; axis < 3; ++axis) s.box[2 * axis + 1] = 1.0;
  return s;
}

// A torus (radii 1 and 0.35) of about `triangles` P2 triangles: a periodic grid of 4m x m
// squares of two triangles each.
P2Surface torus(int triangles) {
  P2Surface s;
  const int m = std::max(2, int(std::lround(std::sqrt(triangles / 8.0))));
  const int nu = 2 * 4 * m, nv = 2 * m;  // nodes around and across
  s.vertexCount = nu * nv;
  s.coords.assign(3 * (size_t(s.vertexCount) + 1), 0.0);
  const double pi = 3.14159265358979323846;
  for (int j = 0; j < nv; ++j)
    for (int i = 0; i < nu; ++i) {
      const double u = 2 * pi * i / nu, v = 2 * pi * j / nv;
      double* c = &s.coords[3 * (1 + i + size_t(nu) * j)];
      c[0] = (1.0 + 0.35 * std::cos(v)) * std::cos(u);
      c[1] = (1.0 + 0.35 * std::cos(v)) * std::sin(u);
      c[2] = 0.35 * std::sin(v);
    }
  const auto id = [&](int i, int j) { return 1 + i % nu + nu * (j % nv); };
  s.nodes.assign(6, 0);
  for (int b = 0; b < nv; b += 2)
    for (int a = 0; a < nu; a += 2) {
      const int p00[2] = {a, b}, p10[2] = {a + 2, b}, p11[2] = {a + 2, b + 2}, p01[2] = {a, b + 2};
      addP2(s, p00, p10, p11, id);
      addP2(s, p00, p11, p01, id);
    }
  const double box[6] = {-1.35, 1.35, -1.35, 1.35, -0.35, 0.35};
  std::copy(box, box + 6, s.box);
  return s;
}

struct DragTimes {
  std::vector<double> cheap, full;
  int fullDuringDrag = 0;  // frames of the drag that were not cheap (should be none)
};

// Shows the surface (and its vertex cloud) in a fresh window, drags, and times the frames.
DragTimes dragFrames(const P2Surface& s, bool cloud, int level) {
  ZelSceneWindow window(pellonSurfaceFormat());
  window.resize(800, 600);
  window.show();
  window.waitForInitialisation();
  ZelDrawObject* surface = ZelDrawObject::create(DrawKind::TriangleP2, 1);
  window.addObject(surface);
  window.attachData(surface, s.vertexCount, s.coords.data(), s.triangleCount, s.nodes.data());
  if (cloud) {
    ZelDrawObject* points = ZelDrawObject::create(DrawKind::Vertex, 0);
    window.addObject(points);
    window.attachData(points, s.vertexCount, s.coords.data());
    QKeyEvent key(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, "D");
    QCoreApplication::sendEvent(&window, &key);
  }
  window.storeBoundingBox(s.box);
  window.setDimension(3);
  window.displaySettings().tessellationLevel = level;
  window.resetView();

  std::vector<bool> kinds;  // quality of each frame drawn
  window.setFrameObserver([&kinds](bool cheap) { kinds.push_back(cheap); });
  window.renderNow();  // programs built, uploads done
  QCoreApplication::processEvents();

  DragTimes times;
  // Times the event processing that draws one frame; false when none was drawn.
  const auto timedFrame = [&](bool wait) {
    const size_t before = kinds.size();
    const double start = now();
    do {
      QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    } while (wait && kinds.size() == before);
    if (kinds.size() == before) return false;
    (kinds.back() ? times.cheap : times.full).push_back(now() - start);
    return true;
  };
  const QPoint from(300, 300);
  QMouseEvent press(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &press);
  timedFrame(false);
  for (int step = 1; step <= 20; ++step) {
    QThread::msleep(6);  // moves closer than 5 ms apart are ignored
    QMouseEvent move(QEvent::MouseMove, from + QPoint(10 * step, 4 * step), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &move);
    timedFrame(false);
  }
  QMouseEvent release(QEvent::MouseButtonRelease, from + QPoint(200, 80), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &release);
  timedFrame(false);
  times.fullDuringDrag = int(times.full.size());
  timedFrame(true);  // the full frame once input is quiet
  const double start = now();
  window.renderNow();
  times.full.push_back(now() - start);
  window.setFrameObserver(nullptr);
  return times;
}

void report(const char* name, const P2Surface& s, bool cloud, int level) {
  std::printf("%s: %d P2 triangles, %d nodes%s, level %d\n", name, s.triangleCount, s.vertexCount,
              cloud ? " shown as the vertex cloud" : "", level);
  std::fflush(stdout);
  DragTimes t = dragFrames(s, cloud, level);
  if (t.cheap.empty() || t.full.empty()) {
    std::printf("  no frames measured\n");
    return;
  }
  // The faster full frame against the median cheap one: the ratio errs on the low side.
  const double cheap = median(t.cheap), full = *std::min_element(t.full.begin(), t.full.end());
  std::printf("  cheap frames: %zu, median %.3f s (min %.3f, max %.3f)\n", t.cheap.size(), cheap,
              *std::min_element(t.cheap.begin(), t.cheap.end()),
              *std::max_element(t.cheap.begin(), t.cheap.end()));
  std::printf("  full frames:  %zu, fastest %.3f s (the one after the drag %.3f s)\n",
              t.full.size(), full, t.full[size_t(t.fullDuringDrag)]);
  std::printf("  full / cheap: %.1f x%s\n", full / cheap,
              t.fullDuringDrag ? "  (some drag frames were full)" : "");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int cells = argc > 1 ? std::atoi(argv[1]) : 94;
  const int torusTriangles = argc > 2 ? std::atoi(argv[2]) : 2000000;
  const int level = argc > 3 ? std::atoi(argv[3]) : 4;
  const bool cloud = argc > 4 ? std::atoi(argv[4]) != 0 : true;
  if (cells < 1 || torusTriangles < 8 || level < 1 || level > 125) {
    std::fprintf(stderr,
                 "usage: bench_drag_frames [CUBE CELLS] [TORUS TRIANGLES] [LEVEL] [CLOUD]\n");
    return 2;
  }
  {
    const P2Surface cube = cubeBoundary(cells);
    report("cube boundary", cube, false, level);
    if (cloud) report("cube boundary and vertex cloud", cube, true, level);
  }
  report("torus", torus(torusTriangles), false, level);
  return 0;
}
