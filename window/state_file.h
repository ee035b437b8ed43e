// The scene state file: window size, camera, cut plane, display switches and hidden objects,
// written by key "w" as "zelmor.data" and read back at start-up or by the movie mode.
#pragma once

#include <QQuaternion>
#include <QVector3D>
#include <QVector4D>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The view as the state file stores it. When read, only the values present in the file (and
// read before any error that ended the reading) are set.
struct ViewState {
  std::optional<std::pair<int, int>> windowSize;
  std::optional<QVector3D> centre;       // normalised rotation centre
  std::optional<QQuaternion> rotation;   // file order: scalar, x, y, z
  std::optional<QVector3D> axis;
  std::optional<QVector3D> translation;  // camera pan
  std::optional<int> showCutPlane;
  std::optional<QVector4D> cutPlane;     // a, b, c, d
  std::optional<double> fieldOfView;
  std::optional<int> solutionOn, isoLinesOn, paletteShown, lineOn, tessellationOn;
  std::optional<int> tessellationLevel, shadingModel, renderFlags;
  std::optional<double> lineWidth;
  // Hidden objects: scene-object kind and reference.
  std::vector<std::pair<int, int>> hidden;
};

// Writes every field (all must be set) in the file's fixed order; returns false when the file
// cannot be written. Hidden objects are written by their scene-object names.
bool writeViewState(std::FILE* out, const ViewState& state);

// Reads a state file's tokens from `in`. Keywords are case-insensitive, hidden-object names
// case-sensitive; value errors print their message on `messages` and abandon the keyword or
// end the reading as the format says.
ViewState readViewState(std::FILE* in, std::FILE* messages);

// The scene-object kind named `name` (without trailing blank), or -1.
int sceneKindFromName(const std::string& name);
