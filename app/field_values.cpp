// Per-object scalar values of a solution field.
#include "app/field_values.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "capping/capping.h"
#include "meshio/entity_catalogue.h"
#include "meshio/face_values.h"
#include "meshio/node_order.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"

namespace {

struct FreeDeleter {
  void operator()(double* p) const { std::free(p); }
};
using MallocArray = std::unique_ptr<double, FreeDeleter>;

// One field of one kind, reduced to a scalar per node (slot 0 included).
struct ScalarField {
  const double* values = nullptr;
  MallocArray owned;  // the reduction when the field is not scalar
  int count = 0;
  int degree = 0;
  int nodes = 0;

  // The record as the face-value routines take it, for the volume kind solTyp.
  ZelVolumeField volume(int solTyp) const { return {degree, solTyp, values, count, nodes}; }
};

bool scalarField(ZelObject* mesh, int solutionKind, int field, ScalarField* out) {
  char status[zel::kStatusSize] = {};
  int count = 0, type = 0, iteration = 0, degree = 0, nodes = 0;
  double time = 0.0;
  double* values = zel_GetSolutionArray(mesh, solutionKind, field, &count, &type, &iteration, &time,
                                        &degree, &nodes, status);
  if (!values || count < 1 || nodes < 1) return false;
  out->count = count;
  out->degree = degree;
  out->nodes = nodes;
  if (type == 1) {
    out->values = values;
  } else {
    out->owned.reset(type == 2 ? zel_SolutionNorm(mesh, values, count, nodes)
                               : zel_SolutionDeterminant(mesh, values, count, nodes, type));
    out->values = out->owned.get();
  }
  return out->values != nullptr;
}

int vertexCountOf(ZelObject* mesh) {
  char status[zel::kStatusSize] = {};
  int count = 0;
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &count, status);
  return count;
}

// Values of the vertex field at the nodes of `count` entities of k nodes (entity e at
// nodes[e * k], 0-based entities, 1-based vertex numbers): the first value of each vertex's
// block, the record's blocks being `nodes` values long.
FieldValues vertexValuesAt(const ScalarField& vertices, int vertexTotal, const int* nodes,
                           int count, int k) {
  FieldValues out;
  out.nodesPerEntity = k;
  out.values.reserve(size_t(count) * size_t(k));
  const int held = std::min(vertexTotal, vertices.count);
  for (size_t i = 0; i < size_t(count) * size_t(k); ++i) {
    const int v = nodes[i];
    out.values.push_back(v >= 1 && v <= held ? vertices.values[size_t(v) * size_t(vertices.nodes)]
                                             : 0.0);
  }
  return out;
}

// Values per face of a field of `degree` on faces of `faceType`'s shape.
int faceNodeCount(int faceType, int degree) {
  return zel::latticeNodeCount(zel_Typ2Shape(faceType), degree);
}

}  // namespace

FieldValues elementFieldValues(ZelObject* mesh, int typ, int field,
                               const std::vector<int>& elements) {
  FieldValues out;
  ScalarField own;
  if (scalarField(mesh, zel_EntTyp2SolTyp(typ), field, &own)) {
    out.nodesPerEntity = own.nodes;
    out.values.reserve(elements.size() * size_t(own.nodes));
    for (int element : elements) {
      if (element < 1 || element > own.count) return FieldValues();
      const double* block = own.values + size_t(element) * size_t(own.nodes);
      out.values.insert(out.values.end(), block, block + own.nodes);
    }
    return out;
  }
  ScalarField vertices;
  if (!scalarField(mesh, SolTyp::Vertices, field, &vertices)) return out;
  char status[zel::kStatusSize] = {};
  int count = 0, k = 0;
  const int* nodes = static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &k, status));
  if (!nodes) return out;
  std::vector<int> selected;
  selected.reserve(elements.size() * size_t(k));
  for (int element : elements) {
    if (element < 1 || element > count) return FieldValues();
    selected.insert(selected.end(), nodes + size_t(element) * size_t(k),
                    nodes + size_t(element) * size_t(k) + k);
  }
  return vertexValuesAt(vertices, vertexCountOf(mesh), selected.data(), int(elements.size()), k);
}

