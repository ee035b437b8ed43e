// Capping: cubes of straight elements of every kind cut by random planes and through vertices,
// one tetrahedron, the split into tetrahedra, a ball of curved tetrahedra, curved edges, the
// selection of crossed elements, and solution values at the nodes of cut faces.
#include "capping/capping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "capping/element_split.h"
#include "homath/reference_nodes.h"
#include "meshio/entity_catalogue.h"
#include "tests/capping/capping_output.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/support/fatal_exit.h"

namespace {

using testmesh::CappingOutput, testmesh::Cell, testmesh::Vec, testmesh::cross, testmesh::dot,
    testmesh::sub;

// Area vector (normal times area) of a planar polygon.
Vec areaVector(const std::vector<Vec>& p) {
  Vec sum{0, 0, 0};
  for (size_t i = 1; i + 1 < p.size(); ++i) {
    const Vec c = cross(sub(p[i], p[0]), sub(p[i + 1], p[0]));
    for (int x = 0; x < 3; ++x) sum[x] += 0.5 * c[x];
  }
  return sum;
}

// A side of a polygon as its points rounded to 1e-8 (two corners, or corner, side node, corner).
using Side = std::vector<std::array<long, 3>>;
Side side(const std::vector<Vec>& points) {
  Side s;
  for (const Vec& p : points)
    s.push_back({std::lround(p[0] * 1e8), std::lround(p[1] * 1e8), std::lround(p[2] * 1e8)});
  return s;
}

// Sides not met exactly once, and then once reversed, unless `outer` (on the mesh's boundary)
// lets them go unmet.
int openSides(const std::vector<Side>& sides, const std::function<bool(const Side&)>& outer) {
  std::map<Side, int> count;
  for (const Side& s : sides) ++count[s];
  int open = 0;
  for (const auto& [s, n] : count) {
    const auto reverse = count.find(Side(s.rbegin(), s.rend()));
    const int met = reverse == count.end() ? 0 : reverse->second;
    open += n != 1 || (met != 1 && !(met == 0 && outer(s)));
  }
  return open;
}

// Selection and capping of every straight type of the mesh: the total area of the polygons, how
// many turn away from the plane's normal or have a point off the plane, and their sides (those
// of length 0 left out).
struct Caps {
  double area = 0;
  int astray = 0;
  std::vector<Side> sides;
};
Caps capAll(ZelObject* mesh, const double* plane) {
  Caps caps;
  for (int typ = 7; typ <= 10; ++typ) {
    CappingOutput c(mesh, plane, typ);
    for (const bool triangle : {true, false})
      for (int j = 1; j <= (triangle ? c.nbrTri : c.nbrQua); ++j) {
        EXPECT_EQ((triangle ? c.triInf : c.quaInf)[3 * j], typ);
        const auto polygon = c.polygon(triangle, j, triangle ? 3 : 4);
        const Vec n = {plane[0], plane[1], plane[2]}, a = areaVector(polygon);
        caps.area += std::sqrt(dot(a, a));
        caps.astray += dot(a, n) < 0;
        for (size_t i = 0; i < polygon.size(); ++i) {
          caps.astray += std::fabs(dot(polygon[i], n) - plane[3]) > 1e-9;
          const Side s = side({polygon[i], polygon[(i + 1) % polygon.size()]});
          if (s[0] != s[1]) caps.sides.push_back(s);
        }
      }
  }
  return caps;
}

// Area of the section of the unit cube by the plane n.x = d, no component of n zero: |n| times
// the derivative in d of the volume below the plane, by inclusion-exclusion over the corners
// (with the cube reflected so that n's components are positive).
double sectionArea(const double* plane) {
  double n[3], d = plane[3], sum = 0;
  for (int x = 0; x < 3; ++x) n[x] = std::fabs(plane[x]), d -= std::min(plane[x], 0.0);
  for (int v = 0; v < 8; ++v) {
    const double below = d - n[0] * (v & 1) - n[1] * (v >> 1 & 1) - n[2] * (v >> 2);
    sum += (__builtin_parity(v) ? -1 : 1) * std::pow(std::max(below, 0.0), 2);
  }
  return sum * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / (2 * n[0] * n[1] * n[2]);
}

// A random plane through the middle of the cube, kept 1e-4 away from every grid point
// (multiples of 1/4) so that no vertex counts as on it.
std::array<double, 4> randomPlane(std::mt19937& random) {
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> inside(0.15, 0.85);
  for (;;) {
    std::array<double, 4> p = {normal(random), normal(random), normal(random), 0};
    p[3] = p[0] * inside(random) + p[1] * inside(random) + p[2] * inside(random);
    const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    bool clear = true;
    for (int g = 0; g < 125 && clear; ++g)
      clear = std::fabs(p[0] * (g % 5) + p[1] * (g / 5 % 5) + p[2] * (g / 25) - 4 * p[3]) >
              4e-4 * length;
    if (clear) return p;
  }
}

// Cubes of one cell kind for all cells of a 2 x 2 x 2 cube, or of columns of different kinds
// side by side (neighbours of different kinds share quadrilaterals), under three numberings.
// Random planes: the exact section, every polygon facing the plane's normal, no gaps. Through
// the cell centres: the whole section. Through vertices or along a layer of faces (a diagonal
// plane, the middle layer, the top face): the elements touching it from below are not selected
// (their vertices on it count below) and those above it cut nothing, so part or all of it is
// missing (at most the section, `area`), but nothing is doubled, turned away or off the plane.
TEST(Capping, CubesOfEveryKindAreCappedExactlyFacingThePlaneWithoutGaps) {
  const std::vector<Cell> cases[] = {
      {Cell::Tetrahedra},
      {Cell::Pyramids},
      {Cell::Prisms},
      {Cell::Hexahedra},
      {Cell::Hexahedra, Cell::Hexahedra, Cell::Pyramids, Cell::Pyramids, Cell::Prisms, Cell::Prisms,
       Cell::TetrahedraAroundCentre, Cell::TetrahedraAroundCentre},
      {Cell::Pyramids, Cell::Hexahedra, Cell::Hexahedra, Cell::Pyramids, Cell::Hexahedra,
       Cell::Pyramids, Cell::Pyramids, Cell::Hexahedra}};
  const struct {
    double plane[4], area;
    bool exact;
  } special[] = {{{0, 1, 0, 0.25}, 1.0, true},
                 {{1, 1, 1, 1.5}, 3 * std::sqrt(3.0) / 4, false},
                 {{0, 0, 1, 0.5}, 1.0, false},
                 {{1, -1, 0, 0}, std::sqrt(2.0), false},
                 {{0, 0, 1, 1}, 0, true}};
  const auto onCubeFace = [](const Side& s) {
    for (int x = 0; x < 3; ++x)
      if (s[0][x] == s[1][x] && s[0][x] % 100000000 == 0) return true;
    return false;
  };
  std::mt19937 random(7);
  for (const auto& cells : cases)
    for (unsigned seed = 1; seed <= 3; ++seed) {
      testmesh::MeshBuilder builder(4);
      builder.numberGrid(4, seed);
      builder.fillCube(cells, 1, 2);
      ZelObject* mesh = builder.build();
      const std::string trace = "case " + std::to_string(&cells - cases) + " numbering " +
                                std::to_string(seed) + " plane ";
      for (int p = 0; p < 4; ++p) {
        const auto plane = randomPlane(random);
        SCOPED_TRACE(trace + std::to_string(p));
        const Caps caps = capAll(mesh, plane.data());
        EXPECT_NEAR(caps.area, sectionArea(plane.data()), 1e-9);
        EXPECT_EQ(caps.astray, 0);
        EXPECT_EQ(openSides(caps.sides, onCubeFace), 0) << "of " << caps.sides.size() << " sides";
      }
      for (const auto& c : special) {
        SCOPED_TRACE(trace + "through vertices " + std::to_string(&c - special));
        const Caps caps = capAll(mesh, c.plane);
        EXPECT_EQ(caps.astray, 0);
        EXPECT_TRUE(c.exact ? std::fabs(caps.area - c.area) < 1e-9 : caps.area < c.area + 1e-9)
            << caps.area;
      }
      zel_FreeInterface(&mesh);
    }
}

// One tetrahedron cut through four edges (vertices 0 and 1 below): one quadrilateral, facing the
// plane's normal whichever way it is turned (its points and reference coordinates are checked by
// the cubes and the solution values on cut faces). Two vertices above the plane at the same
// place collapse it to a segment, which ends the process.
TEST(CappingDeathTest, OneTetrahedronCutThroughFourEdges) {
  const double ref[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // unit vectors
  ZelObject mesh{};
  char status[zel::kStatusSize];
  int nbrTri = 0, nbrQua = 0;
  double tri[9], triRef[12], qua[12], quaRef[16];
  const auto cut = [&](const double* plane, const double* crd) {
    zel_Cappingtet(&mesh, plane, crd, ref, &nbrTri, tri, triRef, &nbrQua, qua, quaRef, status);
  };
  const double crd[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (const double sign : {1.0, -1.0}) {
    const double plane[4] = {0, sign, sign, sign * 0.5};
    cut(plane, crd);
    ASSERT_EQ(nbrQua, 1);
    EXPECT_EQ(nbrTri, 0);
    std::vector<Vec> points;
    for (int p = 0; p < 4; ++p) points.push_back({qua[3 * p], qua[3 * p + 1], qua[3 * p + 2]});
    EXPECT_GT(dot(areaVector(points), {0, sign, sign}), 0);
  }
  const double collapsed[12] = {0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 0};
  const double across[4] = {1, 0, 0, 0.5};
  EXPECT_FATAL(cut(across, collapsed),
               "Cappingtet indtri = 2 shoud be equal to 3\nlengths : 0 0.25 0 0.25 \n"
               "dd : -0.500000 -0.500000 0.500000 0.500000 \n");
}

// Split of pyramids, prisms and hexahedra into tetrahedra under every numbering of their
// vertices: the tetrahedra fill the element (all turned as it is, their volumes adding up to its
// own), and every quadrilateral face is cut along its diagonal through its smallest number, as a
// neighbour of any kind cuts it.
TEST(Capping, SplitsTileTheElementAndCutEachQuadrilateralThroughItsSmallestNumber) {
  const struct {
    int typ;
    std::vector<Vec> vertices;
    std::vector<std::array<int, 4>> quadrilaterals;
    double volume;
  } shapes[] = {
      {8, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2, 3}}, 1.0 / 3},
      {9,
       {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}},
       {{0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}},
       0.5},
      {10,
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
       {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}},
       1}};
  for (const auto& shape : shapes) {
    std::vector<int> numbers(shape.vertices.size());
    std::iota(numbers.begin(), numbers.end(), 1);
    int wrong = 0;
    do {
      int tets[zel::cut::kMaxSubTetrahedra][4];
      const int count = zel::cut::splitElement(shape.typ, numbers.data(), tets);
      double volume = 0;
      for (int t = 0; t < count; ++t) {
        const auto& v = shape.vertices;
        const auto& [a, b, c, d] = tets[t];
        const double six = dot(cross(sub(v[b], v[a]), sub(v[c], v[a])), sub(v[d], v[a]));
        volume += six / 6;
        wrong += six < 1e-12;
        // An edge joining opposite corners of a quadrilateral face is the diagonal through the
        // face's smallest number.
        for (int i : tets[t])
          for (int j : tets[t])
            for (const auto& q : shape.quadrilaterals)
              for (int m = 0; m < 2; ++m)
                if (i == q[m] && j == q[m + 2])
                  wrong += std::min({numbers[q[0]], numbers[q[1]], numbers[q[2]], numbers[q[3]]}) <
                           std::min(numbers[i], numbers[j]);
      }
      wrong += std::fabs(volume - shape.volume) > 1e-12;
    } while (std::next_permutation(numbers.begin(), numbers.end()));
    EXPECT_EQ(wrong, 0) << "type " << shape.typ;
  }
}

