// The frame of the scene window: scene box, the frame's uniform block, the renderer's groups,
// the screenshot.
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <algorithm>
#include <limits>

#include "window/ZelSceneWindow.h"
#include "window/screenshot.h"

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

  const bool cheap = nextFrameCheap();
  // Cheap frames are drawn at half the resolution, then shown over the whole window.
  const bool reduced = cheap && m_reducedFrame.begin(m_gl, pixelWidth, pixelHeight);
  if (!reduced) m_gl->glViewport(0, 0, pixelWidth, pixelHeight);
  if (m_pickingPass) {
    m_gl->glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  } else if (m_blackBackground) {
    m_gl->glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  } else {
    m_gl->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  }
  m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  if (m_camera.mode() == SceneCamera::CutPlaneMode && m_cutPlaneShown) {
    m_camera.updateCutPlaneEquation(m_camera.centre());
  }
  zel::FrameUniforms frame = frameUniforms();
  frame.cheap = cheap;
  if (reduced) frame.framebufferScale = 0.5f;
  // One sample per pixel while the view moves.
  if (cheap) m_gl->glDisable(GL_MULTISAMPLE);
  m_lastFramePrimitives = m_renderer.drawGroups(frame, m_model);
  if (reduced) {
    m_reducedFrame.present(*m_renderer.program("UpscaleSha"),
                           glContext()->defaultFramebufferObject(), pixelWidth, pixelHeight);
  }
  if (cheap) m_gl->glEnable(GL_MULTISAMPLE);

  if (m_screenshotRequested) {
    m_screenshotRequested = false;
    takeScreenshot(m_gl, pixelWidth, pixelHeight, glContext()->format().samples() > 1,
                   m_screenshotName);
  }
  if (m_frameObserver) m_frameObserver(cheap);
  m_gl->glFinish();
  ++m_frameCount;
  cheapFrameBookkeeping(cheap);
}

zel::FrameUniforms ZelSceneWindow::frameUniforms() const {
  zel::FrameUniforms f;
  // The frame's matrices, once for every object drawn.
  f.modelView = m_camera.modelViewMatrix();
  f.normal = f.modelView.normalMatrix();
  f.mvp = m_camera.projectionMatrix(float(m_fieldOfView)) * f.modelView;
  f.viewport = m_camera.viewportMatrix();
  f.width = width();
  f.height = height();
  f.pixelRatio = float(devicePixelRatio());
  f.settings = m_settings;
  f.isoLineWidth = float(m_isoLineWidth);
  double plane[4];
  meshCutPlane(plane);
  f.cutPlane = QVector4D(float(plane[0]), float(plane[1]), float(plane[2]), float(plane[3]));
  f.cutPlaneMode = m_camera.mode() == SceneCamera::CutPlaneMode;
  std::copy(m_box, m_box + 6, f.sceneBox);
  std::copy(m_sceneCentre, m_sceneCentre + 3, f.sceneCentre);
  f.sceneScale = m_sceneScale;
  f.pickingPass = m_pickingPass;
  f.blackBackground = m_blackBackground;
  f.palettePresent = palettePresent();
  f.cutPlaneShown = m_cutPlaneShown;
  f.verticesShown = m_verticesShown;
  f.cornersShown = m_cornersShown;
  return f;
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

std::vector<std::string> ZelSceneWindow::builtPrograms() const {
  return m_renderer.builtPrograms();
}
