// Movie frames against single runs: a movie of small wavy surfaces (each with a solution at its
// vertices) drawn by the movie mode in one window, against the same frames each drawn in a
// fresh window of its own whose creation and shader compilation are left out of the time.
// The movie's time includes its one window and its one compilation; the ratio shows whether
// reusing the window costs anything per frame (target at most 1.2).
// Usage (needs a display: tests/support/headless.sh):
//   bench_movie_frames [DIR (/tmp)] [MESHES (20)] [ROUNDS (3)] [GRID (20)]
// The meshes, the movie list and the state file are written under DIR/zel_movie_bench and
// deleted afterwards. The programs' own reports go to standard output; the figures to the error
// stream.
#include <unistd.h>

#include <QApplication>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ZelMeshViewer.h"
#include "app/movie.h"
#include "app/pellon.h"
#include "bench/bench_clock.h"

namespace {

using bench::median;
using bench::now;

// A grid x grid square of triangles lifted by a wave of phase `phase`, and its vertex field.
bool writeFrameFiles(const std::string& base, int grid, double phase) {
  std::FILE* mesh = std::fopen((base + ".mesh").c_str(), "w");
  std::FILE* sol = std::fopen((base + ".sol").c_str(), "w");
  if (!mesh || !sol) {
    if (mesh) std::fclose(mesh);
    if (sol) std::fclose(sol);
    return false;
  }
  const int side = grid + 1;
  std::fprintf(mesh, "MeshVersionFormatted 2\nDimension 3\nVertices\n%d\n", side * side);
  std::fprintf(sol, "MeshVersionFormatted 2\nDimension 3\nSolAtVertices\n%d\n1 1\n", side * side);
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      const double x = double(i) / grid, y = double(j) / grid;
      const double z = 0.1 * std::sin(2 * M_PI * x + phase) * std::cos(2 * M_PI * y);
      std::fprintf(mesh, "%.9g %.9g %.9g 0\n", x, y, z);
      std::fprintf(sol, "%.9g\n", std::sin(3 * x + phase) * y);
    }
  std::fprintf(mesh, "Triangles\n%d\n", 2 * grid * grid);
  for (int j = 0; j < grid; ++j)
    for (int i = 0; i < grid; ++i) {
      const int a = 1 + i + side * j, b = a + 1, c = a + side + 1, d = a + side;
      std::fprintf(mesh, "%d %d %d 1\n%d %d %d 1\n", a, b, c, a, c, d);
    }
  std::fputs("End\n", mesh);
  std::fputs("End\n", sol);
  std::fclose(sol);
  return std::fclose(mesh) == 0;
}

// Each frame in a window of its own, created and warmed up before the clock runs: the same
// frame drawn once first compiles the programs and gives the window the saved size.
double singleRuns(const std::vector<MovieLine>& lines) {
  double total = 0;
  for (const MovieLine& line : lines) {
    ZelMeshViewer viewer(pellonSurfaceFormat());
    drawMovieFrame(&viewer, line, MovieCut::CutPlane);
    const double start = now();
    drawMovieFrame(&viewer, line, MovieCut::CutPlane);
    total += now() - start;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");
  const std::string root = (argc > 1 ? argv[1] : "/tmp") + std::string("/zel_movie_bench");
  const int meshes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const int grid = argc > 4 ? std::max(1, std::atoi(argv[4])) : 20;

  std::filesystem::create_directories(root);
  if (chdir(root.c_str()) != 0) {
    std::fprintf(stderr, "cannot enter %s\n", root.c_str());
    return 1;
  }
  std::vector<MovieLine> lines;
  std::FILE* list = std::fopen("zelmor.movie", "w");
  for (int m = 0; m < meshes && list; ++m) {
    const std::string base = "frame" + std::to_string(m);
    if (!writeFrameFiles(base, grid, 0.3 * m)) return 1;
    lines.push_back({base + ".mesh", base + ".sol"});
    std::fprintf(list, "%s.mesh %s.sol\n", base.c_str(), base.c_str());
  }
  if (!list || std::fclose(list) != 0) return 1;
  if (std::FILE* state = std::fopen("zelmor.data", "w")) {
    std::fputs(
        "WindowSize\n400 300\nRotation\n0.923880 0.382683 0.000000 0.000000\nFovy\n20.000000\n",
        state);
    std::fclose(state);
  }

  std::vector<double> movie, single, ratio;
  for (int r = 0; r < rounds; ++r) {
    double start = now();
    runMovie(pellonSurfaceFormat(), MovieCut::CutPlane);
    movie.push_back(now() - start);
    single.push_back(singleRuns(lines));
    ratio.push_back(movie.back() / single.back());
    std::fprintf(stderr, "round %d: movie %.3f s, single runs' frames %.3f s, ratio %.2f\n", r + 1,
                 movie.back(), single.back(), ratio.back());
  }
  std::fprintf(stderr,
               "%d meshes of %d triangles: movie %.3f s (%.1f ms a frame), single runs' frames "
               "%.3f s (%.1f ms a frame); median ratio %.2f (target at most 1.2)\n",
               meshes, 2 * grid * grid, median(movie), 1000 * median(movie) / meshes,
               median(single), 1000 * median(single) / meshes, median(ratio));
  std::filesystem::current_path("/");
  std::filesystem::remove_all(root);
  return 0;
}
