// Renumbering, normalisation and Bezier conversion of geometry before its upload.
#include "gpu/gpu_arrays.h"

#include <algorithm>
#include <limits>

#include "gpu/ZelBufferObject.h"
#include "gpu/draw_kind_table.h"
#include "gpu/stage_timings.h"
#include "homath/lagrange_to_bezier.h"

namespace zel {
namespace {

// Fills the arrays' box from `count` vertices (vertexAt(i): the vertex's three coordinates),
// stores their coordinates normalised by that box's centre and largest extent, and converts
// the control points of curved kinds to Bezier form in place.
template <typename VertexAt>
void normaliseAndConvert(int kind, int count, VertexAt vertexAt, GpuArrays* arrays,
                         double* bezierSeconds) {
  // Without vertices the box stays empty, so that the scene's box leaves the object out
  // instead of stretching to the origin.
  double box[6];
  emptyBox(box);
  for (int i = 0; i < count; ++i) {
    const double* x = vertexAt(i);
    for (int axis = 0; axis < 3; ++axis) {
      box[2 * axis] = std::min(box[2 * axis], x[axis]);
      box[2 * axis + 1] = std::max(box[2 * axis + 1], x[axis]);
    }
  }
  const Placement& placement = arrays->placement = placementOfBox(box);
  arrays->coords.resize(size_t(count) * 3);
  for (int i = 0; i < count; ++i) {
    const double* x = vertexAt(i);
    for (int axis = 0; axis < 3; ++axis)
      arrays->coords[3 * size_t(i) + axis] =
          float((x[axis] - placement.centre[axis]) * placement.scale);
  }

  const int degree = kindDegree(kind);
  if (degree < 2 || arrays->elementCount == 0) return;
  StageClock clock(bezierSeconds);
  const std::vector<int> indices(arrays->indices.begin(), arrays->indices.end());
  LagrangeToBezier(arrays->vertexCount, degree, arrays->coords.data(), 3, arrays->elementCount,
                   indices.data(), arrays->nodesPerElement);
}

}  // namespace

void emptyBox(double box[6]) {
  for (int axis = 0; axis < 3; ++axis) {
    box[2 * axis] = std::numeric_limits<double>::infinity();
    box[2 * axis + 1] = -std::numeric_limits<double>::infinity();
  }
}

Placement placementOfBox(const double box[6]) {
  Placement placement;
  double out[4];
  ZelBufferObject::centreAndScale(box, out);
  for (int axis = 0; axis < 3; ++axis) placement.centre[axis] = out[axis];
  placement.scale = out[3];
  std::copy(box, box + 6, placement.box);
  return placement;
}

GpuArrays packMeshArrays(int kind, int vertexCount, const double* coords, int elementCount,
                         const int* nodes, const int* selection, int selectionCount,
                         double* bezierSeconds) {
  GpuArrays arrays;
  const int k = nodes ? kindNodesPerElement(kind) : 1;
  arrays.nodesPerElement = k;
  std::vector<int> newNumber(size_t(vertexCount) + 1, -1);
  std::vector<int> usedVertices;  // 1-based vertex numbers in order of first use

  auto take = [&](int vertex) {
    if (newNumber[vertex] < 0) {
      newNumber[vertex] = int(usedVertices.size());
      usedVertices.push_back(vertex);
    }
    return unsigned(newNumber[vertex]);
  };

  if (!nodes) {
    for (int v = 1; v <= vertexCount; ++v) take(v);
    arrays.elementCount = vertexCount;
  } else {
    const int count = selection ? selectionCount : elementCount;
    arrays.indices.reserve(size_t(count) * size_t(k));
    for (int i = 0; i < count; ++i) {
      const int element = selection ? selection[i] : i + 1;
      if (element < 1 || element > elementCount) continue;
      const int* node = nodes + size_t(element) * size_t(k);
      if (!std::all_of(node, node + k, [&](int v) { return v >= 1 && v <= vertexCount; })) continue;
      for (int j = 0; j < k; ++j) arrays.indices.push_back(take(node[j]));
      ++arrays.elementCount;
    }
  }

  arrays.vertexCount = int(usedVertices.size());
  normaliseAndConvert(
      kind, arrays.vertexCount, [&](int i) { return coords + 3 * size_t(usedVertices[size_t(i)]); },
      &arrays, bezierSeconds);
  return arrays;
}

GpuArrays packLocalArrays(int kind, int vertexCount, const double* coords, int elementCount,
                          const unsigned* indices, double* bezierSeconds) {
  GpuArrays arrays;
  arrays.vertexCount = vertexCount;
  arrays.elementCount = elementCount;
  arrays.nodesPerElement = kindNodesPerElement(kind);
  arrays.indices.assign(indices, indices + size_t(elementCount) * size_t(arrays.nodesPerElement));
  normaliseAndConvert(
      kind, vertexCount, [&](int i) { return coords + 3 * size_t(i); }, &arrays, bezierSeconds);
  return arrays;
}

}  // namespace zel