// Curved tetrahedra of degree 2: the cut faces lie on the plane, face its normal, meet side to
// side except on the ball's surface, and their area approaches the disc's.
TEST(CappingHighOrder, BallCutThroughItsCentreGivesTheDiscOnThePlaneWithoutGaps) {
  ZelObject* mesh = nullptr;
  char status[zel::kStatusSize];
  ASSERT_EQ(zel_NewInterface(&mesh), 0);
  ASSERT_EQ(zel_OpenMesh(mesh, ZEL_TEST_DATA "/ho/sphere_p2.mesh", status), 0) << status;
  const double length = std::sqrt(0.09 + 0.25 + 0.81 * 0.81);
  const double plane[4] = {0.3 / length, -0.5 / length, 0.81 / length, 0};
  const Vec n = {plane[0], plane[1], plane[2]};
  const CappingOutput cap(mesh, plane, 14, zel_CappingHighOrder);
  EXPECT_TRUE(cap.nbrTri > 0 && cap.nbrQua > 0);
  double area = 0, offPlane = 0;
  int backwards = 0;
  std::vector<Side> sides;
  for (bool triangle : {true, false}) {
    const int corners = triangle ? 3 : 4;
    for (int f = 1; f <= (triangle ? cap.nbrTri : cap.nbrQua); ++f) {
      // Corners, the side nodes in side order, and a quadrilateral's centre node.
      const auto node = cap.polygon(triangle, f, 2 * corners + !triangle);
      for (const Vec& p : node) offPlane = std::max(offPlane, std::fabs(dot(p, n)));
      // Area vector: half the integral of p x dp along the sides, each a quadratic curve of
      // control points p0, c, p1, which is the integral over the face of the node interpolation.
      Vec a{0, 0, 0};
      for (int s = 0; s < corners; ++s) {
        const Vec &p0 = node[s], &pm = node[corners + s], &p1 = node[(s + 1) % corners];
        const Vec c = {2 * pm[0] - (p0[0] + p1[0]) / 2, 2 * pm[1] - (p0[1] + p1[1]) / 2,
                       2 * pm[2] - (p0[2] + p1[2]) / 2};
        const Vec a0 = cross(p0, c), a1 = cross(c, p1), a2 = cross(p0, p1);
        for (int x = 0; x < 3; ++x) a[x] += (2 * a0[x] + 2 * a1[x] + a2[x]) / 6;
        // A side shrunk to a point (both corners at the centre vertex, on the plane) is no side.
        const Side key = side({p0, pm, p1});
        if (key.front() != key.back()) sides.push_back(key);
      }
      area += dot(a, n);
      backwards += dot(a, n) <= 0;
    }
  }
  EXPECT_EQ(backwards, 0);
  EXPECT_LT(offPlane, 1e-12);
  EXPECT_NEAR(area, M_PI, 1e-3);
  const auto onSurface = [](const Side& s) {
    return std::all_of(s.begin(), s.end(), [](auto& p) {
      return std::hypot(double(p[0]), double(p[1]), double(p[2])) > 0.99e8;
    });
  };
  EXPECT_EQ(openSides(sides, onSurface), 0) << "of " << sides.size();
  zel_FreeInterface(&mesh);
}

