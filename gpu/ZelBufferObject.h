// GPU side of one scene object: vertex array, vertex and index buffers, solution and colour-map
// texture buffers, and the draw call with the per-object uniforms; one class per primitive kind.
#pragma once

#include <utility>
#include <vector>

#include "gpu/draw_kind_table.h"
#include "gpu/gpu_arrays.h"
#include "gpu/screen_extent.h"

class GLSLProgram;
class QMatrix4x4;
class QOpenGLFunctions_4_0_Core;
class QVector3D;
class ZelDrawObject;
class ZelDrawPalette;

// Picking table of one frame: (first id of a range, scene object drawn with it), in draw order.
using ZelPickingTable = std::vector<std::pair<int, ZelDrawObject*>>;

// What the shaders need from a palette: five increasing values, its colour map (RGB floats,
// not owned) with its entry count (`colmapsiz`), and the iso-line settings.
struct ZelPaletteState {
  float values[5] = {0, 1, 2, 3, 4};
  const float* colourMap = nullptr;
  int colourMapSize = 1;
  int nbrIso = 9;
  int nbrUsrIso = 0;
  float usrIso[9] = {};
};

// What a buffer needs from the scene object it draws, copied out of it before each draw.
struct ZelDrawState {
  ZelDrawObject* object = nullptr;  // not owned; entered in the picking table
  bool visible = true;
  int reference = 0;
  std::vector<int> highlight;  // highlighted primitive ids; only the first reaches the shaders
  bool highlightAll = false;
  float pointSize = 8.0f;             // pixels, for point kinds
  int firstTriangle = 0;              // patch members: first triangle in the shared patch buffer
  int triangleCount = 0;              // patch members: triangles of this member
  std::vector<ZelDrawState> members;  // patch members, in member order
  int displayed = 0;                  // written by draw: primitives drawn (0 when hidden)
};

class ZelBufferObject {
 public:
  // Buffer object of the class that the draw-kind table gives a scene-object kind (a DrawKind
  // code), or null for kinds without a row (NormalAtVertex, volume kinds, unknown codes). The
  // caller owns the result.
  static ZelBufferObject* create(int drawKind);
  static ZelBufferObject* create(const ZelDrawObject* object);

  virtual ~ZelBufferObject();

  // Writes the class name and a newline on standard output.
  virtual void printType() const;

