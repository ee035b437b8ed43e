// Capping of curved tetrahedra of degree 2: the unit ball cut through its centre gives curved
// faces on the plane, meeting side to side, whose area approaches the disc's; and the crossing
// of one curved edge with the plane, given in node order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "capping/capping.h"
#include "tests/capping/capping_output.h"
#include "tests/support/fatal_exit.h"

namespace {

using Vec = std::array<double, 3>;

// Position on a curved cut face at (u, v): the 6-node triangle (barycentric 1 - u - v, u, v)
// or the 9-node quadrilateral ([0,1]^2), nodes in their node order.
Vec facePoint(const double* node, bool triangle, double u, double v) {
  double w[9];
  if (triangle) {
    const double l[3] = {1 - u - v, u, v};
    for (int k = 0; k < 3; ++k) w[k] = l[k] * (2 * l[k] - 1);
    w[3] = 4 * l[0] * l[1], w[4] = 4 * l[1] * l[2], w[5] = 4 * l[2] * l[0];
  } else {
    auto lag = [](double t, int i) {
      return i == 0 ? 2 * (t - 0.5) * (t - 1) : i == 1 ? 2 * t * (t - 0.5) : -4 * t * (t - 1);
    };
    // Lattice positions (0 start, 1 end, 2 middle) of the nine nodes.
    const int at[9][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {1, 2}, {2, 1}, {0, 2}, {2, 2}};
    for (int k = 0; k < 9; ++k) w[k] = lag(u, at[k][0]) * lag(v, at[k][1]);
  }
  Vec p{0, 0, 0};
  for (int k = 0; k < (triangle ? 6 : 9); ++k)
    for (int x = 0; x < 3; ++x) p[x] += w[k] * node[3 * k + x];
  return p;
}

// Area vector of a curved face by Gauss quadrature (triangle collapsed onto the square).
Vec faceArea(const double* node, bool triangle) {
  const double g[5] = {0.0469100770306680, 0.2307653449471585, 0.5, 0.7692346550528415,
                       0.9530899229693320};
  const double gw[5] = {0.1184634425280945, 0.2393143352496832, 0.2844444444444444,
                        0.2393143352496832, 0.1184634425280945};
  const double h = 1e-6;
  Vec sum{0, 0, 0};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      const double s = g[i], t = triangle ? g[j] * (1 - g[i]) : g[j];
      const double scale = gw[i] * gw[j] * (triangle ? 1 - g[i] : 1);
      const Vec a = facePoint(node, triangle, s + h, t), b = facePoint(node, triangle, s - h, t);
      const Vec c = facePoint(node, triangle, s, t + h), d = facePoint(node, triangle, s, t - h);
      Vec du, dv;
      for (int x = 0; x < 3; ++x) du[x] = (a[x] - b[x]) / (2 * h), dv[x] = (c[x] - d[x]) / (2 * h);
      sum[0] += scale * (du[1] * dv[2] - du[2] * dv[1]);
      sum[1] += scale * (du[2] * dv[0] - du[0] * dv[2]);
      sum[2] += scale * (du[0] * dv[1] - du[1] * dv[0]);
    }
  return sum;
}

