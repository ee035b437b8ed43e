// libFuzzer target: solution files of any form (".solb" when the input starts like a binary
// file, else ".sol") loaded onto the mesh ZEL_FUZZ_SOLUTION_MESH (one element of every volume
// kind, a few of degree 2) and used as the viewer uses them: volume fields reduced to scalars
// and restricted to element faces, plain and through orientation marks; vertex fields
// expanded onto the elements and gathered.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/face_values.h"
#include "meshio/keyword_file.h"
#include "meshio/solution_loading.h"
#include "meshio/zel_object.h"

namespace {

// Restricts a volume field to every face of its elements, by face lists and by marks.
void useOnFaces(int volumeType, const ZelVolumeField& field) {
  const ZelLocalTopology* topology = zel_LocalTopology(zel_Typ2Shape(volumeType), 1);
  if (!topology) return;
  char status[zel::kStatusSize];
  for (const int shape : {EntityType::Triangle, EntityType::Quadrilateral}) {
    std::vector<int> faces;
    std::vector<ZelFaceMark> marks;
    for (int element = 1; element <= field.elements; ++element)
      for (int face = 0; face < topology->nbrFaces; ++face) {
        if (topology->faceShape[face] != shape) continue;
        faces.insert(faces.end(), {volumeType, element, face});
        const int turn = shape == EntityType::Triangle ? 2 : 0;
        marks.push_back({int(marks.size()) + 1, element, face, {0, 1, turn}, volumeType});
      }
    if (faces.empty()) continue;
    const int surface =
        field.degree ? zel_SolTyp2EntTyp(zel_EntTyp2SolTyp(shape), field.degree) : shape;
    std::free(zel_GetFaceValues(field, surface, int(marks.size()), faces.data(), status));
    std::free(zel_GetOrientedFaceValues(field, surface, int(marks.size()), marks.data(), status));
  }
}

// Field `field` carried by the elements of volumeType as a scalar per node (vectors by their
// norm, matrices by their determinant), restricted to their faces; carried by the vertices,
// expanded onto those elements and gathered in reverse.
void useField(ZelObject* mesh, int volumeType, int field) {
  char status[zel::kStatusSize];
  int dimension = 0, vertices = 0, elements = 0, per = 0, count = 0, type = 0, degree = 0,
      nodes = 0;
  zel_GetDimension(mesh, &dimension, status);
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &vertices, status);
  const int* indices =
      static_cast<const int*>(zel_GetIndicesArray(mesh, volumeType, &elements, &per, status));
  const int solTyp = zel_EntTyp2SolTyp(volumeType);
  int iteration = 0;
  double time = 0.0;
  const double* values = zel_GetSolutionArray(mesh, solTyp, field, &count, &type, &iteration, &time,
                                              &degree, &nodes, status);
  if (values && count == elements && count >= 1 && nodes >= 1) {
    double* owned = type == 1   ? nullptr
                    : type == 2 ? zel_SolutionNorm(mesh, values, count, nodes)
                                : zel_SolutionDeterminant(mesh, values, count, nodes, type);
    if (type == 1 || owned)
      useOnFaces(volumeType, {degree, solTyp, owned ? owned : values, count, nodes});
    std::free(owned);
  }
  values = zel_GetSolutionArray(mesh, SolTyp::Vertices, field, &count, &type, &iteration, &time,
                                &degree, &nodes, status);
  if (!values || count != vertices || nodes != 1 || !indices || elements < 1) return;
  double* expanded =
      zel_VertexToElementSolution(dimension, values, vertices, type, indices, per, elements);
  std::vector<int> all;
  for (int element = elements; element >= 1; --element) all.push_back(element);
  const int blockSize = zel::solutionSizeOf(&type, 1, dimension);
  if (expanded && blockSize > 0)
    std::free(zel_GatherSolution(expanded, blockSize * per, elements, all.data()));
  std::free(expanded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool binary = size >= 4 && (data[0] <= 1 && data[3] <= 1);
  const std::string path =
      "/tmp/fuzz_solution_" + std::to_string(getpid()) + (binary ? ".solb" : ".sol");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);
  ZelObject* mesh = nullptr;
  char status[zel::kStatusSize];
  if (zel_NewInterface(&mesh) != 0 || zel_OpenMesh(mesh, ZEL_FUZZ_SOLUTION_MESH, status) != 0) {
    std::fprintf(stderr, "cannot load %s\n", ZEL_FUZZ_SOLUTION_MESH);
    std::abort();
  }
  zel_OpenSolution(mesh, path.c_str(), status);
  // Fields beyond the sixth go through the same code.
  for (int field = 1; field <= std::min(zel_GetNumberOfSolutionFields(mesh), 6); ++field)
    for (int shape = 0; shape < 4; ++shape)  // every volume kind at degrees 1 and 2
      for (const int degree : {1, 2})
        useField(mesh, zel_SolTyp2EntTyp(SolTyp::Tetrahedron + shape, degree), field);
  zel_FreeInterface(&mesh);
  unlink(path.c_str());
  return 0;
}
