// The frame of the scene window: scene box, camera matrices, shader programs built on first
// use, standard uniforms, and the object groups drawn in their fixed order.
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/shader_programs.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"
#include "window/frame_groups.h"
#include "window/screenshot.h"

namespace {

// Reference colours (1/255 units), indexed by |reference| mod 9.
const int kReferenceColours[9][3] = {{40, 80, 120},   {120, 40, 40}, {80, 120, 40},
                                     {120, 120, 120}, {120, 80, 40}, {120, 40, 80},
                                     {120, 40, 120},  {40, 40, 120}, {40, 80, 40}};

QVector3D referenceColour(int index) {
  const int* rgb = kReferenceColours[std::abs(index) % 9];
  return QVector3D(rgb[0], rgb[1], rgb[2]) / 255.0f;
}

}  // namespace

void ZelSceneWindow::render() {
  updateSceneFrame();
  m_camera.setWindowSize(width(), height());
  const qreal ratio = devicePixelRatio();
  const int pixelWidth = static_cast<int>(width() * ratio);
  const int pixelHeight = static_cast<int>(height() * ratio);

  // A context that is too old never gets the function set; keep trying only on 4.x.
  if (!m_gl && glContext()->format().majorVersion() >= 4) setUpOpenGL();
  if (!m_gl) return;
  if (m_bannerPending) printFirstFrameBanner();

  m_gl->glViewport(0, 0, pixelWidth, pixelHeight);
  if (m_pickingPass) {
    m_gl->glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  } else if (m_blackBackground) {
    m_gl->glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  } else {
    m_gl->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  }
  m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  if (m_camera.mode() == SceneCamera::CutPlaneMode && m_cutPlaneShown) {
    m_camera.updateCutPlaneEquation(QVector3D(
        float(m_rotationCentre[0]), float(m_rotationCentre[1]), float(m_rotationCentre[2])));
  }
  // The frame's matrices, once for every object drawn.
  m_frameMatrices.modelView = m_camera.modelViewMatrix();
  m_frameMatrices.normal = m_frameMatrices.modelView.normalMatrix();
  m_frameMatrices.mvp = m_camera.projectionMatrix(float(m_fieldOfView)) * m_frameMatrices.modelView;
  m_frameMatrices.viewport = m_camera.viewportMatrix();
  drawGroups();

  if (m_screenshotRequested) {
    m_screenshotRequested = false;
    takeScreenshot(m_gl, pixelWidth, pixelHeight, glContext()->format().samples() > 1,
                   m_screenshotName);
  }
  m_gl->glFinish();
  ++m_frameCount;
}

void ZelSceneWindow::updateSceneFrame() {
  // The scene box is the union of the objects' boxes; the scene-centre marker and the legend
  // (in window coordinates) do not count.
  double box[6];
  if (m_model.sceneBox(box)) std::copy(box, box + 6, m_box);
  if (m_box[0] > m_box[1]) return;  // nothing known yet
  m_sceneSize = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    m_sceneCentre[axis] = 0.5 * (m_box[2 * axis] + m_box[2 * axis + 1]);
    m_sceneSize = std::max(m_sceneSize, m_box[2 * axis + 1] - m_box[2 * axis]);
  }
  // A flat or single-point box keeps a unit scale instead of dividing by zero.
  m_sceneScale = m_sceneSize > 0.0 ? 1.0 / m_sceneSize : 1.0;
  setRotationCentre(m_rotationCentre);
}

GLSLProgram* ZelSceneWindow::program(const char* name) {
  std::unique_ptr<GLSLProgram>& slot = m_programs[name];
  if (!slot) {
    const ZelShaderProgramSources* sources = zelShaderProgram(name);
    if (!sources) return nullptr;
    const auto path = [](const char* file) { return file ? QString(file) : QString(); };
    slot = std::make_unique<GLSLProgram>(m_gl);
    slot->buildProgram(sources->name, path(sources->vs), path(sources->fs), path(sources->gs),
                       path(sources->tcs), path(sources->tes));
  }
  return slot.get();
}

