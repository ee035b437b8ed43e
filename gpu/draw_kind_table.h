// The scene-object kinds as one table: for every kind the display draws or keeps, the shape and
// degree of its elements, the nodes per element of its packed arrays, the solution family it
// accepts, the shader program and buffer class that draw it, the frame group it is drawn in and
// the class its scene objects get. Every per-kind decision of the display is read from here, so
// a new kind is one row (plus its shaders when it needs a new program).
#pragma once

#include <array>
#include <cstddef>
#include <iterator>

#include "meshio/entity_types.h"

namespace zel {

// Kind code of the iso-line objects, which has no name of its own (printed "Unknown ").
constexpr int kIsoLineKind = 9;

// How many values per element a solution of degree k has on a kind: k + 1 (edges),
// (k + 1)(k + 2) / 2 (triangles), (k + 1)^2 (quadrilaterals); None accepts no solution.
enum class SolutionFamily { None, Edge, Triangle, Quadrilateral };

// The buffer object class that uploads and draws a kind (ZelBufferPoint ... ZelBufferSolution).
enum class BufferClass {
  Point,
  Edge,
  EdgeP2,
  EdgeP3,
  EdgeP4,
  Triangle,
  TriangleP2,
  TriangleP3,
  TriangleP4,
  Quad,
  QuadQ2,
  QuadQ3,
  QuadQ4,
  IsoLine,
  CutPlane,
  Palette,
  Patch,
  Solution,
};
constexpr int kBufferClassCount = static_cast<int>(BufferClass::Solution) + 1;

// The group of the frame a kind is drawn in (the frame fixes the groups' order and when each
// is shown); None: never drawn by the frame.
enum class DrawGroup {
  None,
  Legend,
  CutPlane,
  CutFaces,
  Vertices,
  Corners,
  Edges,
  CurvedEdges,
  Triangles,
  Quadrilaterals,
  UserCutFaces,
  SurfaceFaces,
  Patches,
  SceneCentre,
};

// The scene-object class of a kind: what its objects carry besides the base fields.
enum class ObjectClass {
  Plain,    // nothing more
  Surface,  // a palette
  Face,     // a palette and one origin triple per entity (faces of cuts and of volumes)
  Patch,    // members sharing one smooth-shaded buffer
  Palette,  // the palette object itself (its own constructors; the factory builds none)
};

struct DrawKindRow {
  int kind;                 // DrawKind code
  int degree;               // geometric degree: 2..4 get Bezier control points
  int nodes;                // nodes per element in the packed arrays
  SolutionFamily solution;  // which solutions the kind accepts
  const char* program;      // shader program drawing it; null for kinds never drawn
  BufferClass buffer;
  DrawGroup group;
  ObjectClass objectClass;
};

// Rows in drawing order within each group: the frame draws a group's kinds in row order.
// Kinds without a row (NormalAtVertex, the volume kinds, unknown codes) get no scene object
// and no buffer.
inline constexpr DrawKindRow kDrawKinds[] = {
#define ROW(kind, degree, nodes, solution, program, buffer, group, objectClass)                    \
  {                                                                                                \
    kind, degree, nodes, SolutionFamily::solution, program, BufferClass::buffer, DrawGroup::group, \
        ObjectClass::objectClass                                                                   \
  }
    ROW(DrawKind::Vertex, 1, 1, None, "PntSha", Point, Vertices, Plain),
    ROW(DrawKind::Corner, 1, 1, None, "CrnSha", Point, Corners, Plain),
    ROW(DrawKind::Edge, 1, 2, Edge, "EdgSha", Edge, Edges, Plain),
    ROW(DrawKind::EdgeP2, 2, 3, Edge, "P2EdgSha", EdgeP2, CurvedEdges, Plain),
    ROW(DrawKind::EdgeP3, 3, 4, Edge, "P3EdgSha", EdgeP3, CurvedEdges, Plain),
    ROW(DrawKind::EdgeP4, 4, 5, Edge, "P4EdgSha", EdgeP4, CurvedEdges, Plain),
    ROW(DrawKind::Triangle, 1, 3, Triangle, "TriSha", Triangle, Triangles, Surface),
    ROW(DrawKind::TriangleP2, 2, 6, Triangle, "P2TriSha", TriangleP2, Triangles, Surface),
    ROW(DrawKind::TriangleP3, 3, 10, Triangle, "P3TriSha", TriangleP3, Triangles, Surface),
    ROW(DrawKind::TriangleP4, 4, 15, Triangle, "P4TriSha", TriangleP4, Triangles, Surface),
    ROW(DrawKind::Quadrilateral, 1, 4, Quadrilateral, "QuaSha", Quad, Quadrilaterals, Surface),
    ROW(DrawKind::QuadrilateralQ2, 2, 9, Quadrilateral, "Q2QuaSha", QuadQ2, Quadrilaterals,
        Surface),
    ROW(DrawKind::QuadrilateralQ3, 3, 16, Quadrilateral, "Q3QuaSha", QuadQ3, Quadrilaterals,
        Surface),
    ROW(DrawKind::QuadrilateralQ4, 4, 25, Quadrilateral, "Q4QuaSha", QuadQ4, Quadrilaterals,
        Surface),
    ROW(DrawKind::CutTriangle, 1, 3, Triangle, "TriSha", Triangle, CutFaces, Face),
    ROW(DrawKind::CutTriangleP2, 2, 6, Triangle, "P2TriSha", TriangleP2, CutFaces, Face),
    ROW(DrawKind::CutTriangleP3, 3, 10, Triangle, "P3TriSha", TriangleP3, CutFaces, Face),
    ROW(DrawKind::CutTriangleP4, 4, 15, Triangle, "P4TriSha", TriangleP4, CutFaces, Face),
    ROW(DrawKind::CutQuadrilateral, 1, 4, Quadrilateral, "QuaSha", Quad, CutFaces, Face),
    ROW(DrawKind::CutQuadrilateralQ2, 2, 9, Quadrilateral, "Q2QuaSha", QuadQ2, CutFaces, Face),
    ROW(DrawKind::CutQuadrilateralQ3, 3, 16, Quadrilateral, "Q3QuaSha", QuadQ3, CutFaces, Face),
    ROW(DrawKind::CutQuadrilateralQ4, 4, 25, Quadrilateral, "Q4QuaSha", QuadQ4, CutFaces, Face),
    ROW(DrawKind::UsrCutTriangle, 1, 3, Triangle, "TriSha", Triangle, UserCutFaces, Face),
    ROW(DrawKind::UsrCutTriangleP2, 2, 6, Triangle, "P2TriSha", TriangleP2, UserCutFaces, Face),
    ROW(DrawKind::UsrCutTriangleP3, 3, 10, Triangle, "P3TriSha", TriangleP3, UserCutFaces, Face),
    ROW(DrawKind::UsrCutTriangleP4, 4, 15, Triangle, "P4TriSha", TriangleP4, UserCutFaces, Face),
    ROW(DrawKind::UsrCutQuadrilateral, 1, 4, Quadrilateral, "QuaSha", Quad, UserCutFaces, Face),
    ROW(DrawKind::UsrCutQuadrilateralQ2, 2, 9, Quadrilateral, "Q2QuaSha", QuadQ2, UserCutFaces,
        Face),
    ROW(DrawKind::UsrCutQuadrilateralQ3, 3, 16, Quadrilateral, "Q3QuaSha", QuadQ3, UserCutFaces,
        Face),
    ROW(DrawKind::UsrCutQuadrilateralQ4, 4, 25, Quadrilateral, "Q4QuaSha", QuadQ4, UserCutFaces,
        Face),
    ROW(DrawKind::SrfTriangle, 1, 3, Triangle, "TriSha", Triangle, SurfaceFaces, Face),
    ROW(DrawKind::SrfTriangleP2, 2, 6, Triangle, "P2TriSha", TriangleP2, SurfaceFaces, Face),
    ROW(DrawKind::SrfTriangleP3, 3, 10, Triangle, "P3TriSha", TriangleP3, SurfaceFaces, Face),
    ROW(DrawKind::SrfTriangleP4, 4, 15, Triangle, "P4TriSha", TriangleP4, SurfaceFaces, Face),
    ROW(DrawKind::SrfQuadrilateral, 1, 4, Quadrilateral, "QuaSha", Quad, SurfaceFaces, Face),
    ROW(DrawKind::SrfQuadrilateralQ2, 2, 9, Quadrilateral, "Q2QuaSha", QuadQ2, SurfaceFaces, Face),
    ROW(DrawKind::SrfQuadrilateralQ3, 3, 16, Quadrilateral, "Q3QuaSha", QuadQ3, SurfaceFaces, Face),
    ROW(DrawKind::SrfQuadrilateralQ4, 4, 25, Quadrilateral, "Q4QuaSha", QuadQ4, SurfaceFaces, Face),
    ROW(kIsoLineKind, 1, 2, None, nullptr, IsoLine, None, Plain),
    ROW(DrawKind::SceneCenter, 1, 1, None, "PntSha", Point, SceneCentre, Plain),
    ROW(DrawKind::CutPlane, 1, 2, None, "CliPSha", CutPlane, CutPlane, Plain),
    ROW(DrawKind::Solution, 0, 0, None, nullptr, Solution, None, Plain),
    ROW(DrawKind::Palette, 1, 4, None, "PalSha", Palette, Legend, Palette),
    ROW(DrawKind::Patch, 1, 3, None, "PatSha", Patch, Patches, Patch),
#undef ROW
};
constexpr std::size_t kDrawKindRowCount = std::size(kDrawKinds);

namespace detail {
constexpr std::array<int, DrawKind::Count> rowIndexOfKinds() {
  std::array<int, DrawKind::Count> index{};
  for (int& row : index) row = -1;
  for (std::size_t row = 0; row < kDrawKindRowCount; ++row)
    index[static_cast<std::size_t>(kDrawKinds[row].kind)] = static_cast<int>(row);
  return index;
}
inline constexpr std::array<int, DrawKind::Count> kRowOfKind = rowIndexOfKinds();
}  // namespace detail

// The row of a kind, or null for kinds without one (any code outside 0..61 included).
constexpr const DrawKindRow* drawKindRow(int kind) {
  if (kind < 0 || kind >= DrawKind::Count) return nullptr;
  const int row = detail::kRowOfKind[static_cast<std::size_t>(kind)];
  return row < 0 ? nullptr : &kDrawKinds[row];
}

// Shorthands for the common questions; 0, None or null for kinds without a row.
constexpr int kindDegree(int kind) {
  const DrawKindRow* row = drawKindRow(kind);
  return row ? row->degree : 0;
}
constexpr int kindNodesPerElement(int kind) {
  const DrawKindRow* row = drawKindRow(kind);
  return row ? row->nodes : 0;
}
constexpr SolutionFamily kindSolutionFamily(int kind) {
  const DrawKindRow* row = drawKindRow(kind);
  return row ? row->solution : SolutionFamily::None;
}
constexpr const char* kindProgram(int kind) {
  const DrawKindRow* row = drawKindRow(kind);
  return row ? row->program : nullptr;
}

}  // namespace zel
