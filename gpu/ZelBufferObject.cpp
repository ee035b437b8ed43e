// Buffer-object base: factory by kind, release of GPU objects, solution and colour-map texture
// buffers with their uniforms, bounding boxes.
#include "gpu/ZelBufferObject.h"

#include <QMatrix4x4>
#include <QOpenGLFunctions_4_0_Core>
#include <QVector3D>
#include <algorithm>
#include <cstdio>

#include "gpu/GLSLProgram.h"
#include "meshio/status.h"

namespace {

int g_maxPatchesPerDraw = 32;

// Box of `count` points of `dimension` coordinates each; the other axes stay empty.
void fillBox(double box[6], int count, const double* points, int dimension) {
  zel::emptyBox(box);
  if (!points) return;
  for (int i = 0; i < count; ++i)
    for (int axis = 0; axis < dimension; ++axis) {
      const double value = points[static_cast<size_t>(dimension) * i + axis];
      box[2 * axis] = std::min(box[2 * axis], value);
      box[2 * axis + 1] = std::max(box[2 * axis + 1], value);
    }
}

// One texture-buffer pair holding `count` floats; the texture is attached at bind time.
void makeTextureBuffer(QOpenGLFunctions_4_0_Core* gl, int count, const float* values,
                       unsigned& buffer, unsigned& texture) {
  gl->glGenBuffers(1, &buffer);
  gl->glBindBuffer(GL_TEXTURE_BUFFER, buffer);
  gl->glBufferData(GL_TEXTURE_BUFFER, static_cast<GLsizeiptr>(count) * 4, values, GL_STATIC_DRAW);
  gl->glGenTextures(1, &texture);
  gl->glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void bindTextureBuffer(QOpenGLFunctions_4_0_Core* gl, GLenum unit, unsigned texture,
                       unsigned buffer) {
  gl->glActiveTexture(unit);
  gl->glBindTexture(GL_TEXTURE_BUFFER, texture);
  gl->glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, buffer);
}

void deleteTexture(QOpenGLFunctions_4_0_Core* gl, unsigned& texture) {
  if (texture && gl->glIsTexture(texture)) gl->glDeleteTextures(1, &texture);
  texture = 0;
}

void deleteBuffer(QOpenGLFunctions_4_0_Core* gl, unsigned& buffer) {
  if (buffer && gl->glIsBuffer(buffer)) gl->glDeleteBuffers(1, &buffer);
  buffer = 0;
}

}  // namespace

ZelBufferObject::ZelBufferObject() { zel::emptyBox(m_placement.box); }

ZelBufferObject::~ZelBufferObject() = default;

void ZelBufferObject::printType() const { zel::printMessage("ZelBufferObject\n"); }

void ZelBufferObject::updateVao(QOpenGLFunctions_4_0_Core*, int, const float*, int,
                                const unsigned*) {
  zel::printMessage(" Virtual function called !!!! \n");
}

void ZelBufferObject::updateVao(QOpenGLFunctions_4_0_Core*, int, const float*, const float*, int,
                                const unsigned*) {
  zel::printMessage(" Virtual function called !!!! \n");
}

int ZelBufferObject::draw(QOpenGLFunctions_4_0_Core*, ZelDrawState&, GLSLProgram*) { return 0; }

int ZelBufferObject::draw(QOpenGLFunctions_4_0_Core*, ZelDrawState&, GLSLProgram*, ZelPickingTable*,
                          int*) {
  return 0;
}

void ZelBufferObject::releaseGeometry(QOpenGLFunctions_4_0_Core* gl) {
  if (m_vao && gl->glIsVertexArray(m_vao)) gl->glDeleteVertexArrays(1, &m_vao);
  m_vao = 0;
  if (m_cheapVao && gl->glIsVertexArray(m_cheapVao)) gl->glDeleteVertexArrays(1, &m_cheapVao);
  m_cheapVao = 0;
  m_cheapIndexCount = 0;
  deleteBuffer(gl, m_cheapIndexBuffer);
  for (unsigned& buffer : m_buffers) deleteBuffer(gl, buffer);
}

void ZelBufferObject::releaseGpu(QOpenGLFunctions_4_0_Core* gl) {
  if (!gl) return;
  releaseGeometry(gl);
  for (unsigned* texture : {&m_solutionTexture, &m_colourMapTexture, &m_placeholderTextures[0],
                            &m_placeholderTextures[1]})
    deleteTexture(gl, *texture);
  for (unsigned* buffer :
       {&m_solutionBuffer, &m_colourMapBuffer, &m_placeholderBuffers[0], &m_placeholderBuffers[1]})
    deleteBuffer(gl, *buffer);
  m_placeholdersMade = false;
  m_palette = nullptr;
  m_hasPalette = false;
}

bool ZelBufferObject::drawable(QOpenGLFunctions_4_0_Core* gl, const ZelDrawState& state) const {
  return gl && state.visible && m_vao && gl->glIsVertexArray(m_vao) && m_elementCount >= 1;
}