  // Geometry upload (arrays copied, still the caller's): `vertexCount` x 3 floats of
  // normalised coordinates, `elementCount` x k 0-based indices (k per kind). Silently does
  // nothing without functions, arrays or with a non-positive count.
  virtual void updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                         int elementCount, const unsigned* indices);
  // Smooth-shaded patch upload: coordinates and normals per vertex, 3 indices per triangle.
  virtual void updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                         const float* normals, int triangleCount, const unsigned* indices);

  // The forms taking scene objects (create, render, setPalette) live in ZelBufferScene.cpp,
  // the only place that sees the scene classes: programs using them link the scene library.

  // Draws the object through `program` (already in use) and stores the count of drawn
  // primitives in the object's displayed count; returns it (0 when nothing was drawn).
  int render(QOpenGLFunctions_4_0_Core* gl, ZelDrawObject* object, GLSLProgram* program);
  // Picking form, used by patches: each member gets an id range from `*runningId` on and an
  // entry in `table`.
  int render(QOpenGLFunctions_4_0_Core* gl, ZelDrawObject* object, GLSLProgram* program,
             ZelPickingTable* table, int* runningId);

  // The same from a state copied out of the object (state.displayed receives the count).
  virtual int draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state, GLSLProgram* program);
  virtual int draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state, GLSLProgram* program,
                   ZelPickingTable* table, int* runningId);

  // Solution coefficients (count floats, or none) and the attached palette's colour map to
  // texture buffers; the old ones are deleted first. Needs a live vertex array and elements;
  // otherwise the palette is detached.
  void uploadTextures(QOpenGLFunctions_4_0_Core* gl, int count, const float* coefficients);
  // The same with an explicit colour map of `colourMapSize` RGB entries (3 floats each).
  void uploadTextures(QOpenGLFunctions_4_0_Core* gl, int count, const float* coefficients,
                      const float* colourMap, int colourMapSize);
  // Deletes every OpenGL object it holds (vertex array, buffers, textures); the context must
  // be current. The buffer draws nothing afterwards until geometry is uploaded again. Its
  // destructor deletes nothing (it has no function table), so the owner calls this first.
  void releaseGpu(QOpenGLFunctions_4_0_Core* gl);

  // Palette attached with a solution (not owned); null when no solution is shown. Its values
  // are read again at each render.
  void setPalette(ZelDrawPalette* palette);
  ZelDrawPalette* palette() const { return m_palette; }
  // Palette given as plain values (tests, benchmarks); null detaches it.
  void setPaletteState(const ZelPaletteState* state);
  bool hasPalette() const { return m_hasPalette; }

  // Bounding box from `count` points of 3 doubles (0-based array), or of 2 doubles for the
  // palette legend (z stays empty).
  void setBoundingBox(int count, const double* coords);
  void setBoundingBox2D(int count, const double* xy);
  // Box (xmin, xmax, ymin, ymax, zmin, zmax) to (centre x, y, z, 1 / largest extent); the
  // factor is 1 when the largest extent is not positive.
  static void centreAndScale(const double box[6], double out[4]);
  void centreAndScale(double out[4]) const {
    for (int axis = 0; axis < 3; ++axis) out[axis] = m_placement.centre[axis];
    out[3] = m_placement.scale;
  }
  const double* boundingBox() const { return m_placement.box; }
  // The box with its normalisation, computed once when the geometry is given (setPlacement or
  // the bounding-box setters); the frame's placement uniforms read it.
  void setPlacement(const zel::Placement& placement) { m_placement = placement; }
  const zel::Placement& placement() const { return m_placement; }

  // True when, placed at world = scaling x position + trans and seen through `mvp` and
  // `viewport`, every element of the buffer is so small or so straight on the screen that the
  // tessellation stages give it no more segments than the curvature rule does: the kind's
  // "SubPixel" program then draws exactly the same, at less cost. False for kinds without a screen
  // level and before an upload of curved elements.
  bool screenLevelIsOne(const QMatrix4x4& mvp, const QMatrix4x4& viewport, float scaling,
                        const QVector3D& trans) const;

  int vertexCount() const { return m_vertexCount; }
  int elementCount() const { return m_elementCount; }
  int reference() const { return m_reference; }
  int solutionDegree() const { return m_solutionDegree; }
  void setSolutionDegree(int degree) { m_solutionDegree = degree; }
  unsigned vertexArray() const { return m_vao; }
  bool verbose() const { return m_verbose; }
  void setVerbose(bool on) { m_verbose = on; }

  // Draws use the buffer's cheap form, when it has one, until switched back (see
  // gpu/cheap_forms.h): curved elements as the straight shapes of their corners, to be drawn
  // with the straight program of their family, large vertex clouds as a subset. The count of
  // primitives drawn stays that of the full form, so picking numbers do not move.
  void setCheapDraws(bool on) { m_cheapDraws = on; }
  bool hasCheapForm() const { return m_cheapVao != 0; }

  // Largest number of patches per draw call of the tessellated kinds. Each batch sets the
  // `BaseElement` uniform to its first element so that element numbers stay exact on
  // drivers whose tessellation primitive ids restart; 32 suits the software driver.
  static void setMaxPatchesPerDraw(int count);
  static int maxPatchesPerDraw();

 protected:
  ZelBufferObject();
  // Deletes the vertex arrays (full and cheap form) and the buffers when they are live.
  void releaseGeometry(QOpenGLFunctions_4_0_Core* gl);
  // Solution and colour-map uniforms and textures (or the placeholders).
  void bindSolution(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program);
  // Colour map alone on unit 1 (the legend).
  void bindColourMap(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program);
  void unbindTextures(QOpenGLFunctions_4_0_Core* gl);
  bool drawable(QOpenGLFunctions_4_0_Core* gl, const ZelDrawState& state) const;

  int m_vertexCount = 0;
  int m_elementCount = 0;
  int m_reference = 0;
  int m_solutionDegree = 0;
  unsigned m_buffers[5] = {};
  unsigned m_vao = 0;
  unsigned m_cheapVao = 0;          // cheap form: the vertex buffer with its own indices
  unsigned m_cheapIndexBuffer = 0;  // of the cheap form
  int m_cheapIndexCount = 0;
  bool m_cheapDraws = false;
  unsigned m_solutionTexture = 0;
  unsigned m_solutionBuffer = 0;
  unsigned m_colourMapTexture = 0;
  unsigned m_colourMapBuffer = 0;
  zel::Placement m_placement;
  zel::ElementExtent m_extent;  // of the elements uploaded, for the screen-level test
  float m_screenBend = 0;       // the kind's screen-level multiplier (0: none)
  bool m_placeholdersMade = false;
  bool m_verbose = false;
  ZelDrawPalette* m_palette = nullptr;

 private:
  void makePlaceholders(QOpenGLFunctions_4_0_Core* gl);

  bool m_hasPalette = false;
  ZelPaletteState m_paletteState;
  int m_colourMapEntries = 0;  // entries of the uploaded colour map
  unsigned m_placeholderBuffers[2] = {};
  unsigned m_placeholderTextures[2] = {};
};

