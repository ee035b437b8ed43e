// Type codes shared by the whole system: mesh entity types, solution types, scene-object kinds.
#pragma once

// Entity type code of a mesh entity (the Typ argument of the zel_ interface), 0..128.
// Linear group 3..10 runs edge, triangle, (5 unused), quadrilateral, tetrahedron, pyramid,
// prism, hexahedron; every higher-degree group runs edge, triangle, quadrilateral,
// tetrahedron, hexahedron, pyramid, prism. Other Parts index tables by these codes.
namespace EntityType {
enum Code : int {
  Any = 0,
  Vertex = 1,
  Corner = 2,
  Edge = 3,
  Triangle = 4,
  Quadrilateral = 6,
  Tetrahedron = 7,
  Pyramid = 8,
  Prism = 9,
  Hexahedron = 10,
  EdgeP2 = 11, TriangleP2 = 12, QuadrilateralQ2 = 13, TetrahedronP2 = 14,
  HexahedronQ2 = 15, PyramidP2 = 16, PrismP2 = 17,
  EdgeP3 = 18, TriangleP3 = 19, QuadrilateralQ3 = 20, TetrahedronP3 = 21,
  HexahedronQ3 = 22, PyramidP3 = 23, PrismP3 = 24,
  EdgeP4 = 25, TriangleP4 = 26, QuadrilateralQ4 = 27, TetrahedronP4 = 28,
  HexahedronQ4 = 29, PyramidP4 = 30, PrismP4 = 31,
  // Degrees 5..10 exist only for high-degree solution fields; no mesh entity has them.
  EdgeP5 = 32, TriangleP5 = 33, QuadrilateralQ5 = 34, TetrahedronP5 = 35,
  HexahedronQ5 = 36, PyramidP5 = 37, PrismP5 = 38,
  Reference = 39,
  EdgeP6 = 40, TriangleP6 = 41, QuadrilateralQ6 = 42, TetrahedronP6 = 43,
  HexahedronQ6 = 44, PyramidP6 = 45, PrismP6 = 46,
  EdgeP7 = 47, TriangleP7 = 48, QuadrilateralQ7 = 49, TetrahedronP7 = 50,
  HexahedronQ7 = 51, PyramidP7 = 52, PrismP7 = 53,
  EdgeP8 = 54, TriangleP8 = 55, QuadrilateralQ8 = 56, TetrahedronP8 = 57,
  HexahedronQ8 = 58, PyramidP8 = 59, PrismP8 = 60,
  EdgeP9 = 61, TriangleP9 = 62, QuadrilateralQ9 = 63, TetrahedronP9 = 64,
  HexahedronQ9 = 65, PyramidP9 = 66, PrismP9 = 67,
  EdgeP10 = 68, TriangleP10 = 69, QuadrilateralQ10 = 70, TetrahedronP10 = 71,
  HexahedronQ10 = 72, PyramidP10 = 73, PrismP10 = 74,
  // Faces made by the cut plane, by user cut planes and by surface extraction (scene only).
  CutTriangle = 75, CutQuadrilateral = 76, CutTriangleP2 = 77, CutQuadrilateralQ2 = 78,
  CutTriangleP3 = 79, CutQuadrilateralQ3 = 80, CutTriangleP4 = 81, CutQuadrilateralQ4 = 82,
  UsrCutTriangle = 83, UsrCutQuadrilateral = 84, UsrCutTriangleP2 = 85,
  UsrCutQuadrilateralQ2 = 86, UsrCutTriangleP3 = 87, UsrCutQuadrilateralQ3 = 88,
  UsrCutTriangleP4 = 89, UsrCutQuadrilateralQ4 = 90,
  SrfTriangle = 91, SrfQuadrilateral = 92, SrfTriangleP2 = 93, SrfQuadrilateralQ2 = 94,
  SrfTriangleP3 = 95, SrfQuadrilateralQ3 = 96, SrfTriangleP4 = 97, SrfQuadrilateralQ4 = 98,
  NormalAtVertex = 128,
};
}  // namespace EntityType

