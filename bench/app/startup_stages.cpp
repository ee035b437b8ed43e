// Start-up stages of the viewer, from files to the first frame, and their peak memory: a unit
// cube of about 1 and 5 million P2 tetrahedra and a curved surface of about 2 million P2
// triangles, each with a scalar solution at its vertices. Each load runs in a fresh child
// process (the peaks of two loads must not mix) that assembles the scene in a real window and
// times one frame after it. The figures are ratios measured in the same run:
//   growth: time of each stage on the large cube / on the small cube (rounds alternate sizes);
//   memory: peak resident growth over the empty window / bytes of the loaded mesh and solution.
// Usage (needs a display: tests/support/headless.sh):
//   bench_startup_stages [DIR (/tmp)] [ROUNDS (3)] [SMALL CELLS (55)] [LARGE CELLS (94)]
//                        [SURFACE SQUARES (1000)]
// Files are written under DIR and deleted afterwards.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/ZelMeshViewer.h"
#include "app/pellon.h"
#include "app/scene_assembly.h"
#include "bench/app/p2_mesh_files.h"
#include "bench/bench_clock.h"
#include "gpu/stage_timings.h"
#include "meshio/entity_types.h"
#include "meshio/keyword_table.h"
#include "meshio/keyword_writer.h"
#include "meshio/zel_object.h"

