// Keyboard and mouse handling of the scene window.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"

namespace {

constexpr double kMinimumFieldOfView = 1e-7;
constexpr double kMaximumFieldOfView = 179.0;
constexpr int kMaximumTessellationLevel = 125;

double zoomedIn(double fieldOfView) { return std::max(0.9 * fieldOfView, kMinimumFieldOfView); }
double zoomedOut(double fieldOfView) { return std::min(1.1 * fieldOfView, kMaximumFieldOfView); }

}  // namespace

void ZelSceneWindow::keyPressEvent(QKeyEvent* event) {
  if (handleKeyCode(event)) return;
  if (handleKeyText(event->text())) renderLater();
}

bool ZelSceneWindow::handleKeyCode(QKeyEvent* event) {
  QVector3D pan = m_camera.pan();
  const float step = float(0.001 * m_fieldOfView);
  switch (event->key()) {
    case Qt::Key_Q:
    case Qt::Key_Escape:
      QCoreApplication::quit();
      return true;
    case Qt::Key_Return:
      // Ends a multi-picking selection; without one there is nothing to do.
      return true;
    case Qt::Key_Space:
      m_screenshotName.clear();
      m_screenshotRequested = true;
      break;
    case Qt::Key_Up:
      pan.setY(pan.y() - step);
      break;
    case Qt::Key_Down:
      pan.setY(pan.y() + step);
      break;
    case Qt::Key_Left:
      pan.setX(pan.x() + step);
      break;
    case Qt::Key_Right:
      pan.setX(pan.x() - step);
      break;
    case Qt::Key_F1:
      if (m_dimension != 3) break;
      m_cutPlaneShown = !m_cutPlaneShown;
      if (m_cutPlaneShown) {
        m_camera.setAngularVelocity(0.0);
      } else if (m_camera.mode() == SceneCamera::CutPlaneMode) {
        m_camera.resetPlaneSteps();
      }
      break;
    case Qt::Key_F2:
    case Qt::Key_F4:
      if (m_dimension != 3 || !m_cutPlaneShown) break;
      if (m_camera.mode() == SceneCamera::CutPlaneMode) {
        m_camera.setMode(SceneCamera::SceneMode);
        if (event->key() == Qt::Key_F2) {
          updateCutPlane();
        } else {
          updateCapping();
        }
        m_camera.setAngularVelocity(0.0);
      } else {
        m_camera.setMode(SceneCamera::CutPlaneMode);
        m_camera.resetPlaneSteps();
      }
      break;
    case Qt::Key_F3:
      if (m_dimension != 3 || !m_cutPlaneShown) break;
      m_camera.setCutPlane(QVector4D(0.0f, 1.0f, 0.0f, 0.5f));
      m_camera.resetPlaneSteps();
      m_camera.setAngularVelocity(0.0);
      updateCutPlane();
      break;
    case Qt::Key_F6:
      m_settings.shrink = std::min(0.95f * m_settings.shrink, 1.0f);
      break;
    case Qt::Key_F7:
      m_settings.shrink = std::min(1.05f * m_settings.shrink, 1.0f);
      break;
    case Qt::Key_F12:
      m_settings.shrink = m_settings.shrink >= 1.0f ? 0.95f : 1.0f;
      break;
    default:
      return false;
  }
  m_camera.setPan(pan);
  renderLater();
  return true;
}

