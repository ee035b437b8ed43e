// The frame renderer of a scene window: the shader programs built on first use, the uniforms
// every object program receives (one block per frame), and the object groups drawn in their
// fixed order, each shown by its own condition.
#pragma once

#include <QMatrix3x3>
#include <QMatrix4x4>
#include <QVector4D>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gpu/ZelBufferObject.h"
#include "gpu/draw_kind_table.h"
#include "scene/ZelDisplaySettings.h"

class GLSLProgram;
class QOpenGLFunctions_4_0_Core;
class ZelDrawObject;

namespace zel {

class SceneModel;

// Everything a frame reads from its window, gathered once at the start of the frame.
struct FrameUniforms {
  QMatrix4x4 modelView, mvp, viewport;
  QMatrix3x3 normal;
  int width = 1, height = 1;  // window size in pixels before the device pixel ratio
  float pixelRatio = 1.0f;
  ZelDisplaySettings settings;
  float isoLineWidth = 1.0f;
  QVector4D cutPlane;
  bool cutPlaneMode = false;                // the camera moves the cut plane: its box is drawn too
  double sceneBox[6] = {0, 0, 0, 0, 0, 0};  // mesh units, for the cut-plane outline
  double sceneCentre[3] = {0, 0, 0};
  double sceneScale = 1.0;
  bool pickingPass = false;
  bool blackBackground = false;
  // A cheap frame, drawn while the view moves: objects with a cheap form draw it (curved
  // elements as the straight shapes of their corners through the straight programs, large
  // vertex clouds as a subset), quadrilateral patches at level 1, and no element edges over
  // the faces (the wire-frame and hidden-line colourings keep theirs: they are the picture).
  bool cheap = false;
  // Framebuffer pixels per device pixel: 0.5 in a cheap frame drawn at half the resolution.
  // Sizes that the shaders take in framebuffer pixels (points, iso-line widths) are scaled by
  // it, so that they keep their size on the screen.
  float framebufferScale = 1.0f;
  // Group conditions.
  bool palettePresent = false;
  bool cutPlaneShown = false;
  bool verticesShown = false;
  bool cornersShown = true;
};

// One group of the frame: the kinds of a draw group of the table, when it is shown, whether
// the cut plane clips it, and whether it is depth-tested.
struct FrameGroup {
  DrawGroup group;
  bool (*shown)(const FrameUniforms&);
  bool clipped;
  bool depthTest;
};
// The groups in drawing order.
const std::vector<FrameGroup>& frameGroups();

class FrameRenderer {
 public:
  FrameRenderer();
  ~FrameRenderer();

  // The function table of a new OpenGL set-up: programs are built again on first use.
  void setOpenGL(QOpenGLFunctions_4_0_Core* gl);
  // The named program, built on first use (a build failure ends the process); null for an
  // unknown name.
  GLSLProgram* program(const char* name);
  std::vector<std::string> builtPrograms() const;
  // The programs the last frame drew with, in the order first used.
  const std::vector<std::string>& lastFramePrograms() const { return m_framePrograms; }
  // Frees the programs (with the context current).
  void releasePrograms();

  // Draws the groups of `model`; returns the primitives drawn, numbered for picking from 1.
  int drawGroups(const FrameUniforms& frame, SceneModel& model);
  // The picking table of the last frame: (first id, object) for every object drawn, in draw
  // order (patch members each with their own range).
  const ZelPickingTable& pickingTable() const { return m_pickingTable; }

 private:
  void setStandardUniforms(GLSLProgram* program, const ZelDrawObject* object);
  // The group uniforms of one object, then the object; `position` counts the objects of its
  // kind. Returns the primitives drawn.
  int drawGroupObject(ZelDrawObject* object, int position, bool clipping, int basePicking);
  int drawObject(ZelDrawObject* object, GLSLProgram* program, int basePicking);
  // The program `name`, or its "SubPixel" twin when every element of the object is too small
  // or too straight on the screen for the screen level to matter: the same levels, so the same
  // picture and picking ids, without the cost of measuring them.
  const char* programFor(ZelDrawObject* object, const char* name);

  QOpenGLFunctions_4_0_Core* m_gl = nullptr;
  std::map<std::string, std::unique_ptr<GLSLProgram>> m_programs;
  std::vector<std::string> m_framePrograms;
  const FrameUniforms* m_frame = nullptr;  // the frame being drawn
  SceneModel* m_model = nullptr;
  ZelPickingTable m_pickingTable;
};

}  // namespace zel
