// Buffer objects of every primitive kind: one table of shapes, one generic upload and draw,
// and the legend, patch and solution kinds.
#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/cheap_forms.h"
#include "meshio/status.h"

namespace {

using Shape = ZelBufferShape;

#define FACE_TRACE(name) "  " name "::render:  %10d faces send to rendered vao %d \n"
#define EDGE_TRACE "  ZelBufferEdges::render:   %10d edges send to rendered vao %d \n"
#define SHAPE(name, k, primitive, uniforms, trace, bend) \
  { #name, k, primitive, Shape::uniforms, true, #name, trace, bend }

// One row per buffer class, in BufferClass order. The last column is the multiplier of a
// control net's largest second difference (plus twist for quadrilaterals) in the tessellation
// stages' screen level: k (k - 1) for curves and triangles, k (k - 1) + k^2 for quadrilaterals.
const ZelBufferShape kShapes[zel::kBufferClassCount] = {
    SHAPE(ZelBufferPoint, 0, GL_POINTS, PointUniforms,
          "  ZelBufferPoint::render:  %10d points send to rendered vao %d \n", 0),
    SHAPE(ZelBufferEdge, 2, GL_LINES, LineUniforms, EDGE_TRACE, 0),
    SHAPE(ZelBufferEdgeP2, 3, GL_PATCHES, LineUniforms, EDGE_TRACE, 2),
    SHAPE(ZelBufferEdgeP3, 4, GL_PATCHES, LineUniforms, EDGE_TRACE, 6),
    SHAPE(ZelBufferEdgeP4, 5, GL_PATCHES, LineUniforms, EDGE_TRACE, 12),
    SHAPE(ZelBufferTriangle, 3, GL_TRIANGLES, SurfaceUniforms, FACE_TRACE("ZelBufferTriangle"), 0),
    SHAPE(ZelBufferTriangleP2, 6, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferTriangleP2"),
          2),
    SHAPE(ZelBufferTriangleP3, 10, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferTriangleP3"),
          6),
    SHAPE(ZelBufferTriangleP4, 15, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferTriangleP4"),
          12),
    SHAPE(ZelBufferQuad, 4, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferQuad"), 0),
    SHAPE(ZelBufferQuadQ2, 9, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferQuadQ2"), 6),
    SHAPE(ZelBufferQuadQ3, 16, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferQuadQ3"), 15),
    SHAPE(ZelBufferQuadQ4, 25, GL_PATCHES, SurfaceUniforms, FACE_TRACE("ZelBufferQuadQ4"), 28),
    SHAPE(ZelBufferIsoLine, 2, GL_LINES, LineUniforms, EDGE_TRACE, 0),
    // The cut-plane outline is rebuilt from whatever its square produced: counts unchecked.
    {"ZelBufferCutPlane", 2, GL_LINES, Shape::LineUniforms, false, "ZelBufferCutPlane",
     "  ZelBufferCutPlane::render:   %d lines send to rendered vao %d \n", 0},
    {"ZelBufferPalette", 4, GL_LINES_ADJACENCY, Shape::LegendUniforms, true, "ZelBufferQua",
     FACE_TRACE("ZelBufferPalette"), 0},
    {"ZelBufferPatch", 3, GL_TRIANGLES, Shape::SurfaceUniforms, true, "ZelBufferPatch", "", 0},
    {"ZelBufferSolution", 0, GL_POINTS, Shape::SurfaceUniforms, true, "ZelBufferSolution", "", 0},
};
#undef SHAPE
#undef EDGE_TRACE
#undef FACE_TRACE

// The net differences of a class's elements, from the shape and degree of the first kind the
// table draws with it (curved edges, triangles and quadrilaterals; none for the others).
const std::vector<zel::NetDifference>& netOf(zel::BufferClass bufferClass) {
  static const auto nets = [] {
    std::array<std::vector<zel::NetDifference>, zel::kBufferClassCount> all;
    std::array<bool, zel::kBufferClassCount> seen{};
    for (const zel::DrawKindRow& row : zel::kDrawKinds) {
      const auto at = static_cast<std::size_t>(row.buffer);
      if (seen[at]) continue;
      seen[at] = true;
      const int shape = row.solution == zel::SolutionFamily::Edge       ? EntityType::Edge
                        : row.solution == zel::SolutionFamily::Triangle ? EntityType::Triangle
                        : row.solution == zel::SolutionFamily::Quadrilateral
                            ? EntityType::Quadrilateral
                            : 0;
      all[at] = zel::netDifferences(shape, row.degree);
    }
    return all;
  }();
  return nets[static_cast<std::size_t>(bufferClass)];
}

template <zel::BufferClass C>
ZelBufferObject* makeBuffer() {
  if constexpr (C == zel::BufferClass::Palette) {
    return new ZelBufferPalette;
  } else if constexpr (C == zel::BufferClass::Patch) {
    return new ZelBufferPatch;
  } else if constexpr (C == zel::BufferClass::Solution) {
    return new ZelBufferSolution;
  } else {
    return new ZelBufferKind<C>;
  }
}

template <std::size_t... I>
constexpr std::array<ZelBufferObject* (*)(), sizeof...(I)> bufferMakers(std::index_sequence<I...>) {
  return {&makeBuffer<static_cast<zel::BufferClass>(I)>...};
}
constexpr auto kBufferMakers = bufferMakers(std::make_index_sequence<zel::kBufferClassCount>());

// Diffuse colours of patch members by |reference| mod 9, in 255ths.
const unsigned char kMemberColours[9][3] = {{40, 80, 120},   {120, 40, 40}, {80, 120, 40},
                                            {120, 120, 120}, {120, 80, 40}, {120, 40, 80},
                                            {120, 40, 120},  {40, 40, 120}, {40, 80, 40}};

const void* byteOffset(std::int64_t bytes) { return reinterpret_cast<const void*>(bytes); }

}  // namespace

const ZelBufferShape& zel::bufferShape(BufferClass bufferClass) {
  return kShapes[static_cast<int>(bufferClass)];
}

ZelBufferObject* zel::createBuffer(BufferClass bufferClass) {
  return kBufferMakers[static_cast<std::size_t>(bufferClass)]();
}

ZelBufferObject* ZelBufferObject::create(int kind) {
  const zel::DrawKindRow* row = zel::drawKindRow(kind);
  return row ? zel::createBuffer(row->buffer) : nullptr;
}

ZelBufferPalette::ZelBufferPalette() : ZelBufferElements(zel::BufferClass::Palette) {}

void ZelBufferElements::printType() const { zel::printMessage("%s\n", m_shape.className); }

void ZelBufferElements::updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount,
                                  const float* coords, int elementCount, const unsigned* indices) {
  const bool points = m_shape.indicesPerElement == 0;
  if (!gl || !coords || (!points && !indices)) return;
  if (m_shape.checkCounts && (vertexCount <= 0 || elementCount <= 0)) return;
  if (points) vertexCount = elementCount;
  m_vertexCount = vertexCount;
  m_elementCount = elementCount;
  releaseGeometry(gl);
  gl->glGenVertexArrays(1, &m_vao);
  gl->glBindVertexArray(m_vao);
  gl->glGenBuffers(points ? 1 : 2, m_buffers);
  gl->glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
  gl->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * 3 * sizeof(float),
                   coords, GL_STATIC_DRAW);
  gl->glEnableVertexAttribArray(0);
  gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  if (!points) {
    gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
    gl->glBufferData(
        GL_ELEMENT_ARRAY_BUFFER,
        static_cast<GLsizeiptr>(elementCount) * m_shape.indicesPerElement * sizeof(unsigned),
        indices, GL_STATIC_DRAW);
  }
  makeCheapForm(gl, elementCount, indices);
  gl->glBindVertexArray(0);
  gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  m_screenBend = m_shape.screenBend;
  m_extent = m_screenBend > 0
                 ? zel::elementExtentOf(vertexCount, coords, elementCount,
                                        m_shape.indicesPerElement, indices, netOf(m_class))
                 : zel::ElementExtent();
  if (!m_verbose) return;
  if (points)
    zel::printMessage(" %s::updateVao vaoHandle %d vbo %d\n", m_shape.vaoTraceName, m_vao,
                      m_buffers[0]);
  else
    zel::printMessage(" %s::updateVao vaoHandle %d vbo %d %d\n", m_shape.vaoTraceName, m_vao,
                      m_buffers[0], m_buffers[1]);
}

int ZelBufferElements::draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state,
                            GLSLProgram* program) {
  state.displayed = 0;
  if (!program || !drawable(gl, state)) {
    if (m_verbose) zel::printMessage("  %s::render:   nothing to print \n", m_shape.className);
    return 0;
  }
  m_reference = state.reference;
  if (m_shape.uniforms != Shape::PointUniforms)
    program->setUniform("TypePrim", m_shape.uniforms == Shape::LegendUniforms ? 1 : 0);
  const bool highlight = !state.highlight.empty();
  program->setUniform("NbrHighLight", highlight ? 1 : 0);
  if (highlight) program->setUniformArray("IdHighlight", 1, &state.highlight[0]);
  if (m_shape.uniforms == Shape::SurfaceUniforms) bindSolution(gl, program);
  if (m_shape.uniforms == Shape::LegendUniforms) bindColourMap(gl, program);
  if (m_shape.uniforms == Shape::PointUniforms) gl->glPointSize(state.pointSize);
  if (m_cheapDraws && m_cheapVao) {
    gl->glBindVertexArray(m_cheapVao);
    drawCheapForm(gl, program);
  } else {
    gl->glBindVertexArray(m_vao);
    drawElements(gl, program);
  }
  gl->glBindVertexArray(0);
  if (m_shape.uniforms == Shape::SurfaceUniforms || m_shape.uniforms == Shape::LegendUniforms)
    unbindTextures(gl);
  if (m_verbose) zel::printMessage(m_shape.renderTrace, m_elementCount, m_vao);
  state.displayed = m_elementCount;
  return m_elementCount;
}

// Patches go in batches whose first element number is `BaseElement`, so that the evaluation
// stage can number elements exactly whatever the driver does with gl_PrimitiveID.
void ZelBufferElements::drawElements(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program) {
  const int k = m_shape.indicesPerElement;
  if (k == 0) {
    gl->glDrawArrays(GL_POINTS, 0, m_elementCount);
    return;
  }
  drawIndexed(gl, program, m_shape.primitive, k, m_elementCount);
}

void ZelBufferElements::drawIndexed(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program,
                                    unsigned primitive, int k, int count) {
  if (primitive != GL_PATCHES) {
    gl->glDrawElements(primitive, count * k, GL_UNSIGNED_INT, nullptr);
    return;
  }
  gl->glPatchParameteri(GL_PATCH_VERTICES, k);
  const int batch = maxPatchesPerDraw();
  for (int first = 0; first < count; first += batch) {
    const int size = std::min(batch, count - first);
    program->setUniform("BaseElement", first);
    gl->glDrawElements(GL_PATCHES, size * k, GL_UNSIGNED_INT,
                       byteOffset(static_cast<std::int64_t>(first) * k * sizeof(unsigned)));
  }
}

void ZelBufferElements::makeCheapForm(QOpenGLFunctions_4_0_Core* gl, int elementCount,
                                      const unsigned* indices) {
  const std::vector<unsigned> cheap = zel::cheapIndices(m_class, elementCount, indices);
  if (cheap.empty()) return;
  // A second vertex array over the same vertex buffer, with the cheap form's indices.
  gl->glGenVertexArrays(1, &m_cheapVao);
  gl->glBindVertexArray(m_cheapVao);
  gl->glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
  gl->glEnableVertexAttribArray(0);
  gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  gl->glGenBuffers(1, &m_cheapIndexBuffer);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_cheapIndexBuffer);
  gl->glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                   static_cast<GLsizeiptr>(cheap.size() * sizeof(unsigned)), cheap.data(),
                   GL_STATIC_DRAW);
  m_cheapIndexCount = static_cast<int>(cheap.size());
}