namespace {

using bench::finish;
using bench::Grid;
using bench::kTriEdges;
using bench::median;
using bench::now;
using bench::openBinary;
using bench::squareTriangles;
using bench::writeCube;
using bench::writeP2;
using bench::writeVertices;

// ---- Files ----------------------------------------------------------------------------------

double field(const double p[3]) { return std::sin(3 * p[0]) * std::cos(2 * p[1]) + p[2]; }

// The height field z = 0.2 sin(pi x) sin(pi y) over m^2 squares of 2 P2 triangles.
bool writeSurface(const std::string& path, int m) {
  const Grid g{2 * m + 1, false};
  zel::KeywordWriter w;
  openBinary(&w, path);
  writeVertices(&w, g);
  w.beginKeyword(zel::Kwd::TrianglesP2, int64_t(2) * m * m);
  int tri[2][3][3];
  for (int a = 0; a < m; ++a)
    for (int b = 0; b < m; ++b) {
      squareTriangles(2, 0, 2 * b, 2 * a, tri);
      for (auto& t : tri) writeP2(&w, g, t, 3, kTriEdges, 3);
    }
  return finish(&w, path);
}

bool writeSolution(const std::string& path, const Grid& g) {
  zel::KeywordWriter w;
  openBinary(&w, path);
  w.beginKeyword(zel::Kwd::SolAtVertices, g.points(), {1});
  double p[3];
  for (int64_t i = 0; i < g.points(); ++i) {
    g.position(i, p);
    w.real(field(p));
  }
  return finish(&w, path);
}

// ---- One load, in a child process ----------------------------------------------------------

// Resident set size in kB, sampled every millisecond by a thread into a preallocated (already
// touched) array, so that the peak inside each stage can be told apart afterwards.
class ResidentSampler {
 public:
  ResidentSampler() : m_times(1 << 20, 0.0), m_kilobytes(1 << 20, 0) {
    m_fd = open("/proc/self/statm", O_RDONLY);
    m_page = sysconf(_SC_PAGESIZE) / 1024;
    m_thread = std::thread([this] { run(); });
  }
  ~ResidentSampler() {
    stop();
    close(m_fd);
  }
  long residentKilobytes() const {
    char text[128] = {};
    if (pread(m_fd, text, sizeof text - 1, 0) <= 0) return 0;
    long size = 0, resident = 0;
    std::sscanf(text, "%ld %ld", &size, &resident);
    return resident * m_page;
  }
  // Largest sample taken in [from, to) (seconds of now()); stop the sampling first.
  long peakBetween(double from, double to) {
    long peak = 0;
    for (size_t i = 0; i < m_count; ++i)
      if (m_times[i] >= from && m_times[i] < to) peak = std::max(peak, m_kilobytes[i]);
    return peak;
  }
  void stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  void run() {
    while (!m_stop && m_count < m_times.size()) {
      m_kilobytes[m_count] = residentKilobytes();
      m_times[m_count] = now();
      ++m_count;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  std::vector<double> m_times;
  std::vector<long> m_kilobytes;
  size_t m_count = 0;
  int m_fd = -1;
  long m_page = 4;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

long highWaterKilobytes() {
  FILE* in = std::fopen("/proc/self/status", "r");
  char line[256];
  long value = 0;
  while (in && std::fgets(line, sizeof line, in))
    if (std::strncmp(line, "VmHWM:", 6) == 0) value = std::atol(line + 6);
  if (in) std::fclose(in);
  return value;
}

// Bytes of the mesh arrays (coordinates, nodes, references) and of the vertex solutions.
double loadedBytes(ZelObject* mesh) {
  char status[zel::kStatusSize];
  double bytes = 0;
  for (int typ = 1; typ <= 31; ++typ) {
    int count = 0, nodes = 0;
    if (typ == 5 || zel_GetNumberOfEntities(mesh, typ, &count, status) != 0 || count == 0) continue;
    if (!zel_GetIndicesArray(mesh, typ, &count, &nodes, status)) continue;
    bytes += (count + 1.0) * (typ == EntityType::Vertex ? 3 * 8 + 4 : (nodes + 1) * 4);
  }
  for (ZelSolution* s = mesh->vertexSolutions; s; s = s->next)
    bytes += (s->nbrEnt + 1.0) * s->nbrNod * 8 * (s->typ == 1 ? 1 : s->typ == 2 ? s->dim : 6);
  return bytes;
}

int entities(ZelObject* mesh, int typ) {
  char status[zel::kStatusSize];
  int count = 0;
  zel_GetNumberOfEntities(mesh, typ, &count, status);
  return count;
}

// Assembles the scene of one mesh and prints one "RESULT" line: element counts, the stage
// times, the loaded bytes, then the peak resident growth (kB) over the empty window from the
// start to the end of each stage, and the growth of the high-water mark.
int runChild(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_ALL, "C");
  ZelMeshViewer viewer(pellonSurfaceFormat());
  StageTimings t;
  viewer.setStageTimings(&t);
  ResidentSampler sampler;
  const long base = sampler.residentKilobytes();
  const double start = now();
  assembleScene(&viewer, argv[2], argv[3]);
  const double assembled = now();
  viewer.renderNow();
  const double end = now();
  t.firstFrame = end - assembled;
  sampler.stop();
  ZelObject* mesh = viewer.mesh();
  // Stage windows in their order inside the assembly: reading, solution, boundary faces;
  // the conversions and uploads of every object follow, ending with the frame that closes
  // the assembly. The short steps between stages are left out, so the marks run a little early.
  const double marks[] = {start,
                          start + t.meshReading,
                          start + t.meshReading + t.solutionReading,
                          start + t.meshReading + t.solutionReading + t.surfaceExtraction,
                          assembled,
                          end + 0.01};
  std::printf("RESULT %d %d %d  %.4f %.4f %.4f %.4f %.4f %.4f %.4f  %.0f ",
              entities(mesh, EntityType::Vertex), entities(mesh, EntityType::TriangleP2),
              entities(mesh, EntityType::TetrahedronP2), t.meshReading, t.solutionReading,
              t.surfaceExtraction, t.lagrangeToBezier, t.uploads, t.assembly, t.firstFrame,
              loadedBytes(mesh));
  for (int w = 0; w < 5; ++w)
    std::printf(" %ld", std::max(0L, sampler.peakBetween(marks[0], marks[w + 1]) - base));
  std::printf(" %ld\n", highWaterKilobytes() - base);
  std::fflush(stdout);
  return 0;
}

// ---- The driver ------------------------------------------------------------------------------

const char* const kStages[] = {"mesh reading",       "solution reading", "surface extraction",
                               "Lagrange to Bezier", "uploads",          "assembly (all)",
                               "first frame"};
const char* const kWindows[] = {"mesh reading", "solution reading", "surface extraction",
                                "rest of assembly", "first frame"};

struct Load {
  long counts[3] = {};
  double seconds[7] = {};
  double bytes = 0;
  double peakKilobytes[6] = {};  // per stage window, then the high-water mark
};

struct Case {
  std::string name, mesh, solution;
  long vertices, triangles, tetrahedra;
  std::vector<Load> loads;
};

// Runs this program again as "--child MESH SOL" and reads its RESULT line.
bool runLoad(Case* c) {
  const std::string command =
      "/proc/" + std::to_string(getpid()) + "/exe --child '" + c->mesh + "' '" + c->solution + "'";
  FILE* child = popen(command.c_str(), "r");
  char line[1024];
  Load load;
  bool found = false;
  while (child && std::fgets(line, sizeof line, child)) {
    if (std::strncmp(line, "RESULT ", 7) != 0) continue;
    double* s = load.seconds;
    double* p = load.peakKilobytes;
    found = std::sscanf(
                line + 7, "%ld %ld %ld %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                &load.counts[0], &load.counts[1], &load.counts[2], &s[0], &s[1], &s[2], &s[3],
                &s[4], &s[5], &s[6], &load.bytes, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5]) == 17;
  }
  if (child) pclose(child);
  // A failed or partial load must not pass for a fast one.
  if (!found || load.counts[0] != c->vertices || load.counts[1] != c->triangles ||
      load.counts[2] != c->tetrahedra) {
    std::fprintf(stderr, "%s: incomplete load\n", c->mesh.c_str());
    return false;
  }
  c->loads.push_back(load);
  return true;
}

double stageMedian(const Case& c, int stage) {
  std::vector<double> v;
  for (const Load& l : c.loads) v.push_back(l.seconds[stage]);
  return median(v);
}

void printCase(const Case& c) {
  const Load& first = c.loads.front();
  std::printf("\n%s: %ld vertices, %ld P2 triangles, %ld P2 tetrahedra; loaded arrays %.0f MB\n",
              c.name.c_str(), c.vertices, c.triangles, c.tetrahedra, first.bytes / 1048576);
  for (int s = 0; s < 7; ++s) std::printf("  %-20s %9.3f s\n", kStages[s], stageMedian(c, s));
  // The assembly's own work besides the stages: packing and normalising the vertex arrays,
  // face marks, objects, and the frame that ends the assembly.
  std::vector<double> other;
  for (const Load& l : c.loads)
    other.push_back(l.seconds[5] - l.seconds[0] - l.seconds[1] - l.seconds[2] - l.seconds[3] -
                    l.seconds[4]);
  std::printf("  %-20s %9.3f s\n", "(rest of assembly)", median(other));
  std::printf("  peak resident growth over the empty window, up to the end of (MB, x arrays):\n");
  for (int w = 0; w < 6; ++w) {
    std::vector<double> v;
    for (const Load& l : c.loads) v.push_back(l.peakKilobytes[w] / 1024);
    const double mb = median(v);
    std::printf("  %-20s %9.0f MB  %5.2f x\n", w < 5 ? kWindows[w] : "whole run (VmHWM)", mb,
                mb * 1048576 / first.bytes);
  }
}

// Per-round ratio of every stage, large over small, and its median over the rounds.
void printGrowth(const Case& small, const Case& large) {
  std::printf("\ngrowth from %s to %s (elements x %.2f), median of per-round ratios, limit 6.5:\n",
              small.name.c_str(), large.name.c_str(), double(large.tetrahedra) / small.tetrahedra);
  bool met = true;
  for (int s = 0; s < 7; ++s) {
    std::vector<double> ratios;
    for (size_t r = 0; r < std::min(small.loads.size(), large.loads.size()); ++r)
      ratios.push_back(large.loads[r].seconds[s] / std::max(1e-6, small.loads[r].seconds[s]));
    const double ratio = median(ratios);
    met = met && ratio <= 6.5;
    std::printf("  %-20s %6.2f x%s\n", kStages[s], ratio, ratio <= 6.5 ? "" : "  OVER");
  }
  const double peak = median([&] {
    std::vector<double> v;
    for (const Load& l : large.loads) v.push_back(l.peakKilobytes[5] * 1024 / l.bytes);
    return v;
  }());
  std::printf("time growth target %s; peak memory of %s %.2f x loaded arrays (limit 3.5): %s\n",
              met ? "met" : "NOT met", large.name.c_str(), peak, peak <= 3.5 ? "met" : "NOT met");
}

Case makeCube(const std::string& dir, int n) {
  const std::string base = dir + "/bench_startup_cube" + std::to_string(n);
  const long side = 2 * n + 1;
  return {"cube " + std::to_string(n) + "^3",
          base + ".meshb",
          base + ".solb",
          side * side * side,
          12L * n * n,
          6L * n * n * n,
          {}};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return runChild(argc, argv);
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const int small = argc > 3 ? std::max(1, std::atoi(argv[3])) : 55;
  const int large = argc > 4 ? std::max(1, std::atoi(argv[4])) : 94;
  const int squares = argc > 5 ? std::max(1, std::atoi(argv[5])) : 1000;
  std::vector<Case> cases = {makeCube(dir, small), makeCube(dir, large)};
  const long side = 2 * squares + 1;
  cases.push_back({"surface " + std::to_string(squares) + "^2",
                   dir + "/bench_startup_surface.meshb",
                   dir + "/bench_startup_surface.solb",
                   side * side,
                   2L * squares * squares,
                   0,
                   {}});
  const int sizes[] = {small, large};
  bool ok = true;
  for (int i = 0; i < 3 && ok; ++i) {
    const Grid grid{int(i < 2 ? 2 * sizes[i] + 1 : side), i < 2};
    ok = (i < 2 ? writeCube(cases[i].mesh, sizes[i]) : writeSurface(cases[i].mesh, squares)) &&
         writeSolution(cases[i].solution, grid);
  }
  std::printf("%d rounds, each case in a fresh process, medians\n", rounds);
  std::fflush(stdout);
  for (int r = 0; r < rounds && ok; ++r)
    for (Case& c : cases) ok = ok && runLoad(&c);
  if (ok) {
    for (const Case& c : cases) printCase(c);
    printGrowth(cases[0], cases[1]);
  }
  for (const Case& c : cases) {
    std::remove(c.mesh.c_str());
    std::remove(c.solution.c_str());
  }
  return ok ? 0 : 1;
}
