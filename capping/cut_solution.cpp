// Solution values at the nodes of the cut faces: each node is mapped to its parent element's
// reference coordinates and the parent's Bezier form of the field is evaluated there.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "capping/capping.h"
#include "capping/cut_common.h"
#include "homath/evaluate.h"
#include "homath/lagrange_to_bezier.h"
#include "homath/reference_nodes.h"
#include "meshio/entity_catalogue.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

namespace {

struct Field {
  int solSize;
  const double* sol;
  int solDeg, faceDeg;
};

// The Bezier coefficients of the field on one parent element, kept while consecutive faces
// share their parent (the faces of one element come one after the other).
class ParentField {
 public:
  ParentField(ZelObject* mesh, const Field& field) : m_mesh(mesh), m_field(field) {}

  // Loads element e of type typ; false when it is out of range (its faces get zeros).
  bool load(int typ, int e) {
    if (typ == m_typ && e == m_element) return m_loaded;
    if (typ != m_typ) zel::cut::elementArray(m_mesh, typ, &m_elements);
    m_typ = typ, m_element = e;
    return m_loaded = gather();
  }
  const float* coefficients() const { return m_coeffs.data(); }

 private:
  bool gather() {
    const int vertices = zel_Typ2SizElt(m_typ);
    if (m_field.solDeg == 0) {
      if (!m_elements.valid(m_element)) return false;
      m_coeffs.resize(vertices);
      const int* v = m_elements.of(m_element);
      for (int k = 0; k < vertices; ++k)
        m_coeffs[k] = static_cast<float>(
            m_field.faceDeg == 0 ? m_field.sol[static_cast<long>(m_element) * m_field.solSize]
                                 : m_field.sol[v[k]]);
      return true;
    }
    if (m_element < 1 || m_element > m_elements.count) return false;
    const double* values = m_field.sol + static_cast<long>(m_element) * m_field.solSize;
    m_coeffs.assign(values, values + m_field.solSize);
    if (m_field.solDeg > 1) {
      std::vector<int> idx(m_field.solSize);
      for (int k = 0; k < m_field.solSize; ++k) idx[k] = k;
      LagrangeToBezier(m_field.solSize, m_field.solDeg, m_coeffs.data(), 1, 1, idx.data(),
                       m_field.solSize);
    }
    return true;
  }

