// Saving and restoring the scene window's view through the state file.
#include <QOpenGLFunctions_4_0_Core>
#include <QScreen>
#include <algorithm>
#include <cstdio>

#include "meshio/status.h"
#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"
#include "window/state_file.h"

namespace {

Vector3 plain(const QVector3D& v) { return {v.x(), v.y(), v.z()}; }
QVector3D vector3(const Vector3& v) { return {v[0], v[1], v[2]}; }

// Resizes `window`, keeping it within the screen it is on: a window larger than the screen
// cannot be shown whole and only costs framebuffer memory.
void resizeWithinScreen(QWindow* window, int width, int height) {
  if (const QScreen* display = window->screen()) {
    const QSize room = display->virtualSize();
    const int fittingWidth = std::clamp(width, 1, std::max(room.width(), 1));
    const int fittingHeight = std::clamp(height, 1, std::max(room.height(), 1));
    if (fittingWidth != width || fittingHeight != height)
      zel::printMessage(
          "  ## WARNING: ZELMOR: windowsize: %d x %d LARGER THAN THE SCREEN, SET TO %d x %d \n",
          width, height, fittingWidth, fittingHeight);
    width = fittingWidth;
    height = fittingHeight;
  }
  window->resize(width, height);
}

}  // namespace

void ZelSceneWindow::writeStateFile() {
  const char* const fileName = "zelmor.data";
  zel::printMessage("  writing %s\n", fileName);
  ViewState state;
  state.windowSize = std::make_pair(width(), height());
  state.centre = plain(m_camera.centre());
  const QQuaternion rotation = m_camera.currentRotation();
  state.rotation = Vector4{rotation.scalar(), rotation.x(), rotation.y(), rotation.z()};
  state.axis = plain(m_camera.axis());
  state.translation = plain(m_camera.pan());
  state.showCutPlane = m_cutPlaneShown ? 1 : 0;
  double plane[4];
  meshCutPlane(plane);
  state.cutPlane = Vector4{float(plane[0]), float(plane[1]), float(plane[2]), float(plane[3])};
  state.fieldOfView = m_fieldOfView;
  state.solutionOn = m_settings.solutionOn;
  state.isoLinesOn = m_settings.isoLinesOn;
  state.paletteShown = m_settings.paletteShown;
  state.lineOn = m_settings.lineOn;
  state.tessellationOn = m_settings.tessellationOn;
  state.tessellationLevel = m_settings.tessellationLevel;
  state.shadingModel = m_settings.shadingModel;
  state.renderFlags = m_settings.renderFlags;
  state.lineWidth = m_settings.lineWidth;
  for (const ZelDrawObject* object : m_hidden)
    state.hidden.emplace_back(object->kind(), object->reference());

  std::FILE* out = std::fopen(fileName, "w");
  const bool written = out && writeViewState(out, state);
  if (out) std::fclose(out);
  if (!written) zel::printMessage("  ## ERROR: ZELMOR: could not write %s \n", fileName);
}

void ZelSceneWindow::readStateFile(const std::string& fileName) {
  zel::printMessage("  opening %s \n", fileName.c_str());
  ViewState state;
  if (!readViewStateFile(fileName, &state, stdout)) {
    zel::printMessage("error while loading %s \n", fileName.c_str());
    return;
  }
  if (state.windowSize) resizeWithinScreen(this, state.windowSize->first, state.windowSize->second);
  if (state.centre) m_camera.setCentre(vector3(*state.centre));
  if (const auto& r = state.rotation)
    m_camera.setRotation(QQuaternion((*r)[0], (*r)[1], (*r)[2], (*r)[3]));
  if (state.axis) m_camera.setAxis(vector3(*state.axis));
  if (state.translation) m_camera.setPan(vector3(*state.translation));
  if (state.showCutPlane) m_cutPlaneShown = *state.showCutPlane != 0;
  if (const auto& p = state.cutPlane) {
    const double plane[4] = {(*p)[0], (*p)[1], (*p)[2], (*p)[3]};
    setMeshCutPlane(plane);
  }
  if (state.fieldOfView) m_fieldOfView = *state.fieldOfView;
  if (state.lineWidth) m_settings.lineWidth = float(*state.lineWidth);
  if (state.solutionOn) m_settings.solutionOn = *state.solutionOn != 0;
  if (state.isoLinesOn) m_settings.isoLinesOn = *state.isoLinesOn != 0;
  if (state.paletteShown) m_settings.paletteShown = *state.paletteShown != 0;
  if (state.lineOn) m_settings.lineOn = *state.lineOn != 0;
  if (state.tessellationOn) m_settings.tessellationOn = *state.tessellationOn != 0;
  if (state.tessellationLevel) m_settings.tessellationLevel = *state.tessellationLevel;
  if (state.shadingModel) m_settings.shadingModel = int8_t(*state.shadingModel);
  if (state.renderFlags) m_settings.renderFlags = *state.renderFlags;
  for (const auto& [kind, reference] : state.hidden) {
    for (ZelDrawObject* object : objectsOf(kind, reference)) {
      object->setVisible(false);
      m_hidden.push_back(object);
    }
  }
}
