// Speed and peak memory of the boundary-face extraction and of the reference grouping on a
// unit cube of n^3 cells of 6 straight tetrahedra (n = 94: 4,983,504 tetrahedra) whose
// boundary triangles are mesh triangles, each figure a ratio against a baseline of the same run:
//   extraction: zel_ExtractBoundaryFaces (with the triangle marking) / the same faces found by
//               a radix sort: every face's sorted vertex triple packed into 64 bits, the keys
//               sorted by 11-bit digits, the keys met once counted (building the keys included,
//               since the extraction reads the elements too);
//   grouping:   zel_GroupByReference on the tetrahedra / std::sort of a copy of their
//               reference array (references 1..8 by octant of the cube);
//   memory:     peak resident growth of one extraction (VmHWM after /proc/self/clear_refs) per
//               face inserted (4 per tetrahedron).
// Every timed extraction has each of its marks checked (element, local face, orientation codes
// and type against the mesh triangle), and one unmarked extraction has every emitted triangle
// checked against its element's face and the cube's boundary, so that a partial result cannot
// pass for a fast one.
// Usage: bench_boundary_faces_speed [ROUNDS (default 5)] [CELLS PER EDGE (default 94)]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/capping/kuhn_cube.h"
#include "capping/boundary_faces.h"
#include "meshio/entity_types.h"
#include "meshio/face_values.h"
#include "meshio/node_order.h"
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
  ZelObject* mesh = bench::buildKuhnCube(n, 1);
  auto id = [n](int x, int y, int z) { return bench::kuhnCubeVertex(n, x, y, z); };
  const int tets = 6 * n * n * n, tris = 12 * n * n;
  octantRefs->assign(tets + 1, 0);
  int e = 1;
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (int a = 0; a < 6; ++a)
          (*octantRefs)[e++] = 1 + (2 * i >= n) + 2 * (2 * j >= n) + 4 * (2 * k >= n);
  zel::EntitySlot slot;
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

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

struct Run {
  double extraction, radix, grouping, refSort;
  double extractionCpu, radixCpu;  // processor time of this process, less sensitive to load
};

constexpr int kTetFaces[4][3] = {{1, 2, 3}, {3, 2, 0}, {3, 0, 1}, {1, 0, 2}};

// Sorted corners of a triangle.
std::array<int, 3> sortedCorners(const int* corners) {
  std::array<int, 3> key = {corners[0], corners[1], corners[2]};
  std::sort(key.begin(), key.end());
  return key;
}

// Radix digits of 11 bits: 2048 write streams per pass stay within the caches and the TLB
// (the usual choice for 64-bit keys).
constexpr int kDigitBits = 11;
constexpr uint64_t kDigitMask = (uint64_t(1) << kDigitBits) - 1;

// The baseline: faces met once among all the tetrahedra's faces, by an LSD radix sort of their
// packed sorted vertex triples (a sorting network per key, the histograms of every digit
// counted while the keys are built). Returns the number of faces met once.
int64_t boundaryByRadixSort(const int* t, int tets, int vertices, std::vector<uint64_t>* keys,
                            std::vector<uint64_t>* spare) {
  int bits = 1;
  while ((int64_t(1) << bits) <= vertices) ++bits;
  const int passes = (3 * bits + kDigitBits - 1) / kDigitBits;
  const size_t n = size_t(4) * tets;
  keys->resize(n);
  spare->resize(n);
  uint64_t* in = keys->data();
  std::vector<uint32_t> counts(size_t(passes) << kDigitBits);
  size_t k = 0;
  for (int e = 1; e <= tets; ++e)
    for (const auto& face : kTetFaces) {
      uint64_t v[3] = {uint64_t(t[4 * e + face[0]]), uint64_t(t[4 * e + face[1]]),
                       uint64_t(t[4 * e + face[2]])};
      for (const auto& [i, j] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{0, 1}}) {
        const uint64_t low = std::min(v[i], v[j]), high = std::max(v[i], v[j]);
        v[i] = low, v[j] = high;
      }
      const uint64_t a = v[0], b = v[1], c = v[2];
      const uint64_t key = (a << (2 * bits)) | (b << bits) | c;
      in[k++] = key;
      for (int p = 0; p < passes; ++p)
        ++counts[(size_t(p) << kDigitBits) + ((key >> (kDigitBits * p)) & kDigitMask)];
    }
  uint64_t* out = spare->data();
  for (int p = 0; p < passes; ++p) {
    uint32_t* count = counts.data() + (size_t(p) << kDigitBits);
    uint32_t sum = 0;
    for (size_t d = 0; d <= kDigitMask; ++d) sum += std::exchange(count[d], sum);
    for (size_t i = 0; i < n; ++i) out[count[(in[i] >> (kDigitBits * p)) & kDigitMask]++] = in[i];
    std::swap(in, out);
  }
  int64_t once = 0;
  for (size_t i = 0; i < n;) {
    size_t run = i + 1;
    while (run < n && in[run] == in[i]) ++run;
    once += run == i + 1;
    i = run;
  }
  return once;
}