TEST(CappingHighOrder, BallCutThroughItsCentreGivesTheDiscOnThePlaneWithoutGaps) {
  ZelObject* mesh = nullptr;
  char status[zel::kStatusSize];
  ASSERT_EQ(zel_NewInterface(&mesh), 0);
  ASSERT_EQ(zel_OpenMesh(mesh, ZEL_TEST_DATA "/ho/sphere_p2.mesh", status), 0) << status;
  const double n[3] = {0.3, -0.5, 0.81}, length = std::sqrt(0.09 + 0.25 + 0.81 * 0.81);
  const double plane[4] = {n[0] / length, n[1] / length, n[2] / length, 0};
  const testmesh::CappingOutput cap(mesh, plane, 14, zel_CappingHighOrder);
  EXPECT_GT(cap.nbrTri, 0);
  EXPECT_GT(cap.nbrQua, 0);
  double area = 0, offPlane = 0;
  int backwards = 0;
  // Sides (first corner, side node, second corner), rounded, with how often each is met.
  using Key = std::array<long, 9>;
  std::map<Key, int> sides;
  std::vector<std::pair<Key, std::array<double, 3>>> listed;  // side, radii of its nodes
  for (bool triangle : {true, false}) {
    const int faces = triangle ? cap.nbrTri : cap.nbrQua, nodes = triangle ? 6 : 9;
    const int corners = nodes / 2;
    for (int f = 1; f <= faces; ++f) {
      const double* node = (triangle ? cap.triCrd : cap.quaCrd) + 3 * nodes * f;
      const Vec a = faceArea(node, triangle);
      const double dot = a[0] * plane[0] + a[1] * plane[1] + a[2] * plane[2];
      area += dot;
      backwards += dot <= 0;
      for (int k = 0; k < nodes; ++k)
        offPlane =
            std::max(offPlane, std::fabs(node[3 * k] * plane[0] + node[3 * k + 1] * plane[1] +
                                         node[3 * k + 2] * plane[2]));
      for (int s = 0; s < corners; ++s) {
        const int pick[3] = {s, corners + s, (s + 1) % corners};
        Key key;
        std::array<double, 3> radius;
        for (int p = 0; p < 3; ++p) {
          const double* q = node + 3 * pick[p];
          radius[p] = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
          for (int x = 0; x < 3; ++x) key[3 * p + x] = std::lround(q[x] * 1e9);
        }
        ++sides[key];
        listed.push_back({key, radius});
      }
    }
  }
  EXPECT_EQ(backwards, 0);
  EXPECT_LT(offPlane, 1e-12);
  EXPECT_NEAR(area, M_PI, 1e-3);
  // Every side is met once the other way round, except on the ball's surface.
  int open = 0;
  for (const auto& [key, radius] : listed) {
    Key reverse;
    for (int p = 0; p < 3; ++p)
      for (int x = 0; x < 3; ++x) reverse[3 * p + x] = key[3 * (2 - p) + x];
    const auto found = sides.find(reverse);
    const bool onSurface = radius[0] > 0.99 && radius[1] > 0.99 && radius[2] > 0.99;
    // A side shrunk to a point (a corner at the centre vertex, which lies on the plane).
    const bool point = std::equal(key.begin(), key.begin() + 3, key.begin() + 6);
    if (point) continue;
    open += !(found != sides.end() && found->second == 1) && !onSurface;
  }
  EXPECT_EQ(open, 0) << "of " << listed.size();
  zel_FreeInterface(&mesh);
}

TEST(CappingHighOrder, CurvedEdgeCrossingRunsFromItsFirstVertex) {
  ZelObject mesh{};
  char status[zel::kStatusSize];
  // A straight edge of degree 3 from (0,0,0) to (1,0,0) and the same edge reversed, control
  // points in node order (vertices first); a degree-2 arc bulging to y = 1.
  const double forward[12] = {0, 0, 0, 1, 0, 0, 1.0 / 3, 0, 0, 2.0 / 3, 0, 0};
  const double backward[12] = {1, 0, 0, 0, 0, 0, 2.0 / 3, 0, 0, 1.0 / 3, 0, 0};
  const double arc[9] = {0, 0, 0, 1, 0, 0, 0.5, 2, 0};
  const double across[4] = {1, 0, 0, 0.3}, high[4] = {0, 1, 0, 0.75};
  int count = -1;
  double point[3], param = -1;
  ASSERT_EQ(zel_EvaluateInterEdge(&mesh, across, 3, forward, &count, point, &param, status), 0);
  EXPECT_EQ(count, 1);
  EXPECT_NEAR(param, 0.3, 1e-3);
  EXPECT_NEAR(point[0], 0.3, 1e-3);
  ASSERT_EQ(zel_EvaluateInterEdge(&mesh, across, 3, backward, &count, point, &param, status), 0);
  EXPECT_EQ(count, 1);
  EXPECT_NEAR(param, 0.7, 1e-3);
  // The arc reaches y = 1 at its middle: y = 0.75 is crossed twice, at t = 1/4 and 3/4.
  ASSERT_EQ(zel_EvaluateInterEdge(&mesh, high, 2, arc, &count, point, &param, status), 0);
  EXPECT_EQ(count, 2);
  EXPECT_NEAR(param, 0.75, 1e-3);
  EXPECT_NEAR(point[1], 0.75, 1e-3);
  EXPECT_EQ(zel_EvaluateInterEdge(&mesh, across, 3, nullptr, &count, point, &param, status), 2);
  EXPECT_STREQ(status, "NULL (ctrl)         parameter on input\n");
  EXPECT_FATAL(zel_EvaluateInterEdge(&mesh, across, 11, forward, &count, point, &param, status),
               " ERROR : in zel_EvaluateInterEdge case 11 not considered \n");
}

}  // namespace