void ZelBufferElements::drawCheapForm(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program) {
  const ZelBufferShape& straight = zel::bufferShape(zel::straightBufferClass(m_class));
  if (straight.indicesPerElement == 0) {
    // The shaders number points by their place in the draw, which the subset shifts: no
    // highlighted point rather than the wrong one.
    program->setUniform("NbrHighLight", 0);
    gl->glDrawElements(GL_POINTS, m_cheapIndexCount, GL_UNSIGNED_INT, nullptr);
    return;
  }
  drawIndexed(gl, program, straight.primitive, straight.indicesPerElement, m_elementCount);
}

void ZelBufferPalette::updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount,
                                 const float* coords, int elementCount, const unsigned* indices) {
  ZelBufferElements::updateVao(gl, vertexCount, coords, elementCount, indices);
  uploadTextures(gl, 0, nullptr);
}

void ZelBufferPatch::printType() const { zel::printMessage("ZelBufferPatch\n"); }

void ZelBufferPatch::updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                               const float* normals, int triangleCount, const unsigned* indices) {
  if (!gl || vertexCount <= 0 || triangleCount <= 0 || !coords || !normals || !indices) return;
  m_vertexCount = vertexCount;
  m_elementCount = triangleCount;
  releaseGeometry(gl);
  gl->glGenVertexArrays(1, &m_vao);
  gl->glBindVertexArray(m_vao);
  gl->glGenBuffers(3, m_buffers);
  std::vector<float> interleaved(static_cast<size_t>(vertexCount) * 6);
  for (size_t i = 0; i < static_cast<size_t>(vertexCount); ++i)
    for (int c = 0; c < 3; ++c) {
      interleaved[6 * i + c] = coords[3 * i + c];
      interleaved[6 * i + 3 + c] = normals[3 * i + c];
    }
  gl->glBindBuffer(GL_ARRAY_BUFFER, m_buffers[0]);
  gl->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(interleaved.size() * sizeof(float)),
                   interleaved.data(), GL_STATIC_DRAW);
  gl->glEnableVertexAttribArray(0);
  gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 24, nullptr);
  gl->glEnableVertexAttribArray(1);
  gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 24, byteOffset(12));
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_buffers[1]);
  gl->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(triangleCount) * 12, indices,
                   GL_STATIC_DRAW);
  gl->glBindVertexArray(0);
  gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  zel::printMessage(" updating zelpatch buffer size %lg Mb \n",
                    (triangleCount * 12.0 + vertexCount * 24.0) / 1048576.0);
}

