// Split of pyramids, prisms and hexahedra into tetrahedra under every numbering of their
// vertices: the tetrahedra fill the element, and every quadrilateral face is cut along its
// diagonal through its smallest number, as a neighbour of any kind cuts it.
#include "capping/element_split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "tests/meshio/mesh_builder.h"

namespace {

using testmesh::Vec;

double tetVolume(const Vec& a, const Vec& b, const Vec& c, const Vec& d) {
  return testmesh::dot(testmesh::cross(testmesh::sub(b, a), testmesh::sub(c, a)),
                       testmesh::sub(d, a)) /
         6;
}

// Reference vertices and quadrilateral faces of the pyramid, prism and hexahedron.
struct Shape {
  int typ, nbrVertices;
  std::vector<Vec> vertices;
  std::vector<std::array<int, 4>> quadrilaterals;
  double volume;
};

TEST(Capping, SplitsTileTheElementAndCutEachQuadrilateralThroughItsSmallestNumber) {
  const Shape shapes[] = {
      {8, 5, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2, 3}}, 1.0 / 3},
      {9,
       6,
       {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}},
       {{0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}},
       0.5},
      {10,
       8,
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
       {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}},
       1},
  };
  for (const Shape& shape : shapes) {
    std::vector<int> numbers(shape.nbrVertices);
    std::iota(numbers.begin(), numbers.end(), 1);
    int wrong = 0;
    do {
      int tets[zel::cut::kMaxSubTetrahedra][4];
      const int count = zel::cut::splitElement(shape.typ, numbers.data(), tets);
      double volume = 0;
      bool flat = false;
      for (int t = 0; t < count; ++t) {
        const double v = tetVolume(shape.vertices[tets[t][0]], shape.vertices[tets[t][1]],
                                   shape.vertices[tets[t][2]], shape.vertices[tets[t][3]]);
        volume += std::fabs(v);
        flat = flat || std::fabs(v) < 1e-12;
        // An edge joining opposite corners of a quadrilateral face is the diagonal through the
        // face's smallest number.
        for (int i = 0; i < 4; ++i)
          for (int j = 0; j < 4; ++j)
            for (const auto& q : shape.quadrilaterals)
              for (int m = 0; m < 2; ++m)
                if (tets[t][i] == q[m] && tets[t][j] == q[m + 2]) {
                  const int smallest =
                      std::min({numbers[q[0]], numbers[q[1]], numbers[q[2]], numbers[q[3]]});
                  wrong += numbers[q[m]] != smallest && numbers[q[m + 2]] != smallest;
                }
      }
      wrong += flat || std::fabs(volume - shape.volume) > 1e-12;
    } while (std::next_permutation(numbers.begin(), numbers.end()));
    EXPECT_EQ(wrong, 0) << "type " << shape.typ;
  }
}

}  // namespace
