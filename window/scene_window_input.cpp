// Keyboard and mouse handling of the scene window.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <vector>

#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"
#include "window/state_file.h"

namespace {

// The key bounds are those of the state file, so a saved view always reads back.
double zoomedIn(double fieldOfView) { return std::max(0.9 * fieldOfView, kMinimumFieldOfView); }
double zoomedOut(double fieldOfView) { return std::min(1.1 * fieldOfView, kMaximumFieldOfView); }

// Keys that move the view and come in bursts: the arrows (pan) and "z" / "Z" (zoom).
bool movesTheView(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return true;
    default:
      return event.text() == QLatin1String("z") || event.text() == QLatin1String("Z");
  }
}

}  // namespace

void ZelSceneWindow::keyPressEvent(QKeyEvent* event) {
  if (movesTheView(*event)) noteViewMotion();
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
      endMultiPicking();
      return true;
    case Qt::Key_Return:
      // Ends a multi-picking selection; without one there is nothing to do.
      endMultiPicking();
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

// The keys by text: what each does and whether the window is redrawn after it.
const std::vector<ZelSceneWindow::TextKey>& ZelSceneWindow::textKeys() {
  using W = ZelSceneWindow;
  static const std::vector<TextKey> keys = {
      {"a", [](W& w) { w.m_settings.renderFlags ^= RenderFlag::kCarried; }, false},
      {"c", [](W& w) { w.m_settings.checkInOut = !w.m_settings.checkInOut; }, true},
      {"C", [](W& w) { emit w.showSceneCenter(); }, false},
      {"+",
       [](W& w) {
         w.m_settings.lineWidth += 0.25f;
         w.m_settings.pointSize += 0.05f;
       },
       true},
      {"-",
       [](W& w) {
         w.m_settings.lineWidth = std::max(w.m_settings.lineWidth - 0.25f, 0.0f);
         w.m_settings.pointSize = std::max(w.m_settings.pointSize - 0.05f, 0.0f);
       },
       true},
      {">", [](W& w) { w.changeDisplayField(+1); }, true},
      {"<", [](W& w) { w.changeDisplayField(-1); }, true},
      {"b", [](W& w) { w.m_blackBackground = !w.m_blackBackground; }, true},
      {"D", [](W& w) { w.m_verticesShown = !w.m_verticesShown; }, true},
      {"B", [](W& w) { w.m_settings.renderFlags ^= RenderFlag::kReferenceColours; }, false},
      {"d", [](W& w) { w.m_settings.discardUnpicked = !w.m_settings.discardUnpicked; }, true},
      {"g", [](W& w) { w.m_cornersShown = !w.m_cornersShown; }, true},
      {"l",
       [](W& w) {
         if (!w.m_settings.tessellationOn) w.m_settings.lineOn = !w.m_settings.lineOn;
       },
       true},
      {"L", [](W& w) { w.m_settings.tessellationOn = !w.m_settings.tessellationOn; }, true},
      {"m",
       [](W& w) {
         if (w.palettePresent()) w.m_settings.solutionOn = !w.m_settings.solutionOn;
       },
       true},
      {"o",
       [](W& w) {
         if (w.palettePresent()) w.m_settings.isoLinesOn = !w.m_settings.isoLinesOn;
       },
       true},
      {"p",
       [](W& w) {
         ZelDisplaySettings& s = w.m_settings;
         if (w.palettePresent() && (s.solutionOn || s.isoLinesOn)) s.paletteShown = !s.paletteShown;
       },
       true},
      {"f",
       [](W& w) {
         // 3 -> 0 -> 1 -> 2 -> 3 through the face-mode bits; the bit after them is cleared.
         ZelDisplaySettings& s = w.m_settings;
         const int mode = (s.faceMode() + 1) % 4;
         s.renderFlags =
             (s.renderFlags & ~(RenderFlag::kFaceModeMask | RenderFlag::kClearedByFaceKey)) |
             (mode << RenderFlag::kFaceModeShift);
       },
       true},
      {"r", [](W& w) { w.m_settings.shadingModel = int8_t((w.m_settings.shadingModel + 1) % 4); },
       true},
      {"s",
       [](W& w) {
         if (w.m_picked.empty()) return;
         ZelDrawObject* object = w.m_picked.back();
         w.m_picked.pop_back();
         object->setVisible(false);
         w.m_hidden.push_back(object);
       },
       true},
      {"S",
       [](W& w) {
         if (!w.m_hidden.empty()) w.m_hidden.back()->setVisible(true);
       },
       true},
      {"t",
       [](W& w) {
         w.m_settings.tessellationLevel =
             std::min(w.m_settings.tessellationLevel + 1, kMaximumTessellationLevel);
       },
       true},
      {"T",
       [](W& w) {
         w.m_settings.tessellationLevel = std::max(w.m_settings.tessellationLevel - 1, 1);
       },
       true},
      {"k", [](W& w) { w.m_dimension = w.m_dimension == 2 ? 3 : 2; }, true},
      {"w", [](W& w) { w.writeStateFile(); }, false},
      {"V",
       [](W& w) {
         if (!w.m_picked.empty()) emit w.doCenterScene(w.m_picked.back());
       },
       false},
      {"z", [](W& w) { w.m_fieldOfView = zoomedIn(w.m_fieldOfView); }, true},
      {"Z", [](W& w) { w.m_fieldOfView = zoomedOut(w.m_fieldOfView); }, true},
      {"i", [](W& w) { w.resetView(); }, true},
  };
  return keys;
}

bool ZelSceneWindow::handleKeyText(const QString& text) {
  for (const TextKey& key : textKeys()) {
    if (text != QLatin1String(key.text)) continue;
    key.action(*this);
    return key.redraw;
  }
  return false;
}

void ZelSceneWindow::mousePressEvent(QMouseEvent* event) {
  // Shift-click picks; other modifier combinations are ignored.
  if (event->modifiers() == Qt::ShiftModifier) {
    pickAt(event->localPos());
    return;
  }
  if (event->modifiers() != Qt::NoModifier) return;
  m_camera.press(event->localPos(), m_cutPlaneShown);
  noteViewMotion();
  renderLater();
}

void ZelSceneWindow::mouseMoveEvent(QMouseEvent* event) {
  m_pointer = event->localPos().toPoint();
  if (m_cutPlaneShown && m_camera.mode() == SceneCamera::CutPlaneMode) {
    m_camera.cutPlaneMove(event->localPos(), event->buttons(), m_fieldOfView, m_dimension);
  } else {
    m_camera.move(event->localPos(), event->buttons(), m_fieldOfView, m_dimension);
  }
  if (m_camera.isPressed()) {
    noteViewMotion();
    renderLater();
  }
}

void ZelSceneWindow::mouseReleaseEvent(QMouseEvent* event) {
  Q_UNUSED(event);
  m_camera.release(m_cutPlaneShown);
  noteViewMotion();
  renderLater();
}

void ZelSceneWindow::mouseDoubleClickEvent(QMouseEvent* event) { pickAt(event->localPos()); }

void ZelSceneWindow::wheelEvent(QWheelEvent* event) {
  // Touchpads report pixels; wheel mice (all of them under X11) only angles, in eighths of a
  // degree: degrees then stand in for pixels.
  QPoint delta = event->pixelDelta();
  if (delta.isNull()) delta = event->angleDelta() / 8;
  event->accept();
  if (delta.isNull()) return;
  m_fieldOfView = delta.y() < 1 ? zoomedIn(m_fieldOfView) : zoomedOut(m_fieldOfView);
  noteViewMotion();
  renderLater();
}

void ZelSceneWindow::touchEvent(QTouchEvent* event) { Q_UNUSED(event); }
