// The keyword table of the mesh and solution file format, and the codes the loaders use.
#pragma once

namespace zel {

struct KeywordInfo {
  const char* name;
  const char* countFormat;  // "i": a table with a line count; "": one information line
  const char* lineFormat;   // one letter per field, see keyword_table.cpp
  bool described;           // false: recognised, but its lines are skipped
};

constexpr int kKeywordCount = 199;  // valid codes are 1..198
extern const KeywordInfo kKeywordTable[kKeywordCount];

// Keyword codes used by name in the library and the loaders.
namespace Kwd {
enum Code : int {
  MeshVersionFormatted = 1,
  Dimension = 3,
  Vertices = 4,
  Edges = 5,
  Triangles = 6,
  Quadrilaterals = 7,
  Tetrahedra = 8,
  Prisms = 9,
  Hexahedra = 10,
  Corners = 13,
  TrianglesP2 = 24,
  EdgesP2 = 25,
  SolAtPyramids = 26,
  QuadrilateralsQ2 = 27,
  TetrahedraP2 = 30,
  HexahedraQ2 = 33,
  Pyramids = 49,
  End = 54,
  Normals = 60,
  SolAtVertices = 62,
  SolAtEdges = 63,
  SolAtTriangles = 64,
  SolAtQuadrilaterals = 65,
  SolAtTetrahedra = 66,
  SolAtPrisms = 67,
  SolAtHexahedra = 68,
  Iterations = 77,
  Time = 78,
  PrismsP2 = 86,
  PyramidsP2 = 87,
  QuadrilateralsQ3 = 88,
  QuadrilateralsQ4 = 89,
  TrianglesP3 = 90,
  TrianglesP4 = 91,
  EdgesP3 = 92,
  EdgesP4 = 93,
  TetrahedraP3 = 96,
  TetrahedraP4 = 97,
  HexahedraQ3 = 98,
  HexahedraQ4 = 99,
  PyramidsP3 = 100,
  PyramidsP4 = 101,
  PrismsP3 = 102,
  PrismsP4 = 103,
  EdgesP2Ordering = 127,
  EdgesP3Ordering = 128,
  TrianglesP2Ordering = 129,
  TrianglesP3Ordering = 130,
  QuadrilateralsQ2Ordering = 131,
  QuadrilateralsQ3Ordering = 132,
  TetrahedraP2Ordering = 133,
  TetrahedraP3Ordering = 134,
  PyramidsP2Ordering = 135,
  PyramidsP3Ordering = 136,
  PrismsP2Ordering = 137,
  PrismsP3Ordering = 138,
  HexahedraQ2Ordering = 139,
  HexahedraQ3Ordering = 140,
  EdgesP1Ordering = 141,
  EdgesP4Ordering = 142,
  TrianglesP1Ordering = 143,
  TrianglesP4Ordering = 144,
  QuadrilateralsQ1Ordering = 145,
  QuadrilateralsQ4Ordering = 146,
  TetrahedraP1Ordering = 147,
  TetrahedraP4Ordering = 148,
  PyramidsP1Ordering = 149,
  PyramidsP4Ordering = 150,
  PrismsP1Ordering = 151,
  PrismsP4Ordering = 152,
  HexahedraQ1Ordering = 153,
  HexahedraQ4Ordering = 154,
};
}  // namespace Kwd

// Code of the keyword named exactly name[0..length), 0 when none of 1..198 has that name.
int keywordCode(const char* name, int length);

}  // namespace zel
