// Test helper: the unit cube of 3 x 3 x 3 cells of tetrahedra or hexahedra, written as a mesh
// file with a solution file beside it, for the cut-plane tests. The solution is given at the
// vertices (two fields: cubeLinear, then cubeFalling), as Lagrange values of degree 1 per element
// or as one value per element (cubeLinear at its centroid).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/meshio/mesh_builder.h"

namespace cutcube {

using testmesh::Cell;
using testmesh::Vec;

inline double cubeLinear(const Vec& p) { return 0.5 + p[0] - 2.0 * p[1] + 3.0 * p[2]; }
inline double cubeFalling(const Vec& p) { return 1.0 - p[0]; }

enum class Given { Vertices, ElementP1, ElementP0 };

struct CubeFiles {
  std::string mesh, solution;
  testmesh::MeshBuilder builder{6.0};
  int typ = 0, k = 0, count = 0;  // element type, vertices per element, elements
  std::vector<int> nodes;         // the elements' vertex numbers, k each
  // Vertex n (0-based) of element e (1-based) and the element's centroid.
  Vec node(int e, int n) const { return builder.position(nodes[size_t((e - 1) * k + n)]); }
  Vec centroid(int e) const {
    Vec c{0, 0, 0};
    for (int n = 0; n < k; ++n)
      for (int a = 0; a < 3; ++a) c[a] += node(e, n)[a] / k;
    return c;
  }
};

// Writes "<name>.mesh" and "<name>.sol" into `directory`. Reference 1 below x = 1/3 and 2
// elsewhere when `twoReferences`.
inline void writeCube(CubeFiles* cube, Cell cell, Given given, bool twoReferences,
                      const std::filesystem::path& directory, const std::string& name) {
  testmesh::MeshBuilder& b = cube->builder;
  b.fillCube({cell}, 1, 3);  // cells of side 2 on a grid of 0..6, scaled by 6: the unit cube
  const bool hexahedra = cell == Cell::Hexahedra;
  const char* element = hexahedra ? "Hexahedra" : "Tetrahedra";
  cube->typ = hexahedra ? EntityType::Hexahedron : EntityType::Tetrahedron;
  const int k = cube->k = hexahedra ? 8 : 4;
  cube->nodes = b.nodes(cube->typ);
  const int count = cube->count = int(cube->nodes.size()) / k;
  cube->mesh = (directory / (name + ".mesh")).string();
  cube->solution = (directory / (name + ".sol")).string();
  std::ofstream out(cube->mesh), sol(cube->solution);
  out.precision(17);
  sol.precision(17);
  out << "MeshVersionFormatted 2\nDimension 3\nVertices\n" << b.nbrVertices() << "\n";
  sol << "MeshVersionFormatted 2\nDimension 3\n";
  if (given == Given::Vertices) sol << "SolAtVertices\n" << b.nbrVertices() << "\n2 1 1\n";
  for (int v = 1; v <= b.nbrVertices(); ++v) {
    for (double c : b.position(v)) out << c << " ";
    out << "0\n";
    if (given == Given::Vertices)
      sol << cubeLinear(b.position(v)) << " " << cubeFalling(b.position(v)) << "\n";
  }
  out << element << "\n" << count << "\n";
  if (given == Given::ElementP0) sol << "SolAt" << element << "\n" << count << "\n1 1\n";
  if (given == Given::ElementP1)
    sol << "HOSolAt" << element << (hexahedra ? "Q1" : "P1") << "\n"
        << count << "\n1 1\n1 " << k << "\n";
  for (int e = 1; e <= count; ++e) {
    for (int n = 0; n < k; ++n) {
      out << cube->nodes[size_t((e - 1) * k + n)] << " ";
      if (given == Given::ElementP1) sol << cubeLinear(cube->node(e, n)) << " ";
    }
    out << (twoReferences && cube->centroid(e)[0] > 1.0 / 3 ? 2 : 1) << "\n";
    if (given == Given::ElementP0) sol << cubeLinear(cube->centroid(e));
    if (given != Given::Vertices) sol << "\n";
  }
  out << "End\n";
  sol << "End\n";
}

}  // namespace cutcube