FieldValues faceFieldValues(ZelObject* mesh, int volumeType, int faceType, int field,
                            const std::vector<int>& faceNodes, int faceSize,
                            const std::vector<int>& links) {
  const int faceCount = faceSize > 0 ? int(faceNodes.size()) / faceSize : 0;
  ScalarField volume;
  const int volumeSolution = zel_EntTyp2SolTyp(volumeType);
  if (faceCount > 0 && scalarField(mesh, volumeSolution, field, &volume)) {
    char status[zel::kStatusSize] = {};
    MallocArray values(zel_GetFaceValues(volume.volume(volumeSolution), faceType, faceCount,
                                         links.data(), status));
    if (!values) return FieldValues();
    FieldValues out;
    out.nodesPerEntity = faceNodeCount(faceType, volume.degree);
    out.values.assign(values.get(), values.get() + size_t(faceCount) * size_t(out.nodesPerEntity));
    return out;
  }
  ScalarField vertices;
  if (faceCount == 0 || !scalarField(mesh, SolTyp::Vertices, field, &vertices))
    return FieldValues();
  return vertexValuesAt(vertices, vertexCountOf(mesh), faceNodes.data(), faceCount, faceSize);
}

FieldValues markedFaceValues(ZelObject* mesh, int faceType, int field,
                             const std::vector<ZelFaceMark>& marks) {
  // Faces may lie on volumes of several kinds, each with its own record: every marked face
  // takes its block from the record of its volume kind, and all of them must share a degree.
  std::vector<int> volumeTypes;
  for (const ZelFaceMark& mark : marks)
    if (mark.face > 0 &&
        std::find(volumeTypes.begin(), volumeTypes.end(), mark.volumeType) == volumeTypes.end())
      volumeTypes.push_back(mark.volumeType);
  FieldValues out;
  for (int volumeType : volumeTypes) {
    const int volumeSolution = zel_EntTyp2SolTyp(volumeType);
    ScalarField volume;
    if (!scalarField(mesh, volumeSolution, field, &volume)) return FieldValues();
    const int nodes = faceNodeCount(faceType, volume.degree);
    if (out.nodesPerEntity != 0 && out.nodesPerEntity != nodes) return FieldValues();
    char status[zel::kStatusSize] = {};
    MallocArray values(zel_GetOrientedFaceValues(volume.volume(volumeSolution), faceType,
                                                 int(marks.size()), marks.data(), status));
    if (!values) return FieldValues();
    out.nodesPerEntity = nodes;
    out.values.resize(marks.size() * size_t(nodes));
    for (size_t j = 0; j < marks.size(); ++j)
      if (marks[j].face > 0 && marks[j].volumeType == volumeType)
        std::copy_n(values.get() + j * size_t(nodes), nodes,
                    out.values.begin() + j * size_t(nodes));
  }
  return out;
}

void cappingFieldValues(ZelObject* mesh, int volumeType, int field, int nbrTri,
                        const double* triRef, const int* triInf, int nbrQua, const double* quaRef,
                        const int* quaInf, FieldValues* triangles, FieldValues* quadrilaterals,
                        bool* sizeError) {
  *triangles = FieldValues();
  *quadrilaterals = FieldValues();
  *sizeError = false;
  ScalarField own;
  std::vector<double> perVertex;
  int solSize = 1, solDeg = 0, faceDeg = 1;
  const double* sol = nullptr;
  if (scalarField(mesh, zel_EntTyp2SolTyp(volumeType), field, &own)) {
    solSize = own.nodes, solDeg = own.degree, faceDeg = own.degree, sol = own.values;
  } else if (ScalarField vertices; scalarField(mesh, SolTyp::Vertices, field, &vertices)) {
    // One value a vertex, the first of each vertex's block.
    perVertex.resize(size_t(vertexCountOf(mesh)) + 1, 0.0);
    const size_t held = std::min(perVertex.size(), size_t(vertices.count) + 1);
    for (size_t v = 1; v < held; ++v) perVertex[v] = vertices.values[v * size_t(vertices.nodes)];
    sol = perVertex.data();
  } else {
    return;
  }
  char status[zel::kStatusSize] = {};
  double *triSol = nullptr, *quaSol = nullptr;
  if (zel_InterpolateCutSolution(mesh, solSize, sol, solDeg, faceDeg, nbrTri, triRef, triInf,
                                 &triSol, nbrQua, quaRef, quaInf, &quaSol, status) != 0) {
    *sizeError = true;
    return;
  }
  const int nodes[2] = {(faceDeg + 1) * (faceDeg + 2) / 2, (faceDeg + 1) * (faceDeg + 1)};
  const int counts[2] = {nbrTri, nbrQua};
  double* arrays[2] = {triSol, quaSol};
  FieldValues* outs[2] = {triangles, quadrilaterals};
  for (int shape = 0; shape < 2; ++shape) {
    outs[shape]->nodesPerEntity = nodes[shape];
    // Face 1 starts one face in: slot 0 holds nothing.
    if (arrays[shape])
      outs[shape]->values.assign(arrays[shape] + nodes[shape],
                                 arrays[shape] + size_t(counts[shape] + 1) * size_t(nodes[shape]));
    std::free(arrays[shape]);
  }
}