// Solution type: a field carried by one element shape of one mesh degree g (1..4),
// 100 + 7 (g - 1) + s with s: 0 edge, 1 triangle, 2 quadrilateral, 3 tetrahedron,
// 4 pyramid, 5 prism, 6 hexahedron (the hexahedron comes last here, unlike EntityType).
// In solution queries 99 stands for vertices.
namespace SolTyp {
enum Code : int {
  Vertices = 99,
  Edge = 100, Triangle = 101, Quadrilateral = 102, Tetrahedron = 103,
  Pyramid = 104, Prism = 105, Hexahedron = 106,
  EdgeP2 = 107, TriangleP2 = 108, QuadrilateralQ2 = 109, TetrahedronP2 = 110,
  PyramidP2 = 111, PrismP2 = 112, HexahedronQ2 = 113,
  EdgeP3 = 114, TriangleP3 = 115, QuadrilateralQ3 = 116, TetrahedronP3 = 117,
  PyramidP3 = 118, PrismP3 = 119, HexahedronQ3 = 120,
  EdgeP4 = 121, TriangleP4 = 122, QuadrilateralQ4 = 123, TetrahedronP4 = 124,
  PyramidP4 = 125, PrismP4 = 126, HexahedronQ4 = 127,
};
// Shape offsets s within one degree.
enum Shape : int {
  ShapeEdge = 0, ShapeTriangle = 1, ShapeQuadrilateral = 2, ShapeTetrahedron = 3,
  ShapePyramid = 4, ShapePrism = 5, ShapeHexahedron = 6,
};
constexpr int First = 100;
constexpr int Last = 127;
}  // namespace SolTyp

// Kind of a scene object, 0..61. Kinds 9 and 34 are unused.
namespace DrawKind {
enum Code : int {
  Vertex = 0, Corner = 1, Edge = 2, EdgeP2 = 3, EdgeP3 = 4, NormalAtVertex = 5,
  Triangle = 6, TriangleP2 = 7, TriangleP3 = 8,
  SceneCenter = 10, Quadrilateral = 11, QuadrilateralQ2 = 12, QuadrilateralQ3 = 13,
  Tetrahedron = 14, TetrahedronP2 = 15, TetrahedronP3 = 16, TetrahedronP4 = 17,
  Hexahedron = 18, HexahedronQ2 = 19, HexahedronQ3 = 20, HexahedronQ4 = 21,
  Prism = 22, PrismP2 = 23, PrismP3 = 24, PrismP4 = 25,
  Pyramid = 26, PyramidP2 = 27, PyramidP3 = 28, PyramidP4 = 29,
  CutPlane = 30, Solution = 31, Palette = 32, Patch = 33,
  EdgeP4 = 35, TriangleP4 = 36, QuadrilateralQ4 = 37,
  CutTriangle = 38, CutTriangleP2 = 39, CutTriangleP3 = 40, CutTriangleP4 = 41,
  CutQuadrilateral = 42, CutQuadrilateralQ2 = 43, CutQuadrilateralQ3 = 44,
  CutQuadrilateralQ4 = 45,
  UsrCutTriangle = 46, UsrCutTriangleP2 = 47, UsrCutTriangleP3 = 48, UsrCutTriangleP4 = 49,
  UsrCutQuadrilateral = 50, UsrCutQuadrilateralQ2 = 51, UsrCutQuadrilateralQ3 = 52,
  UsrCutQuadrilateralQ4 = 53,
  SrfTriangle = 54, SrfTriangleP2 = 55, SrfTriangleP3 = 56, SrfTriangleP4 = 57,
  SrfQuadrilateral = 58, SrfQuadrilateralQ2 = 59, SrfQuadrilateralQ3 = 60,
  SrfQuadrilateralQ4 = 61,
};
constexpr int Count = 62;  // kinds are 0..Count-1
}  // namespace DrawKind
