// Crossing of one curved edge with the plane: the edge's control points in their order along
// the curve, handed to the root finder.
#include "capping/capping.h"
#include "capping/cut_common.h"
#include "homath/edge_root.h"
#include "meshio/status.h"

int zel_EvaluateInterEdge(ZelObject* mesh, const double* plane, int deg, const double* ctrl,
                          int* nbrInt, double* point, double* param, char* status) {
  if (!status) return zel::kFailure;
  if (!mesh) return zel::setStatus(status, "NULL (ZelObject)    parameter on input\n");
  const struct {
    const void* pointer;
    const char* name;
  } required[] = {
      {plane, "plane"}, {ctrl, "ctrl"}, {nbrInt, "nbrInt"}, {point, "point"}, {param, "param"}};
  for (const auto& r : required)
    if (!r.pointer) return zel::cut::missingArgument(status, r.name);
  if (deg < 1 || deg > 10)
    zel::fatalExit(stdout, " ERROR : in zel_EvaluateInterEdge case %d not considered \n", deg);
  // Node order (first vertex, second vertex, inner points) to the order along the edge.
  double along[3 * 11];
  for (int x = 0; x < 3; ++x) {
    along[x] = ctrl[x];
    along[3 * deg + x] = ctrl[3 + x];
    for (int i = 1; i < deg; ++i) along[3 * i + x] = ctrl[3 * (i + 1) + x];
  }
  zel_FindEdgePlaneCrossings(along, deg, plane, nbrInt, point, param);
  return zel::kSuccess;
}
