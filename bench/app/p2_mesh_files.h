// Binary P2 mesh files for the benchmarks: grid vertices, P2 elements on them, and the unit
// cube of n^3 cells split into 6 P2 tetrahedra each with its boundary in P2 triangles.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "meshio/keyword_table.h"
#include "meshio/keyword_writer.h"

namespace bench {

// Vertices on a grid of side^3 points, or side^2 points of a curved height field when flat.
struct Grid {
  int side;
  bool volume;
  int64_t points() const { return int64_t(side) * side * (volume ? side : 1); }
  int id(int x, int y, int z) const { return 1 + x + side * (y + side * z); }
  void position(int64_t i, double p[3]) const {
    const double h = 1.0 / (side - 1);
    p[0] = (i % side) * h;
    p[1] = (i / side % side) * h;
    p[2] = volume ? (i / side / side) * h : 0.2 * std::sin(M_PI * p[0]) * std::sin(M_PI * p[1]);
  }
};

// Writes the P2 element with corners c (grid points, step 2): corners, then mid-edge nodes.
inline void writeP2(zel::KeywordWriter* w, const Grid& g, const int (*c)[3], int corners,
                    const int (*edges)[2], int edgeCount) {
  for (int v = 0; v < corners; ++v) w->integer(g.id(c[v][0], c[v][1], c[v][2]));
  for (int e = 0; e < edgeCount; ++e) {
    const int* a = c[edges[e][0]];
    const int* b = c[edges[e][1]];
    w->integer(g.id((a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2));
  }
  w->integer(1);
}

// The two triangles of the square with corner (a, b) in the plane `axis` = level.
inline void squareTriangles(int axis, int level, int a, int b, int tri[2][3][3]) {
  const int u = (axis + 1) % 3, v = (axis + 2) % 3;
  const int du[4] = {0, 2, 2, 0}, dv[4] = {0, 0, 2, 2}, pick[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < 2; ++t)
    for (int c = 0; c < 3; ++c) {
      tri[t][c][axis] = level;
      tri[t][c][u] = a + du[pick[t][c]];
      tri[t][c][v] = b + dv[pick[t][c]];
    }
}

inline const int kTriEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};

inline void openBinary(zel::KeywordWriter* w, const std::string& path) {
  zel::KeywordWriteFormat format;
  format.binary = true;
  w->open(path, format, 3);
}

inline bool finish(zel::KeywordWriter* w, const std::string& path) {
  if (!w->close()) std::fprintf(stderr, "write %s: %s\n", path.c_str(), w->error().c_str());
  return w->error().empty();
}

inline bool writeVertices(zel::KeywordWriter* w, const Grid& g) {
  w->beginKeyword(zel::Kwd::Vertices, g.points());
  double p[3];
  for (int64_t i = 0; i < g.points(); ++i) {
    g.position(i, p);
    for (double x : p) w->real(x);
    w->integer(0);
  }
  return w->error().empty();
}

// The cube [0,1]^3 in n^3 cells of 6 P2 tetrahedra, its boundary in P2 triangles.
inline bool writeCube(const std::string& path, int n) {
  static const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  static const int tetEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
  const Grid g{2 * n + 1, true};
  zel::KeywordWriter w;
  openBinary(&w, path);
  writeVertices(&w, g);
  w.beginKeyword(zel::Kwd::TrianglesP2, int64_t(12) * n * n);
  int tri[2][3][3];
  for (int face = 0; face < 6; ++face)
    for (int a = 0; a < n; ++a)
      for (int b = 0; b < n; ++b) {
        squareTriangles(face / 2, (face % 2) * 2 * n, 2 * a, 2 * b, tri);
        for (auto& t : tri) writeP2(&w, g, t, 3, kTriEdges, 3);
      }
  w.beginKeyword(zel::Kwd::TetrahedraP2, int64_t(6) * n * n * n);
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (const auto& axis : axes) {  // Kuhn split of the cell along its diagonal
          int c[4][3], p[3] = {2 * i, 2 * j, 2 * k};
          for (int v = 0; v < 4; ++v) {
            if (v > 0) p[axis[v - 1]] += 2;
            std::memcpy(c[v], p, sizeof p);
          }
          writeP2(&w, g, c, 4, tetEdges, 6);
        }
  return finish(&w, path);
}

}  // namespace bench