int ZelBufferPatch::draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state, GLSLProgram* program,
                         ZelPickingTable* table, int* runningId) {
  state.displayed = 0;
  if (!program || !drawable(gl, state)) return 0;
  m_reference = state.reference;
  gl->glBindVertexArray(m_vao);
  if (state.members.empty()) {
    gl->glDrawElements(GL_TRIANGLES, 3 * m_elementCount, GL_UNSIGNED_INT, nullptr);
  } else {
    for (ZelDrawState& member : state.members) {
      member.displayed = 0;
      if (!member.visible) continue;
      const unsigned char* rgb = kMemberColours[std::abs(member.reference) % 9];
      program->setUniform("Material.Kd", rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f);
      program->setUniform("HighLightAll", member.highlightAll);
      const int base = runningId ? *runningId : 1;
      program->setUniform("BasePicking", base);
      if (table) table->emplace_back(base, member.object);
      gl->glDrawElements(GL_TRIANGLES, 3 * member.triangleCount, GL_UNSIGNED_INT,
                         byteOffset(12 * static_cast<std::int64_t>(member.firstTriangle)));
      if (runningId) *runningId += member.triangleCount;
      member.displayed = member.triangleCount;
    }
  }
  gl->glBindVertexArray(0);
  state.displayed = m_elementCount;
  return m_elementCount;
}

void ZelBufferSolution::printType() const { zel::printMessage("ZelBufferSolution\n"); }
