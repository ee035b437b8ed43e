// The frame's groups, programs and uniforms.
#include "window/FrameRenderer.h"

#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <cmath>

#include "gpu/GLSLProgram.h"
#include "gpu/ZelBufferObject.h"
#include "gpu/cheap_forms.h"
#include "gpu/shader_programs.h"
#include "meshio/status.h"
#include "scene/SceneModel.h"
#include "scene/ZelDrawObject.h"

namespace zel {
namespace {

// Reference colours (1/255 units), indexed by |reference| mod 9.
const int kReferenceColours[9][3] = {{40, 80, 120},   {120, 40, 40}, {80, 120, 40},
                                     {120, 120, 120}, {120, 80, 40}, {120, 40, 80},
                                     {120, 40, 120},  {40, 40, 120}, {40, 80, 40}};

QVector3D referenceColour(int index) {
  const int* rgb = kReferenceColours[std::abs(index) % 9];
  return QVector3D(rgb[0], rgb[1], rgb[2]) / 255.0f;
}

// Where an object's normalised coordinates go in the world: world = scaling x position + trans.
struct WorldPlacement {
  float scaling;
  QVector3D trans;
};
WorldPlacement worldPlacement(const FrameUniforms& f, const Placement& own) {
  const float fs = float(f.sceneScale);
  const QVector3D co{float(own.centre[0]), float(own.centre[1]), float(own.centre[2])};
  const QVector3D cs{float(f.sceneCentre[0]), float(f.sceneCentre[1]), float(f.sceneCentre[2])};
  return {fs / float(own.scale), (co - cs) * fs};
}

bool always(const FrameUniforms&) { return true; }
bool legendShown(const FrameUniforms& f) {
  return f.palettePresent && f.settings.paletteShown &&
         (f.settings.solutionOn || f.settings.isoLinesOn);
}
bool cutPlaneShown(const FrameUniforms& f) { return f.cutPlaneShown; }
bool verticesShown(const FrameUniforms& f) { return f.verticesShown; }
bool cornersShown(const FrameUniforms& f) { return f.cornersShown; }

}  // namespace

const std::vector<FrameGroup>& frameGroups() {
  // The cut plane and its faces are never clipped; everything from the vertices to the
  // patches is. The scene-centre marker comes last and without the depth test: the rotation
  // centre usually lies inside the scene.
  static const std::vector<FrameGroup> groups = {
      {DrawGroup::Legend, legendShown, false, true},
      {DrawGroup::CutPlane, cutPlaneShown, false, true},
      {DrawGroup::CutFaces, cutPlaneShown, false, true},
      {DrawGroup::Vertices, verticesShown, true, true},
      {DrawGroup::Corners, cornersShown, true, true},
      {DrawGroup::Edges, always, true, true},
      {DrawGroup::CurvedEdges, always, true, true},
      {DrawGroup::Triangles, always, true, true},
      {DrawGroup::Quadrilaterals, always, true, true},
      {DrawGroup::UserCutFaces, always, true, true},
      {DrawGroup::SurfaceFaces, always, true, true},
      {DrawGroup::Patches, always, true, true},
      {DrawGroup::SceneCentre, always, false, false},
  };
  return groups;
}

FrameRenderer::FrameRenderer() = default;
FrameRenderer::~FrameRenderer() = default;

void FrameRenderer::releasePrograms() { m_programs.clear(); }

void FrameRenderer::setOpenGL(QOpenGLFunctions_4_0_Core* gl) {
  m_gl = gl;
  m_programs.clear();
}

GLSLProgram* FrameRenderer::program(const char* name) {
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

std::vector<std::string> FrameRenderer::builtPrograms() const {
  std::vector<std::string> names;
  for (const auto& [name, program] : m_programs)
    if (program) names.push_back(name);
  return names;
}

int FrameRenderer::drawGroups(const FrameUniforms& frame, SceneModel& model) {
  m_frame = &frame;
  m_model = &model;
  m_pickingTable.clear();
  m_framePrograms.clear();
  int basePicking = 1;
  bool clipping = false;
  for (const FrameGroup& group : frameGroups()) {
    // The software driver clips by any distance a shader writes, enabled or not: the shaders
    // write one only while "CutPlaneOn" is set.
    const bool clip = group.clipped && frame.cutPlaneShown;
    if (clip != clipping) {
      if (clip) {
        m_gl->glEnable(GL_CLIP_DISTANCE0);
      } else {
        m_gl->glDisable(GL_CLIP_DISTANCE0);
      }
      clipping = clip;
    }
    if (!group.shown(frame)) continue;
    if (!group.depthTest) m_gl->glDisable(GL_DEPTH_TEST);
    for (const DrawKindRow& row : kDrawKinds) {
      if (row.group != group.group) continue;
      int position = 0;
      for (ZelDrawObject* object : model.objectsOfKind(row.kind))
        basePicking += drawGroupObject(object, position++, clipping, basePicking);
    }
    if (!group.depthTest) m_gl->glEnable(GL_DEPTH_TEST);
  }
  if (clipping) m_gl->glDisable(GL_CLIP_DISTANCE0);
  m_frame = nullptr;
  m_model = nullptr;
  return basePicking - 1;
}

void FrameRenderer::setStandardUniforms(GLSLProgram* p, const ZelDrawObject* object) {
  const FrameUniforms& f = *m_frame;
  const ZelDisplaySettings& s = f.settings;
  const float ratio = f.pixelRatio;
  p->setUniform("ModelViewMatrix", f.modelView);
  p->setUniform("NormalMatrix", f.normal);
  p->setUniform("MVP", f.mvp);
  p->setUniform("ViewportMatrix", f.viewport);
  p->setUniform("WindowScale", float(f.width), float(f.height));
  p->setUniform("shrink", s.shrink);
  p->setUniform("Picking", f.pickingPass);
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
  p->setUniform("IsoWidth", f.isoLineWidth * ratio * f.framebufferScale);
  p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
  p->setUniform("CutPlane", 0.0f, 0.0f, 1.0f, 1.0f);
  p->setUniform("Material.Kd", 0.1f, 0.4f, 0.9f);
  p->setUniform("Material.Ka", 0.2f, 0.2f, 0.2f);
  p->setUniform("Material.Ks", 0.4f, 0.4f, 0.4f);
  p->setUniform("Light.Position", 0.0f, 0.0f, 0.0f, 0.0f);
  p->setUniform("Light.Intensity", 0.8f, 0.8f, 0.8f);
  p->setUniform("Material.Shininess", 80.0f);
  if (f.cheap) {
    p->setUniform("LineOn", false);
    p->setUniform("TessOn", false);
  }

  // Face colouring mode of the render flags.
  const QVector3D background = f.blackBackground ? QVector3D(0, 0, 0) : QVector3D(1, 1, 1);
  const QVector4D lineColour = f.blackBackground ? QVector4D(1, 1, 1, 1) : QVector4D(0, 0, 0, 1);
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

int FrameRenderer::drawGroupObject(ZelDrawObject* object, int position, bool clipping,
                                   int basePicking) {
  const FrameUniforms& f = *m_frame;
  const int kind = object->kind();
  const float ratio = f.pixelRatio;
  const float winScale = ratio == 1.0f ? 2.0f : ratio;
  if (kind == DrawKind::CutPlane) {
    // The second square (the box) only in cut-plane mode; both follow the plane.
    if (position > 0 && !f.cutPlaneMode) return 0;
    m_model->attachCutPlaneOutline(object, f.sceneBox, f.cutPlane, position > 0);
  }
  // A deferred upload first: it binds state of its own, and decides whether a cheap form exists.
  m_model->attachDeferred(object);
  ZelBufferObject* buffer = m_model->bufferOf(object);
  const bool cheap = f.cheap && buffer && buffer->hasCheapForm();
  if (buffer) buffer->setCheapDraws(cheap);
  const char* name = cheap ? straightProgram(kind) : programFor(object, kindProgram(kind));
  GLSLProgram* p = program(name);
  if (!p) return 0;
  if (std::find(m_framePrograms.begin(), m_framePrograms.end(), name) == m_framePrograms.end())
    m_framePrograms.push_back(name);
  p->use();
  setStandardUniforms(p, object);
  if (kind == DrawKind::Palette) {
    p->setUniform("Line.Width", 2.0f * ratio);
    p->setUniform("Line.Color", 0.05f, 0.0f, 0.05f, 1.0f);
  } else if (kind == DrawKind::CutPlane) {
    p->setUniform("Material.Kd", referenceColour(std::abs(6 - 3 * position)));
  }
  // Points and lines take their sizes from the display settings, as their buffers draw them.
  const auto uniforms = bufferShape(drawKindRow(kind)->buffer).uniforms;
  if (uniforms == ZelBufferShape::PointUniforms)
    p->setUniform("PointSize", f.settings.pointSize * ratio * f.framebufferScale);
  if (uniforms == ZelBufferShape::LineUniforms) {
    p->setUniform("WIN_SCALE", float(f.width * ratio / winScale),
                  float(f.height * ratio / winScale));
    p->setUniform("THICKNESS", f.settings.lineWidth * ratio);
  }
  p->setUniform("HighLightAll", object->highlightAll());
  p->setUniform("BasePicking", basePicking);
  if (const ZelShaderProgramSources* sources = zelShaderProgram(name); sources && sources->tcs)
    p->setUniform("tess_level", f.cheap ? 1 : f.settings.tessellationLevel);
  p->setUniform("CutPlane", f.cutPlane);
  p->setUniform("CutPlaneOn", clipping);
  object->display() = f.settings;
  return drawObject(object, p, basePicking);
}

const char* FrameRenderer::programFor(ZelDrawObject* object, const char* name) {
  const ZelShaderProgramSources* twin = zelSubPixelProgram(name);
  const ZelBufferObject* buffer = twin ? m_model->bufferOf(object) : nullptr;
  if (!buffer) return name;
  const WorldPlacement world = worldPlacement(*m_frame, buffer->placement());
  const bool small =
      buffer->screenLevelIsOne(m_frame->mvp, m_frame->viewport, world.scaling, world.trans);
  return small ? twin->name : name;
}

int FrameRenderer::drawObject(ZelDrawObject* object, GLSLProgram* p, int basePicking) {
  const FrameUniforms& f = *m_frame;
  ZelBufferObject* buffer = m_model->bufferOf(object);
  if (!buffer) {
    printMessage(" warning : no attachData to object of type %s with ref %d\n", object->typeName(),
                 object->reference());
    return 0;
  }
  if (object->kind() != DrawKind::Palette) {
    const Placement& own = buffer->placement();
    const float fs = float(f.sceneScale), fo = float(own.scale);
    const QVector3D co{float(own.centre[0]), float(own.centre[1]), float(own.centre[2])};
    const QVector3D cs{float(f.sceneCentre[0]), float(f.sceneCentre[1]), float(f.sceneCentre[2])};
    const WorldPlacement world = worldPlacement(f, own);
    p->setUniform("scaling", world.scaling);
    p->setUniform("trans", world.trans);
    p->setUniform("scenescaling", QVector4D(cs, fs));
    p->setUniform("scaling_norm", fo);
    p->setUniform("trans_norm", co);
    p->setUniform("scaling_scene", fs);
    p->setUniform("trans_scene", cs);
  }
  // A patch with members gives each member its own id range; any other object takes one.
  if (object->memberCount() > 0) {
    int runningId = basePicking;
    return buffer->render(m_gl, object, p, &m_pickingTable, &runningId);
  }
  m_pickingTable.emplace_back(basePicking, object);
  return buffer->render(m_gl, object, p);
}

}  // namespace zel
