// Tables of the conforming split of pyramids, prisms and hexahedra into tetrahedra: renumber
// the element from its smallest global vertex number, then pick the split that matches the
// diagonals of the faces away from it.
#include "capping/element_split.h"

#include <algorithm>

namespace zel::cut {
namespace {

// Renumberings bringing each vertex to position 0 while keeping the element's topology.
constexpr int kPrismFrom[6][6] = {{0, 1, 2, 3, 4, 5}, {1, 2, 0, 4, 5, 3}, {2, 0, 1, 5, 3, 4},
                                  {3, 5, 4, 0, 2, 1}, {4, 3, 5, 1, 0, 2}, {5, 4, 3, 2, 1, 0}};
constexpr int kHexahedronFrom[8][8] = {{0, 1, 2, 3, 4, 5, 6, 7}, {1, 0, 4, 5, 2, 3, 7, 6},
                                       {2, 1, 5, 6, 3, 0, 4, 7}, {3, 0, 1, 2, 7, 4, 5, 6},
                                       {4, 0, 3, 7, 5, 1, 2, 6}, {5, 1, 0, 4, 6, 2, 3, 7},
                                       {6, 2, 1, 5, 7, 3, 0, 4}, {7, 3, 2, 6, 4, 0, 1, 5}};

// Prism: the quadrilateral face (1, 2, 5, 4) cut along 1-5, or along 2-4.
constexpr int kPrismTets[2][3][4] = {{{0, 1, 2, 5}, {0, 1, 5, 4}, {0, 4, 5, 3}},
                                     {{0, 1, 2, 4}, {0, 4, 2, 5}, {0, 4, 5, 3}}};

// Hexahedron by the number of the three faces away from vertex 0 whose diagonal passes
// through vertex 6, after turning the pattern into its standard position.
struct HexahedronSplit {
  int count;
  int tets[6][4];
};
constexpr HexahedronSplit kHexahedronTets[4] = {
    {5, {{0, 1, 2, 5}, {0, 2, 7, 5}, {0, 2, 3, 7}, {0, 5, 7, 4}, {2, 7, 5, 6}}},
    {6, {{0, 5, 7, 4}, {0, 1, 7, 5}, {1, 6, 7, 5}, {0, 7, 2, 3}, {0, 7, 1, 2}, {1, 7, 6, 2}}},
    {6, {{0, 4, 5, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 1, 2, 5}, {0, 3, 6, 2}, {0, 6, 5, 2}}},
    {6, {{0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 5, 6, 4}, {1, 5, 6, 0}, {1, 6, 2, 0}}}};
// Turns about the axis 0-6: new positions (1, 2, 3, 4, 5, 7) take the old ones listed.
constexpr int kTurnA[6] = {4, 5, 1, 3, 7, 2};
constexpr int kTurnB[6] = {3, 7, 4, 1, 2, 5};
constexpr int kTurned[6] = {1, 2, 3, 4, 5, 7};

// clang-format off
constexpr double kReference[4][8][4] = {
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}},
    {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}},
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}},
    {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0},
     {0, 0, 1, 0}, {1, 0, 1, 0}, {1, 1, 1, 0}, {0, 1, 1, 0}}};
// clang-format on

// Position of the smallest global number among the first n vertices (the first one on ties).
int smallest(const int* vertices, int n) {
  return static_cast<int>(std::min_element(vertices, vertices + n) - vertices);
}

void copyTets(const int (*from)[4], int count, const int* renumber, int tet[][4]) {
  for (int i = 0; i < count; ++i)
    for (int k = 0; k < 4; ++k) tet[i][k] = renumber[from[i][k]];
}

int splitHexahedron(const int* v, int tet[kMaxSubTetrahedra][4]) {
  int r[8];
  const int* from = kHexahedronFrom[smallest(v, 8)];
  for (int k = 0; k < 8; ++k) r[k] = from[k];
  auto g = [&](int k) { return v[r[k]]; };
  const bool b1 = std::min(g(1), g(6)) < std::min(g(2), g(5));
  const bool b2 = std::min(g(3), g(6)) < std::min(g(2), g(7));
  const bool b3 = std::min(g(4), g(6)) < std::min(g(5), g(7));
  const int pattern = 4 * b1 + 2 * b2 + b3;
  const int* turn = nullptr;
  if (pattern == 2 || pattern == 5) turn = kTurnB;  // (0,1,0), (1,0,1)
  if (pattern == 1 || pattern == 6) turn = kTurnA;  // (0,0,1), (1,1,0)
  if (turn) {
    int old[8];
    std::copy(r, r + 8, old);
    for (int k = 0; k < 6; ++k) r[kTurned[k]] = old[turn[k]];
  }
  const HexahedronSplit& split = kHexahedronTets[b1 + b2 + b3];
  copyTets(split.tets, split.count, r, tet);
  return split.count;
}

}  // namespace

int splitElement(int typ, const int* v, int tet[kMaxSubTetrahedra][4]) {
  switch (typ) {
    case 7:
      for (int k = 0; k < 4; ++k) tet[0][k] = k;
      return 1;
    case 8: {
      const int m = smallest(v, 4);
      const int r[5] = {m, (m + 1) % 4, (m + 2) % 4, (m + 3) % 4, 4};
      const int tets[2][4] = {{0, 1, 2, 4}, {0, 2, 3, 4}};
      copyTets(tets, 2, r, tet);
      return 2;
    }
    case 9: {
      const int* r = kPrismFrom[smallest(v, 6)];
      const bool through1 = std::min(v[r[1]], v[r[5]]) < std::min(v[r[2]], v[r[4]]);
      copyTets(kPrismTets[through1 ? 0 : 1], 3, r, tet);
      return 3;
    }
    case 10:
      return splitHexahedron(v, tet);
    default:
      return 0;
  }
}

const double* vertexReference(int typ, int k) { return kReference[typ - 7][k]; }

}  // namespace zel::cut
