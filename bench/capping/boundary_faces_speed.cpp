// Speed and peak memory of the boundary-face extraction and of the reference grouping on a
// unit cube of n^3 cells of 6 straight tetrahedra (n = 94: 4,983,504 tetrahedra) whose
// boundary triangles are mesh triangles, each figure a ratio against a baseline of the same run:
//   extraction: zel_ExtractBoundaryFaces (with the triangle marking) / std::sort of the face
//               keys (the sorted vertex triples of every face of every tetrahedron);
//   grouping:   zel_GroupByReference on the tetrahedra / std::sort of a copy of their
//               reference array (references 1..8 by octant of the cube);
//   memory:     peak resident growth of one extraction (VmHWM after /proc/self/clear_refs) per
//               face inserted (4 per tetrahedron).
// Usage: bench_boundary_faces_speed [ROUNDS (default 5)] [CELLS PER EDGE (default 94)]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "capping/boundary_faces.h"
#include "bench/bench_clock.h"
#include "meshio/entity_types.h"
#include "meshio/reference_groups.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace {

using bench::median;
using bench::now;

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:").
long statusKilobytes(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return -1;
}

// The cube mesh: Kuhn split of every cell, the boundary squares split into 2 triangles along
// the same diagonals. Tetrahedra carry reference 1, the octant references go to octantRefs.
ZelObject* buildCube(int n, std::vector<int>* octantRefs) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  mesh->dim = 3;
  const int side = n + 1;
  auto id = [&](int x, int y, int z) { return 1 + x + side * (y + side * z); };
  const int vertices = side * side * side, tets = 6 * n * n * n, tris = 12 * n * n;
  mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = vertices;
  mesh->coordinates = static_cast<double*>(std::malloc(sizeof(double) * 3 * (vertices + 1)));
  mesh->vertexRefs = static_cast<int*>(std::calloc(vertices + 1, sizeof(int)));
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        double* c = mesh->coordinates + 3 * id(x, y, z);
        c[0] = double(x) / n, c[1] = double(y) / n, c[2] = double(z) / n;
      }
  zel::EntitySlot slot;
  zel::entitySlot(mesh, EntityType::Tetrahedron, &slot);
  int* t = *slot.nodes = static_cast<int*>(std::malloc(sizeof(int) * 4 * (tets + 1)));
  int* r = *slot.refs = static_cast<int*>(std::malloc(sizeof(int) * (tets + 1)));
  *slot.count = *slot.capacity = tets;
  octantRefs->assign(tets + 1, 0);
  static const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  int e = 1;
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (const auto& a : axes) {
          int p[3] = {i, j, k};
          int* nodes = t + 4 * e;
          nodes[0] = id(p[0], p[1], p[2]);
          ++p[a[0]];
          nodes[1] = id(p[0], p[1], p[2]);
          ++p[a[1]];
          nodes[2] = id(p[0], p[1], p[2]);
          nodes[3] = id(i + 1, j + 1, k + 1);
          r[e] = 1;
          (*octantRefs)[e] = 1 + (2 * i >= n) + 2 * (2 * j >= n) + 4 * (2 * k >= n);
          ++e;
        }
  zel::entitySlot(mesh, EntityType::Triangle, &slot);
  int* f = *slot.nodes = static_cast<int*>(std::malloc(sizeof(int) * 3 * (tris + 1)));
  *slot.refs = static_cast<int*>(std::calloc(tris + 1, sizeof(int)));
  *slot.count = *slot.capacity = tris;
  int m = 1;
  for (int axis = 0; axis < 3; ++axis)
    for (int at : {0, n})
      for (int u = 0; u < n; ++u)
        for (int v = 0; v < n; ++v) {
          auto corner = [&](int du, int dv) {
            int p[3];
            p[axis] = at, p[(axis + 1) % 3] = u + du, p[(axis + 2) % 3] = v + dv;
            return id(p[0], p[1], p[2]);
          };
          // The Kuhn split cuts every boundary square along the diagonal from its lowest corner.
          const int c00 = corner(0, 0), c10 = corner(1, 0), c11 = corner(1, 1), c01 = corner(0, 1);
          const int quad[2][3] = {{c00, c10, c11}, {c00, c11, c01}};
          for (const auto& q : quad) std::memcpy(f + 3 * m++, q, sizeof q);
        }
  return mesh;
}

struct Run {
  double extraction, keySort, keyBuild, grouping, refSort;
  int kept, marked;
};