std::vector<std::string> ZelSceneWindow::builtPrograms() const {
  std::vector<std::string> names;
  for (const auto& [name, program] : m_programs)
    if (program) names.push_back(name);
  return names;
}

void ZelSceneWindow::setStandardUniforms(GLSLProgram* p, const ZelDrawObject* object) {
  const ZelDisplaySettings& s = m_settings;
  const float ratio = float(devicePixelRatio());
  p->setUniform("ModelViewMatrix", m_frameMatrices.modelView);
  p->setUniform("NormalMatrix", m_frameMatrices.normal);
  p->setUniform("MVP", m_frameMatrices.mvp);
  p->setUniform("ViewportMatrix", m_frameMatrices.viewport);
  p->setUniform("WindowScale", float(width()), float(height()));
  p->setUniform("shrink", s.shrink);
  p->setUniform("Picking", m_pickingPass);
  p->setUniform("BasePicking", 0);
  p->setUniform("DiscardUnPicked", s.discardUnpicked);
  p->setUniform("NbrHighLight", 0);
  p->setUniform("FaceOff", false);
  p->setUniform("LineOn", s.lineOn);
  p->setUniform("TessOn", s.tessellationOn);
  p->setUniform("SolOn", s.solutionOn);
  p->setUniform("IsoOn", s.isoLinesOn);
  p->setUniform("CheckInOut", s.checkInOut);
  p->setUniform("UsePhong", int(s.shadingModel));
  p->setUniform("Line.Width", s.lineWidth * ratio);
  p->setUniform("IsoWidth", float(m_isoLineWidth) * ratio);
  p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
  p->setUniform("CutPlane", 0.0f, 0.0f, 1.0f, 1.0f);
  p->setUniform("Material.Kd", 0.1f, 0.4f, 0.9f);
  p->setUniform("Material.Ka", 0.2f, 0.2f, 0.2f);
  p->setUniform("Material.Ks", 0.4f, 0.4f, 0.4f);
  p->setUniform("Light.Position", 0.0f, 0.0f, 0.0f, 0.0f);
  p->setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
  p->setUniform("Material.Shininess", 80.0f);

  // Face colouring mode of the render flags.
  const QVector3D background = m_blackBackground ? QVector3D(0, 0, 0) : QVector3D(1, 1, 1);
  const QVector4D lineColour = m_blackBackground ? QVector4D(1, 1, 1, 1) : QVector4D(0, 0, 0, 1);
  switch (s.faceMode()) {
    case 0:
      p->setUniform("FaceOff", true);
      p->setUniform("LineOn", true);
      p->setUniform("Line.Color", lineColour);
      p->setUniform("Material.Kd", background);
      p->setUniform("UsePhong", 3);
      break;
    case 1:
      p->setUniform("LineOn", true);
      p->setUniform("Line.Color", lineColour);
      p->setUniform("Material.Kd", background);
      p->setUniform("UsePhong", 3);
      break;
    case 2:
      p->setUniform("Material.Kd", referenceColour(object->reference()));
      break;
    default:
      p->setUniform("Material.Kd", 0.7f, 0.7f, 0.7f);
      break;
  }
}

bool ZelSceneWindow::groupShown(const FrameGroup& group, bool& clipping) {
  switch (group.condition) {
    case GroupCondition::ClipOn:
      // The software driver clips by any distance a shader writes, enabled or not: the
      // shaders write one only while "CutPlaneOn" is set.
      clipping = m_cutPlaneShown;
      if (clipping) m_gl->glEnable(GL_CLIP_DISTANCE0);
      return false;
    case GroupCondition::ClipOff:
      if (clipping) m_gl->glDisable(GL_CLIP_DISTANCE0);
      clipping = false;
      return false;
    case GroupCondition::PaletteLegend:
      return palettePresent() && m_settings.paletteShown &&
             (m_settings.solutionOn || m_settings.isoLinesOn);
    case GroupCondition::CutPlaneShown:
      return m_cutPlaneShown;
    case GroupCondition::VerticesShown:
      return m_verticesShown;
    case GroupCondition::CornersShown:
      return m_cornersShown;
    case GroupCondition::Always:
      break;
  }
  return true;
}

