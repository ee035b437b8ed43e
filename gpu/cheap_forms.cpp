// Straight shapes of curved elements and the subset of large vertex clouds.
#include "gpu/cheap_forms.h"

#include "gpu/ZelBufferObject.h"

namespace zel {

BufferClass straightBufferClass(BufferClass bufferClass) {
  switch (bufferClass) {
    case BufferClass::TriangleP2:
    case BufferClass::TriangleP3:
    case BufferClass::TriangleP4:
      return BufferClass::Triangle;
    case BufferClass::QuadQ2:
    case BufferClass::QuadQ3:
    case BufferClass::QuadQ4:
      return BufferClass::Quad;
    case BufferClass::EdgeP2:
    case BufferClass::EdgeP3:
    case BufferClass::EdgeP4:
      return BufferClass::Edge;
    default:
      return bufferClass;
  }
}

const char* straightProgram(int kind) {
  const DrawKindRow* row = drawKindRow(kind);
  if (!row) return nullptr;
  const BufferClass straight = straightBufferClass(row->buffer);
  if (straight == row->buffer) return row->program;
  for (const DrawKindRow& candidate : kDrawKinds)
    if (candidate.buffer == straight && candidate.program) return candidate.program;
  return row->program;
}

std::vector<unsigned> cheapIndices(BufferClass bufferClass, int elementCount,
                                   const unsigned* indices) {
  std::vector<unsigned> cheap;
  if (elementCount <= 0) return cheap;
  if (bufferClass == BufferClass::Point) {
    if (elementCount <= kCheapPointBudget) return cheap;
    const int step = (elementCount + kCheapPointBudget - 1) / kCheapPointBudget;
    cheap.reserve(size_t(elementCount / step + 1));
    for (int point = 0; point < elementCount; point += step) cheap.push_back(unsigned(point));
    return cheap;
  }
  const BufferClass straight = straightBufferClass(bufferClass);
  if (straight == bufferClass || !indices) return cheap;
  const size_t nodes = size_t(bufferShape(bufferClass).indicesPerElement);
  const size_t corners = size_t(bufferShape(straight).indicesPerElement);
  cheap.resize(size_t(elementCount) * corners);
  for (size_t element = 0; element < size_t(elementCount); ++element)
    for (size_t corner = 0; corner < corners; ++corner)
      cheap[element * corners + corner] = indices[element * nodes + corner];
  return cheap;
}

}  // namespace zel
