// Constant data of the entity catalogue: per-type properties, scene-kind names and the default
// node orders of types 3..31.
#include "meshio/entity_table.h"

namespace zel {

// Codes 0..31; nodes, shape vertices, SolTyp and DrawKind are -1 where undefined.
const EntityInfo kEntityInfo[kEntityInfoCount] = {
    {"Any", " Any       type   ", 0, -1, -1, -1, -1},
    {"Vertex", " Vertex           ", 0, -1, -1, -1, 0},
    {"Corner", "unknown type", 0, -1, -1, -1, 1},
    {"Edge", " Edge             ", 1, 2, 2, 100, 2},
    {"Triangle", " Triangle         ", 1, 3, 3, 101, 6},
    {nullptr, "unknown type", 0, -1, -1, -1, -1},
    {"Quadrilateral", " Quadrilateral    ", 1, 4, 4, 102, 11},
    {"Tetrahedron", " Tetrahedra       ", 1, 4, 4, 103, 14},
    {"Pyramid", " Pyramid          ", 1, 5, 5, 104, 26},
    {"Prism", " Prism            ", 1, 6, 6, 105, 22},
    {"Hexahedron", " Hexahedra        ", 1, 8, 8, 106, 18},
    {"EdgeP2", " P2 Edge          ", 2, 3, 2, 107, 3},
    {"TriangleP2", " P2 Triangle      ", 2, 6, 3, 108, 7},
    {"QuadrilateralQ2", " Q2 Quadrilateral ", 2, 9, 4, 109, 12},
    {"TetrahedronP2", " P2 Tetrahedra    ", 2, 10, 4, 110, 15},
    {"HexahedronQ2", " Q2 Hexahedra     ", 2, 27, 8, 113, 19},
    {"PyramidP2", " P2 Pyramid       ", 2, 14, 5, 111, 27},
    {"PrismP2", " P2 Prism         ", 2, 18, 6, 112, 23},
    {"EdgeP3", " P3 Edge          ", 3, 4, 2, 114, 4},
    {"TriangleP3", " P3 Triangle      ", 3, 10, 3, 115, 8},
    {"QuadrilateralQ3", " Q3 Quadrilateral ", 3, 16, 4, 116, 13},
    {"TetrahedronP3", " P3 Tetrahedra    ", 3, 20, 4, 117, 16},
    {"HexahedronQ3", " Q3 Hexahedra     ", 3, 64, 8, 120, 20},
    {"PyramidP3", " P3 Pyramid       ", 3, 30, 5, 118, 28},
    {"PrismP3", " P3 Prism         ", 3, 40, 6, 119, 24},
    {"EdgeP4", " P4 Edge          ", 4, 5, 2, 121, 35},
    {"TriangleP4", " P4 Triangle      ", 4, 15, 3, 122, 36},
    {"QuadrilateralQ4", " Q4 Quadrilateral ", 4, 25, 4, 123, 37},
    {"TetrahedronP4", " P4 Tetrahedra    ", 4, 35, 4, 124, 17},
    {"HexahedronQ4", " Q4 Hexahedra     ", 4, 125, 8, 127, 21},
    {"PyramidP4", " P4 Pyramid       ", 4, 55, 5, 125, 29},
    {"PrismP4", " P4 Prism         ", 4, 75, 6, 126, 25},
};

// Scene kinds of the cut and surface faces, codes 75..98.
const signed char kCutDrawKind[24] = {38, 42, 39, 43, 40, 44, 41, 45, 46, 50, 47, 51,
                                      48, 52, 49, 53, 54, 58, 55, 59, 56, 60, 57, 61};

const char* const kDrawKindNames[DrawKind::Count] = {
    "Vertex ", "Corner ", "Edge ", "EdgeP2 ", "EdgeP3 ", "NormalAtVertex ", "Triangle ",
    "TriangleP2 ", "TriangleP3 ", "Unknown ", "SceneCenter ", "Quadrilateral ",
    "QuadrilateralQ2 ", "QuadrilateralQ3 ", "Tetrahedron ", "TetrahedronP2 ",
    "TetrahedronP3 ", "TetrahedronP4 ", "Hexahedron ", "HexahedronQ2 ", "HexahedronQ3 ",
    "HexahedronQ4 ", "Prism ", "PrismP2 ", "PrismP3 ", "PrismP4 ", "Pyramid ", "PyramidP2 ",
    "PyramidP3 ", "PyramidP4 ", "CutPlane ", "Solution ", "Palette ", "Patch ", "Unknown ",
    "EdgeP4 ", "TriangleP4 ", "QuadrilateralQ4 ", "CutTriangle ", "CutTriangleP2 ",
    "CutTriangleP3 ", "CutTriangleP4 ", "CutQuadrilateral ", "CutQuadrilateralQ2 ",
    "CutQuadrilateralQ3 ", "CutQuadrilateralQ4 ", "UsrCutTriangle ", "UsrCutTriangleP2 ",
    "UsrCutTriangleP3 ", "UsrCutTriangleP4 ", "UsrCutQuadrilateral ", "UsrCutQuadrilateralQ2 ",
    "UsrCutQuadrilateralQ3 ", "UsrCutQuadrilateralQ4 ", "SrfTriangle ", "SrfTriangleP2 ",
    "SrfTriangleP3 ", "SrfTriangleP4 ", "SrfQuadrilateral ", "SrfQuadrilateralQ2 ",
    "SrfQuadrilateralQ3 ", "SrfQuadrilateralQ4 ",
};

// Default node orders: each row's components written as digits, rows separated by blanks.
const StoredOrder kStoredOrders[kStoredOrderCount] = {
    {EntityType::Edge,
     "0 1"},
    {EntityType::EdgeP2,
     "0 2 1"},
    {EntityType::EdgeP3,
     "0 3 1 2"},
    {EntityType::EdgeP4,
     "0 4 1 2 3"},
    {EntityType::Triangle,
     "100 010 001"},
    {EntityType::TriangleP2,
     "200 020 002 110 011 101"},
    {EntityType::TriangleP3,
     "300 030 003 210 120 021 012 102 201 111"},
    {EntityType::TriangleP4,
     "400 040 004 310 220 130 031 022 013 103 202 301 211 121 112"},
    {EntityType::Quadrilateral,
     "00 10 11 01"},
    {EntityType::QuadrilateralQ2,
     "00 20 22 02 10 21 12 01 11"},
    {EntityType::QuadrilateralQ3,
     "00 30 33 03 10 20 31 32 23 13 02 01 11 21 22 12"},
    {EntityType::QuadrilateralQ4,
     "00 40 44 04 10 20 30 41 42 43 34 24 14 03 02 01 11 31 33 13 21 32 23 12 22"},
    {EntityType::Tetrahedron,
     "1000 0100 0010 0001"},
    {EntityType::TetrahedronP2,
     "2000 0200 0020 0002 1100 0110 1010 1001 0101 0011"},
    {EntityType::TetrahedronP3,
     "3000 0300 0030 0003 2100 1200 0210 0120 1020 2010 2001 1002 0201 0102 0021 0012 1110 "
     "1101 0111 1011"},
    {EntityType::TetrahedronP4,
     "4000 0400 0040 0004 3100 2200 1300 0310 0220 0130 1030 2020 3010 3001 2002 1003 0301 "
     "0202 0103 0031 0022 0013 2110 1210 1120 2101 1201 1102 0211 0121 0112 1021 2011 1012 "
     "1111"},
    {EntityType::Pyramid,
     "000 100 110 010 001"},
    {EntityType::PyramidP2,
     "000 200 220 020 002 100 210 120 010 001 101 111 011 110"},
    {EntityType::PyramidP3,
     "000 300 330 030 003 100 200 310 320 230 130 020 010 001 002 201 102 221 112 021 012 "
     "110 210 220 120 101 211 121 011 111"},
    {EntityType::PyramidP4,
     "000 400 440 040 004 100 200 300 410 420 430 340 240 140 030 020 010 001 002 003 301 "
     "202 103 331 222 113 031 022 013 110 310 330 130 210 320 230 120 220 101 201 102 311 "
     "321 212 231 131 122 021 011 012 111 211 221 121 112"},
    {EntityType::Prism,
     "1000 0100 0010 1001 0101 0011"},
    {EntityType::PrismP2,
     "2000 0200 0020 2002 0202 0022 1100 0110 1010 1102 0112 1012 2001 0201 0021 1101 0111 "
     "1011"},
    {EntityType::PrismP3,
     "3000 0300 0030 3003 0303 0033 2100 1200 0210 0120 1020 2010 2103 1203 0213 0123 1023 "
     "2013 3001 3002 0301 0302 0031 0032 1110 1113 2101 1201 1202 2102 0211 0121 0122 0212 "
     "1021 2011 2012 1022 1111 1112"},
    {EntityType::PrismP4,
     "4000 0400 0040 4004 0404 0044 3100 2200 1300 0310 0220 0130 1030 2020 3010 3104 2204 "
     "1304 0314 0224 0134 1034 2024 3014 4001 4002 4003 0401 0402 0403 0041 0042 0043 2110 "
     "1210 1120 2114 1214 1124 3101 1301 1303 3103 2201 1302 2203 3102 2202 0311 0131 0133 "
     "0313 0221 0132 0223 0312 0222 1031 3011 3013 1033 2021 3012 2023 1032 2022 2111 1211 "
     "1121 2113 1213 1123 2112 1212 1122"},
    {EntityType::Hexahedron,
     "000 100 110 010 001 101 111 011"},
    {EntityType::HexahedronQ2,
     "000 200 220 020 002 202 222 022 100 210 120 010 102 212 122 012 001 201 221 021 110 "
     "112 101 211 121 011 111"},
    {EntityType::HexahedronQ3,
     "000 300 330 030 003 303 333 033 100 200 310 320 230 130 020 010 103 203 313 323 233 "
     "133 023 013 001 002 301 302 331 332 031 032 110 210 220 120 113 213 223 123 101 201 "
     "202 102 311 321 322 312 231 131 132 232 021 011 012 022 111 211 221 121 112 212 222 "
     "122"},
    {EntityType::HexahedronQ4,
     "000 400 440 040 004 404 444 044 100 200 300 410 420 430 340 240 140 030 020 010 104 "
     "204 304 414 424 434 344 244 144 034 024 014 001 002 003 401 402 403 441 442 443 041 "
     "042 043 110 310 330 130 210 320 230 120 220 114 314 334 134 214 324 234 124 224 101 "
     "301 303 103 201 302 203 102 202 411 431 433 413 421 432 423 412 422 341 141 143 343 "
     "241 142 243 342 242 031 011 013 033 021 012 023 032 022 111 311 331 131 113 313 333 "
     "133 211 321 231 121 213 323 233 123 112 312 332 132 221 223 212 322 232 122 222"},
};

}  // namespace zel
