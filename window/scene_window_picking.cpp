// Picking in the scene window: the id pass into the picking framebuffer, resolution of the id,
// mouse picks, multi-picking and the projection of points to window positions.
#include <QDebug>
#include <QEventLoop>
#include <QOpenGLContext>
#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>
#include <iostream>

#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"

int ZelSceneWindow::pick(int x, int y, int mode) {
  if (mode == 2) {
    std::cout << "performpicking isoline" << std::endl;
    return 0;
  }
  if (mode != 1 || !m_gl || !makeContextCurrent()) return -1;
  const qreal ratio = devicePixelRatio();
  const int pixelWidth = static_cast<int>(width() * ratio);
  const int pixelHeight = static_cast<int>(height() * ratio);
  if (!m_pickingFramebuffer.rebuild(m_gl, pixelWidth, pixelHeight, stderr)) return -1;
  const zel::FramebufferPixel pixel = zel::pickingPixel(x, y, ratio, pixelWidth, pixelHeight);

  m_gl->glBindFramebuffer(GL_FRAMEBUFFER, m_pickingFramebuffer.framebuffer());
  m_gl->glDisable(GL_BLEND);
  // Only the pixel read back is rasterised: the id pass then costs the geometry stages alone.
  m_gl->glEnable(GL_SCISSOR_TEST);
  m_gl->glScissor(pixel.column, pixel.row, 1, 1);
  // The same scene frame and camera as a normal frame, so that ids land where elements are seen;
  // the display settings (tessellation level included) are the window's own.
  updateSceneFrame();
  m_camera.setWindowSize(width(), height());
  m_gl->glViewport(0, 0, pixelWidth, pixelHeight);
  m_gl->glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  m_pickingPass = true;
  m_renderer.drawGroups(frameUniforms(), m_model);
  m_pickingPass = false;
  m_gl->glDisable(GL_SCISSOR_TEST);
  const int id = zel::readPickingId(m_gl, pixel);

  m_gl->glBindFramebuffer(GL_FRAMEBUFFER, glContext()->defaultFramebufferObject());
  m_gl->glEnable(GL_BLEND);
  m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  renderLater();
  return id;
}

ZelDrawObject* ZelSceneWindow::resolve(int x, int y, int id) {
  return zel::resolvePick(m_renderer.pickingTable(), x, y, id, m_highlightElements, m_picked)
      .object;
}

ZelDrawObject* ZelSceneWindow::pickAt(const QPointF& position) {
  const int x = zel::nearestPixel(position.x());
  const int y = zel::nearestPixel(position.y());
  const int id = pick(x, y, 1);
  if (id < 0) return nullptr;
  ZelDrawObject* object = resolve(x, y, id);
  if (!object) return nullptr;
  if (m_highlightObjects) {
    if (m_pickingVerbose)
      std::cout << " highligthing objects " << static_cast<const void*>(object) << " "
                << object->highlightAll() << std::endl;
    object->setHighlightAll(!object->highlightAll());
  }
  renderLater();
  emit pickingDone(object);
  return object;
}

QList<ZelDrawObject*> ZelSceneWindow::multiPickingRequest(const QVariantMap& request) {
  m_multiPicking = true;
  m_multiPickingRequest = request;
  m_picked.clear();
  QEventLoop loop;
  connect(this, &ZelSceneWindow::multiPickingDone, &loop, &QEventLoop::quit);
  // A Return already handled while the loop was being set up must not leave it waiting.
  if (m_multiPicking) loop.exec();
  std::cout << "  End of picking demand " << std::endl;
  return QList<ZelDrawObject*>(m_picked.begin(), m_picked.end());
}

void ZelSceneWindow::endMultiPicking() {
  if (!m_multiPicking) return;
  m_multiPicking = false;
  emit multiPickingDone(QList<ZelDrawObject*>(m_picked.begin(), m_picked.end()));
}

QList<int> ZelSceneWindow::multiPickingReturnList() {
  QList<int> references;
  QString line = " multi-picking return list (";
  for (ZelDrawObject* object : m_picked) {
    if (!references.isEmpty()) line += ", ";
    references.append(object->reference());
    line += QString::number(object->reference());
    object->setHighlightAll(false);
  }
  qDebug().noquote() << line + ")";
  return references;
}

QVector3D ZelSceneWindow::windowPosition(const double point[3]) const {
  QVector4D normalised(0.0f, 0.0f, 0.0f, 1.0f);
  for (int axis = 0; axis < 3; ++axis)
    normalised[axis] = float((point[axis] - m_sceneCentre[axis]) * m_sceneScale);
  const QVector4D clip =
      m_camera.projectionMatrix(float(m_fieldOfView)) * m_camera.modelViewMatrix() * normalised;
  const float w = clip.w() != 0.0f ? clip.w() : 1.0f;
  return QVector3D(float(0.5 * (clip.x() / w + 1.0) * width()),
                   float(0.5 * (1.0 - clip.y() / w) * height()), clip.w());
}
