// The keyword table of the mesh and solution file format: 199 entries indexed by keyword code.
#include "meshio/keyword_table.h"

namespace zel {

// {name, count format, line format, format described}: count format "i" for tables with a
// line count; line format one letter per field ("d": next letter dimension times, "s"/"h":
// solution size times, "h" once more per node). Keywords whose format is not described are
// recognised and skipped.
const KeywordInfo kKeywordTable[kKeywordCount] = {
    {"Reserved", "", "", false},  // 0
    {"MeshVersionFormatted", "", "i", true},  // 1
    {"Reserved", "", "", false},  // 2
    {"Dimension", "", "i", true},  // 3
    {"Vertices", "i", "dri", true},  // 4
    {"Edges", "i", "iii", true},  // 5
    {"Triangles", "i", "iiii", true},  // 6
    {"Quadrilaterals", "i", "iiiii", true},  // 7
    {"Tetrahedra", "i", "iiiii", true},  // 8
    {"Prisms", "i", "iiiiiii", true},  // 9
    {"Hexahedra", "i", "iiiiiiiii", true},  // 10
    {"Reserved", "", "", false},  // 11
    {"Reserved", "", "", false},  // 12
    {"Corners", "i", "i", true},  // 13
    {"Ridges", "", "", false},  // 14
    {"RequiredVertices", "", "", false},  // 15
    {"RequiredEdges", "", "", false},  // 16
    {"RequiredTriangles", "", "", false},  // 17
    {"RequiredQuadrilaterals", "", "", false},  // 18
    {"TangentAtEdgeVertices", "", "", false},  // 19
    {"NormalAtVertices", "", "", false},  // 20
    {"NormalAtTriangleVertices", "", "", false},  // 21
    {"NormalAtQuadrilateralVertices", "", "", false},  // 22
    {"AngleOfCornerBound", "", "", false},  // 23
    {"TrianglesP2", "i", "iiiiiii", true},  // 24
    {"EdgesP2", "i", "iiii", true},  // 25
    {"SolAtPyramids", "i", "sr", true},  // 26
    {"QuadrilateralsQ2", "i", "iiiiiiiiii", true},  // 27
    {"ISolAtPyramids", "", "", false},  // 28
    {"SubDomainFromGeom", "", "", false},  // 29
    {"TetrahedraP2", "i", "iiiiiiiiiii", true},  // 30
    {"Fault_NearTri", "", "", false},  // 31
    {"Fault_Inter", "", "", false},  // 32
    {"HexahedraQ2", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 33
    {"ExtraVerticesAtEdges", "", "", false},  // 34
    {"ExtraVerticesAtTriangles", "", "", false},  // 35
    {"ExtraVerticesAtQuadrilaterals", "", "", false},  // 36
    {"ExtraVerticesAtTetrahedra", "", "", false},  // 37
    {"ExtraVerticesAtPrisms", "", "", false},  // 38
    {"ExtraVerticesAtHexahedra", "", "", false},  // 39
    {"VerticesOnGeometricVertices", "", "", false},  // 40
    {"VerticesOnGeometricEdges", "", "", false},  // 41
    {"VerticesOnGeometricTriangles", "", "", false},  // 42
    {"VerticesOnGeometricQuadrilaterals", "", "", false},  // 43
    {"EdgesOnGeometricEdges", "", "", false},  // 44
    {"Fault_FreeEdge", "", "", false},  // 45
    {"Polyhedra", "", "", false},  // 46
    {"Polygons", "", "", false},  // 47
    {"Fault_Overlap", "", "", false},  // 48
    {"Pyramids", "i", "iiiiii", true},  // 49
    {"BoundingBox", "", "", false},  // 50
    {"Reserved", "", "", false},  // 51
    {"PrivateTable", "", "", false},  // 52
    {"Fault_BadShape", "", "", false},  // 53
    {"End", "", "", true},  // 54
    {"TrianglesOnGeometricTriangles", "", "", false},  // 55
    {"TrianglesOnGeometricQuadrilaterals", "", "", false},  // 56
    {"QuadrilateralsOnGeometricTriangles", "", "", false},  // 57
    {"QuadrilateralsOnGeometricQuadrilaterals", "", "", false},  // 58
    {"Tangents", "", "", false},  // 59
    {"Normals", "i", "dr", true},  // 60
    {"TangentAtVertices", "", "", false},  // 61
    {"SolAtVertices", "i", "sr", true},  // 62
    {"SolAtEdges", "i", "sr", true},  // 63
    {"SolAtTriangles", "i", "sr", true},  // 64
    {"SolAtQuadrilaterals", "i", "sr", true},  // 65
    {"SolAtTetrahedra", "i", "sr", true},  // 66
    {"SolAtPrisms", "i", "sr", true},  // 67
    {"SolAtHexahedra", "i", "sr", true},  // 68
    {"DSolAtVertices", "", "", false},  // 69
    {"ISolAtVertices", "", "", false},  // 70
    {"ISolAtEdges", "", "", false},  // 71
    {"ISolAtTriangles", "", "", false},  // 72
    {"ISolAtQuadrilaterals", "", "", false},  // 73
    {"ISolAtTetrahedra", "", "", false},  // 74
    {"ISolAtPrisms", "", "", false},  // 75
    {"ISolAtHexahedra", "", "", false},  // 76
    {"Iterations", "", "i", true},  // 77
    {"Time", "", "r", true},  // 78
    {"Fault_SmallTri", "", "", false},  // 79
    {"CoarseHexahedra", "", "", false},  // 80
    {"Comments", "", "", false},  // 81
    {"PeriodicVertices", "", "", false},  // 82
    {"PeriodicEdges", "", "", false},  // 83
    {"PeriodicTriangles", "", "", false},  // 84
    {"PeriodicQuadrilaterals", "", "", false},  // 85
    {"PrismsP2", "i", "iiiiiiiiiiiiiiiiiii", true},  // 86
    {"PyramidsP2", "i", "iiiiiiiiiiiiiii", true},  // 87
    {"QuadrilateralsQ3", "i", "iiiiiiiiiiiiiiiii", true},  // 88
    {"QuadrilateralsQ4", "i", "iiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 89
    {"TrianglesP3", "i", "iiiiiiiiiii", true},  // 90
    {"TrianglesP4", "i", "iiiiiiiiiiiiiiii", true},  // 91
    {"EdgesP3", "i", "iiiii", true},  // 92
    {"EdgesP4", "i", "iiiiii", true},  // 93
    {"IRefGroups", "", "", false},  // 94
    {"DRefGroups", "", "", false},  // 95
    {"TetrahedraP3", "i", "iiiiiiiiiiiiiiiiiiiii", true},  // 96
    {"TetrahedraP4", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 97
    {"HexahedraQ3", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 98
    {"HexahedraQ4", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 99
    {"PyramidsP3", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 100
    {"PyramidsP4", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 101
    {"PrismsP3", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 102
    {"PrismsP4", "i", "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii", true},  // 103
    {"HOSolAtEdgesP1", "i", "hr", true},  // 104
    {"HOSolAtEdgesP2", "i", "hr", true},  // 105
    {"HOSolAtEdgesP3", "i", "hr", true},  // 106
    {"HOSolAtTrianglesP1", "i", "hr", true},  // 107
    {"HOSolAtTrianglesP2", "i", "hr", true},  // 108
    {"HOSolAtTrianglesP3", "i", "hr", true},  // 109
    {"HOSolAtQuadrilateralsQ1", "i", "hr", true},  // 110
    {"HOSolAtQuadrilateralsQ2", "i", "hr", true},  // 111
    {"HOSolAtQuadrilateralsQ3", "i", "hr", true},  // 112
    {"HOSolAtTetrahedraP1", "i", "hr", true},  // 113
    {"HOSolAtTetrahedraP2", "i", "hr", true},  // 114
    {"HOSolAtTetrahedraP3", "i", "hr", true},  // 115
    {"HOSolAtPyramidsP1", "i", "hr", true},  // 116
    {"HOSolAtPyramidsP2", "i", "hr", true},  // 117
    {"HOSolAtPyramidsP3", "i", "hr", true},  // 118
    {"HOSolAtPrismsP1", "i", "hr", true},  // 119
    {"HOSolAtPrismsP2", "i", "hr", true},  // 120
    {"HOSolAtPrismsP3", "i", "hr", true},  // 121
    {"HOSolAtHexahedraQ1", "i", "hr", true},  // 122
    {"HOSolAtHexahedraQ2", "i", "hr", true},  // 123
    {"HOSolAtHexahedraQ3", "i", "hr", true},  // 124
    {"BezierBasis", "", "", false},  // 125
    {"ByteFlow", "", "", false},  // 126
    {"EdgesP2Ordering", "i", "i", true},  // 127
    {"EdgesP3Ordering", "i", "i", true},  // 128
    {"TrianglesP2Ordering", "i", "iii", true},  // 129
    {"TrianglesP3Ordering", "i", "iii", true},  // 130
    {"QuadrilateralsQ2Ordering", "i", "ii", true},  // 131
    {"QuadrilateralsQ3Ordering", "i", "ii", true},  // 132
    {"TetrahedraP2Ordering", "i", "iiii", true},  // 133
    {"TetrahedraP3Ordering", "i", "iiii", true},  // 134
    {"PyramidsP2Ordering", "i", "iii", true},  // 135
    {"PyramidsP3Ordering", "i", "iii", true},  // 136
    {"PrismsP2Ordering", "i", "iiii", true},  // 137
    {"PrismsP3Ordering", "i", "iiii", true},  // 138
    {"HexahedraQ2Ordering", "i", "iii", true},  // 139
    {"HexahedraQ3Ordering", "i", "iii", true},  // 140
    {"EdgesP1Ordering", "i", "i", true},  // 141
    {"EdgesP4Ordering", "i", "i", true},  // 142
    {"TrianglesP1Ordering", "i", "iii", true},  // 143
    {"TrianglesP4Ordering", "i", "iii", true},  // 144
    {"QuadrilateralsQ1Ordering", "i", "ii", true},  // 145
    {"QuadrilateralsQ4Ordering", "i", "ii", true},  // 146
    {"TetrahedraP1Ordering", "i", "iiii", true},  // 147
    {"TetrahedraP4Ordering", "i", "iiii", true},  // 148
    {"PyramidsP1Ordering", "i", "iii", true},  // 149
    {"PyramidsP4Ordering", "i", "iii", true},  // 150
    {"PrismsP1Ordering", "i", "iiii", true},  // 151
    {"PrismsP4Ordering", "i", "iiii", true},  // 152
    {"HexahedraQ1Ordering", "i", "iii", true},  // 153
    {"HexahedraQ4Ordering", "i", "iii", true},  // 154
    {"FloatingPointPrecision", "", "", false},  // 155
    {"HOSolAtEdgesP4", "i", "hr", true},  // 156
    {"HOSolAtTrianglesP4", "i", "hr", true},  // 157
    {"HOSolAtQuadrilateralsQ4", "i", "hr", true},  // 158
    {"HOSolAtTetrahedraP4", "i", "hr", true},  // 159
    {"HOSolAtPyramidsP4", "i", "hr", true},  // 160
    {"HOSolAtPrismsP4", "i", "hr", true},  // 161
    {"HOSolAtHexahedraQ4", "i", "hr", true},  // 162
    {"HOSolAtEdgesP1NodesPositions", "i", "rr", true},  // 163
    {"HOSolAtEdgesP2NodesPositions", "i", "rr", true},  // 164
    {"HOSolAtEdgesP3NodesPositions", "i", "rr", true},  // 165
    {"HOSolAtEdgesP4NodesPositions", "i", "rr", true},  // 166
    {"HOSolAtTrianglesP1NodesPositions", "i", "rrr", true},  // 167
    {"HOSolAtTrianglesP2NodesPositions", "i", "rrr", true},  // 168
    {"HOSolAtTrianglesP3NodesPositions", "i", "rrr", true},  // 169
    {"HOSolAtTrianglesP4NodesPositions", "i", "rrr", true},  // 170
    {"HOSolAtQuadrilateralsQ1NodesPositions", "i", "rr", true},  // 171
    {"HOSolAtQuadrilateralsQ2NodesPositions", "i", "rr", true},  // 172
    {"HOSolAtQuadrilateralsQ3NodesPositions", "i", "rr", true},  // 173
    {"HOSolAtQuadrilateralsQ4NodesPositions", "i", "rr", true},  // 174
    {"HOSolAtTetrahedraP1NodesPositions", "i", "rrrr", true},  // 175
    {"HOSolAtTetrahedraP2NodesPositions", "i", "rrrr", true},  // 176
    {"HOSolAtTetrahedraP3NodesPositions", "i", "rrrr", true},  // 177
    {"HOSolAtTetrahedraP4NodesPositions", "i", "rrrr", true},  // 178
    {"HOSolAtPyramidsP1NodesPositions", "i", "rrr", true},  // 179
    {"HOSolAtPyramidsP2NodesPositions", "i", "rrr", true},  // 180
    {"HOSolAtPyramidsP3NodesPositions", "i", "rrr", true},  // 181
    {"HOSolAtPyramidsP4NodesPositions", "i", "rrr", true},  // 182
    {"HOSolAtPrismsP1NodesPositions", "i", "rrrr", true},  // 183
    {"HOSolAtPrismsP2NodesPositions", "i", "rrrr", true},  // 184
    {"HOSolAtPrismsP3NodesPositions", "i", "rrrr", true},  // 185
    {"HOSolAtPrismsP4NodesPositions", "i", "rrrr", true},  // 186
    {"HOSolAtHexahedraQ1NodesPositions", "i", "rrr", true},  // 187
    {"HOSolAtHexahedraQ2NodesPositions", "i", "rrr", true},  // 188
    {"HOSolAtHexahedraQ3NodesPositions", "i", "rrr", true},  // 189
    {"HOSolAtHexahedraQ4NodesPositions", "i", "rrr", true},  // 190
    {"EdgesReferenceElement", "", "", false},  // 191
    {"TriangleReferenceElement", "", "", false},  // 192
    {"QuadrilateralReferenceElement", "", "", false},  // 193
    {"TetrahedronReferenceElement", "", "", false},  // 194
    {"PyramidReferenceElement", "", "", false},  // 195
    {"PrismReferenceElement", "", "", false},  // 196
    {"HexahedronReferenceElement", "", "", false},  // 197
    {"BoundaryLayers", "", "", false},  // 198
};

}  // namespace zel

#include <cstring>

namespace zel {

int keywordCode(const char* name, int length) {
  for (int code = 1; code < kKeywordCount; ++code) {
    const char* candidate = kKeywordTable[code].name;
    if (std::strlen(candidate) == static_cast<size_t>(length) &&
        std::memcmp(candidate, name, static_cast<size_t>(length)) == 0)
      return code;
  }
  return 0;
}

}  // namespace zel
