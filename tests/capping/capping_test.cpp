// Capping of straight elements: unit cubes of every kind and a mixed one cut by random planes
// (exact section area, polygons facing the plane normal, watertight tiling), the cases of one
// tetrahedron, the selection of crossed elements and the argument checks.
#include "capping/capping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/capping/capping_output.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/support/fatal_exit.h"

namespace {

using testmesh::Cell;
using testmesh::Vec;

using testmesh::CappingOutput;

// Selection and capping of every straight type of the mesh: the polygons as point lists.
std::vector<std::vector<Vec>> capAll(ZelObject* mesh, const double* plane) {
  std::vector<std::vector<Vec>> all;
  for (int typ = 7; typ <= 10; ++typ) {
    CappingOutput c(mesh, plane, typ);
    for (const bool triangle : {true, false})
      for (int j = 1; j <= (triangle ? c.nbrTri : c.nbrQua); ++j) {
        EXPECT_EQ((triangle ? c.triInf : c.quaInf)[3 * j], typ);
        all.push_back(c.polygon(triangle, j, triangle ? 3 : 4));
      }
  }
  return all;
}

// Area vector (normal times area) of a planar polygon.
Vec areaVector(const std::vector<Vec>& p) {
  Vec sum{0, 0, 0};
  for (size_t i = 1; i + 1 < p.size(); ++i) {
    const Vec c = testmesh::cross(testmesh::sub(p[i], p[0]), testmesh::sub(p[i + 1], p[0]));
    for (int x = 0; x < 3; ++x) sum[x] += 0.5 * c[x];
  }
  return sum;
}

// Every side of every polygon is met, reversed, by the side of another polygon, unless it
// lies on a face of the cube.
void expectWatertight(const std::vector<std::vector<Vec>>& polygons) {
  auto key = [](const Vec& p) {
    return std::array<long, 3>{std::lround(p[0] * 1e8), std::lround(p[1] * 1e8),
                               std::lround(p[2] * 1e8)};
  };
  std::map<std::pair<std::array<long, 3>, std::array<long, 3>>, int> sides;
  for (const auto& p : polygons)
    for (size_t i = 0; i < p.size(); ++i) {
      const auto a = key(p[i]), b = key(p[(i + 1) % p.size()]);
      if (a != b) ++sides[{a, b}];
    }
  int open = 0;
  for (const auto& [side, count] : sides) {
    const auto reverse = sides.find({side.second, side.first});
    const int met = reverse == sides.end() ? 0 : reverse->second;
    bool onCubeFace = false;
    for (int x = 0; x < 3; ++x)
      for (long face : {0L, 100000000L})
        onCubeFace = onCubeFace || (side.first[x] == face && side.second[x] == face);
    if (count != 1 || (met != 1 && !(met == 0 && onCubeFace))) ++open;
  }
  EXPECT_EQ(open, 0) << "of " << sides.size() << " sides";
}

// Area of the section of the unit cube by the plane a x + b y + c z = d: the polygon of the
// crossings of its edges, sorted by angle around their centre.
double sectionArea(const double* plane) {
  using testmesh::cross, testmesh::dot, testmesh::sub;
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

// A random plane through the middle of the cube, kept 1e-4 away from every grid point
// (multiples of 1/(2k)) so that no vertex counts as on it.
std::array<double, 4> randomPlane(std::mt19937& random, int k) {
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> inside(0.15, 0.85);
  for (;;) {
    std::array<double, 4> plane = {normal(random), normal(random), normal(random), 0};
    plane[3] = plane[0] * inside(random) + plane[1] * inside(random) + plane[2] * inside(random);
    const double length =
        std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    bool clear = true;
    for (int i = 0; i <= 2 * k && clear; ++i)
      for (int j = 0; j <= 2 * k && clear; ++j)
        for (int l = 0; l <= 2 * k && clear; ++l)
          clear = std::fabs(plane[0] * i + plane[1] * j + plane[2] * l - 2 * k * plane[3]) /
                      (2 * k * length) >
                  1e-4;
    if (clear) return plane;
  }
}

TEST(Capping, CubesOfEveryKindAreCappedExactlyFacingThePlaneWithoutGaps) {
  struct Case {
    const char* name;
    std::vector<Cell> cells;  // one per cell of a 2 x 2 x 2 cube, or one for all
  } cases[] = {
      {"tetrahedra", {Cell::Tetrahedra}},
      {"pyramids", {Cell::Pyramids}},
      {"prisms", {Cell::Prisms}},
      {"hexahedra", {Cell::Hexahedra}},
      // Columns of hexahedra, prisms, pyramids and tetrahedra around the cell centres, side by
      // side: neighbours of different kinds share quadrilateral faces.
      {"mixed",
       {Cell::Hexahedra, Cell::Hexahedra, Cell::Pyramids, Cell::Pyramids, Cell::Prisms,
        Cell::Prisms, Cell::TetrahedraAroundCentre, Cell::TetrahedraAroundCentre}},
  };
  std::mt19937 random(7);
  for (const auto& c : cases) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      testmesh::MeshBuilder builder(4);
      builder.numberGrid(4, seed);
      builder.fillCube(c.cells, 1, 2);
      ZelObject* mesh = builder.build();
      for (int p = 0; p < 4; ++p) {
        const auto plane = randomPlane(random, 2);
        SCOPED_TRACE(std::string(c.name) + " numbering " + std::to_string(seed) + " plane " +
                     std::to_string(p));
        const auto polygons = capAll(mesh, plane.data());
        double area = 0;
        int backwards = 0;
        for (const auto& polygon : polygons) {
          const Vec a = areaVector(polygon);
          area += std::sqrt(testmesh::dot(a, a));
          backwards += testmesh::dot(a, {plane[0], plane[1], plane[2]}) <= 0;
        }
        EXPECT_NEAR(area, sectionArea(plane.data()), 1e-9);
        EXPECT_EQ(backwards, 0);
        expectWatertight(polygons);
      }
      zel_FreeInterface(&mesh);
    }
  }
}

