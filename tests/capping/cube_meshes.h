// Test helper: unit cubes of k^3 cells of straight volume elements with vertex numbers in random
// order, the area of a plane's section of the unit cube, and the polygons of a capping.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/zel_object.h"
#include "meshio/zel_object_slots.h"

namespace cube {

using Vec = std::array<double, 3>;

inline Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// How each cell of the cube is filled.
enum class Cell { Tetrahedra, Pyramids, Prisms, Hexahedra, TetrahedraAroundCentre };

// A cube [0,1]^3 of k^3 cells on the grid of points (i, j, l) / (2k) (cell corners and
// centres), every grid point a vertex whose number is drawn at random.
class CubeMesh {
 public:
  CubeMesh(int k, unsigned seed) : k_(k), side_(2 * k + 1) {
    number_.resize(side_ * side_ * side_);
    std::iota(number_.begin(), number_.end(), 1);
    std::shuffle(number_.begin(), number_.end(), std::mt19937(seed));
  }
  int k() const { return k_; }
  // Vertex number of grid point (i, j, l), 0 <= i, j, l <= 2k.
  int at(int i, int j, int l) const { return number_[i + side_ * (j + side_ * l)]; }

  // Fills cell (x, y, z) (0..k-1 each).
  void fill(Cell cell, int x, int y, int z) {
    auto c = [&](int i, int j, int l) { return at(2 * (x + i), 2 * (y + j), 2 * (z + l)); };
    const int centre = at(2 * x + 1, 2 * y + 1, 2 * z + 1);
    switch (cell) {
      case Cell::Hexahedra:
        add(10, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 0, 1), c(1, 1, 1),
                 c(0, 1, 1)});
        break;
      case Cell::Prisms:
        add(9, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 0, 1), c(1, 0, 1), c(1, 1, 1)});
        add(9, {c(0, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 1, 1), c(0, 1, 1)});
        break;
      case Cell::Tetrahedra: {
        const int perms[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
        for (const auto& p : perms) {
          int a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
          a[p[0]] = 1;
          b[p[0]] = b[p[1]] = 1;
          add(7, {c(0, 0, 0), c(a[0], a[1], a[2]), c(b[0], b[1], b[2]), c(1, 1, 1)});
        }
        break;
      }
      case Cell::Pyramids:
      case Cell::TetrahedraAroundCentre:
        for (int axis = 0; axis < 3; ++axis)
          for (int s = 0; s < 2; ++s) {
            int q[4];
            const int cyc[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int m = 0; m < 4; ++m) {
              int i[3];
              i[axis] = s, i[(axis + 1) % 3] = cyc[m][0], i[(axis + 2) % 3] = cyc[m][1];
              q[m] = c(i[0], i[1], i[2]);
            }
            if (cell == Cell::Pyramids) {
              add(8, {q[0], q[1], q[2], q[3], centre});
              continue;
            }
            // Two tetrahedra, cut along the base diagonal through its smallest number.
            const int m = static_cast<int>(std::min_element(q, q + 4) - q);
            const int r[4] = {q[m], q[(m + 1) % 4], q[(m + 2) % 4], q[(m + 3) % 4]};
            add(7, {r[0], r[1], r[2], centre});
            add(7, {r[0], r[2], r[3], centre});
          }
        break;
    }
  }
  void fillAll(Cell cell) {
    for (int x = 0; x < k_; ++x)
      for (int y = 0; y < k_; ++y)
        for (int z = 0; z < k_; ++z) fill(cell, x, y, z);
  }
  void add(int typ, std::vector<int> nodes, int ref = 1) {
    auto& list = elements_[typ];
    list.insert(list.end(), nodes.begin(), nodes.end());
    refs_[typ].push_back(ref);
  }
  // Position of vertex v (1-based).
  Vec point(int v) const {
    const int g = static_cast<int>(std::find(number_.begin(), number_.end(), v) - number_.begin());
    return {double(g % side_) / (side_ - 1), double(g / side_ % side_) / (side_ - 1),
            double(g / side_ / side_) / (side_ - 1)};
  }
  int nbrVertices() const { return static_cast<int>(number_.size()); }

  ZelObject* build() const {
    ZelObject* mesh = nullptr;
    zel_NewInterface(&mesh);
    mesh->dim = 3;
    const int n = nbrVertices();
    mesh->count1[kSlotVertices] = mesh->capacity1[kSlotVertices] = n;
    mesh->coordinates = static_cast<double*>(std::calloc(3 * (n + 1), sizeof(double)));
    mesh->vertexRefs = static_cast<int*>(std::calloc(n + 1, sizeof(int)));
    for (int g = 0; g < n; ++g) {
      double* c = mesh->coordinates + 3 * number_[g];
      c[0] = double(g % side_) / (side_ - 1);
      c[1] = double(g / side_ % side_) / (side_ - 1);
      c[2] = double(g / side_ / side_) / (side_ - 1);
    }
    for (const auto& [typ, nodes] : elements_) {
      zel::EntitySlot slot;
      zel::entitySlot(mesh, typ, &slot);
      const int size = zel_Typ2Siz(typ), count = static_cast<int>(refs_.at(typ).size());
      *slot.nodes = static_cast<int*>(std::calloc(size * (count + 1), sizeof(int)));
      *slot.refs = static_cast<int*>(std::calloc(count + 1, sizeof(int)));
      std::copy(nodes.begin(), nodes.end(), *slot.nodes + size);
      std::copy(refs_.at(typ).begin(), refs_.at(typ).end(), *slot.refs + 1);
      *slot.count = *slot.capacity = count;
    }
    return mesh;
  }

 private:
  int k_, side_;
  std::vector<int> number_;
  std::map<int, std::vector<int>> elements_, refs_;
};

// Area of the section of the unit cube by the plane a x + b y + c z = d.
inline double sectionArea(const double* plane) {
  const Vec n = {plane[0], plane[1], plane[2]};
  std::vector<Vec> points;
  for (int axis = 0; axis < 3; ++axis)
    for (int u = 0; u < 2; ++u)
      for (int v = 0; v < 2; ++v) {
        Vec p{}, q{};
        p[(axis + 1) % 3] = q[(axis + 1) % 3] = u;
        p[(axis + 2) % 3] = q[(axis + 2) % 3] = v;
        q[axis] = 1;
        const double dp = dot(n, p) - plane[3], dq = dot(n, q) - plane[3];
        if ((dp < 0) == (dq < 0)) continue;
        const double t = dp / (dp - dq);
        points.push_back(
            {p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), p[2] + t * (q[2] - p[2])});
      }
  if (points.size() < 3) return 0;
  Vec centre{0, 0, 0};
  for (const Vec& p : points)
    for (int x = 0; x < 3; ++x) centre[x] += p[x] / points.size();
  const Vec e1 = sub(points[0], centre), e2 = cross(n, e1);
  std::sort(points.begin(), points.end(), [&](const Vec& a, const Vec& b) {
    return std::atan2(dot(sub(a, centre), e2), dot(sub(a, centre), e1)) <
           std::atan2(dot(sub(b, centre), e2), dot(sub(b, centre), e1));
  });
  double twice = 0;
  for (size_t i = 0; i < points.size(); ++i)
    twice += dot(cross(sub(points[i], centre), sub(points[(i + 1) % points.size()], centre)), n);
  return 0.5 * std::fabs(twice) / std::sqrt(dot(n, n));
}

}  // namespace cube
