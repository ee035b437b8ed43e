// Meshes for the picking tests written as keyword files (discs, a tetrahedral cube), the
// reports and element centres the tests expect, and a capture of what the viewer prints.
#pragma once

#include <QDir>
#include <array>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/disc_mesh.h"

namespace picking_test {

// Elements of one keyword, 1-based arrays as in the mesh interface.
struct MeshFile {
  int dimension = 3;
  int vertexCount = 0;
  std::vector<double> coords;  // vertex v at 3v..3v+2
  const char* keyword = "";
  int nodesPerElement = 0;
  int elementCount = 0;
  std::vector<int> nodes;  // element e at e*k..e*k+k-1
  std::vector<int> refs;   // element e at e
};

inline std::string writeMeshFile(const MeshFile& m, const std::string& name) {
  const std::string path = QDir::temp().filePath(QString::fromStdString(name)).toStdString();
  std::ofstream out(path);
  out.precision(17);
  out << "MeshVersionFormatted 2\nDimension " << m.dimension << "\nVertices\n"
      << m.vertexCount << "\n";
  for (int v = 1; v <= m.vertexCount; ++v) {
    for (int axis = 0; axis < m.dimension; ++axis) out << m.coords[3 * v + axis] << " ";
    out << "0\n";
  }
  out << m.keyword << "\n" << m.elementCount << "\n";
  for (int e = 1; e <= m.elementCount; ++e) {
    for (int i = 0; i < m.nodesPerElement; ++i) out << m.nodes[e * m.nodesPerElement + i] << " ";
    out << m.refs[e] << "\n";
  }
  out << "End\n";
  return path;
}

inline MeshFile discFile(const CurvedMesh& disc, const char* keyword) {
  MeshFile m;
  m.dimension = 2;
  m.vertexCount = disc.vertexCount;
  m.coords = disc.coords;
  m.keyword = keyword;
  m.nodesPerElement = disc.nodesPerElement;
  m.elementCount = disc.elementCount;
  m.nodes = disc.nodes;
  m.refs = disc.refs;
  return m;
}

// The unit cube of n^3 cells, six tetrahedra each around the cell diagonal, reference 1.
inline MeshFile kuhnCube(int n) {
  MeshFile m;
  const int side = n + 1;
  auto id = [side](int x, int y, int z) { return 1 + x + side * (y + side * z); };
  m.vertexCount = side * side * side;
  m.coords.assign(3 * size_t(m.vertexCount + 1), 0.0);
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        double* c = &m.coords[3 * size_t(id(x, y, z))];
        c[0] = double(x) / n, c[1] = double(y) / n, c[2] = double(z) / n;
      }
  m.keyword = "Tetrahedra";
  m.nodesPerElement = 4;
  m.nodes.assign(4, 0);
  m.refs.assign(1, 0);
  const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (const auto& a : axes) {
          int p[3] = {i, j, k};
          m.nodes.push_back(id(p[0], p[1], p[2]));
          ++p[a[0]];
          m.nodes.push_back(id(p[0], p[1], p[2]));
          ++p[a[1]];
          m.nodes.push_back(id(p[0], p[1], p[2]));
          m.nodes.push_back(id(i + 1, j + 1, k + 1));
          m.refs.push_back(1);
        }
  m.elementCount = 6 * n * n * n;
  return m;
}

// What the viewer writes on std::cout while it lives.
class CoutCapture {
 public:
  CoutCapture() : m_old(std::cout.rdbuf(m_text.rdbuf())) {}
  ~CoutCapture() { std::cout.rdbuf(m_old); }
  std::string take() {
    std::string text = m_text.str();
    m_text.str("");
    return text;
  }

 private:
  std::ostringstream m_text;
  std::streambuf* m_old;
};

inline std::string expectedReport(const MeshFile& m, const char* kindName, int element) {
  std::ostringstream out;
  out << kindName << "number " << element << " picked\nwhose vertices are [";
  for (int i = 0; i < m.nodesPerElement; ++i)
    out << (i ? ", " : "") << m.nodes[size_t(element) * m.nodesPerElement + i];
  out << "]\nReference " << m.refs[size_t(element)] << "\n";
  return out.str();
}

// Point of element e at its parametric centre: the mean of the corners for straight
// quadrilaterals; for P2 triangles the Lagrange sum at (1/3, 1/3, 1/3), -1/9 of each vertex
// and 4/9 of each edge node.
inline std::array<double, 3> elementCentre(const MeshFile& m, int e) {
  std::array<double, 3> centre = {0, 0, 0};
  const int* nodes = &m.nodes[size_t(e) * m.nodesPerElement];
  for (int i = 0; i < m.nodesPerElement; ++i) {
    const double weight = m.nodesPerElement == 6 ? (i < 3 ? -1.0 / 9 : 4.0 / 9) : 0.25;
    for (int axis = 0; axis < 3; ++axis) centre[axis] += weight * m.coords[3 * nodes[i] + axis];
  }
  return centre;
}

}  // namespace picking_test