// Every mesh triangle marked with the tetrahedron face it lies on, under codes that map the
// triangle's corners onto the face's.
bool marksAreRight(ZelObject* mesh, const std::vector<ZelFaceMark>& marks) {
  char status[zel::kStatusSize];
  int tets = 0, per = 0, tris = 0, perTri = 0;
  const int* t = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Tetrahedron, &tets, &per, status));
  const int* f = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Triangle, &tris, &perTri, status));
  const zel::LatticeOrder& order = *zel::latticeNodeOrder(EntityType::Triangle, 1);
  for (int m = 1; m <= tris; ++m) {
    const ZelFaceMark& mark = marks[m];
    if (mark.face != m || mark.volumeType != EntityType::Tetrahedron || mark.element < 1 ||
        mark.element > tets || mark.localFace < 0 || mark.localFace > 3)
      return false;
    int face[3];
    for (int c = 0; c < 3; ++c) face[c] = t[4 * mark.element + kTetFaces[mark.localFace][c]];
    for (int node = 0; node < 3; ++node) {
      int row[3];
      if (!zel_OrientFaceRow(EntityType::Triangle, 1, mark.codes, order.row(node), row))
        return false;
      int at = 0;
      while (at < 3 && !std::equal(row, row + 3, order.row(at))) ++at;
      if (at == 3 || face[at] != f[3 * m + node]) return false;
    }
  }
  return true;
}

// One extraction without marks: every boundary triangle of the cube comes out once, with the
// nodes of the tetrahedron face its link names.
bool emittedFacesAreRight(ZelObject* mesh) {
  char status[zel::kStatusSize];
  ZelSurfaceGroup* groups = nullptr;
  int nbrGroups = 0, tets = 0, per = 0, tris = 0, perTri = 0;
  if (zel_ExtractBoundaryFaces(mesh, EntityType::Tetrahedron, nullptr, nullptr, &nbrGroups, &groups,
                               nullptr, status) != 0 ||
      nbrGroups != 1)
    return false;
  const int* t = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Tetrahedron, &tets, &per, status));
  const int* f = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Triangle, &tris, &perTri, status));
  std::vector<std::array<int, 3>> boundary, emitted;
  for (int m = 1; m <= tris; ++m) boundary.push_back(sortedCorners(f + 3 * m));
  const ZelSurfaceGroup& g = groups[0];
  bool right = g.nbrQua == 0 && g.triSize == 3;
  for (int j = 0; right && j < g.nbrTri; ++j) {
    const int* nodes = g.triNodes + 3 * j;
    const int* link = g.triLinks + 3 * j;
    right = link[0] == EntityType::Tetrahedron && link[1] >= 1 && link[1] <= tets && link[2] >= 0 &&
            link[2] < 4;
    for (int c = 0; right && c < 3; ++c) right = nodes[c] == t[4 * link[1] + kTetFaces[link[2]][c]];
    emitted.push_back(sortedCorners(nodes));
  }
  zel_FreeSurfaceGroups(groups, nbrGroups);
  std::sort(boundary.begin(), boundary.end());
  std::sort(emitted.begin(), emitted.end());
  return right && emitted == boundary;
}

