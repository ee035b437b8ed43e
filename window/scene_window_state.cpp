// Saving and restoring the scene window's view through the state file.
#include <QOpenGLFunctions_4_0_Core>
#include <cstdio>

#include "scene/ZelDrawObject.h"
#include "window/ZelSceneWindow.h"
#include "window/state_file.h"

const std::vector<ZelDrawObject*>& ZelSceneWindow::objectsOf(int kind, int reference) const {
  static const std::vector<ZelDrawObject*> none;
  const auto byKind = m_objects.find(kind);
  if (byKind == m_objects.end()) return none;
  const auto byReference = byKind->second.find(reference);
  return byReference == byKind->second.end() ? none : byReference->second;
}

void ZelSceneWindow::writeStateFile() {
  const char* const fileName = "zelmor.data";
  std::printf("  writing %s\n", fileName);
  ViewState state;
  state.windowSize = std::make_pair(width(), height());
  state.centre = m_camera.centre();
  state.rotation = m_camera.currentRotation();
  state.axis = m_camera.axis();
  state.translation = m_camera.pan();
  state.showCutPlane = m_cutPlaneShown ? 1 : 0;
  state.cutPlane = m_camera.cutPlane();
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
  if (!written) std::printf("  ## ERROR: ZELMOR: could not write %s \n", fileName);
  std::fflush(stdout);
}

void ZelSceneWindow::readStateFile(const std::string& fileName) {
  std::printf("  opening %s \n", fileName.c_str());
  // Opened for update as well, so that a write-protected file is refused like a missing one.
  std::FILE* in = std::fopen(fileName.c_str(), "r+");
  if (!in) {
    std::printf("error while loading %s \n", fileName.c_str());
    std::fflush(stdout);
    return;
  }
  const ViewState state = readViewState(in, stdout);
  std::fclose(in);

  if (state.windowSize) resize(state.windowSize->first, state.windowSize->second);
  if (state.centre) m_camera.setCentre(*state.centre);
  if (state.rotation) m_camera.setRotation(*state.rotation);
  if (state.axis) m_camera.setAxis(*state.axis);
  if (state.translation) m_camera.setPan(*state.translation);
  if (state.showCutPlane) m_cutPlaneShown = *state.showCutPlane != 0;
  if (state.cutPlane) m_camera.setCutPlane(*state.cutPlane);
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
  std::fflush(stdout);
}
