// Frame time of curved P2 triangles tessellated at levels 4 and 8 against the same triangles
// drawn straight, and upload time of a million P2 triangles against copying their arrays.
// Needs an OpenGL 4 context: run under tests/support/headless.sh.
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/gpu/gl_bench.h"

namespace {

using bench::kFrameHeight;
using bench::kFrameWidth;

// P2 triangles on a cells x cells grid over the viewport, nodes shared: the (2 cells + 1)^2
// lattice holds vertices (even, even) and the Bezier control points of the edges between
// them, each pushed sideways by 15 % of the cell so that every edge is clearly curved (the
// level rule then gives about 4 segments per edge at level 4 and 7 at level 8).
struct P2Grid {
  std::vector<float> coords;       // lattice nodes
  std::vector<unsigned> curved;    // 6 per triangle: vertices, then edges 0-1, 1-2, 2-0
  std::vector<unsigned> straight;  // 3 per triangle
  int triangles = 0;
};

P2Grid makeGrid(int cells) {
  P2Grid grid;
  const int side = 2 * cells + 1;
  grid.coords.resize(size_t(side) * side * 3);
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      const double cell = 1.9 / cells, bend = 0.15 * cell;
      double x = -0.95 + 1.9 * i / (side - 1), y = -0.95 + 1.9 * j / (side - 1);
      if (i % 2 == 1 && j % 2 == 0) y += bend;  // horizontal edge
      if (i % 2 == 0 && j % 2 == 1) x += bend;  // vertical edge
      if (i % 2 == 1 && j % 2 == 1) {           // diagonal edge
        x -= bend / 2;
        y -= bend / 2;
      }
      float* p = &grid.coords[(size_t(j) * side + i) * 3];
      p[0] = float(x);
      p[1] = float(y);
      p[2] = 0;
    }
  const auto node = [side](int i, int j) { return unsigned(j * side + i); };
  grid.curved.reserve(size_t(cells) * cells * 12);
  grid.straight.reserve(size_t(cells) * cells * 6);
  for (int j = 0; j < cells; ++j)
    for (int i = 0; i < cells; ++i) {
      const int x = 2 * i, y = 2 * j;
      // Lower triangle (x,y) (x+2,y) (x,y+2); upper (x+2,y) (x+2,y+2) (x,y+2).
      const unsigned lower[6] = {node(x, y),     node(x + 2, y),     node(x, y + 2),
                                 node(x + 1, y), node(x + 1, y + 1), node(x, y + 1)};
      const unsigned upper[6] = {node(x + 2, y),     node(x + 2, y + 2), node(x, y + 2),
                                 node(x + 2, y + 1), node(x + 1, y + 2), node(x + 1, y + 1)};
      for (const unsigned* t : {lower, upper}) {
        grid.curved.insert(grid.curved.end(), t, t + 6);
        grid.straight.insert(grid.straight.end(), t, t + 3);
        ++grid.triangles;
      }
    }
  return grid;
}

