// Test helper of the capping tests: the polygons one capping call returns, freed with it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "capping/capping.h"

namespace testmesh {

class CappingOutput {
 public:
  using Routine = decltype(&zel_capping);

  CappingOutput() = default;
  // Caps the elements of type typ that the plane crosses, as the viewer does.
  CappingOutput(ZelObject* mesh, const double* plane, int typ, Routine routine = zel_capping) {
    char status[zel::kStatusSize];
    int count = 0, *list = nullptr;
    EXPECT_EQ(zel_GetCutEntities(mesh, plane, typ, &count, &list, status), 0) << status;
    EXPECT_EQ(run(mesh, plane, typ, count, list, status, routine), 0) << status;
    std::free(list);
  }
  ~CappingOutput() {
    for (double* a : {triCrd, triRef, quaCrd, quaRef}) std::free(a);
    std::free(triInf), std::free(quaInf);
  }
  CappingOutput(const CappingOutput&) = delete;
  CappingOutput& operator=(const CappingOutput&) = delete;

  int run(ZelObject* mesh, const double* plane, int typ, int count, const int* list, char* status,
          Routine routine = zel_capping) {
    return routine(mesh, plane, typ, count, list, &nbrTri, &triCrd, &triRef, &triInf, &nbrQua,
                   &quaCrd, &quaRef, &quaInf, status);
  }
  // The points of polygon j (1-based) of the triangles or the quadrilaterals, n per polygon.
  std::vector<std::array<double, 3>> polygon(bool triangle, int j, int n) const {
    const double* c = (triangle ? triCrd : quaCrd) + 3 * n * j;
    std::vector<std::array<double, 3>> p(n);
    for (int i = 0; i < n; ++i) p[i] = {c[3 * i], c[3 * i + 1], c[3 * i + 2]};
    return p;
  }
  int parent(bool triangle, int j) const { return (triangle ? triInf : quaInf)[3 * j + 1]; }

  int nbrTri = 0, nbrQua = 0;
  double *triCrd = nullptr, *triRef = nullptr, *quaCrd = nullptr, *quaRef = nullptr;
  int *triInf = nullptr, *quaInf = nullptr;
};

}  // namespace testmesh