  ZelObject* m_mesh;
  Field m_field;
  zel::cut::ElementArray m_elements;
  int m_typ = 0, m_element = 0;
  bool m_loaded = false;
  std::vector<float> m_coeffs;
};

double evaluate(int typ, const float* c, int deg, const double* r) {
  switch (typ) {
    case 7:
      return zel_EvaluateValueOnTetrahedra(c, deg, r[0], r[1], r[2], r[3]);
    case 8:
      return zel_EvaluateValueOnPyramid(c, deg, r[0], r[1], r[2]);
    case 9:
      return zel_EvaluateValueOnPrism(c, deg, r[0], r[1], r[2], r[3]);
    case 10:
      return zel_EvaluateValueOnHexahedra(c, deg, r[0], r[1], r[2]);
    default:
      zel::fatalExit(stdout, "Define zel_EvaluateValue... for typ %d \n", typ);
  }
}

// Vertex weights of every node of the face kind at degree faceDeg: nodes x corners.
std::vector<double> faceWeights(bool triangle, int faceDeg, int* nbrNodes) {
  int dim = 0;
  double* nodes = GetCrdNodByTyp(triangle ? 4 : 6, faceDeg, &dim);
  *nbrNodes = zel::latticeNodeCount(triangle ? 4 : 6, faceDeg);
  std::vector<double> weights;
  for (int n = 0; n < *nbrNodes; ++n) {
    if (triangle) {
      weights.insert(weights.end(), nodes + 3 * n, nodes + 3 * n + 3);
      continue;
    }
    int nbrBas = 0;
    double* phi = GetBasisFunctionsFromCrdNod(6, nodes + 2 * n, &nbrBas);
    weights.insert(weights.end(), phi, phi + 4);
    std::free(phi);
  }
  std::free(nodes);
  return weights;
}

// Values of every node of nbrFaces faces (corners points each) into a fresh 1-based array.
double* faceValues(ZelObject* mesh, const Field& field, bool triangle, int nbrFaces,
                   const double* ref, const int* inf) {
  const int corners = triangle ? 3 : 4;
  int nodes = 0;
  const std::vector<double> weights = faceWeights(triangle, field.faceDeg, &nodes);
  nbrFaces = std::max(nbrFaces, 0);
  auto* out = static_cast<double*>(
      std::calloc((static_cast<size_t>(nbrFaces) + 1) * nodes, sizeof(double)));
  if (!out) return nullptr;
  ParentField parent(mesh, field);
  for (int f = 1; f <= nbrFaces; ++f) {
    const int typ = inf[3 * f], e = inf[3 * f + 1];
    if (typ < 7 || typ > 10)
      zel::fatalExit(stdout,
                     triangle ? " Triangle, case undefined for type %d \n"
                              : " Quad, case undefined for type %d \n",
                     typ);
    if (!parent.load(typ, e)) continue;
    for (int n = 0; n < nodes; ++n) {
      double point[4] = {0, 0, 0, 0};
      for (int k = 0; k < corners; ++k)
        for (int x = 0; x < 4; ++x)
          point[x] += weights[corners * n + k] * ref[4 * (corners * f + k) + x];
      out[f * nodes + n] = evaluate(typ, parent.coefficients(), std::max(field.solDeg, 1), point);
    }
  }
  return out;
}

// solSize disagreeing with the parent types named in inf: the first such type, else 0.
int wrongSize(const Field& field, int nbrFaces, const int* inf) {
  for (int f = 1; f <= nbrFaces; ++f) {
    const int typ = inf[3 * f];
    if (typ < 7 || typ > 10) continue;
    const int expected = field.solDeg == 0 ? 1 : zel::latticeNodeCount(typ, field.solDeg);
    if ((field.solDeg > 0 || field.faceDeg == 0) && field.solSize != expected) return typ;
  }
  return 0;
}

}  // namespace

int zel_InterpolateCutSolution(ZelObject* mesh, int solSize, const double* sol, int solDeg,
                               int faceDeg, int nbrCutTri, const double* triRef, const int* triInf,
                               double** triSol, int nbrCutQua, const double* quaRef,
                               const int* quaInf, double** quaSol, char* status) {
  if (!status) return zel::kFailure;
  if (!mesh) return zel::setStatus(status, "NULL (ZelObject)    parameter on input\n");
  const struct {
    const void* pointer;
    const char* name;
  } required[] = {{sol, "sol"},       {triRef, "triRef"}, {triInf, "triInf"}, {triSol, "triSol"},
                  {quaRef, "quaRef"}, {quaInf, "quaInf"}, {quaSol, "quaSol"}};
  for (const auto& r : required)
    if (!r.pointer) return zel::cut::missingArgument(status, r.name);
  *triSol = *quaSol = nullptr;
  const Field field{solSize, sol, solDeg, faceDeg};
  for (const auto& [count, inf] : {std::pair{nbrCutTri, triInf}, std::pair{nbrCutQua, quaInf}})
    if (const int typ = wrongSize(field, count, inf))
      return zel::setStatus(status,
                            "zel_InterpolateCutSolution : %d values per element of type %d at "
                            "degree %d\n",
                            solSize, typ, solDeg);
  *triSol = faceValues(mesh, field, true, nbrCutTri, triRef, triInf);
  *quaSol = faceValues(mesh, field, false, nbrCutQua, quaRef, quaInf);
  if (*triSol && *quaSol) return zel::kSuccess;
  std::free(*triSol), std::free(*quaSol);
  *triSol = *quaSol = nullptr;
  return zel::setStatus(status, "zel_InterpolateCutSolution : not enough memory\n");
}
