// Capping of straight volume elements: every listed element is split into tetrahedra and each
// crossed tetrahedron contributes its polygon; one pass counts, the second fills the arrays.
#include "capping/capping.h"

#include <cstdio>
#include <cstring>

#include "capping/cut_common.h"
#include "capping/element_split.h"
#include "meshio/status.h"

namespace {

using zel::cut::CapArrays;
using zel::cut::CutPolygon;

struct Tally {
  int triangles = 0, quadrilaterals = 0, subTetrahedra = 0, vertices = 0;
};

// Runs every crossed sub-tetrahedron of the listed elements; with result set, stores each
// polygon at the next 1-based slot, else only counts (and reports the listed elements that
// cannot be cut, once for both passes).
Tally sweep(const zel::cut::ElementArray& elements, const double* plane, int typ, int nbrCutEnt,
            const int* list, CapArrays* result) {
  Tally tally;
  for (int i = 0; i < nbrCutEnt; ++i) {
    const int e = list[i];
    if (!elements.valid(e)) {
      if (!result)
        zel::printMessage("  .... problem id entity %d iEnt %d [0-%d] nbrFac %d \n", e, i,
                          nbrCutEnt - 1, 0);
      continue;
    }
    const int* v = elements.of(e);
    int tets[zel::cut::kMaxSubTetrahedra][4];
    const int nbrTets = zel::cut::splitElement(typ, v, tets);
    for (int t = 0; t < nbrTets; ++t) {
      double crd[12], ref[16];
      for (int k = 0; k < 4; ++k) {
        std::memcpy(crd + 3 * k, elements.coordinates + 3L * v[tets[t][k]], 3 * sizeof(double));
        std::memcpy(ref + 4 * k, zel::cut::vertexReference(typ, tets[t][k]), 4 * sizeof(double));
        ++tally.vertices;
      }
      ++tally.subTetrahedra;
      CutPolygon polygon;
      zel::cut::cutTetrahedron(plane, crd, ref, &polygon);
      if (polygon.count == 0) continue;
      const bool triangle = polygon.count == 3;
      const int slot = triangle ? ++tally.triangles : ++tally.quadrilaterals;
      if (!result) continue;
      double* outCrd = (triangle ? result->triCrd : result->quaCrd) + 3 * polygon.count * slot;
      double* outRef = (triangle ? result->triRef : result->quaRef) + 4 * polygon.count * slot;
      int* info = (triangle ? result->triInf : result->quaInf) + 3 * slot;
      std::memcpy(outCrd, polygon.crd, 3 * polygon.count * sizeof(double));
      std::memcpy(outRef, polygon.ref, 4 * polygon.count * sizeof(double));
      info[0] = typ, info[1] = e, info[2] = elements.refs ? elements.refs[e] : 0;
    }
  }
  return tally;
}

}  // namespace

int zel_capping(ZelObject* mesh, const double* plane, int typ, int nbrCutEnt, const int* lstCutEnt,
                int* nbrCutTri, double** triCrd, double** triRef, int** triInf, int* nbrCutQua,
                double** quaCrd, double** quaRef, int** quaInf, char* status) {
  const int check =
      zel::cut::checkCappingArguments(mesh, plane, lstCutEnt, nbrCutTri, triCrd, triRef, triInf,
                                      nbrCutQua, quaCrd, quaRef, quaInf, status);
  if (check != zel::kSuccess) return check;
  zel::cut::ElementArray elements;
  if (typ < 7 || typ > 10) {
    zel::printMessage(" zel_capping undefined for type %d \n", typ);
    nbrCutEnt = 0;
  } else if (!zel::cut::elementArray(mesh, typ, &elements)) {
    nbrCutEnt = 0;
  }
  const Tally counted = sweep(elements, plane, typ, nbrCutEnt, lstCutEnt, nullptr);
  CapArrays result{3, 4};
  if (!result.allocate(counted.triangles, counted.quadrilaterals))
    return zel::setStatus(status,
                          "zel_capping : not enough memory for %d triangles and %d "
                          "quadrilaterals\n",
                          counted.triangles, counted.quadrilaterals);
  const Tally stored = sweep(elements, plane, typ, nbrCutEnt, lstCutEnt, &result);
  if (stored.triangles != counted.triangles)
    zel::fatalExit(stdout,
                   "Problem: the number of vertices are differents *nbrCutTriFac= %d, "
                   "indtri=%d \n",
                   3 * counted.triangles, 3 * stored.triangles);
  if (stored.quadrilaterals != counted.quadrilaterals)
    zel::fatalExit(stdout,
                   "Problem: the number of vertices are differents *nbrCutQuaFac * 4 = "
                   "%d, indqua=%d \n",
                   4 * counted.quadrilaterals, 4 * stored.quadrilaterals);
  if (stored.vertices != 4 * stored.subTetrahedra)
    zel::printMessage(
        "Problem: the number of vertices are differents nbrTetTot * 4 = %d, indtet=%d \n",
        4 * stored.subTetrahedra, stored.vertices);
  result.nbrTri = stored.triangles;
  result.nbrQua = stored.quadrilaterals;
  zel::cut::handOver(&result, nbrCutTri, triCrd, triRef, triInf, nbrCutQua, quaCrd, quaRef, quaInf);
  return zel::kSuccess;
}
