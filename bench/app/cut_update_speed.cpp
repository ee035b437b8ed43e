// Speed of the viewer's cut-plane and capping updates on a unit cube of n^3 cells of 6 straight
// tetrahedra (n = 55: 998,250 tetrahedra; n = 94: 4,983,504) with a scalar field at its vertices:
// the whole update of the cut objects (selection, faces or polygons, the field on them, packing
// for the GPU through the scene model; the upload itself is skipped, there is no OpenGL context)
// for planes moving through the cube. Printed per size and update: the median time, updates per
// second, and the ratio against a baseline of the same run, the library alone on the same planes
// (the selection with the faces met once, or with the capping); a checksum of the objects'
// entity counts and boxes shows that the rounds did the same work.
// Usage: bench_cut_update_speed [ROUNDS (default 5)] [CELLS PER EDGE ... (default 55 94)]
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/cut_scene.h"
#include "bench/bench_clock.h"
#include "bench/capping/kuhn_cube.h"
#include "capping/boundary_faces.h"
#include "capping/capping.h"
#include "gpu/ZelBufferObject.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawObject.h"
#include "scene/ZelDrawPalette.h"

namespace {

using bench::median;
using bench::now;

// The field x + y + z at the cube's vertices, through a solution file as the viewer reads it.
void addVertexField(ZelObject* mesh, int n) {
  const std::string name = "/tmp/zel_cut_update_speed_" + std::to_string(getpid()) + ".sol";
  std::FILE* out = std::fopen(name.c_str(), "w");
  const int side = n + 1;
  std::fprintf(out, "MeshVersionFormatted 2\nDimension 3\nSolAtVertices\n%d\n1 1\n",
               side * side * side);
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) std::fprintf(out, "%.17g\n", double(x + y + z) / n);
  std::fprintf(out, "End\n");
  std::fclose(out);
  char status[zel::kStatusSize] = {};
  if (zel_OpenSolution(mesh, name.c_str(), status) != 0) std::fprintf(stderr, "%s\n", status);
  std::remove(name.c_str());
}

// Plane r of a round: tilted, moving through the middle half of the cube.
void planeOf(int r, int rounds, double plane[4]) {
  const double a = 0.2, b = -0.3, c = 1.0, norm = std::sqrt(a * a + b * b + c * c);
  plane[0] = a / norm, plane[1] = b / norm, plane[2] = c / norm;
  plane[3] = (0.3 + 0.4 * (r + 0.5) / rounds) * c / norm;
}

// The library alone: selection, then the faces met once (per reference: one here) or the
// capping. Returns the faces or polygons made.
long libraryUpdate(ZelObject* mesh, const double* plane, bool capping) {
  char status[zel::kStatusSize] = {};
  int crossed = 0, *list = nullptr;
  zel_GetCutEntities(mesh, plane, EntityType::Tetrahedron, &crossed, &list, status);
  long made = 0;
  if (capping) {
    int nbrTri = 0, nbrQua = 0, *triInf = nullptr, *quaInf = nullptr;
    double *triCrd = nullptr, *triRef = nullptr, *quaCrd = nullptr, *quaRef = nullptr;
    zel_capping(mesh, plane, EntityType::Tetrahedron, crossed, list, &nbrTri, &triCrd, &triRef,
                &triInf, &nbrQua, &quaCrd, &quaRef, &quaInf, status);
    made = nbrTri + nbrQua;
    for (void* p :
         {(void*)triCrd, (void*)triRef, (void*)triInf, (void*)quaCrd, (void*)quaRef, (void*)quaInf})
      std::free(p);
  } else {
    ZelSurfaceGroup group{};
    zel_ExtractElementFaces(mesh, EntityType::Tetrahedron, 0, crossed, list, &group, status);
    made = group.nbrTri + group.nbrQua;
    zel_FreeSurfaceGroupArrays(&group);
  }
  std::free(list);
  return made;
}

// Entity counts and box corners of the visible objects.
double checksum(const zel::SceneModel& model) {
  double sum = 0;
  for (ZelDrawObject* object : model.allObjects()) {
    if (!object->visible() || object->entityCount() == 0) continue;
    sum += object->entityCount();
    if (const ZelBufferObject* buffer = model.bufferOf(object))
      for (int k = 0; k < 6; ++k) sum += buffer->boundingBox()[k];
  }
  return sum;
}

void runSize(int n, int rounds) {
  ZelObject* mesh = bench::buildKuhnCube(n, 0);
  addVertexField(mesh, n);
  // The updates print the plane (and a first palette its values): kept off the figures.
  std::fflush(stdout);
  const int saved = dup(1), quiet = open("/dev/null", O_WRONLY);
  auto output = [](int fd) {
    std::fflush(stdout);
    dup2(fd, 1);
  };
  output(quiet);
  // Without a context the model warns once that nothing is uploaded.
  zel::SceneModel model;
  auto* palette = new ZelDrawPalette(2, 9);
  model.addObject(palette);
  CutScene cuts;
  const CutTarget target{&model, mesh, palette, 1};
  for (bool capping : {false, true}) {
    std::vector<double> viewer, library;
    double sum = 0;
    long made = 0;
    for (int r = 0; r < rounds; ++r) {
      double plane[4];
      planeOf(r, rounds, plane);
      double start = now();
      made += libraryUpdate(mesh, plane, capping);
      library.push_back(now() - start);
      start = now();
      if (capping) {
        cuts.updateCapping(target, plane);
      } else {
        cuts.updateCutPlane(target, plane);
      }
      viewer.push_back(now() - start);
      sum += checksum(model);
    }
    output(saved);
    const double v = median(viewer), l = median(library);
    std::printf(
        "%8d tets  %-14s  viewer %7.1f ms (%5.1f /s)  library %7.1f ms  ratio %4.2f  "
        "faces/round %ld  checksum %.6f\n",
        6 * n * n * n, capping ? "updateCapping" : "updateCutPlane", 1e3 * v, 1.0 / v, 1e3 * l,
        v / l, made / rounds, sum);
    output(quiet);
  }
  output(saved);
  close(saved);
  close(quiet);
  model.clear();
  zel_FreeInterface(&mesh);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<int> sizes;
  for (int k = 2; k < argc; ++k) sizes.push_back(std::atoi(argv[k]));
  if (sizes.empty()) sizes = {55, 94};
  for (int n : sizes) runSize(n, rounds);
  return 0;
}