void ZelSceneWindow::drawGroups() {
  int basePicking = 1;
  bool clipping = false;
  for (const FrameGroup& group : frameGroups()) {
    if (!groupShown(group, clipping)) continue;
    if (!group.depthTest) m_gl->glDisable(GL_DEPTH_TEST);
    for (int kind : group.kinds) {
      int position = 0;
      for (ZelDrawObject* object : m_model.objectsOfKind(kind))
        basePicking += drawGroupObject(object, position++, clipping, basePicking);
    }
    if (!group.depthTest) m_gl->glEnable(GL_DEPTH_TEST);
  }
  m_lastFramePrimitives = basePicking - 1;
}

int ZelSceneWindow::drawGroupObject(ZelDrawObject* object, int position, bool clipping,
                                    int basePicking) {
  const int kind = object->kind();
  const float ratio = float(devicePixelRatio());
  const float winScale = ratio == 1.0f ? 2.0f : ratio;
  if (kind == DrawKind::CutPlane) {
    // The second square (the box) only in cut-plane mode; both follow the plane.
    if (position > 0 && m_camera.mode() != SceneCamera::CutPlaneMode) return 0;
    attachCutPlaneOutline(object, m_box, m_camera.cutPlane(), position > 0);
  }
  GLSLProgram* p = program(programNameOfKind(kind));
  if (!p) return 0;
  p->use();
  setStandardUniforms(p, object);
  if (kind == DrawKind::Palette) {
    p->setUniform("Line.Width", 2.0f * ratio);
    p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
  } else if (kind == DrawKind::CutPlane) {
    p->setUniform("Material.Kd", referenceColour(std::abs(6 - 3 * position)));
  }
  // Points and lines take their sizes from the display settings, as their buffers draw them.
  const auto uniforms = zel::bufferShape(zel::drawKindRow(kind)->buffer).uniforms;
  if (uniforms == ZelBufferShape::PointUniforms)
    p->setUniform("PointSize", m_settings.pointSize * ratio);
  if (uniforms == ZelBufferShape::LineUniforms) {
    p->setUniform("WIN_SCALE", float(width() * ratio / winScale),
                  float(height() * ratio / winScale));
    p->setUniform("THICKNESS", m_settings.lineWidth * ratio);
  }
  p->setUniform("HighLightAll", object->highlightAll());
  p->setUniform("BasePicking", basePicking);
  if (programIsTessellated(programNameOfKind(kind)))
    p->setUniform("tess_level", m_settings.tessellationLevel);
  p->setUniform("CutPlane", m_camera.cutPlane());
  p->setUniform("CutPlaneOn", clipping);
  object->display() = m_settings;
  return drawObject(object, p);
}

int ZelSceneWindow::drawObject(ZelDrawObject* object, GLSLProgram* p) {
  if (m_model.attachDeferred(object)) p->use();  // the upload may have bound other state
  ZelBufferObject* buffer = bufferOf(object);
  if (!buffer) {
    std::cout << " warning : no attachData to object of type " << object->typeName() << " with ref "
              << object->reference() << std::endl;
    return 0;
  }
  if (object->kind() != DrawKind::Palette) {
    const zel::Placement& own = buffer->placement();
    const float fs = float(m_sceneScale), fo = float(own.scale);
    const QVector3D co{float(own.centre[0]), float(own.centre[1]), float(own.centre[2])};
    const QVector3D cs{float(m_sceneCentre[0]), float(m_sceneCentre[1]), float(m_sceneCentre[2])};
    p->setUniform("scaling", fs / fo);
    p->setUniform("trans", (co - cs) * fs);
    p->setUniform("scenescaling", QVector4D(cs, fs));
    p->setUniform("scaling_norm", fo);
    p->setUniform("trans_norm", co);
    p->setUniform("scaling_scene", fs);
    p->setUniform("trans_scene", cs);
  }
  return buffer->render(m_gl, object, p);
}