TEST(CappingHighOrder, CurvedEdgeCrossingRunsFromItsFirstVertex) {
  ZelObject mesh{};
  char status[zel::kStatusSize];
  // A straight edge of degree 3 from (0,0,0) to (1,0,0) and the same edge reversed, control
  // points in node order (vertices first), cut at x = 0.3; a degree-2 arc bulging to y = 1
  // (its middle), cut at y = 0.75: crossed twice, at t = 1/4 and 3/4.
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
  ASSERT_EQ(zel_EvaluateInterEdge(&mesh, high, 2, arc, &count, point, &param, status), 0);
  EXPECT_EQ(count, 2);
  EXPECT_NEAR(param, 0.75, 1e-3);
  EXPECT_NEAR(point[1], 0.75, 1e-3);
  EXPECT_EQ(zel_EvaluateInterEdge(&mesh, across, 3, nullptr, &count, point, &param, status), 2);
  EXPECT_FATAL(zel_EvaluateInterEdge(&mesh, across, 11, forward, &count, point, &param, status),
               " ERROR : in zel_EvaluateInterEdge case 11 not considered \n");
}

// Vertices on the plane count below; an element naming a vertex out of range is neither selected
// nor capped when listed anyway; a type that is not straight gives nothing.
TEST(Capping, SelectionCountsVerticesOnThePlaneBelowSkipsBrokenElementsAndChecksItsArguments) {
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
  EXPECT_EQ(std::vector<int>(list, list + count), (std::vector<int>{1, 3}));
  std::free(list);
  CappingOutput cap, other;
  const int listed[3] = {1, 4, 3};
  ASSERT_EQ(cap.run(mesh, plane, 7, 3, listed, status), 0);
  std::set<int> parents;
  for (const bool triangle : {true, false})
    for (int j = 1; j <= (triangle ? cap.nbrTri : cap.nbrQua); ++j)
      parents.insert(cap.parent(triangle, j));
  EXPECT_EQ(parents, (std::set<int>{1, 3}));
  ASSERT_EQ(other.run(mesh, plane, 14, 3, listed, status), 0);
  EXPECT_EQ(other.nbrTri + other.nbrQua, 0);
  // A type without elements: an empty list, still allocated. Missing arguments are refused.
  ASSERT_EQ(zel_GetCutEntities(mesh, plane, 10, &count, &list, status), 0);
  EXPECT_TRUE(count == 0 && list);
  std::free(list);
  EXPECT_EQ(zel_GetCutEntities(nullptr, plane, 7, &count, &list, status), 2);
  EXPECT_EQ(zel_GetCutEntities(mesh, plane, 7, nullptr, &list, status), 2);
  EXPECT_EQ(CappingOutput().run(mesh, plane, 7, 0, nullptr, status), 2);
  zel_FreeInterface(&mesh);
}