void ZelBufferObject::uploadTextures(QOpenGLFunctions_4_0_Core* gl, int count,
                                     const float* coefficients, const float* colourMap,
                                     int colourMapSize) {
  if (!gl) return;
  deleteTexture(gl, m_solutionTexture);
  deleteTexture(gl, m_colourMapTexture);
  deleteBuffer(gl, m_solutionBuffer);
  deleteBuffer(gl, m_colourMapBuffer);
  if (!m_vao || !gl->glIsVertexArray(m_vao) || m_elementCount <= 0) {
    // Nothing to colour: forget the palette so that no deleted texture is ever bound.
    m_palette = nullptr;
    m_hasPalette = false;
    return;
  }
  if (colourMap && colourMapSize >= 1) {
    makeTextureBuffer(gl, 3 * colourMapSize, colourMap, m_colourMapBuffer, m_colourMapTexture);
    m_colourMapEntries = colourMapSize;
    if (m_verbose) zel::printMessage(" texture colmap id = %d \n", m_colourMapTexture);
  }
  if (coefficients && count >= 1) {
    makeTextureBuffer(gl, count, coefficients, m_solutionBuffer, m_solutionTexture);
    if (m_verbose) zel::printMessage(" texture tex id = %d \n", m_solutionTexture);
  }
}

void ZelBufferObject::uploadTextures(QOpenGLFunctions_4_0_Core* gl, int count,
                                     const float* coefficients) {
  const bool map = m_hasPalette && m_paletteState.colourMap;
  uploadTextures(gl, count, coefficients, map ? m_paletteState.colourMap : nullptr,
                 map ? m_paletteState.colourMapSize : 0);
}

void ZelBufferObject::setPaletteState(const ZelPaletteState* state) {
  m_hasPalette = state != nullptr;
  if (state) m_paletteState = *state;
  if (!state) m_palette = nullptr;
}

void ZelBufferObject::bindSolution(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program) {
  makePlaceholders(gl);
  const bool solution = m_hasPalette && m_solutionTexture;
  const bool colourMap = m_hasPalette && m_colourMapTexture;
  bindTextureBuffer(gl, GL_TEXTURE0, solution ? m_solutionTexture : m_placeholderTextures[0],
                    solution ? m_solutionBuffer : m_placeholderBuffers[0]);
  bindTextureBuffer(gl, GL_TEXTURE1, colourMap ? m_colourMapTexture : m_placeholderTextures[1],
                    colourMap ? m_colourMapBuffer : m_placeholderBuffers[1]);
  program->setUniform("tex", 0);
  program->setUniform("colmap", 1);
  if (m_hasPalette) {
    program->setUniformArray("Palette", 5, m_paletteState.values);
    program->setUniform("solDeg", m_solutionDegree);
    program->setUniform("Sol", 1);
    program->setUniform("colmapsiz", colourMap ? m_colourMapEntries : 1);
    program->setUniform("nbrIso", m_paletteState.nbrIso);
    program->setUniform("NbrUsrIso", m_paletteState.nbrUsrIso);
    program->setUniformArray("UsrIso", 9, m_paletteState.usrIso);
  } else {
    const float ramp[5] = {0, 1, 2, 3, 4};
    program->setUniformArray("Palette", 5, ramp);
    program->setUniform("solDeg", 0);
    program->setUniform("Sol", 0);
    program->setUniform("colmapsiz", 1);
    program->setUniform("nbrIso", 1);
    program->setUniform("NbrUsrIso", 0);
  }
}

void ZelBufferObject::bindColourMap(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program) {
  makePlaceholders(gl);
  const bool colourMap = m_hasPalette && m_colourMapTexture;
  bindTextureBuffer(gl, GL_TEXTURE1, colourMap ? m_colourMapTexture : m_placeholderTextures[1],
                    colourMap ? m_colourMapBuffer : m_placeholderBuffers[1]);
  program->setUniform("colmap", 1);
  program->setUniform("colmapsiz", colourMap ? m_colourMapEntries : 1);
}

void ZelBufferObject::makePlaceholders(QOpenGLFunctions_4_0_Core* gl) {
  if (m_placeholdersMade) return;
  const float zero = 0.0f;
  for (int k = 0; k < 2; ++k)
    makeTextureBuffer(gl, 1, &zero, m_placeholderBuffers[k], m_placeholderTextures[k]);
  m_placeholdersMade = true;
}

void ZelBufferObject::unbindTextures(QOpenGLFunctions_4_0_Core* gl) {
  for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
    gl->glActiveTexture(unit);
    gl->glBindTexture(GL_TEXTURE_BUFFER, 0);
  }
  gl->glActiveTexture(GL_TEXTURE0);
}

void ZelBufferObject::setBoundingBox(int count, const double* coords) {
  double box[6];
  fillBox(box, count, coords, 3);
  m_placement = zel::placementOfBox(box);
}

void ZelBufferObject::setBoundingBox2D(int count, const double* xy) {
  double box[6];
  fillBox(box, count, xy, 2);
  m_placement = zel::placementOfBox(box);
}

void ZelBufferObject::centreAndScale(const double box[6], double out[4]) {
  double largest = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    const double low = box[2 * axis], high = box[2 * axis + 1];
    const bool empty = !(low <= high);
    out[axis] = empty ? 0.0 : 0.5 * (low + high);
    if (!empty) largest = std::max(largest, high - low);
  }
  out[3] = largest > 0.0 ? 1.0 / largest : 1.0;
}

void ZelBufferObject::setMaxPatchesPerDraw(int count) { g_maxPatchesPerDraw = std::max(1, count); }

int ZelBufferObject::maxPatchesPerDraw() { return g_maxPatchesPerDraw; }

bool ZelBufferObject::screenLevelIsOne(const QMatrix4x4& mvp, const QMatrix4x4& viewport,
                                       float scaling, const QVector3D& trans) const {
  if (m_screenBend <= 0 || !m_extent.known) return false;
  return zel::screenLevelIsOne(zel::netBendPixelBound(m_extent, mvp, viewport, scaling, trans),
                               m_screenBend);
}
