// Test helper of the face extraction tests: the faces met once among a mesh's elements, found
// by brute force, and their comparison with an extracted group.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "capping/boundary_faces.h"
#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"

namespace testmesh {

// Faces of one group, triangles [0] and quadrilaterals [1]: their node numbers and their
// (type, element, local face) links.
struct FaceList {
  std::vector<int> nodes[2], links[2];
};

// The faces of `elements` (of type typ) met once within their group: every face counted under
// its group and sorted corners, those met once listed in element order, then face order.
// Groups are the element references when `byReference`, else one group 0.
inline std::map<int, FaceList> facesMetOnce(ZelObject* mesh, int typ,
                                            const std::vector<int>& elements, bool byReference) {
  char status[zel::kStatusSize];
  int count = 0, per = 0;
  const int* nodes = static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
  const int* refs = zel_GetReferenceArray(mesh, typ, status);
  const ZelLocalTopology& topo = *zel_LocalTopology(zel_Typ2Shape(typ), zel_Typ2Deg(typ));
  const auto group = [&](int e) { return byReference ? refs[e] : 0; };
  const auto key = [&](int e, int f) {
    std::vector<int> k;
    for (int c = 0; c < (topo.faceShape[f] == EntityType::Triangle ? 3 : 4); ++c)
      k.push_back(nodes[e * per + topo.faces[f][c]]);
    std::sort(k.begin(), k.end());
    return std::make_pair(group(e), k);
  };
  std::map<std::pair<int, std::vector<int>>, int> seen;
  for (int e : elements)
    for (int f = 0; f < topo.nbrFaces; ++f) ++seen[key(e, f)];
  std::map<int, FaceList> groups;
  for (int e : elements)
    for (int f = 0; f < topo.nbrFaces; ++f) {
      if (seen[key(e, f)] != 1) continue;
      const int q = topo.faceShape[f] == EntityType::Triangle ? 0 : 1;
      FaceList& x = groups[group(e)];
      for (int local : topo.faces[f]) x.nodes[q].push_back(nodes[e * per + local]);
      x.links[q].insert(x.links[q].end(), {typ, e, f});
    }
  return groups;
}

// The extracted group holds exactly these faces, in this order.
inline void expectFaces(const ZelSurfaceGroup& got, const FaceList& x) {
  EXPECT_EQ(std::vector<int>(got.triNodes, got.triNodes + got.nbrTri * got.triSize), x.nodes[0]);
  EXPECT_EQ(std::vector<int>(got.triLinks, got.triLinks + 3 * got.nbrTri), x.links[0]);
  EXPECT_EQ(std::vector<int>(got.quaNodes, got.quaNodes + got.nbrQua * got.quaSize), x.nodes[1]);
  EXPECT_EQ(std::vector<int>(got.quaLinks, got.quaLinks + 3 * got.nbrQua), x.links[1]);
}

}  // namespace testmesh
