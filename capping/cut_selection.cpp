// Selection of the elements of one type that a plane crosses: one pass over the vertices for
// their side, one pass over the node lists.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "capping/capping.h"
#include "capping/cut_common.h"
#include "meshio/status.h"

int zel_GetCutEntities(ZelObject* mesh, const double* plane, int typ, int* nbrCutEnt,
                       int** lstCutEnt, char* status) {
  if (!status) return zel::kFailure;
  if (!mesh) return zel::setStatus(status, "NULL (ZelObject)    parameter on input\n");
  if (!nbrCutEnt) return zel::setStatus(status, "NULL (nbrCutEnt)    parameter on input\n");
  if (!lstCutEnt) return zel::setStatus(status, "NULL (lstCutEnt)    parameter on input\n");
  if (!plane) return zel::cut::missingArgument(status, "plane");
  *nbrCutEnt = 0;
  *lstCutEnt = nullptr;
  std::vector<int> crossed;
  zel::cut::ElementArray elements;
  if (zel::cut::elementArray(mesh, typ, &elements)) {
    // One byte per vertex: 1 above the plane, 0 on or below it.
    std::vector<unsigned char> above(static_cast<size_t>(elements.nbrVertices) + 1);
    for (int v = 1; v <= elements.nbrVertices; ++v)
      above[v] = zel::cut::planeValue(plane, elements.coordinates + 3 * v) > 0;
    for (int e = 1; e <= elements.count; ++e) {
      const int* nodes = elements.of(e);
      int nbrAbove = 0, k = 0;
      for (; k < elements.nodesPer; ++k) {
        const int v = nodes[k];
        if (v < 1 || v > elements.nbrVertices) break;
        nbrAbove += above[v];
      }
      if (k == elements.nodesPer && nbrAbove > 0 && nbrAbove < elements.nodesPer)
        crossed.push_back(e);
    }
  }
  int* list = static_cast<int*>(std::malloc(sizeof(int) * (crossed.size() + 1)));
  if (!list) return zel::setStatus(status, "zel_GetCutEntities : not enough memory\n");
  if (!crossed.empty()) std::memcpy(list, crossed.data(), sizeof(int) * crossed.size());
  *nbrCutEnt = static_cast<int>(crossed.size());
  *lstCutEnt = list;
  return zel::kSuccess;
}
