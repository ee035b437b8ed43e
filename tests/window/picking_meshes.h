// Meshes for the picking tests written as keyword files (discs, a tetrahedral cube), the
// reports and element centres the tests expect, and a capture of what the viewer prints.
#pragma once

#include <QDir>
#include <array>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/support/disc_mesh.h"

namespace picking_test {

// Writes `m` in `dimension` with its elements under `keyword` to `name` in the temporary folder.
inline std::string writeMeshFile(const CurvedMesh& m, int dimension, const char* keyword,
                                 const std::string& name) {
  const std::string path = QDir::temp().filePath(QString::fromStdString(name)).toStdString();
  std::ofstream out(path);
  out.precision(17);
  out << "MeshVersionFormatted 2\nDimension " << dimension << "\nVertices\n"
      << m.vertexCount << "\n";
  for (int v = 1; v <= m.vertexCount; ++v) {
    for (int axis = 0; axis < dimension; ++axis) out << m.coords[3 * v + axis] << " ";
    out << "0\n";
  }
  out << keyword << "\n" << m.elementCount << "\n";
  for (int e = 1; e <= m.elementCount; ++e) {
    for (int i = 0; i < m.nodesPerElement; ++i) out << m.nodes[e * m.nodesPerElement + i] << " ";
    out << m.refs[e] << "\n";
  }
  out << "End\n";
  return path;
}

// The unit cube of n^3 cells, six tetrahedra each around the cell diagonal, reference 1.
inline CurvedMesh kuhnCube(int n) {
  CurvedMesh m;
  const int side = n + 1;
  auto id = [side](const int p[3]) { return 1 + p[0] + side * (p[1] + side * p[2]); };
  m.vertexCount = side * side * side;
  m.coords.assign(3, 0.0);
  for (int v = 0; v < m.vertexCount; ++v)
    for (int axis = 0, rest = v; axis < 3; ++axis, rest /= side)
      m.coords.push_back(double(rest % side) / n);
  m.nodesPerElement = 4;
  m.nodes.assign(4, 0);
  m.refs.assign(1, 0);
  const int axes[6][2] = {{0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}};
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        for (const auto& a : axes) {
          int p[3] = {i, j, k}, last[3] = {i + 1, j + 1, k + 1};
          for (const int step : {-1, a[0], a[1]}) {
            if (step >= 0) ++p[step];
            m.nodes.push_back(id(p));
          }
          m.nodes.push_back(id(last));
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
    const std::string text = m_text.str();
    m_text.str("");
    return text;
  }

 private:
  std::ostringstream m_text;
  std::streambuf* m_old;
};

// The report of a picked element; faces of volumes name their element without " picked".
inline std::string expectedReport(const CurvedMesh& m, const char* kindName, int element,
                                  const char* picked = " picked") {
  std::ostringstream out;
  out << kindName << "number " << element << picked << "\nwhose vertices are [";
  for (int i = 0; i < m.nodesPerElement; ++i)
    out << (i ? ", " : "") << m.nodes[size_t(element) * m.nodesPerElement + i];
  out << "]\nReference " << m.refs[size_t(element)] << "\n";
  return out.str();
}

// Point of element e at its parametric centre: the mean of the corners for straight
// quadrilaterals; for P2 triangles the Lagrange sum at (1/3, 1/3, 1/3), -1/9 of each vertex
// and 4/9 of each edge node.
inline std::array<double, 3> elementCentre(const CurvedMesh& m, int e) {
  std::array<double, 3> centre = {0, 0, 0};
  const int* nodes = &m.nodes[size_t(e) * m.nodesPerElement];
  for (int i = 0; i < m.nodesPerElement; ++i) {
    const double weight = m.nodesPerElement == 6 ? (i < 3 ? -1.0 / 9 : 4.0 / 9) : 0.25;
    for (int axis = 0; axis < 3; ++axis) centre[axis] += weight * m.coords[3 * nodes[i] + axis];
  }
  return centre;
}

}  // namespace picking_test
