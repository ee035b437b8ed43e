// Speed of the Lagrange to Bezier conversion of large element arrays against a plain copy of
// the same values into fresh memory, and of point evaluation on a degree-2 tetrahedron.
//
// Usage: bench_homath_speed [scale]   (scale 1 = 5 million P2 tetrahedra, 2 million P2 and
// 1 million P3 triangles; a smaller scale shrinks every mesh by that factor)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "homath/evaluate.h"
#include "homath/lagrange_to_bezier.h"
#include "meshio/node_order.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Mesh {
  int nbrVal = 0;
  int nbrNod = 0;
  int deg = 0;
  std::vector<int> idx;
  std::vector<float> values;  // 3 components per node
};

// Structured mesh of n^dim cells (Kuhn split: 2 triangles per square, 6 tetrahedra per cube)
// of degree deg; node numbers come from the lattice refined deg times, so shared edge and
// face nodes are shared.
Mesh BuildMesh(int dim, int n, int deg) {
  Mesh mesh;
  mesh.deg = deg;
  const int kind = dim == 2 ? EntityType::Triangle : EntityType::Tetrahedron;
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(kind, deg);
  mesh.nbrNod = order.count;
  const long side = static_cast<long>(deg) * n + 1;
  mesh.nbrVal = static_cast<int>(dim == 2 ? side * side : side * side * side);
  mesh.values.resize(3L * mesh.nbrVal);
  for (long g = 0; g < mesh.nbrVal; g++) {
    const double x = g % side, y = (g / side) % side, z = g / (side * side);
    mesh.values[3 * g] = static_cast<float>(x + 0.1 * y * y / side);
    mesh.values[3 * g + 1] = static_cast<float>(y + 0.05 * x * z / side);
    mesh.values[3 * g + 2] = static_cast<float>(z + 0.1 * x * x / side);
  }
  // Vertices of the cell simplices as offsets from the cell's corner, one path per simplex.
  std::vector<std::vector<int>> simplices;
  if (dim == 2) {
    simplices = {{0, 0, 1, 0, 1, 1}, {0, 0, 0, 1, 1, 1}};
  } else {
    const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const auto& a : axes) {
      std::vector<int> path(12, 0);
      for (int step = 1; step <= 3; step++) {
        for (int c = 0; c < 3; c++) path[3 * step + c] = path[3 * (step - 1) + c];
        path[3 * step + a[step - 1]] = 1;
      }
      simplices.push_back(path);
    }
  }
  const long cells = dim == 2 ? static_cast<long>(n) * n : static_cast<long>(n) * n * n;
  mesh.idx.reserve(cells * simplices.size() * mesh.nbrNod);
  for (long cell = 0; cell < cells; cell++) {
    const long cx = cell % n, cy = (cell / n) % n,
               cz = dim == 2 ? 0 : cell / (static_cast<long>(n) * n);
    for (const auto& s : simplices) {
      for (int p = 0; p < order.count; p++) {
        const int* r = order.row(p);  // barycentric counts over the simplex vertices
        long at[3] = {deg * cx, deg * cy, deg * cz};
        for (int v = 0; v <= dim; v++)
          for (int c = 0; c < dim; c++) at[c] += static_cast<long>(r[v]) * s[dim * v + c];
        mesh.idx.push_back(static_cast<int>(at[0] + side * (at[1] + side * at[2])));
      }
    }
  }
  return mesh;
}

double Median(std::vector<double> t) {
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

void CompareWithCopy(const char* name, int dim, int n, int deg, int repeats) {
  Mesh mesh = BuildMesh(dim, n, deg);
  const int nbrEnt = static_cast<int>(mesh.idx.size() / mesh.nbrNod);
  const size_t bytes = mesh.values.size() * sizeof(float);
  LagrangeToBezier(mesh.nbrVal, deg, mesh.values.data(), 3, 1, mesh.idx.data(), mesh.nbrNod);
  std::vector<double> copy, convert;
  for (int r = 0; r < repeats; r++) {
    auto start = std::chrono::steady_clock::now();
    float* fresh = static_cast<float*>(std::malloc(bytes));
    std::memcpy(fresh, mesh.values.data(), bytes);
    copy.push_back(Seconds(start));
    if (fresh[mesh.values.size() / 2] == -12345.0f) std::puts("");  // keep the copy alive
    std::free(fresh);
    start = std::chrono::steady_clock::now();
    LagrangeToBezier(mesh.nbrVal, deg, mesh.values.data(), 3, nbrEnt, mesh.idx.data(), mesh.nbrNod);
    convert.push_back(Seconds(start));
  }
  const double c = Median(copy), v = Median(convert);
  std::printf(
      "%-22s %9d elements %9d nodes  copy %7.1f ms  convert %7.1f ms  ratio %.2f  "
      "(%.0f M element nodes/s)\n",
      name, nbrEnt, mesh.nbrVal, 1e3 * c, 1e3 * v, v / c, 1e-6 * nbrEnt * mesh.nbrNod / v);
}

void EvaluationRate(long count) {
  std::vector<float> b(10);
  for (int i = 0; i < 10; i++) b[i] = 0.1f * i - 0.3f;
  unsigned state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) * (1.0 / 16777216.0);
  };
  // Baseline: the same points, and the sum of the ten coefficients times precomputed weights.
  double sink = 0;
  auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; i++) {
    const double u = 0.25 * next(), v = 0.25 * next(), w = 0.25 * next();
    const double l[4] = {u, v, w, 1 - u - v - w};
    sink += b[0] * l[0] * l[0] + b[1] * l[1] * l[1] + b[2] * l[2] * l[2] + b[3] * l[3] * l[3] +
            b[4] * l[0] * l[1] + b[5] * l[1] * l[2] + b[6] * l[0] * l[2] + b[7] * l[0] * l[3] +
            b[8] * l[1] * l[3] + b[9] * l[2] * l[3];
  }
  const double base = Seconds(start);
  start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; i++) {
    const double u = 0.25 * next(), v = 0.25 * next(), w = 0.25 * next();
    sink += zel_EvaluateValueOnTetrahedra(b.data(), 2, u, v, w, 1 - u - v - w);
  }
  const double eval = Seconds(start);
  std::printf(
      "P2 tetrahedron evaluation: %.1f M points/s (direct quadratic form %.1f M/s, "
      "ratio %.2f)%s\n",
      1e-6 * count / eval, 1e-6 * count / base, eval / base, sink == 0.5 ? " " : "");
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  auto cells = [scale](double full, int dim) {
    return std::max(2,
                    static_cast<int>(dim == 2 ? std::sqrt(full * scale) : std::cbrt(full * scale)));
  };
  CompareWithCopy("P2 tetrahedra (3 cmp)", 3, cells(5e6 / 6, 3), 2, 5);
  CompareWithCopy("P2 triangles (3 cmp)", 2, cells(2e6 / 2, 2), 2, 5);
  CompareWithCopy("P3 triangles (3 cmp)", 2, cells(1e6 / 2, 2), 3, 5);
  EvaluationRate(static_cast<long>(2e7 * std::min(scale, 1.0)));
  return 0;
}