void setFrameUniforms(GLSLProgram& p, int level) {
  const float identity4[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
  const float identity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  p.setUniformMatrix4("MVP", identity4);
  p.setUniformMatrix4("ModelViewMatrix", modelView);
  p.setUniformMatrix3("NormalMatrix", identity3);
  p.setUniform("trans", 0.0f, 0.0f, 0.0f);
  p.setUniform("scaling", 1.0f);
  p.setUniform("scenescaling", 0.0f, 0.0f, 0.0f, 1.0f);
  p.setUniform("shrink", 1.0f);
  p.setUniform("tess_level", level);
  p.setUniform("UsePhong", 1);
  p.setUniform("Material.Ka", 0.2f, 0.2f, 0.2f);
  p.setUniform("Material.Kd", 0.1f, 0.4f, 0.9f);
  p.setUniform("Material.Ks", 0.4f, 0.4f, 0.4f);
  p.setUniform("Material.Shininess", 80.0f);
  p.setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
}

// Median time of `repeats` frames of one object at user level `level`.
double frameSeconds(QOpenGLFunctions_4_0_Core* gl, ZelBufferObject& buffer, GLSLProgram& program,
                    int level, int repeats) {
  std::vector<double> times;
  for (int r = 0; r < repeats; ++r)
    times.push_back(bench::frameSeconds(gl, buffer, program,
                                        [level](GLSLProgram& p) { setFrameUniforms(p, level); }));
  return bench::median(times);
}

void benchFrames(QOpenGLFunctions_4_0_Core* gl, int repeats) {
  const P2Grid grid = makeGrid(224);
  const int nodes = int(grid.coords.size() / 3);
  ZelBufferTriangle straight;
  ZelBufferTriangleP2 curved;
  straight.updateVao(gl, nodes, grid.coords.data(), grid.triangles, grid.straight.data());
  curved.updateVao(gl, nodes, grid.coords.data(), grid.triangles, grid.curved.data());
  const std::unique_ptr<GLSLProgram> triSha = bench::buildProgram(gl, "TriSha");
  const std::unique_ptr<GLSLProgram> p2TriSha = bench::buildProgram(gl, "P2TriSha");
  frameSeconds(gl, straight, *triSha, 4, 1);  // first frames compile the shaders' variants
  frameSeconds(gl, curved, *p2TriSha, 4, 1);
  const double base = frameSeconds(gl, straight, *triSha, 4, repeats);
  std::printf("%d P2 triangles, %dx%d frame, median of %d\n", grid.triangles, kFrameWidth,
              kFrameHeight, repeats);
  std::printf("  straight (TriSha)        %8.1f ms\n", base * 1e3);
  for (int level : {4, 8}) {
    const double t = frameSeconds(gl, curved, *p2TriSha, level, repeats);
    std::printf("  curved level %d (P2TriSha) %8.1f ms   ratio %.1f\n", level, t * 1e3, t / base);
  }
}

void benchUpload(QOpenGLFunctions_4_0_Core* gl, int repeats) {
  const P2Grid grid = makeGrid(708);
  const int nodes = int(grid.coords.size() / 3);
  std::vector<float> solution(size_t(grid.triangles) * 6);
  for (size_t i = 0; i < solution.size(); ++i) solution[i] = float(i % 97) / 97.0f;
  std::vector<float> colourMap(9 * 3, 0.5f);
  ZelPaletteState palette;
  palette.colourMap = colourMap.data();
  palette.colourMapSize = 9;
  const size_t bytes = grid.coords.size() * 4 + grid.curved.size() * 4 + solution.size() * 4;
  std::vector<double> copies, uploads;
  for (int r = 0; r < repeats; ++r) {
    double start = bench::now();
    // Baseline: the same three arrays copied into freshly allocated memory.
    std::unique_ptr<char[]> a(new char[grid.coords.size() * 4]);
    std::unique_ptr<char[]> b(new char[grid.curved.size() * 4]);
    std::unique_ptr<char[]> c(new char[solution.size() * 4]);
    std::memcpy(a.get(), grid.coords.data(), grid.coords.size() * 4);
    std::memcpy(b.get(), grid.curved.data(), grid.curved.size() * 4);
    std::memcpy(c.get(), solution.data(), solution.size() * 4);
    copies.push_back(bench::now() - start);
    volatile char sink = a[1] + b[2] + c[3];
    (void)sink;

    ZelBufferTriangleP2 buffer;
    gl->glFinish();
    start = bench::now();
    buffer.updateVao(gl, nodes, grid.coords.data(), grid.triangles, grid.curved.data());
    buffer.setPaletteState(&palette);
    buffer.setSolutionDegree(2);
    buffer.uploadTextures(gl, int(solution.size()), solution.data());
    gl->glFinish();
    uploads.push_back(bench::now() - start);
  }
  const double copy = bench::median(copies), upload = bench::median(uploads);
  std::printf("%d P2 triangles, %d nodes, degree-2 solution: %.1f MB, median of %d\n",
              grid.triangles, nodes, bytes / 1048576.0, repeats);
  std::printf("  copy into fresh memory   %8.1f ms\n", copy * 1e3);
  std::printf("  updateVao + textures     %8.1f ms   ratio %.2f (target <= 3)\n", upload * 1e3,
              upload / copy);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const bench::GLBench context;
  QOpenGLFunctions_4_0_Core* gl = context.gl();
  if (!gl) {
    std::fprintf(stderr, "no OpenGL 4 context (run under tests/support/headless.sh)\n");
    return 1;
  }
  std::printf("renderer: %s\n", reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER)));
  benchFrames(gl, repeats);
  benchUpload(gl, repeats);
  return 0;
}
