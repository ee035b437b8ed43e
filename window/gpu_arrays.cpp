// Renumbering, normalisation and Bezier conversion of geometry before its upload.
#include "window/gpu_arrays.h"

#include <algorithm>

#include "homath/lagrange_to_bezier.h"
#include "meshio/entity_types.h"
#include "window/stage_timings.h"

namespace {

struct KindShape {
  int degree;
  int nodes;
};

// Degree and nodes of every kind with elements; the cut, user-cut and surface families share
// their plain counterpart's shape.
KindShape shapeOf(int kind) {
  using namespace DrawKind;
  switch (kind) {
    case Vertex: case Corner: case SceneCenter: return {1, 1};
    case Edge: case CutPlane: return {1, 2};
    case EdgeP2: return {2, 3};
    case EdgeP3: return {3, 4};
    case EdgeP4: return {4, 5};
    case Triangle: case CutTriangle: case UsrCutTriangle: case SrfTriangle: case Patch:
      return {1, 3};
    case TriangleP2: case CutTriangleP2: case UsrCutTriangleP2: case SrfTriangleP2: return {2, 6};
    case TriangleP3: case CutTriangleP3: case UsrCutTriangleP3: case SrfTriangleP3: return {3, 10};
    case TriangleP4: case CutTriangleP4: case UsrCutTriangleP4: case SrfTriangleP4: return {4, 15};
    case Quadrilateral: case CutQuadrilateral: case UsrCutQuadrilateral: case SrfQuadrilateral:
    case Palette:
      return {1, 4};
    case QuadrilateralQ2: case CutQuadrilateralQ2: case UsrCutQuadrilateralQ2:
    case SrfQuadrilateralQ2:
      return {2, 9};
    case QuadrilateralQ3: case CutQuadrilateralQ3: case UsrCutQuadrilateralQ3:
    case SrfQuadrilateralQ3:
      return {3, 16};
    case QuadrilateralQ4: case CutQuadrilateralQ4: case UsrCutQuadrilateralQ4:
    case SrfQuadrilateralQ4:
      return {4, 25};
    default: return {0, 0};
  }
}

// Converts the control points of curved kinds in place (3 components per vertex).
void convertToBezier(int kind, GpuArrays* arrays) {
  const int degree = kindGeometricDegree(kind);
  if (degree < 2 || arrays->elementCount == 0) return;
  const std::vector<int> indices(arrays->indices.begin(), arrays->indices.end());
  LagrangeToBezier(arrays->vertexCount, degree, arrays->coords.data(), 3, arrays->elementCount,
                   indices.data(), arrays->nodesPerElement);
}

}  // namespace

int kindGeometricDegree(int kind) { return shapeOf(kind).degree; }
int kindNodesPerElement(int kind) { return shapeOf(kind).nodes; }

void boxCentreAndFactor(int count, const double* coords, double centre[3], double* factor,
                        double box[6]) {
  double low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
  for (int i = 0; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      const double x = coords[3 * i + axis];
      if (i == 0 || x < low[axis]) low[axis] = x;
      if (i == 0 || x > high[axis]) high[axis] = x;
    }
  }
  double extent = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    centre[axis] = 0.5 * (low[axis] + high[axis]);
    extent = std::max(extent, high[axis] - low[axis]);
    if (box) {
      box[2 * axis] = low[axis];
      box[2 * axis + 1] = high[axis];
    }
  }
  *factor = extent > 0.0 ? 1.0 / extent : 1.0;
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
  std::vector<double> used(size_t(arrays.vertexCount) * 3);
  for (size_t i = 0; i < usedVertices.size(); ++i)
    std::copy_n(coords + 3 * size_t(usedVertices[i]), 3, used.begin() + 3 * i);
  double centre[3], factor;
  boxCentreAndFactor(arrays.vertexCount, used.data(), centre, &factor, arrays.box);
  arrays.coords.resize(used.size());
  for (size_t i = 0; i < used.size(); ++i)
    arrays.coords[i] = float((used[i] - centre[i % 3]) * factor);
  {
    StageClock clock(bezierSeconds);
    convertToBezier(kind, &arrays);
  }
  return arrays;
}

GpuArrays packLocalArrays(int kind, int vertexCount, const double* coords, int elementCount,
                          const unsigned* indices, double* bezierSeconds) {
  GpuArrays arrays;
  arrays.vertexCount = vertexCount;
  arrays.elementCount = elementCount;
  arrays.nodesPerElement = kindNodesPerElement(kind);
  arrays.indices.assign(indices, indices + size_t(elementCount) * size_t(arrays.nodesPerElement));
  double centre[3], factor;
  boxCentreAndFactor(vertexCount, coords, centre, &factor, arrays.box);
  arrays.coords.resize(size_t(vertexCount) * 3);
  for (size_t i = 0; i < arrays.coords.size(); ++i)
    arrays.coords[i] = float((coords[i] - centre[i % 3]) * factor);
  {
    StageClock clock(bezierSeconds);
    convertToBezier(kind, &arrays);
  }
  return arrays;
}
