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

// Every code triple of a face shape: the 6 permutations or the 8 symmetries of the square.
std::vector<std::vector<int>> allCodes(int faceShape) {
  if (faceShape == EntityType::Triangle)
    return {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  std::vector<std::vector<int>> codes;
  for (int t = 0; t < 4; ++t) codes.push_back({0, 1, t});
  for (int t = 0; t < 4; ++t) codes.push_back({1, 0, t});
  return codes;
}

// Position of a row in the node order of a face shape at degree deg, -1 if absent.
int rowPosition(const LatticeOrder& order, const int* row) {
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
  int shape = 0, surfShape = 0, nodesPerElement = 0, faceNodes = 0, surfNodes = 0;
  const ZelLocalTopology* topology = nullptr;
};

// Checks the arguments common to both face-value functions.
bool prepare(int deg, int solTyp, const double* values, int surfTyp, int nbrFaces, FaceJob* job,
             char* status) {
  if (deg > 10) return std::fprintf(stderr, "wrong degree in input\n"), false;
  job->shape = volumeShape(solTyp);
  job->surfShape = zel_Typ2Shape(surfTyp);
  if (!values || deg < 0 || nbrFaces < 0 || !job->shape ||
      (job->surfShape != EntityType::Triangle && job->surfShape != EntityType::Quadrilateral))
    return zel::setStatus(status, "Invalid face values request: degree %d SolTyp %d Typ %d\n", deg,
                          solTyp, surfTyp),
           false;
  job->nodesPerElement = deg == 0 ? 1 : LatticeNodeCount(job->shape, deg);
  job->faceNodes = deg == 0 ? 1 : LatticeNodeCount(job->surfShape, deg);
  job->surfNodes = zel_Typ2Siz(surfTyp);
  job->topology = zel_LocalTopology(job->shape, deg == 0 ? 1 : deg);
  return true;
}

// The face's local node numbers at degree deg, or null for a face number out of range.
const std::vector<int>* localFace(const FaceJob& job, int face) {
  if (face < 0 || face >= job.topology->nbrFaces) return nullptr;
  return &job.topology->faces[face];
}

}  // namespace

bool zel_FaceOrientationCodes(int faceShape, const int* faceVertices, const int* surfaceVertices,
                              int* codes) {
  const LatticeOrder* linear = LatticeNodeOrder(faceShape, 1);
  if (!linear) return false;
  for (const std::vector<int>& candidate : allCodes(faceShape)) {
    bool lands = true;
    for (int v = 0; v < linear->count && lands; ++v) {
      int row[3];
      zel_OrientFaceRow(faceShape, 1, candidate.data(), linear->row(v), row);
      lands = faceVertices[rowPosition(*linear, row)] == surfaceVertices[v];
    }
    if (lands) {
      for (int c = 0; c < 3; ++c) codes[c] = candidate[c];
      return true;
    }
  }
  return false;
}

double* zel_GetFaceValues(int deg, int solTyp, const double* values, int surfTyp, int nbrFaces,
                          const int* faces, char* status) {
  FaceJob job;
  if (!prepare(deg, solTyp, values, surfTyp, nbrFaces, &job, status)) return nullptr;
  auto* out = static_cast<double*>(
      std::calloc(static_cast<size_t>(nbrFaces) * job.faceNodes + 1, sizeof(double)));
  if (!out) return zel::setStatus(status, "Allocation failed for face values\n"), nullptr;
  for (int j = 0; j < nbrFaces; ++j) {
    const int element = faces[3 * j + 1];
    const std::vector<int>* face = localFace(job, faces[3 * j + 2]);
    if (face && (deg == 0 || static_cast<int>(face->size()) == job.surfNodes) &&
        job.topology->faceShape[faces[3 * j + 2]] == job.surfShape) {
      const double* own = values + static_cast<size_t>(element) * job.nodesPerElement;
      for (int k = 0; k < job.faceNodes; ++k)
        out[static_cast<size_t>(j) * job.faceNodes + k] = deg == 0 ? own[0] : own[(*face)[k]];
      continue;
    }
    std::fprintf(stderr, "incompatibility between surface and volume entities\n");
    std::free(out);
    return nullptr;
  }
  return out;
}

double* zel_GetOrientedFaceValues(int deg, int solTyp, const double* values, int surfTyp,
                                  int nbrMarks, const ZelFaceMark* marks, char* status) {
  FaceJob job;
  if (!prepare(deg, solTyp, values, surfTyp, nbrMarks, &job, status)) return nullptr;
  auto* out = static_cast<double*>(
      std::calloc(static_cast<size_t>(nbrMarks) * job.faceNodes + 1, sizeof(double)));
  if (!out) return zel::setStatus(status, "Allocation failed for face values\n"), nullptr;
  const LatticeOrder& surface = *LatticeNodeOrder(job.surfShape, deg == 0 ? 1 : deg);
  for (int j = 0; j < nbrMarks; ++j) {
    const ZelFaceMark& mark = marks[j];
    if (mark.face == 0) continue;
    const std::vector<int>* face = localFace(job, mark.localFace);
    const int sizFac = face ? static_cast<int>(face->size()) : 0;
    if (!face || job.topology->faceShape[mark.localFace] != job.surfShape ||
        (deg > 0 && sizFac != job.surfNodes)) {
      std::fprintf(stderr,
                   "incompatibility between surface and volume entities sizFac %d nbrNod %d "
                   "because deg is %d\n",
                   sizFac, job.surfNodes, deg);
      std::free(out);
      return nullptr;
    }
    const double* own = values + static_cast<size_t>(mark.element) * job.nodesPerElement;
    if (deg == 0) {
      out[static_cast<size_t>(j) * job.faceNodes] = own[0];
      continue;
    }
    for (int k = 0; k < job.faceNodes; ++k) {
      int row[3];
      if (!zel_OrientFaceRow(job.surfShape, deg, mark.codes, surface.row(k), row))
        zel::fatalExit(stdout, job.surfShape == EntityType::Triangle
                                   ? " #ERROR :posTri wrong coefficients in input\n"
                                   : " #ERROR :posQua wrong coefficients in input\n");
      out[static_cast<size_t>(j) * job.faceNodes + k] = own[(*face)[rowPosition(surface, row)]];
    }
  }
  return out;
}
