// Orientation codes of surface elements on volume faces and the face values of volume fields.
#include "meshio/face_values.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/entity_faces.h"
#include "meshio/node_order.h"
#include "meshio/status.h"

bool zel_OrientFaceRow(int faceShape, int deg, const int* codes, const int* row, int* faceRow) {
  if (faceShape == EntityType::Triangle) {
    bool seen[3] = {false, false, false};
    for (int c = 0; c < 3; ++c) {
      if (codes[c] < 0 || codes[c] > 2 || seen[codes[c]]) return false;
      seen[codes[c]] = true;
    }
    for (int c = 0; c < 3; ++c) faceRow[c] = row[codes[c]];
    return true;
  }
  const bool keep = codes[0] == 0 && codes[1] == 1, swap = codes[0] == 1 && codes[1] == 0;
  if (faceShape != EntityType::Quadrilateral || !(keep || swap) || codes[2] < 0 || codes[2] > 3)
    return false;
  int a = keep ? row[0] : row[1], b = keep ? row[1] : row[0];
  for (int t = 0; t < codes[2]; ++t) {
    const int turned = deg - b;
    b = a;
    a = turned;
  }
  faceRow[0] = a;
  faceRow[1] = b;
  return true;
}

namespace {

// Every orientation code of a face shape: a triangle's six vertex permutations, a
// quadrilateral's two directions from each of its four starting corners.
struct OrientationCodes {
  const int (*codes)[3];
  int count;
};
OrientationCodes allCodes(int faceShape) {
  static const int kTriangle[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                      {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  static const int kQuadrilateral[8][3] = {{0, 1, 0}, {0, 1, 1}, {0, 1, 2}, {0, 1, 3},
                                           {1, 0, 0}, {1, 0, 1}, {1, 0, 2}, {1, 0, 3}};
  if (faceShape == EntityType::Triangle) return {kTriangle, 6};
  return {kQuadrilateral, 8};
}

// Position of a row in the node order of a face shape at degree deg, -1 if absent.
int rowPosition(const zel::LatticeOrder& order, const int* row) {
  for (int n = 0; n < order.count; ++n) {
    bool same = true;
    for (int c = 0; c < order.width && same; ++c) same = order.row(n)[c] == row[c];
    if (same) return n;
  }
  return -1;
}

// Volume shape of a SolTyp (tetrahedron, pyramid, prism or hexahedron), 0 otherwise.
int volumeShape(int solTyp) {
  if (solTyp < SolTyp::First || solTyp > SolTyp::Last) return 0;
  const int s = (solTyp - SolTyp::First) % 7;
  return s >= SolTyp::ShapeTetrahedron ? EntityType::Tetrahedron + s - SolTyp::ShapeTetrahedron : 0;
}

struct FaceJob {
  int shape = 0, surfShape = 0, deg = 0, faceNodes = 0;
  const ZelLocalTopology* topology = nullptr;
};

// Checks the arguments common to both face-value functions. Everything is sized by the
// field's degree: the surface elements may be of any degree.
bool prepare(const ZelVolumeField& field, int surfTyp, int nbrFaces, FaceJob* job, char* status) {
  if (field.degree > 10) return zel::printError("wrong degree in input\n"), false;
  job->shape = volumeShape(field.solTyp);
  job->surfShape = zel_Typ2Shape(surfTyp);
  job->deg = field.degree;
  if (!field.values || field.degree < 0 || field.elements < 0 || nbrFaces < 0 || !job->shape ||
      (job->surfShape != EntityType::Triangle && job->surfShape != EntityType::Quadrilateral))
    return zel::setStatus(status, "Invalid face values request: degree %d SolTyp %d Typ %d\n",
                          field.degree, field.solTyp, surfTyp),
           false;
  // Only the record's own node count says where its blocks lie; one that is not the degree's
  // Lagrange count has no known node order (and may be shorter than the faces need).
  const int needed = zel::latticeNodeCount(job->shape, field.degree);
  if (field.nodes != needed)
    return zel::setStatus(status,
                          "Invalid face values request: %d nodes per element, degree %d needs %d\n",
                          field.nodes, field.degree, needed),
           false;
  job->faceNodes = zel::latticeNodeCount(job->surfShape, field.degree);
  job->topology = zel_LocalTopology(job->shape, field.degree == 0 ? 1 : field.degree);
  return true;
}

// The face's local node numbers at the field's degree when it has the surface's shape and the
// node count that shape needs at that degree (a single node at degree 0); null otherwise.
const std::vector<int>* localFace(const FaceJob& job, int face) {
  if (face < 0 || face >= job.topology->nbrFaces || job.topology->faceShape[face] != job.surfShape)
    return nullptr;
  const std::vector<int>* nodes = &job.topology->faces[face];
  return job.deg == 0 || static_cast<int>(nodes->size()) == job.faceNodes ? nodes : nullptr;
}

// The record's block of a volume element, or null (with a status message) outside the record.
const double* elementBlock(const ZelVolumeField& field, int element, char* status) {
  if (element < 1 || element > field.elements)
    return zel::setStatus(status, "Invalid face values request: element %d outside 1..%d\n",
                          element, field.elements),
           nullptr;
  return field.values + static_cast<size_t>(element) * static_cast<size_t>(field.nodes);
}

double* allocateBlocks(int count, const FaceJob& job, char* status) {
  auto* out = static_cast<double*>(
      std::calloc(static_cast<size_t>(count) * job.faceNodes + 1, sizeof(double)));
  if (!out) zel::setStatus(status, "Allocation failed for face values\n");
  return out;
}

}  // namespace

bool zel_FaceOrientationCodes(int faceShape, const int* faceVertices, const int* surfaceVertices,
                              int* codes) {
  const zel::LatticeOrder* linear = zel::latticeNodeOrder(faceShape, 1);
  if (!linear) return false;
  const OrientationCodes all = allCodes(faceShape);
  for (int k = 0; k < all.count; ++k) {
    const int* candidate = all.codes[k];
    bool lands = true;
    for (int v = 0; v < linear->count && lands; ++v) {
      int row[3];
      zel_OrientFaceRow(faceShape, 1, candidate, linear->row(v), row);
      lands = faceVertices[rowPosition(*linear, row)] == surfaceVertices[v];
    }
    if (lands) {
      for (int c = 0; c < 3; ++c) codes[c] = candidate[c];
      return true;
    }
  }
  return false;
}

double* zel_GetFaceValues(const ZelVolumeField& field, int surfTyp, int nbrFaces, const int* faces,
                          char* status) {
  FaceJob job;
  if (!prepare(field, surfTyp, nbrFaces, &job, status)) return nullptr;
  double* out = allocateBlocks(nbrFaces, job, status);
  if (!out) return nullptr;
  for (int j = 0; j < nbrFaces; ++j) {
    const std::vector<int>* face = localFace(job, faces[3 * j + 2]);
    if (!face) {
      zel::printError("incompatibility between surface and volume entities\n");
      std::free(out);
      return nullptr;
    }
    const double* own = elementBlock(field, faces[3 * j + 1], status);
    if (!own) return std::free(out), nullptr;
    double* block = out + static_cast<size_t>(j) * job.faceNodes;
    for (int k = 0; k < job.faceNodes; ++k) block[k] = job.deg == 0 ? own[0] : own[(*face)[k]];
  }
  return out;
}

double* zel_GetOrientedFaceValues(const ZelVolumeField& field, int surfTyp, int nbrMarks,
                                  const ZelFaceMark* marks, char* status) {
  FaceJob job;
  if (!prepare(field, surfTyp, nbrMarks, &job, status)) return nullptr;
  double* out = allocateBlocks(nbrMarks, job, status);
  if (!out) return nullptr;
  const zel::LatticeOrder& surface =
      *zel::latticeNodeOrder(job.surfShape, job.deg == 0 ? 1 : job.deg);
  for (int j = 0; j < nbrMarks; ++j) {
    const ZelFaceMark& mark = marks[j];
    // Elements of another volume kind are not in this record.
    if (mark.face == 0 || zel_EntTyp2SolTyp(mark.volumeType) != field.solTyp) continue;
    const std::vector<int>* face = localFace(job, mark.localFace);
    if (!face) {
      const bool known = mark.localFace >= 0 && mark.localFace < job.topology->nbrFaces;
      zel::printError(
          "incompatibility between surface and volume entities sizFac %d nbrNod %d "
          "because deg is %d\n",
          known ? static_cast<int>(job.topology->faces[mark.localFace].size()) : 0, job.faceNodes,
          job.deg);
      std::free(out);
      return nullptr;
    }
    const double* own = elementBlock(field, mark.element, status);
    if (!own) return std::free(out), nullptr;
    double* block = out + static_cast<size_t>(j) * job.faceNodes;
    for (int k = 0; k < job.faceNodes && job.deg > 0; ++k) {
      int row[3];
      if (!zel_OrientFaceRow(job.surfShape, job.deg, mark.codes, surface.row(k), row))
        zel::fatalExit(stdout, job.surfShape == EntityType::Triangle
                                   ? " #ERROR :posTri wrong coefficients in input\n"
                                   : " #ERROR :posQua wrong coefficients in input\n");
      block[k] = own[(*face)[rowPosition(surface, row)]];
    }
    if (job.deg == 0) block[0] = own[0];
  }
  return out;
}