TEST(Capping, PlanesThroughVerticesAndFacesNeverOverlapOrTurnAway) {
  testmesh::MeshBuilder builder(4);
  builder.numberGrid(4, 11);
  builder.fillCube({Cell::Pyramids, Cell::Hexahedra, Cell::Hexahedra, Cell::Pyramids,
                    Cell::Hexahedra, Cell::Pyramids, Cell::Pyramids, Cell::Hexahedra},
                   1, 2);
  ZelObject* mesh = builder.build();
  // Through the cell centres and through a diagonal of vertices: the whole section. Along a
  // layer of faces (the cube's top face, the middle layer, a diagonal plane of faces): the
  // elements touching it from below are not selected (their vertices on it count below) and
  // those above it cut nothing (the same vertices count above), so part of it or all of it
  // is missing, but nothing is doubled.
  const struct {
    double plane[4];
    double area;  // -1: at most the section
  } cases[] = {{{0, 1, 0, 0.25}, 1.0},
               {{1, 1, 1, 1.5}, -1},
               {{0, 0, 1, 0.5}, -1},
               {{1, -1, 0, 0}, -1},
               {{0, 0, 1, 1}, 0}};
  for (const auto& c : cases) {
    const double* plane = c.plane;
    SCOPED_TRACE(std::to_string(plane[0]) + " " + std::to_string(plane[1]) + " " +
                 std::to_string(plane[2]) + " " + std::to_string(plane[3]));
    double area = 0;
    for (const auto& polygon : capAll(mesh, plane)) {
      const Vec a = areaVector(polygon);
      area += std::sqrt(testmesh::dot(a, a));
      EXPECT_GE(testmesh::dot(a, {plane[0], plane[1], plane[2]}), 0);
    }
    if (c.area >= 0)
      EXPECT_NEAR(area, c.area, 1e-9);
    else
      EXPECT_LE(area, sectionArea(plane) + 1e-9);
  }
  zel_FreeInterface(&mesh);
}