Run measure(ZelObject* mesh, const std::vector<int>& octantRefs) {
  Run run{};
  char status[ZEL_STATUS_SIZE];
  int tets = 0, perTet = 0, tris = 0, vertices = 0;
  const int* t = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Tetrahedron, &tets, &perTet, status));
  zel_GetNumberOfEntities(mesh, EntityType::Triangle, &tris, status);
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &vertices, status);
  std::vector<ZelFaceMark> marks(tris + 1, ZelFaceMark{});
  ZelSurfaceGroup* groups = nullptr;
  int nbrGroups = 0;
  double start = now();
  if (zel_ExtractBoundaryFaces(mesh, EntityType::Tetrahedron, marks.data(), nullptr, &nbrGroups,
                               &groups, nullptr, status) != 0) {
    std::printf("extraction failed: %s", status);
    std::exit(1);
  }
  run.extraction = now() - start;
  run.kept = nbrGroups ? groups[0].nbrTri : -1;
  for (int m = 1; m <= tris; ++m) run.marked += marks[m].face == m;
  zel_FreeSurfaceGroups(groups, nbrGroups);

  start = now();
  std::vector<std::array<int, 3>> keys(static_cast<size_t>(4) * tets);
  static const int faces[4][3] = {{1, 2, 3}, {3, 2, 0}, {3, 0, 1}, {1, 0, 2}};
  size_t k = 0;
  for (int e = 1; e <= tets; ++e)
    for (const auto& face : faces) {
      std::array<int, 3> key = {t[4 * e + face[0]], t[4 * e + face[1]], t[4 * e + face[2]]};
      std::sort(key.begin(), key.end());
      keys[k++] = key;
    }
  run.keyBuild = now() - start;
  start = now();
  std::sort(keys.begin(), keys.end());
  run.keySort = now() - start;

  std::vector<int> copy(octantRefs.begin() + 1, octantRefs.end());
  start = now();
  std::sort(copy.begin(), copy.end());
  run.refSort = now() - start;
  int nbrRefs = 0;
  int* refs = nullptr;
  start = now();
  ZelRefGroup* refGroups =
      zel_GroupByReference(EntityType::Tetrahedron, vertices, tets, t + 4, t + 4 * tets,
                           &octantRefs[1], &octantRefs[tets], &nbrRefs, &refs, status);
  run.grouping = now() - start;
  zel_FreeRefGroups(refGroups, nbrRefs);
  std::free(refs);
  return run;
}

// One extraction in this fresh process: peak resident growth in MB.
double peakOfOneExtraction(int n) {
  std::vector<int> octantRefs;
  ZelObject* mesh = buildCube(n, &octantRefs);
  std::vector<ZelFaceMark> marks(12 * n * n + 1, ZelFaceMark{});
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = statusKilobytes("VmRSS:");
  ZelSurfaceGroup* groups = nullptr;
  int nbrGroups = 0;
  char status[ZEL_STATUS_SIZE];
  zel_ExtractBoundaryFaces(mesh, EntityType::Tetrahedron, marks.data(), nullptr, &nbrGroups,
                           &groups, nullptr, status);
  const long peak = statusKilobytes("VmHWM:");
  zel_FreeSurfaceGroups(groups, nbrGroups);
  zel_FreeInterface(&mesh);
  return (peak - before) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--peak") {
    std::printf("%.3f\n", peakOfOneExtraction(std::atoi(argv[2])));
    return 0;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int n = argc > 2 ? std::max(1, std::atoi(argv[2])) : 94;
  std::vector<int> octantRefs;
  ZelObject* mesh = buildCube(n, &octantRefs);
  const double tets = 6.0 * n * n * n, faces = 4 * tets;
  std::printf("cube of %d^3 cells: %.0f tetrahedra, %.0f faces inserted, %d boundary triangles\n",
              n, tets, faces, 12 * n * n);
  std::vector<double> extraction, keySort, keyBuild, grouping, refSort, ratioE, ratioG;
  for (int r = 0; r < rounds; ++r) {
    const Run run = measure(mesh, octantRefs);
    if (run.kept != 0 || run.marked != 12 * n * n) {
      std::printf("wrong result: %d faces kept, %d marked\n", run.kept, run.marked);
      return 1;
    }
    extraction.push_back(run.extraction), keySort.push_back(run.keySort),
        keyBuild.push_back(run.keyBuild);
    grouping.push_back(run.grouping), refSort.push_back(run.refSort);
    ratioE.push_back(run.extraction / run.keySort), ratioG.push_back(run.grouping / run.refSort);
    std::printf(
        "round %d: extraction %.3f s, key sort %.3f s (keys built in %.3f s), ratio %.2f; "
        "grouping %.3f s, reference sort %.3f s, ratio %.2f\n",
        r + 1, run.extraction, run.keySort, run.keyBuild, ratioE.back(), run.grouping, run.refSort,
        ratioG.back());
    std::fflush(stdout);
  }
  zel_FreeInterface(&mesh);
  std::printf("median: extraction %.3f s / key sort %.3f s: ratio %.2f (target <= 3)\n",
              median(extraction), median(keySort), median(ratioE));
  std::printf("median: grouping %.3f s / reference sort %.3f s: ratio %.2f (target <= 3)\n",
              median(grouping), median(refSort), median(ratioG));
  const std::string command = std::string(argv[0]) + " --peak " + std::to_string(n);
  FILE* child = popen(command.c_str(), "r");
  double peak = -1;
  if (child && std::fscanf(child, "%lf", &peak) != 1) peak = -1;
  if (child) pclose(child);
  std::printf("peak of one extraction: %.1f MB, %.1f bytes per face inserted (target < 64)\n", peak,
              peak * 1048576.0 / faces);
  return 0;
}
