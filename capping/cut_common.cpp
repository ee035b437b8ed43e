// Argument checks, element access and result arrays shared by the capping routines.
#include "capping/cut_common.h"

#include <cstdlib>
#include <string>

#include "meshio/entity_catalogue.h"
#include "meshio/status.h"

namespace zel::cut {

int missingArgument(char* status, const char* name) {
  const std::string label = std::string("(") + name + ")";
  return setStatus(status, "NULL %-15sparameter on input\n", label.c_str());
}

bool ElementArray::valid(int e) const {
  if (e < 1 || e > count) return false;
  const int* n = of(e);
  for (int k = 0; k < nodesPer; ++k)
    if (n[k] < 1 || n[k] > nbrVertices) return false;
  return true;
}

bool elementArray(ZelObject* mesh, int typ, ElementArray* array) {
  *array = ElementArray{};
  char status[zel::kStatusSize];
  int nbrVer = 0, perVertex = 0, count = 0, perElement = 0;
  const auto* crd =
      static_cast<const double*>(zel_GetIndicesArray(mesh, 1, &nbrVer, &perVertex, status));
  if (zel_Typ2Shape(typ) < 7 || typ > 31) return false;
  const auto* nodes =
      static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &perElement, status));
  if (!crd || !nodes || nbrVer < 1 || count < 1) return false;
  array->nodes = nodes;
  array->refs = zel_GetReferenceArray(mesh, typ, status);
  array->count = count;
  array->nodesPer = perElement;
  array->nbrVertices = nbrVer;
  array->coordinates = crd;
  return true;
}

bool CapArrays::allocate(int triangles, int quadrilaterals) {
  release();
  const size_t t = static_cast<size_t>(triangles) + 1, q = static_cast<size_t>(quadrilaterals) + 1;
  triCrd = static_cast<double*>(std::calloc(t * 3 * triNodes, sizeof(double)));
  triRef = static_cast<double*>(std::calloc(t * 4 * triNodes, sizeof(double)));
  triInf = static_cast<int*>(std::calloc(t * 3, sizeof(int)));
  quaCrd = static_cast<double*>(std::calloc(q * 3 * quaNodes, sizeof(double)));
  quaRef = static_cast<double*>(std::calloc(q * 4 * quaNodes, sizeof(double)));
  quaInf = static_cast<int*>(std::calloc(q * 3, sizeof(int)));
  if (triCrd && triRef && triInf && quaCrd && quaRef && quaInf) return true;
  release();
  return false;
}

void CapArrays::release() {
  for (double** a : {&triCrd, &triRef, &quaCrd, &quaRef}) std::free(*a), *a = nullptr;
  for (int** a : {&triInf, &quaInf}) std::free(*a), *a = nullptr;
  nbrTri = nbrQua = 0;
}

int checkCappingArguments(ZelObject* mesh, const double* plane, const int* lstCutEnt,
                          int* nbrCutTri, double** triCrd, double** triRef, int** triInf,
                          int* nbrCutQua, double** quaCrd, double** quaRef, int** quaInf,
                          char* status) {
  if (!status) return zel::kFailure;
  if (!mesh) return setStatus(status, "NULL (ZelObject)    parameter on input\n");
  if (!lstCutEnt) return setStatus(status, "NULL (lstCutEnt)    parameter on input\n");
  const struct {
    const void* pointer;
    const char* name;
  } required[] = {{plane, "plane"},   {nbrCutTri, "nbrCutTri"}, {triCrd, "triCrd"},
                  {triRef, "triRef"}, {triInf, "triInf"},       {nbrCutQua, "nbrCutQua"},
                  {quaCrd, "quaCrd"}, {quaRef, "quaRef"},       {quaInf, "quaInf"}};
  for (const auto& r : required)
    if (!r.pointer) return missingArgument(status, r.name);
  *nbrCutTri = *nbrCutQua = 0;
  *triCrd = *triRef = *quaCrd = *quaRef = nullptr;
  *triInf = *quaInf = nullptr;
  return zel::kSuccess;
}

void handOver(CapArrays* result, int* nbrCutTri, double** triCrd, double** triRef, int** triInf,
              int* nbrCutQua, double** quaCrd, double** quaRef, int** quaInf) {
  *nbrCutTri = result->nbrTri;
  *triCrd = result->triCrd, *triRef = result->triRef, *triInf = result->triInf;
  *nbrCutQua = result->nbrQua;
  *quaCrd = result->quaCrd, *quaRef = result->quaRef, *quaInf = result->quaInf;
  *result = CapArrays{result->triNodes, result->quaNodes};
}

}  // namespace zel::cut
