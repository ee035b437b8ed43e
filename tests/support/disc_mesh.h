// Curved meshes of the unit disc for rendering tests: a square grid mapped onto the disc, so
// that every boundary node lies exactly on the unit circle.
#pragma once

#include <vector>

struct CurvedMesh {
  int shape = 0;  // EntityType code of the linear shape (Triangle or Quadrilateral)
  int degree = 1;
  int nodesPerElement = 0;
  int vertexCount = 0;  // nodes, high-order ones included
  int elementCount = 0;
  std::vector<double> coords;  // 1-based: vertex v at 3v..3v+2 (slot 0 unused)
  std::vector<int> nodes;      // 1-based: element e at e*k..e*k+k-1, default node order
  std::vector<int> refs;       // 1-based: element e at e
};

// The square [-1, 1]^2 cut into n x n cells (each split into two triangles for the triangle
// shape), with degree-d nodes, every point mapped by (x sqrt(1 - y^2/2), y sqrt(1 - x^2/2)).
// Elements of the lower half (y < 0) have reference 1, of the upper left quarter 2 and of the
// upper right quarter 3.
CurvedMesh makeDiscMesh(int shape, int degree, int n);
