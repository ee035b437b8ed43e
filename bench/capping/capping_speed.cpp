// Speed of the capping update on a unit cube of n^3 cells of 6 straight tetrahedra (n = 55:
// 998,250 tetrahedra; n = 94: 4,983,504): one update is the selection of the crossed elements
// (zel_GetCutEntities) and their capping (zel_capping), for planes of several orientations
// through the cube. Printed per size: the median update time, updates per second, and the update
// as a ratio against a baseline of the same run, one pass over the vertices computing their plane
// values; and the share of the capping alone, against the number of crossed elements.
// Usage: bench_capping_speed [ROUNDS (default 5)] [CELLS PER EDGE ... (default 55 94)]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/capping/kuhn_cube.h"
#include "capping/capping.h"
#include "meshio/entity_types.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace {

using bench::median;
using bench::now;

struct Update {
  double total, capping;
  int crossed, polygons;
};

Update update(ZelObject* mesh, const double* plane) {
  char status[zel::kStatusSize];
  int nbrCut = 0, *list = nullptr, nbrTri = 0, nbrQua = 0, *triInf, *quaInf;
  double *triCrd, *triRef, *quaCrd, *quaRef;
  const double start = now();
  zel_GetCutEntities(mesh, plane, EntityType::Tetrahedron, &nbrCut, &list, status);
  const double selected = now();
  if (zel_capping(mesh, plane, EntityType::Tetrahedron, nbrCut, list, &nbrTri, &triCrd, &triRef,
                  &triInf, &nbrQua, &quaCrd, &quaRef, &quaInf, status) != 0) {
    std::printf("capping failed: %s", status);
    std::exit(1);
  }
  const double end = now();
  for (void* a : {(void*)list, (void*)triCrd, (void*)triRef, (void*)triInf, (void*)quaCrd,
                  (void*)quaRef, (void*)quaInf})
    std::free(a);
  return {end - start, end - selected, nbrCut, nbrTri + nbrQua};
}

// The baseline: the plane value of every vertex, summed so that the pass is not dropped.
double baseline(ZelObject* mesh, const double* plane, double* sink) {
  const int count = mesh->count1[kSlotVertices];
  const double* c = mesh->coordinates;
  const double start = now();
  double sum = 0;
  for (int v = 1; v <= count; ++v)
    sum += plane[0] * c[3 * v] + plane[1] * c[3 * v + 1] + plane[2] * c[3 * v + 2] - plane[3];
  *sink += sum;
  return now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<int> sizes;
  for (int a = 2; a < argc; ++a) sizes.push_back(std::max(1, std::atoi(argv[a])));
  if (sizes.empty()) sizes = {55, 94};
  const double planes[4][4] = {
      {0, 0, 1, 0.5}, {0.3, 0.5, 0.81, 0.8}, {1, 1, 1, 1.37}, {-0.7, 0.2, 0.4, -0.1}};
  double sink = 0;
  for (int n : sizes) {
    ZelObject* mesh = bench::buildKuhnCube(n, 0);
    std::vector<double> total, capping, base, ratio, perCrossed;
    int crossed = 0, polygons = 0;
    for (int r = 0; r < rounds; ++r)
      for (const auto& plane : planes) {
        const Update u = update(mesh, plane);
        const double b = baseline(mesh, plane, &sink);
        total.push_back(u.total), capping.push_back(u.capping), base.push_back(b);
        ratio.push_back(u.total / b);
        perCrossed.push_back(u.capping / std::max(u.crossed, 1) * 1e9);
        crossed += u.crossed, polygons += u.polygons;
      }
    std::printf(
        "cube of %d^3 cells, %d tetrahedra: update %.4f s (%.1f per second), "
        "%.1fx the vertex pass (%.4f s); capping alone %.4f s, %.0f ns per crossed "
        "element (%d crossed, %d polygons per update on average)\n",
        n, 6 * n * n * n, median(total), 1 / median(total), median(ratio), median(base),
        median(capping), median(perCrossed), crossed / static_cast<int>(total.size()),
        polygons / static_cast<int>(total.size()));
    zel_FreeInterface(&mesh);
  }
  return sink == 12345.678 ? 1 : 0;
}