bool ZelSceneWindow::handleKeyText(const QString& text) {
  ZelDisplaySettings& s = m_settings;
  const bool solutionShown = s.solutionOn || s.isoLinesOn;
  if (text == "a") {
    s.renderFlags ^= 1;
    return false;
  } else if (text == "c") {
    s.checkInOut = !s.checkInOut;
  } else if (text == "C") {
    emit showSceneCenter();
    return false;
  } else if (text == "+") {
    s.lineWidth += 0.25f;
    s.pointSize += 0.05f;
  } else if (text == "-") {
    s.lineWidth = std::max(s.lineWidth - 0.25f, 0.0f);
    s.pointSize = std::max(s.pointSize - 0.05f, 0.0f);
  } else if (text == ">") {
    changeDisplayField(+1);
  } else if (text == "<") {
    changeDisplayField(-1);
  } else if (text == "b") {
    m_blackBackground = !m_blackBackground;
  } else if (text == "D") {
    m_verticesShown = !m_verticesShown;
  } else if (text == "B") {
    s.renderFlags ^= 4;
    return false;
  } else if (text == "d") {
    s.discardUnpicked = !s.discardUnpicked;
  } else if (text == "g") {
    m_cornersShown = !m_cornersShown;
  } else if (text == "l") {
    if (!s.tessellationOn) s.lineOn = !s.lineOn;
  } else if (text == "L") {
    s.tessellationOn = !s.tessellationOn;
  } else if (text == "m") {
    if (palettePresent()) s.solutionOn = !s.solutionOn;
  } else if (text == "o") {
    if (palettePresent()) s.isoLinesOn = !s.isoLinesOn;
  } else if (text == "p") {
    if (palettePresent() && solutionShown) s.paletteShown = !s.paletteShown;
  } else if (text == "f") {
    // 3 -> 0 -> 1 -> 2 -> 3 through bits 1-2; bit 3 is cleared.
    const int mode = (s.faceMode() + 1) % 4;
    s.renderFlags = (s.renderFlags & ~(6 | 8)) | (mode << 1);
  } else if (text == "r") {
    s.shadingModel = int8_t((s.shadingModel + 1) % 4);
  } else if (text == "s") {
    if (m_picked.empty()) return true;
    ZelDrawObject* object = m_picked.back();
    m_picked.pop_back();
    object->setVisible(false);
    m_hidden.push_back(object);
  } else if (text == "S") {
    if (!m_hidden.empty()) m_hidden.back()->setVisible(true);
  } else if (text == "t") {
    s.tessellationLevel = std::min(s.tessellationLevel + 1, kMaximumTessellationLevel);
  } else if (text == "T") {
    s.tessellationLevel = std::max(s.tessellationLevel - 1, 1);
  } else if (text == "k") {
    m_dimension = m_dimension == 2 ? 3 : 2;
  } else if (text == "w") {
    writeStateFile();
    return false;
  } else if (text == "V") {
    if (!m_picked.empty()) emit doCenterScene(m_picked.back());
    return false;
  } else if (text == "z") {
    m_fieldOfView = zoomedIn(m_fieldOfView);
  } else if (text == "Z") {
    m_fieldOfView = zoomedOut(m_fieldOfView);
  } else if (text == "i") {
    resetView();
  } else {
    return false;
  }
  return true;
}

void ZelSceneWindow::mousePressEvent(QMouseEvent* event) {
  // Shift-click picks (handled by the picking pass); other modifier combinations are ignored.
  if (event->modifiers() != Qt::NoModifier) return;
  m_camera.press(event->localPos(), m_cutPlaneShown);
  renderLater();
}

void ZelSceneWindow::mouseMoveEvent(QMouseEvent* event) {
  m_pointer = event->localPos().toPoint();
  if (m_cutPlaneShown && m_camera.mode() == SceneCamera::CutPlaneMode) {
    m_camera.cutPlaneMove(event->localPos(), event->buttons(), m_fieldOfView, m_dimension);
  } else {
    m_camera.move(event->localPos(), event->buttons(), m_fieldOfView, m_dimension);
  }
  if (m_camera.isPressed()) renderLater();
}

void ZelSceneWindow::mouseReleaseEvent(QMouseEvent* event) {
  Q_UNUSED(event);
  m_camera.release(m_cutPlaneShown);
  renderLater();
}

void ZelSceneWindow::mouseDoubleClickEvent(QMouseEvent* event) { Q_UNUSED(event); }

void ZelSceneWindow::wheelEvent(QWheelEvent* event) {
  // Touchpads report pixels; wheel mice (all of them under X11) only angles, in eighths of a
  // degree: degrees then stand in for pixels.
  QPoint delta = event->pixelDelta();
  if (delta.isNull()) delta = event->angleDelta() / 8;
  event->accept();
  if (delta.isNull()) return;
  m_fieldOfView = delta.y() < 1 ? zoomedIn(m_fieldOfView) : zoomedOut(m_fieldOfView);
  renderLater();
}

void ZelSceneWindow::touchEvent(QTouchEvent* event) { Q_UNUSED(event); }