Run measure(ZelObject* mesh, const std::vector<int>& octantRefs, std::vector<uint64_t>* keys,
            std::vector<uint64_t>* spare) {
  Run run{};
  char status[zel::kStatusSize];
  int tets = 0, perTet = 0, tris = 0, vertices = 0;
  const int* t = static_cast<const int*>(
      zel_GetIndicesArray(mesh, EntityType::Tetrahedron, &tets, &perTet, status));
  zel_GetNumberOfEntities(mesh, EntityType::Triangle, &tris, status);
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &vertices, status);
  std::vector<ZelFaceMark> marks(tris + 1, ZelFaceMark{});
  ZelSurfaceGroup* groups = nullptr;
  int nbrGroups = 0;
  double start = now(), cpu = cpuSeconds();
  const int code = zel_ExtractBoundaryFaces(mesh, EntityType::Tetrahedron, marks.data(), nullptr,
                                            &nbrGroups, &groups, nullptr, status);
  run.extraction = now() - start;
  run.extractionCpu = cpuSeconds() - cpu;
  if (code != 0 || nbrGroups != 1 || groups[0].nbrTri != 0 || groups[0].nbrQua != 0 ||
      !marksAreRight(mesh, marks)) {
    std::printf("wrong extraction: %s\n", status);
    std::exit(1);
  }
  zel_FreeSurfaceGroups(groups, nbrGroups);

  start = now(), cpu = cpuSeconds();
  const int64_t once = boundaryByRadixSort(t, tets, vertices, keys, spare);
  run.radix = now() - start;
  run.radixCpu = cpuSeconds() - cpu;
  if (once != tris) {
    std::printf("wrong baseline: %lld faces met once\n", static_cast<long long>(once));
    std::exit(1);
  }

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
  int64_t grouped = 0;
  for (int g = 0; g < nbrRefs; ++g) grouped += refGroups[g].nbrValid;
  if (nbrRefs != 8 || grouped != tets) {
    std::printf("wrong grouping: %d references, %lld elements\n", nbrRefs,
                static_cast<long long>(grouped));
    std::exit(1);
  }
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
  char status[zel::kStatusSize];
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
  if (!emittedFacesAreRight(mesh)) {
    std::printf("wrong faces emitted without marks\n");
    return 1;
  }
  std::vector<uint64_t> keys, spare;  // the baseline's arrays, allocated once
  std::vector<double> extraction, radix, grouping, refSort, ratioE, ratioG;
  for (int r = 0; r < rounds; ++r) {
    const Run run = measure(mesh, octantRefs, &keys, &spare);
    extraction.push_back(run.extraction), radix.push_back(run.radix);
    grouping.push_back(run.grouping), refSort.push_back(run.refSort);
    ratioE.push_back(run.extraction / run.radix), ratioG.push_back(run.grouping / run.refSort);
    std::printf(
        "round %d: extraction %.3f s (cpu %.3f), radix sort %.3f s (cpu %.3f), ratio %.2f; "
        "grouping %.3f s, reference sort %.3f s, ratio %.2f\n",
        r + 1, run.extraction, run.extractionCpu, run.radix, run.radixCpu, ratioE.back(),
        run.grouping, run.refSort, ratioG.back());
    std::fflush(stdout);
  }
  zel_FreeInterface(&mesh);
  std::printf(
      "median: extraction %.3f s (target <= 0.6 s at 94^3, slowest round %.3f s) / radix "
      "sort %.3f s: ratio %.2f (slowest round %.2f)\n",
      median(extraction), *std::max_element(extraction.begin(), extraction.end()), median(radix),
      median(ratioE), *std::max_element(ratioE.begin(), ratioE.end()));
  std::printf("median: grouping %.3f s / reference sort %.3f s: ratio %.2f (target <= 3)\n",
              median(grouping), median(refSort), median(ratioG));
  const std::string command = std::string(argv[0]) + " --peak " + std::to_string(n);
  FILE* child = popen(command.c_str(), "r");
  double peak = -1;
  if (child && std::fscanf(child, "%lf", &peak) != 1) peak = -1;
  if (child) pclose(child);
  std::printf("peak of one extraction: %.1f MB, %.1f bytes per face inserted (target <= 16)\n",
              peak, peak * 1048576.0 / faces);
  return 0;
}
