// How large the elements of a buffer can appear on the screen: per-axis bounds taken once when
// the geometry is uploaded, and the bound in pixels that lets a frame draw objects whose
// elements are all below a pixel with the programs that skip the screen level.
#pragma once

class QMatrix4x4;
class QVector3D;

namespace zel {

// Bounds of one object's elements in its buffer's coordinates, from their control points.
struct ElementExtent {
  bool known = false;     // false: no elements, an index outside the vertices, or a point
                          // that is not finite
  float box[6] = {};      // all control points: xmin, xmax, ymin, ymax, zmin, zmax
  float largest[3] = {};  // largest extent of one element's control points along x, y and z
};

// `elementCount` elements of `perElement` 0-based indices into `vertexCount` points of 3
// floats; one pass over the indices.
ElementExtent elementExtentOf(int vertexCount, const float* coords, int elementCount,
                              int perElement, const unsigned* indices);

// Upper bound, in pixels, of the distance between two control points of one element, the
// buffer placed at world = scaling x position + trans and seen through `mvp` (world to clip
// coordinates) and the x and y rows of `viewport` (NDC to pixels), as the tessellation stages
// project them. Negative when there is no bound: unknown extent, or a point of the box within
// 1e-4 of the eye plane or behind it.
double elementPixelBound(const ElementExtent& extent, const QMatrix4x4& mvp,
                         const QMatrix4x4& viewport, float scaling, const QVector3D& trans);

// True when elements whose control points lie within `pixels` of each other get screen level 1
// on every edge and face. The stages measure `bend` times the largest second difference (or
// twist) of a control net in pixels, each at most 2 x pixels, and ask for more than one
// segment only above 4; a tenth of that is kept for rounding. False for a negative bound or
// a bend of 0 (a kind without a screen level).
bool screenLevelIsOne(double pixels, float bend);

}  // namespace zel
