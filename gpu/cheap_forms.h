// Cheap forms of the buffer classes, drawn while the view moves: curved elements as the
// straight shapes spanned by their corner nodes (drawn by the straight program of their
// family), and large vertex clouds as a fixed, evenly spread subset of their points. Pure: no
// OpenGL.
#pragma once

#include <vector>

#include "gpu/draw_kind_table.h"

namespace zel {

// The straight class of a curved class: TriangleP2..P4 -> Triangle, QuadQ2..Q4 -> Quad,
// EdgeP2..P4 -> Edge. Every other class is its own straight class.
BufferClass straightBufferClass(BufferClass bufferClass);

// The program that draws the straight shapes of a kind's elements: the program of the first
// row of the table whose buffer class is the kind's straight class ("TriSha" for every curved
// triangle family, "QuaSha", "EdgSha"); the kind's own program when it is straight; null for
// kinds without a row.
const char* straightProgram(int kind);

// Vertex clouds of more points than this are drawn as a subset of at most this many while the
// view moves. Point discs cost the software driver about 7 us each at the default size (6.75 M
// points: over a minute a frame on a loaded 2-core machine); 50,000 keep the cloud's shape for
// about a third of a second.
constexpr int kCheapPointBudget = 50000;

// The index array of the cheap form of `elementCount` elements of `bufferClass`, whose
// `indices` hold k 0-based indices per element (k of the class; ignored for points).
// - Curved classes: the corner indices of every element, in element order (corners lead the
//   node order of every element, so they are its first 2, 3 or 4 indices).
// - Points (vertexCount = elementCount) above kCheapPointBudget: every s-th point from the
//   first, s = ceil(count / kCheapPointBudget).
// Empty when the class has no cheap form: it is drawn as it is.
std::vector<unsigned> cheapIndices(BufferClass bufferClass, int elementCount,
                                   const unsigned* indices);

}  // namespace zel
