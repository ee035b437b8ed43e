// libFuzzer target: solution files of any form (".solb" when the input starts like a binary
// file, else ".sol") loaded onto the mesh ZEL_FUZZ_SOLUTION_MESH (one element of every volume
// kind, a few of degree 2) and used as the viewer uses them: volume fields reduced to scalars
// and restricted to element faces, plain and through orientation marks; vertex fields
// expanded onto the elements and gathered.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/entity_types.h"
#include "meshio/face_values.h"
#include "meshio/keyword_file.h"
#include "meshio/solution_loading.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"

namespace {

constexpr int kVolumeTypes[] = {
    EntityType::Tetrahedron, EntityType::Pyramid,       EntityType::Prism,
    EntityType::Hexahedron,  EntityType::TetrahedronP2, EntityType::HexahedronQ2,
    EntityType::PyramidP2,   EntityType::PrismP2,
};
// Fields looked at per kind; later ones go through the same code.
constexpr int kMostFields = 6;

// The field as a scalar per node (vectors by their norm, matrices by their determinant).
const double* scalarField(ZelObject* mesh, const double* values, int type, int count, int nodes,
                          double** owned) {
  *owned = nullptr;
  if (type == 1) return values;
  *owned = type == 2 ? zel_SolutionNorm(mesh, values, count, nodes)
                     : zel_SolutionDeterminant(mesh, values, count, nodes, type);
  return *owned;
}

// Restricts a volume field to every face of its elements, by face lists and by marks.
void useOnFaces(int volumeType, const ZelVolumeField& field) {
  const int degree = field.degree;
  const int count = field.elements;
  const ZelLocalTopology* topology = zel_LocalTopology(zel_Typ2Shape(volumeType), 1);
  if (!topology) return;
  char status[zel::kStatusSize];
  for (const int faceShape : {EntityType::Triangle, EntityType::Quadrilateral}) {
    const int surfaceType =
        degree == 0 ? faceShape : zel_SolTyp2EntTyp(zel_EntTyp2SolTyp(faceShape), degree);
    std::vector<int> faces;
    std::vector<ZelFaceMark> marks;
    for (int element = 1; element <= count; ++element) {
      for (int face = 0; face < topology->nbrFaces; ++face) {
        if (topology->faceShape[face] != faceShape) continue;
        faces.insert(faces.end(), {volumeType, element, face});
        marks.push_back({int(marks.size()) + 1,
                         element,
                         face,
                         {0, 1, faceShape == EntityType::Triangle ? 2 : 0},
                         volumeType});
      }
    }
    if (faces.empty()) continue;
    std::free(zel_GetFaceValues(field, surfaceType, int(marks.size()), faces.data(), status));
    std::free(
        zel_GetOrientedFaceValues(field, surfaceType, int(marks.size()), marks.data(), status));
  }
}

void useVolumeFields(ZelObject* mesh, int fields) {
  char status[zel::kStatusSize];
  for (const int volumeType : kVolumeTypes) {
    int elements = 0;
    zel_GetNumberOfEntities(mesh, volumeType, &elements, status);
    const int solTyp = zel_EntTyp2SolTyp(volumeType);
    for (int field = 1; field <= fields && field <= kMostFields; ++field) {
      int count = 0, type = 0, iteration = 0, degree = 0, nodes = 0;
      double time = 0.0;
      const double* values = zel_GetSolutionArray(mesh, solTyp, field, &count, &type, &iteration,
                                                  &time, &degree, &nodes, status);
      if (!values || count != elements || count < 1 || nodes < 1) continue;
      double* owned = nullptr;
      const double* scalar = scalarField(mesh, values, type, count, nodes, &owned);
      if (scalar) useOnFaces(volumeType, {degree, solTyp, scalar, count, nodes});
      std::free(owned);
    }
  }
}

// Expands each vertex field onto every volume kind and gathers all elements in reverse.
void useVertexFields(ZelObject* mesh, int fields) {
  char status[zel::kStatusSize];
  int dimension = 0, vertices = 0;
  zel_GetDimension(mesh, &dimension, status);
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &vertices, status);
  for (int field = 1; field <= fields && field <= kMostFields; ++field) {
    int count = 0, type = 0, iteration = 0, degree = 0, nodes = 0;
    double time = 0.0;
    const double* values = zel_GetSolutionArray(mesh, SolTyp::Vertices, field, &count, &type,
                                                &iteration, &time, &degree, &nodes, status);
    if (!values || count != vertices || nodes != 1) continue;
    for (const int volumeType : kVolumeTypes) {
      int elements = 0, perElement = 0;
      const int* indices = static_cast<const int*>(
          zel_GetIndicesArray(mesh, volumeType, &elements, &perElement, status));
      if (!indices || elements < 1) continue;
      double* expanded = zel_VertexToElementSolution(dimension, values, vertices, type, indices,
                                                     perElement, elements);
      std::vector<int> all;
      for (int element = elements; element >= 1; --element) all.push_back(element);
      const int blockSize = zel::solutionSizeOf(&type, 1, dimension);
      if (expanded && blockSize > 0)
        std::free(zel_GatherSolution(expanded, blockSize * perElement, elements, all.data()));
      std::free(expanded);
    }
  }
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
  const int fields = zel_GetNumberOfSolutionFields(mesh);
  useVolumeFields(mesh, fields);
  useVertexFields(mesh, fields);
  zel_FreeInterface(&mesh);
  unlink(path.c_str());
  return 0;
}