using Function = std::function<double(const Vec&)>;

// Positions of the nodes of degree q of a straight entity of kind typ from its corners, through
// the vertex weights of the kind (those of a triangle are its reference coordinates).
std::vector<Vec> nodesOf(int typ, int q, const std::vector<Vec>& corners) {
  int dim = 0, count = 0;
  double* ref = GetCrdNodByTyp(typ, q, &dim);
  std::vector<Vec> out(zel_SolTyp2Siz(zel_EntTyp2SolTyp(typ), q), Vec{0, 0, 0});
  for (size_t n = 0; n < out.size(); ++n) {
    const double* r = ref + dim * n;
    double* phi =
        typ == EntityType::Triangle ? nullptr : GetBasisFunctionsFromCrdNod(typ, r, &count);
    for (size_t k = 0; k < corners.size(); ++k)
      for (int x = 0; x < 3; ++x) out[n][x] += (phi ? phi[k] : r[k]) * corners[k][x];
    std::free(phi);
  }
  std::free(ref);
  return out;
}

TEST(CutSolution, FieldsByVerticesAndElementsGiveTheirValuesAtTheCutFaceNodesOrAreRefused) {
  testmesh::MeshBuilder builder(4);
  builder.numberGrid(4, 5);
  builder.fillCube({Cell::Hexahedra, Cell::Hexahedra, Cell::Pyramids, Cell::Pyramids, Cell::Prisms,
                    Cell::Prisms, Cell::TetrahedraAroundCentre, Cell::TetrahedraAroundCentre},
                   1, 2);
  ZelObject* mesh = builder.build();
  const Function linear = [](const Vec& p) { return 1 + 2 * p[0] - 3 * p[1] + 0.5 * p[2]; };
  const Function quadratic = [](const Vec& p) {
    return p[0] * p[0] + p[0] * p[1] - 2 * p[2] * p[2] + p[1] + 0.25 * p[1] * p[2];
  };
  const struct {
    const char* name;
    int solDeg, faceDeg;
    Function field;
  } cases[] = {{"vertices", 0, 1, linear},
               {"vertices at face degree 2", 0, 2, linear},
               {"one value per element (0.5 + e)", 0, 0, nullptr},
               {"element nodes of degree 1", 1, 1, linear},
               {"element nodes of degree 2", 2, 2, quadratic}};
  const double plane[4] = {0.3, 0.5, 0.8, 0.77};
  char status[zel::kStatusSize];
  for (int typ = 7; typ <= 10; ++typ) {
    const testmesh::CappingOutput cap(mesh, plane, typ);
    ASSERT_GT(cap.nbrTri + cap.nbrQua, 0);
    int count = 0, per = 0;
    const int* vertices =
        static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", type " + std::to_string(typ));
      const bool byVertex = c.solDeg == 0 && c.faceDeg > 0;
      const int size = c.solDeg == 0 ? 1 : zel_SolTyp2Siz(zel_EntTyp2SolTyp(typ), c.solDeg);
      std::vector<double> sol(byVertex ? builder.nbrVertices() + 1 : (count + 1) * size);
      for (int v = 1; byVertex && v <= builder.nbrVertices(); ++v)
        sol[v] = c.field(builder.position(v));
      for (int e = 1; e <= count && !byVertex; ++e) {
        std::vector<Vec> corners;
        for (int k = 0; k < per; ++k) corners.push_back(builder.position(vertices[per * e + k]));
        const auto nodes = nodesOf(typ, std::max(c.solDeg, 1), corners);
        for (int n = 0; n < size; ++n) sol[e * size + n] = c.solDeg ? c.field(nodes[n]) : 0.5 + e;
      }
      double *triSol = nullptr, *quaSol = nullptr;
      ASSERT_EQ(zel_InterpolateCutSolution(mesh, size, sol.data(), c.solDeg, c.faceDeg, cap.nbrTri,
                                           cap.triRef, cap.triInf, &triSol, cap.nbrQua, cap.quaRef,
                                           cap.quaInf, &quaSol, status),
                0)
          << status;
      int wrong = 0;
      for (bool triangle : {true, false})
        for (int f = 1; f <= (triangle ? cap.nbrTri : cap.nbrQua); ++f) {
          const auto nodes =
              c.faceDeg == 0 ? std::vector<Vec>(1)
                             : nodesOf(triangle ? EntityType::Triangle : EntityType::Quadrilateral,
                                       c.faceDeg, cap.polygon(triangle, f, 3 + !triangle));
          for (size_t n = 0; n < nodes.size(); ++n) {
            const double expected =
                c.faceDeg == 0 ? 0.5 + cap.parent(triangle, f) : c.field(nodes[n]);
            wrong +=
                std::fabs((triangle ? triSol : quaSol)[f * nodes.size() + n] - expected) > 1e-5;
          }
        }
      EXPECT_EQ(wrong, 0);
      std::free(triSol), std::free(quaSol);
    }
  }
  zel_FreeInterface(&mesh);
  // Degree 2 on tetrahedra needs 10 values per element, and values are needed; a parent of a
  // type that is not straight ends the process.
  ZelObject empty{};
  const double ref[4 * 4 * 2] = {}, sol[64] = {};
  const auto interpolate = [&](int size, const double* values, int solDeg, int faceDeg, int typ) {
    const int inf[6] = {0, 0, 0, typ, 1, 1};
    double *triSol = nullptr, *quaSol = nullptr;
    return zel_InterpolateCutSolution(&empty, size, values, solDeg, faceDeg, 1, ref, inf, &triSol,
                                      0, ref, inf, &quaSol, status);
  };
  EXPECT_EQ(interpolate(4, sol, 2, 2, 7), 2);
  EXPECT_EQ(interpolate(1, nullptr, 0, 1, 7), 2);
  EXPECT_FATAL(interpolate(1, sol, 0, 1, 14), " Triangle, case undefined for type 14 \n");
}

}  // namespace
