// Field lookup, the number of fields, the degree summary and the derived scalar fields.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_file.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "meshio/zel_object_slots.h"

namespace {

// Head of the solution list of a kind code (99 vertices or an element SolTyp), null when the
// code names no list.
ZelSolution** listOfKind(ZelObject* object, int kind) {
  if (kind == SolTyp::Vertices) return &object->vertexSolutions;
  if (kind <= SolTyp::First || kind > SolTyp::Last) return nullptr;
  if ((kind - SolTyp::First) % 7 == SolTyp::ShapeEdge) return nullptr;
  zel::EntitySlot slot;
  if (!zel::entitySlot(object, zel_SolTyp2EntTyp(kind, (kind - SolTyp::First) / 7 + 1), &slot))
    return nullptr;
  return slot.solutions;
}

int listLength(const ZelSolution* head) {
  int length = 0;
  for (; head; head = head->next) ++length;
  return length;
}

double* allocateValues(size_t count) {
  return static_cast<double*>(std::calloc(count ? count : 1, sizeof(double)));
}

int blockSize(int typ, int dim) { return zel::solutionSizeOf(&typ, 1, dim); }

}  // namespace

double* zel_GetSolutionArray(ZelObject* object, int kind, int k, int* nbrEnt, int* typ,
                             int* iteration, double* time, int* deg, int* nbrNod, char* status) {
  for (int* out : {nbrEnt, typ, iteration, deg, nbrNod})
    if (out) *out = 0;
  if (time) *time = 0;
  if (!status) return nullptr;
  if (!object) return zel::setStatus(status, "NULL (ZelObject) parameter on input\n"), nullptr;
  if (kind == 0) return nullptr;
  ZelSolution** list = listOfKind(object, kind);
  if (!list)
    return zel::setStatus(status, " zel_GetSolutionArray is undefined for Typ %d !\n", kind),
           nullptr;
  if (!*list) return zel::setStatus(status, "Invalid request to get a solution\n"), nullptr;
  ZelSolution* field = *list;
  for (int n = 1; field && n < k; ++n) field = field->next;
  if (k < 1 || !field) {
    zel::printMessage(" warning : unsucessfully attempting to access to solution %d\n", k);
    return zel::setStatus(status, "Invalid request to get a solution\n"), nullptr;
  }
  if (nbrEnt) *nbrEnt = field->nbrEnt;
  if (typ) *typ = field->typ;
  if (iteration) *iteration = field->iteration;
  if (time) *time = field->time;
  if (deg) *deg = field->deg;
  if (nbrNod) *nbrNod = field->nbrNod;
  return field->val;
}

int zel_GetNumberOfSolutionFields(ZelObject* object) {
  if (!object) return 0;
  int fields = listLength(object->vertexSolutions);
  for (const ZelElementArrays& kind : object->elements)
    if (listLength(kind.solutions) > fields) fields = listLength(kind.solutions);
  return fields;
}

void zel_PrintSolutionDegrees(ZelObject* object) {
  if (!object) return;
  static const char* const kShapeLabel[7] = {
      "Edges", "Triangles", "Quadrilaterals", "Tetrahedra", "Pyramids", "Prisms", "Hexahedra"};
  for (int shape = 0; shape < 7; ++shape) {
    const bool tensor = shape == SolTyp::ShapeQuadrilateral || shape == SolTyp::ShapeHexahedron;
    for (int degree = 1; degree <= 4; ++degree) {
      zel::EntitySlot slot;
      if (!zel::entitySlot(object, zel_SolTyp2EntTyp(SolTyp::First + shape, degree), &slot) ||
          !*slot.solutions)
        continue;
      char label[40];
      std::snprintf(label, sizeof label, "HOSolAt%s%c%d", kShapeLabel[shape], tensor ? 'Q' : 'P',
                    degree);
      zel::printMessage("  Degree of %-24s%7d \n", label, (*slot.solutions)->deg);
    }
  }
}

double* zel_SolutionNorm(ZelObject* object, const double* val, int nbrEnt, int nbrNod) {
  if (!object || !val || nbrEnt < 0 || nbrNod < 1) return nullptr;
  const int dim = object->dim == 2 ? 2 : 3;
  const size_t blocks = (static_cast<size_t>(nbrEnt) + 1) * nbrNod;
  double* norm = allocateValues(blocks);
  if (!norm) return nullptr;
  for (size_t b = 0; b < blocks; ++b) {
    double sum = 0;
    for (int c = 0; c < dim; ++c) sum += val[b * dim + c] * val[b * dim + c];
    norm[b] = std::sqrt(sum);
  }
  return norm;
}

namespace {

double determinant(const double* m, int typ, int dim) {
  if (typ == 3 && dim == 2) return m[0] * m[2] - m[1] * m[1];
  if (typ == 3)  // m11 m12 m13 m22 m23 m33
    return m[0] * (m[3] * m[5] - m[4] * m[4]) + m[1] * (m[4] * m[2] - m[5] * m[1]) +
           m[2] * (m[1] * m[4] - m[3] * m[2]);
  if (dim == 2) return m[0] * m[3] - m[1] * m[2];
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
         m[2] * (m[3] * m[7] - m[4] * m[6]);
}

}  // namespace

double* zel_SolutionDeterminant(ZelObject* object, const double* val, int nbrEnt, int nbrNod,
                                int typ) {
  if (!object || !val || nbrEnt < 0 || nbrNod < 1 || (typ != 3 && typ != 4)) return nullptr;
  const int dim = object->dim == 2 ? 2 : 3;
  const int size = blockSize(typ, dim);
  const size_t blocks = (static_cast<size_t>(nbrEnt) + 1) * nbrNod;
  double* det = allocateValues(blocks);
  if (!det) return nullptr;
  for (size_t b = nbrNod; b < blocks; ++b) det[b] = determinant(val + b * size, typ, dim);
  return det;
}

double* zel_VertexToElementSolution(int dim, const double* vertexVal, int nbrVer, int typ,
                                    const int* nodes, int nbrNod, int nbrEle) {
  const int size = blockSize(typ, dim);
  if (!vertexVal || !nodes || size < 1 || nbrVer < 0 || nbrNod < 1 || nbrEle < 0) return nullptr;
  const size_t blocks = (static_cast<size_t>(nbrEle) + 1) * nbrNod;
  double* out = allocateValues(blocks * size);
  if (!out) return nullptr;
  for (size_t b = nbrNod; b < blocks; ++b) {
    const int vertex = nodes[b];
    if (vertex < 1 || vertex > nbrVer) {
      zel::printMessage("error\n");
      continue;
    }
    std::memcpy(out + b * size, vertexVal + static_cast<size_t>(vertex) * size,
                size * sizeof(double));
  }
  return out;
}

double* zel_GatherSolution(const double* val, int valuesPerEntity, int n, const int* list) {
  if (!val || valuesPerEntity < 1 || n < 0 || (n > 0 && !list)) return nullptr;
  double* out = allocateValues((static_cast<size_t>(n) + 1) * valuesPerEntity);
  if (!out) return nullptr;
  for (int j = 0; j < n; ++j)
    std::memcpy(out + static_cast<size_t>(j + 1) * valuesPerEntity,
                val + static_cast<size_t>(list[j]) * valuesPerEntity,
                valuesPerEntity * sizeof(double));
  return out;
}
