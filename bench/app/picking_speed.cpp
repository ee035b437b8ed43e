// Cost of one pick against one frame, measured in the same run and the same window: the unit
// cube of n^3 cells of 6 P2 tetrahedra (94: 4,983,504 tetrahedra, 106,032 boundary P2
// triangles), shown at tessellation levels 4 and 8 in an 800 x 600 window. A frame is a full
// redraw (multisampled, lit); a pick is the id pass into the picking framebuffer and the read
// of one pixel. Each pick must name a boundary face (a non-zero id).
// Usage (needs a display: tests/support/headless.sh):
//   bench_picking_speed [DIR (/tmp)] [CELLS (94)] [ROUNDS (3)]
// The mesh file is written under DIR and deleted afterwards.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "bench/app/p2_mesh_files.h"
#include "bench/bench_clock.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const int cells = argc > 2 ? std::atoi(argv[2]) : 94;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::string path = dir + "/zel_picking_cube.meshb";
  if (cells < 1 || rounds < 1 || !bench::writeCube(path, cells)) return 1;

  ZelMeshViewer viewer(pellonSurfaceFormat());
  std::FILE* quiet = std::freopen("/dev/null", "w", stdout);  // the loader's statistics
  assembleScene(&viewer, path, path);
  viewer.renderNow();  // programs compiled, uploads done
  std::fflush(stdout);
  if (quiet) std::freopen("/dev/tty", "w", stdout);
  std::remove(path.c_str());

  std::fprintf(stderr, "cube of %d cells, 800 x 600, %d rounds\n", cells, rounds);
  std::fprintf(stderr, "level  frame (s)  pick (s)  pick / frame\n");
  bool ok = true;
  for (int level : {4, 8}) {
    viewer.displaySettings().tessellationLevel = level;
    viewer.renderNow();
    std::vector<double> frames, picks;
    for (int round = 0; round < rounds; ++round) {
      double start = bench::now();
      viewer.renderNow();
      frames.push_back(bench::now() - start);
      start = bench::now();
      const int id = viewer.pick(400 + 10 * round, 300, 1);
      picks.push_back(bench::now() - start);
      if (id <= 0) {
        std::fprintf(stderr, "pick at level %d named nothing (id %d)\n", level, id);
        ok = false;
      }
    }
    const double frame = bench::median(frames), pick = bench::median(picks);
    std::fprintf(stderr, "%5d  %9.3f  %8.3f  %12.2f\n", level, frame, pick, pick / frame);
  }
  return ok ? 0 : 1;
}