// How one buffer class lays out and draws its elements.
struct ZelBufferShape {
  // Which per-object uniforms the class sets before drawing.
  enum Uniforms { PointUniforms, LineUniforms, SurfaceUniforms, LegendUniforms };
  const char* className;  // printed by printType and the trace lines
  int indicesPerElement;  // 0: points (no index buffer)
  unsigned primitive;     // GL_POINTS, GL_LINES, GL_TRIANGLES, GL_PATCHES, GL_LINES_ADJACENCY
  Uniforms uniforms;
  bool checkCounts;          // refuse non-positive counts in updateVao
  const char* vaoTraceName;  // class name in the updateVao trace line
  const char* renderTrace;   // trace line of a render that drew (count, vertex array)
  float screenBend;          // the tessellation stages' screen-level multiplier; 0: none
};

namespace zel {
// The shape of a buffer class; the patch and solution classes have one for their name only.
const ZelBufferShape& bufferShape(BufferClass bufferClass);
// A new, empty buffer object of that class; the caller owns it.
ZelBufferObject* createBuffer(BufferClass bufferClass);
}  // namespace zel

// Every class but the patch and the solution: one generic upload and draw driven by its shape.
class ZelBufferElements : public ZelBufferObject {
 public:
  explicit ZelBufferElements(zel::BufferClass bufferClass)
      : m_shape(zel::bufferShape(bufferClass)), m_class(bufferClass) {}
  void printType() const override;
  void updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                 int elementCount, const unsigned* indices) override;
  using ZelBufferObject::updateVao;
  int draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state, GLSLProgram* program) override;
  using ZelBufferObject::draw;
  const ZelBufferShape& shape() const { return m_shape; }

 protected:
  void drawElements(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program);
  // The cheap form, in the layout of the class's straight shape.
  void drawCheapForm(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program);
  // `count` elements of `k` indices each from the bound index buffer, patches in batches.
  void drawIndexed(QOpenGLFunctions_4_0_Core* gl, GLSLProgram* program, unsigned primitive, int k,
                   int count);
  // Builds the cheap form's vertex array over the bound vertex buffer.
  void makeCheapForm(QOpenGLFunctions_4_0_Core* gl, int elementCount, const unsigned* indices);
  ZelBufferShape m_shape;
  zel::BufferClass m_class;
};

// The element classes differ only in their shape.
template <zel::BufferClass C>
class ZelBufferKind final : public ZelBufferElements {
 public:
  ZelBufferKind() : ZelBufferElements(C) {}
};
using ZelBufferPoint = ZelBufferKind<zel::BufferClass::Point>;
using ZelBufferEdge = ZelBufferKind<zel::BufferClass::Edge>;
using ZelBufferEdgeP2 = ZelBufferKind<zel::BufferClass::EdgeP2>;
using ZelBufferEdgeP3 = ZelBufferKind<zel::BufferClass::EdgeP3>;
using ZelBufferEdgeP4 = ZelBufferKind<zel::BufferClass::EdgeP4>;
using ZelBufferTriangle = ZelBufferKind<zel::BufferClass::Triangle>;
using ZelBufferTriangleP2 = ZelBufferKind<zel::BufferClass::TriangleP2>;
using ZelBufferTriangleP3 = ZelBufferKind<zel::BufferClass::TriangleP3>;
using ZelBufferTriangleP4 = ZelBufferKind<zel::BufferClass::TriangleP4>;
using ZelBufferQuad = ZelBufferKind<zel::BufferClass::Quad>;
using ZelBufferQuadQ2 = ZelBufferKind<zel::BufferClass::QuadQ2>;
using ZelBufferQuadQ3 = ZelBufferKind<zel::BufferClass::QuadQ3>;
using ZelBufferQuadQ4 = ZelBufferKind<zel::BufferClass::QuadQ4>;
using ZelBufferIsoLine = ZelBufferKind<zel::BufferClass::IsoLine>;
using ZelBufferCutPlane = ZelBufferKind<zel::BufferClass::CutPlane>;

// Legend cells: 4 indices each, drawn as lines with adjacency; updateVao ends with the
// texture upload without coefficients, which sends the colour map of the palette attached
// at that moment (attach it first).
class ZelBufferPalette : public ZelBufferElements {
 public:
  ZelBufferPalette();
  void updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                 int elementCount, const unsigned* indices) override;
  using ZelBufferElements::updateVao;
};

// Smooth-shaded triangles shared by the members of a patch object, one colour per member.
class ZelBufferPatch : public ZelBufferObject {
 public:
  void printType() const override;
  void updateVao(QOpenGLFunctions_4_0_Core* gl, int vertexCount, const float* coords,
                 const float* normals, int triangleCount, const unsigned* indices) override;
  using ZelBufferObject::updateVao;
  int draw(QOpenGLFunctions_4_0_Core* gl, ZelDrawState& state, GLSLProgram* program,
           ZelPickingTable* table, int* runningId) override;
  using ZelBufferObject::draw;
};

// Solution scene objects get one so that every object has a buffer; it draws nothing.
class ZelBufferSolution : public ZelBufferObject {
 public:
  void printType() const override;
};
