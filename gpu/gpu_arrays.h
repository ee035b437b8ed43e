// Packing of mesh arrays into the arrays a GPU buffer object uploads: vertices renumbered by
// first use, coordinates normalised to single precision by the object's own placement, curved
// elements converted from Lagrange nodes to Bezier control points. Pure: no OpenGL.
#pragma once

#include <vector>

namespace zel {

// Where an object's geometry sits: its box (xmin, xmax, ymin, ymax, zmin, zmax) and the
// placement that normalises it, centre = the box's midpoint and scale = 1 / its largest extent
// (1 when that extent is not positive). The buffer keeps it; the frame's placement uniforms
// undo it.
struct Placement {
  double box[6] = {0, 0, 0, 0, 0, 0};
  double centre[3] = {0, 0, 0};
  double scale = 1.0;
};
// The placement of `count` points of 3 doubles (vertexAt-style access by index).
Placement placementOfBox(const double box[6]);
// Sets the box empty: every low bound +infinity and every high bound -infinity, so that the
// first point widened into it becomes the box and a box without points stays low above high.
void emptyBox(double box[6]);

struct GpuArrays {
  int vertexCount = 0;
  int elementCount = 0;
  int nodesPerElement = 0;
  std::vector<unsigned> indices;  // elementCount x nodesPerElement, 0-based
  std::vector<float> coords;      // vertexCount x 3, (x - centre) x scale
  Placement placement;            // of the vertices used
};

// Mesh form: `coords` holds vertex v (1-based) at 3v..3v+2; `nodes` holds element e (1-based)
// at e*k..e*k+k-1 with 1-based vertex numbers, k the kind's nodes per element (draw-kind
// table). `selection` (optional) lists 1-based element numbers to take, in order; numbers
// outside 1..elementCount are skipped. With no node table every vertex 1..vertexCount is taken
// in order as a point. Elements with a node outside 1..vertexCount are left out.
// `bezierSeconds` (optional) accumulates the time of the Bezier conversion.
GpuArrays packMeshArrays(int kind, int vertexCount, const double* coords, int elementCount,
                         const int* nodes, const int* selection, int selectionCount,
                         double* bezierSeconds = nullptr);

// The same for arrays already 0-based: `coords` vertexCount x 3, `indices` elementCount x k
// 0-based (faces built from volumes, the cut-plane outline).
GpuArrays packLocalArrays(int kind, int vertexCount, const double* coords, int elementCount,
                          const unsigned* indices, double* bezierSeconds = nullptr);

}  // namespace zel
