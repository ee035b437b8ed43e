// How large the elements of a buffer can appear on the screen: per-axis bounds taken once when
// the geometry is uploaded, and the bound in pixels that lets a frame draw objects whose
// elements are all below a pixel with the programs that skip the screen level.
#pragma once

#include <array>
#include <vector>

class QMatrix4x4;
class QVector3D;

namespace zel {

// Node numbers (p, q, r, s) within one element's control net whose lattice positions are
// p, q = p + e1 + e2, r = p + e1 and s = p + e2 for unit steps e1, e2 of the net (e1 = e2:
// a second difference p - 2 r + q along a row; otherwise a unit cell). The screen level of the
// tessellation stages measures p + q - r - s of some of them in pixels (the bends of the rows
// and, on quadrilaterals, the twist of the cells).
using NetDifference = std::array<int, 4>;

// Bounds of one object's elements in its buffer's coordinates, from their control points.
struct ElementExtent {
  bool known = false;     // false: no elements, an index outside the vertices, or a point
                          // that is not finite
  float box[6] = {};      // all control points: xmin, xmax, ymin, ymax, zmin, zmax
  float largest[3] = {};  // largest extent of one element's control points along x, y and z
  float bend[3] = {};     // largest |p + q - r - s| of one element's net differences along x,
                          // y and z: 0 for straight elements, whatever their size
  float step[3] = {};     // largest |r - p| and |s - p| of those differences along x, y and z
};

// The net differences of an element of the lattice kind (EntityType::Edge, Triangle or
// Quadrilateral) and degree, in its node order; empty for other kinds and for degree 1.
std::vector<NetDifference> netDifferences(int latticeKind, int degree);

// `elementCount` elements of `perElement` 0-based indices into `vertexCount` points of 3
// floats, whose nets have the given differences; one pass over the indices.
ElementExtent elementExtentOf(int vertexCount, const float* coords, int elementCount,
                              int perElement, const unsigned* indices,
                              const std::vector<NetDifference>& differences = {});

// Upper bound, in pixels, of the distance between two control points of one element, the
// buffer placed at world = scaling x position + trans and seen through `mvp` (world to clip
// coordinates) and the x and y rows of `viewport` (NDC to pixels), as the tessellation stages
// project them. Negative when there is no bound: unknown extent, or a point of the box within
// 1e-4 of the eye plane or behind it.
double elementPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans);

// Upper bound, in pixels, of every net difference p + q - r - s of one element as the stages
// measure it, placed and seen as for elementPixelBound: the smaller of twice that bound and
// the image of the element's own differences plus what perspective adds to a straight net,
// so that straight elements of any size on the screen get a bound well below a pixel unless
// the eye is close to them. Negative when there is no bound.
double netBendPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans);

// True when nets whose differences are at most `bendPixels` on the screen get screen level 1
// on every edge and face. The stages measure `bend` times the largest second difference (or
// twist) of a control net in pixels and ask for more than one segment only above 4; a tenth
// of that is kept for rounding. False for a negative bound or a bend of 0 (a kind without a
// screen level).
bool screenLevelIsOne(double bendPixels, float bend);

}  // namespace zel