// Caps one tetrahedron with unit-vector reference coordinates.
struct TetCut {
  int nbrTri = 0, nbrQua = 0;
  double tri[9], triRef[12], qua[12], quaRef[16];
  int result;
  TetCut(const double* plane, const double* crd) {
    static const double ref[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ZelObject mesh{};
    char status[zel::kStatusSize];
    result =
        zel_Cappingtet(&mesh, plane, crd, ref, &nbrTri, tri, triRef, &nbrQua, qua, quaRef, status);
  }
};

// Cutting edges 0-2, 0-3, 1-3, 1-2 at their middles (0 and 1 below): the quadrilateral of the
// pairs (0,2), (0,3), (1,3), (1,2), facing the plane's normal whichever way it is turned, with
// reference coordinates halfway between the vertices'.
TEST(Capping, OneTetrahedronCutThroughFourEdges) {
  const double crd[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  const int pairs[4][2] = {{0, 2}, {0, 3}, {1, 3}, {1, 2}};
  for (const double sign : {1.0, -1.0}) {
    const double plane[4] = {0, sign, sign, sign * 0.5};
    TetCut quad(plane, crd);
    ASSERT_EQ(quad.nbrQua, 1);
    EXPECT_EQ(quad.nbrTri, 0);
    std::vector<Vec> points;
    for (int p = 0; p < 4; ++p) {
      points.push_back({quad.qua[3 * p], quad.qua[3 * p + 1], quad.qua[3 * p + 2]});
      std::vector<double> ref(quad.quaRef + 4 * p, quad.quaRef + 4 * p + 4);
      std::vector<double> half(4, 0.0);
      half[pairs[p][0]] = half[pairs[p][1]] = 0.5;
      if (sign < 0) continue;  // turned over: the same points the other way round
      EXPECT_EQ(ref, half) << "point " << p;
      for (int x = 0; x < 3; ++x)
        EXPECT_DOUBLE_EQ(points[p][x], 0.5 * (crd[3 * pairs[p][0] + x] + crd[3 * pairs[p][1] + x]));
    }
    EXPECT_GT(testmesh::dot(areaVector(points), {0, sign, sign}), 0);
  }
}

TEST(CappingDeathTest, AQuadrilateralCollapsedToASegmentEndsTheProcess) {
  // The two vertices above the plane coincide: the quadrilateral has two opposite sides of
  // length 0 and only two distinct points.
  const double crd[12] = {0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 0};
  const double across[4] = {1, 0, 0, 0.5};
  EXPECT_FATAL(TetCut(across, crd),
               "Cappingtet indtri = 2 shoud be equal to 3\nlengths : 0 0.25 0 0.25 \n"
               "dd : -0.500000 -0.500000 0.500000 0.500000 \n");
}

TEST(Capping, SelectionCountsVerticesOnThePlaneBelowAndSkipsBrokenElements) {
  testmesh::MeshBuilder builder(2);
  builder.numberGrid(2, 3);
  const int a = builder.vertex({0, 0, 0}), b = builder.vertex({2, 0, 0}),
            c = builder.vertex({0, 2, 0}), d = builder.vertex({0, 0, 2}),
            m = builder.vertex({1, 1, 1});
  builder.add(7, {a, b, c, d});      // 1: crossed by z = 0.5
  builder.add(7, {a, b, c, m});      // 2: m on z = 0.5, counted below: not crossed
  builder.add(7, {a, b, d, m});      // 3: crossed
  builder.add(7, {a, b, c, 99999});  // 4: vertex number out of range
  ZelObject* mesh = builder.build();
  char status[zel::kStatusSize];
  int count = -1, *list = nullptr;
  const double plane[4] = {0, 0, 1, 0.5};
  ASSERT_EQ(zel_GetCutEntities(mesh, plane, 7, &count, &list, status), 0);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(list[0], 1);
  EXPECT_EQ(list[1], 3);
  std::free(list);
  // A type without elements: an empty list, still allocated.
  ASSERT_EQ(zel_GetCutEntities(mesh, plane, 10, &count, &list, status), 0);
  EXPECT_EQ(count, 0);
  EXPECT_NE(list, nullptr);
  // The broken element listed anyway is reported and skipped; a type that is not straight
  // gives nothing.
  CappingOutput cap;
  const int listed[3] = {1, 4, 3};
  testing::internal::CaptureStdout();
  ASSERT_EQ(cap.run(mesh, plane, 7, 3, listed, status), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  .... problem id entity 4 iEnt 1 [0-2] nbrFac 0 \n");
  std::vector<int> parents;
  for (const bool triangle : {true, false})
    for (int j = 1; j <= (triangle ? cap.nbrTri : cap.nbrQua); ++j)
      parents.push_back(cap.parent(triangle, j));
  std::sort(parents.begin(), parents.end());
  EXPECT_EQ(parents, (std::vector<int>{1, 3}));
  CappingOutput other;
  testing::internal::CaptureStdout();
  ASSERT_EQ(other.run(mesh, plane, 14, 3, listed, status), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " zel_capping undefined for type 14 \n");
  EXPECT_EQ(other.nbrTri + other.nbrQua, 0);
  zel_FreeInterface(&mesh);
  std::free(list);
}

TEST(Capping, MissingArgumentsAreReportedInTheStatusBuffer) {
  ZelObject mesh{};
  char status[zel::kStatusSize];
  const double plane[4] = {0, 0, 1, 0};
  int count = 0, *list = nullptr;
  EXPECT_EQ(zel_GetCutEntities(nullptr, plane, 7, &count, &list, status), 2);
  EXPECT_STREQ(status, "NULL (ZelObject)    parameter on input\n");
  EXPECT_EQ(zel_GetCutEntities(&mesh, plane, 7, nullptr, &list, status), 2);
  EXPECT_STREQ(status, "NULL (nbrCutEnt)    parameter on input\n");
  EXPECT_EQ(CappingOutput().run(&mesh, plane, 7, 0, nullptr, status), 2);
  EXPECT_STREQ(status, "NULL (lstCutEnt)    parameter on input\n");
  // A mesh without vertices: nothing crossed.
  ASSERT_EQ(zel_GetCutEntities(&mesh, plane, 7, &count, &list, status), 0);
  EXPECT_EQ(count, 0);
  std::free(list);
}

}  // namespace
