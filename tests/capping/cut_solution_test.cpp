// Solution values on cut faces: fields carried by vertices, by elements (one value, or values at
// the element's nodes of degree 1 and 2) on a mixed cube give the field's exact values at the
// nodes of the cut faces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "capping/capping.h"
#include "homath/reference_nodes.h"
#include "meshio/entity_catalogue.h"
#include "tests/capping/capping_output.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/support/fatal_exit.h"

namespace {

using testmesh::Cell;
using testmesh::Vec;
using Function = std::function<double(const Vec&)>;

// Node positions of an element: its vertices mapped through the vertex weights of the kind.
std::vector<Vec> elementNodes(ZelObject* mesh, int typ, int e, int deg) {
  char status[zel::kStatusSize];
  int count = 0, per = 0, dim = 0;
  const int* nodes = static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
  double* ref = GetCrdNodByTyp(typ, deg, &dim);
  std::vector<Vec> out;
  for (int n = 0; n < zel_SolTyp2Siz(zel_EntTyp2SolTyp(typ), deg); ++n) {
    int nbrBas = 0;
    double* phi = GetBasisFunctionsFromCrdNod(typ, ref + dim * n, &nbrBas);
    Vec p{0, 0, 0};
    for (int k = 0; k < nbrBas; ++k)
      for (int x = 0; x < 3; ++x) p[x] += phi[k] * mesh->coordinates[3 * nodes[per * e + k] + x];
    std::free(phi);
    out.push_back(p);
  }
  std::free(ref);
  return out;
}

// Positions of the nodes of degree q of one cut face, from its corner points.
std::vector<Vec> faceNodes(bool triangle, int q, const std::vector<Vec>& corners) {
  int dim = 0;
  double* ref = GetCrdNodByTyp(triangle ? 4 : 6, q, &dim);
  const int count = triangle ? (q + 1) * (q + 2) / 2 : (q + 1) * (q + 1);
  std::vector<Vec> out;
  for (int n = 0; n < count; ++n) {
    const double* r = ref + dim * n;
    const double x = triangle ? 0 : r[0], y = triangle ? 0 : r[1];
    const double bilinear[4] = {(1 - x) * (1 - y), x * (1 - y), x * y, (1 - x) * y};
    Vec p{0, 0, 0};
    for (int k = 0; k < (triangle ? 3 : 4); ++k)
      for (int c = 0; c < 3; ++c) p[c] += (triangle ? r[k] : bilinear[k]) * corners[k][c];
    out.push_back(p);
  }
  std::free(ref);
  return out;
}

TEST(CutSolution, FieldsByVerticesAndElementsGiveTheirValuesAtTheCutFaceNodes) {
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
  const Function perElement = [](const Vec&) { return 0.0; };  // values are 0.5 + e
  const struct {
    const char* name;
    int solDeg, faceDeg;
    Function field;
  } cases[] = {{"vertices", 0, 1, linear},
               {"vertices at face degree 2", 0, 2, linear},
               {"one value per element", 0, 0, perElement},
               {"element nodes of degree 1", 1, 1, linear},
               {"element nodes of degree 2", 2, 2, quadratic}};
  const double plane[4] = {0.3, 0.5, 0.8, 0.77};
  char status[zel::kStatusSize];
  for (int typ = 7; typ <= 10; ++typ) {
    const testmesh::CappingOutput cap(mesh, plane, typ);
    ASSERT_GT(cap.nbrTri + cap.nbrQua, 0);
    int count = 0;
    zel_GetNumberOfEntities(mesh, typ, &count, status);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", type " + std::to_string(typ));
      const bool byVertex = c.solDeg == 0 && c.faceDeg > 0;
      const int size = byVertex        ? 1
                       : c.solDeg == 0 ? 1
                                       : zel_SolTyp2Siz(zel_EntTyp2SolTyp(typ), c.solDeg);
      std::vector<double> sol(byVertex ? builder.nbrVertices() + 1 : (count + 1) * size);
      if (byVertex)
        for (int v = 1; v <= builder.nbrVertices(); ++v) sol[v] = c.field(builder.position(v));
      for (int e = 1; e <= count && !byVertex; ++e) {
        if (c.solDeg == 0) sol[e] = 0.5 + e;
        if (c.solDeg == 0) continue;
        const auto nodes = elementNodes(mesh, typ, e, c.solDeg);
        for (int n = 0; n < size; ++n) sol[e * size + n] = c.field(nodes[n]);
      }
      double *triSol = nullptr, *quaSol = nullptr;
      ASSERT_EQ(zel_InterpolateCutSolution(mesh, size, sol.data(), c.solDeg, c.faceDeg, cap.nbrTri,
                                           cap.triRef, cap.triInf, &triSol, cap.nbrQua, cap.quaRef,
                                           cap.quaInf, &quaSol, status),
                0)
          << status;
      int wrong = 0;
      for (bool triangle : {true, false}) {
        const int faces = triangle ? cap.nbrTri : cap.nbrQua, corners = triangle ? 3 : 4;
        const double* values = triangle ? triSol : quaSol;
        for (int f = 1; f <= faces; ++f) {
          const auto nodes = faceNodes(triangle, c.faceDeg, cap.polygon(triangle, f, corners));
          const int parent = cap.parent(triangle, f);
          for (size_t n = 0; n < nodes.size(); ++n) {
            const double expected =
                c.solDeg == 0 && c.faceDeg == 0 ? 0.5 + parent : c.field(nodes[n]);
            wrong += std::fabs(values[f * nodes.size() + n] - expected) > 1e-5;
          }
        }
      }
      EXPECT_EQ(wrong, 0);
      std::free(triSol), std::free(quaSol);
    }
  }
  zel_FreeInterface(&mesh);
}

TEST(CutSolution, WrongSizesAreRefusedAndUnknownParentsEndTheProcess) {
  ZelObject mesh{};
  char status[zel::kStatusSize];
  const double ref[4 * 4 * 2] = {};
  const int tetInf[6] = {0, 0, 0, 7, 1, 1};
  const int curvedInf[6] = {0, 0, 0, 14, 1, 1};
  const double sol[64] = {};
  double *triSol = nullptr, *quaSol = nullptr;
  // Degree 2 on tetrahedra has 10 values per element.
  EXPECT_EQ(zel_InterpolateCutSolution(&mesh, 4, sol, 2, 2, 1, ref, tetInf, &triSol, 0, ref, tetInf,
                                       &quaSol, status),
            2);
  EXPECT_STREQ(status, "zel_InterpolateCutSolution : 4 values per element of type 7 at degree 2\n");
  EXPECT_EQ(zel_InterpolateCutSolution(&mesh, 1, nullptr, 0, 1, 0, ref, tetInf, &triSol, 0, ref,
                                       tetInf, &quaSol, status),
            2);
  EXPECT_STREQ(status, "NULL (sol)          parameter on input\n");
  EXPECT_FATAL(zel_InterpolateCutSolution(&mesh, 1, sol, 0, 1, 1, ref, curvedInf, &triSol, 0, ref,
                                          curvedInf, &quaSol, status),
               " Triangle, case undefined for type 14 \n");
}

}  // namespace
