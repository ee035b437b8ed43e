// Packing of mesh arrays into the arrays a GPU buffer object uploads: vertices renumbered by
// first use, coordinates normalised to single precision, curved elements converted from
// Lagrange nodes to Bezier control points.
#pragma once

#include <vector>

// Geometric degree of a scene-object kind (1 for straight kinds, 2..4 for curved ones) and its
// nodes per element (1 for points); 0 for kinds without elements.
int kindGeometricDegree(int kind);
int kindNodesPerElement(int kind);

struct GpuArrays {
  int vertexCount = 0;
  int elementCount = 0;
  int nodesPerElement = 0;
  std::vector<unsigned> indices;  // elementCount x nodesPerElement, 0-based
  std::vector<float> coords;      // vertexCount x 3, normalised
  // Box of the vertices used (xmin, xmax, ymin, ymax, zmin, zmax); the normalisation is its
  // centre and 1 / its largest extent.
  double box[6] = {0, 0, 0, 0, 0, 0};
};

// Mesh form: `coords` holds vertex v (1-based) at 3v..3v+2; `nodes` holds element e (1-based)
// at e*k..e*k+k-1 with 1-based vertex numbers. `selection` (optional) lists 1-based element
// numbers to take, in order. With no node table every vertex 1..vertexCount is taken in order.
// Nodes outside 1..vertexCount are left out of the element (the grouping filters such
// elements before they get here). Coordinates become (x - centre) x factor over the vertices
// used; curved kinds get Bezier control points.
// `bezierSeconds` (optional) accumulates the time of the Bezier conversion.
GpuArrays packMeshArrays(int kind, int vertexCount, const double* coords, int elementCount,
                         const int* nodes, const int* selection, int selectionCount,
                         double* bezierSeconds = nullptr);

// The same normalisation for arrays already 0-based: `coords` vertexCount x 3, `indices`
// elementCount x k 0-based (used by faces built from volumes and by the cut-plane outline).
GpuArrays packLocalArrays(int kind, int vertexCount, const double* coords, int elementCount,
                          const unsigned* indices, double* bezierSeconds = nullptr);
