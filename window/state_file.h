// The scene state file: window size, camera, cut plane, display switches and hidden objects,
// written by key "w" as "zelmor.data" and read back at start-up or by the movie mode.
#pragma once

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Ranges a value read from a state file is clamped to (with a message): the window must fit
// in what any screen and framebuffer take, the others are the ranges the keys keep them in.
constexpr int kMaximumWindowSize = 16384;
constexpr int kMaximumTessellationLevel = 125;
constexpr int kShadingModelCount = 4;  // shading models 0..3
constexpr double kMinimumFieldOfView = 1e-7, kMaximumFieldOfView = 179.0;
constexpr double kMaximumLineWidth = 1000.0;  // pixels; far wider than any useful line

using Vector3 = std::array<float, 3>;
using Vector4 = std::array<float, 4>;

// The view as the state file stores it; plain values, so that reading needs neither Qt nor
// OpenGL. When read, only the values present in the file (and read before any error that
// ended the reading) are set, each within its range above.
struct ViewState {
  std::optional<std::pair<int, int>> windowSize;
  std::optional<Vector3> centre;    // normalised rotation centre
  std::optional<Vector4> rotation;  // quaternion, scalar first (the file's order)
  std::optional<Vector3> axis;
  std::optional<Vector3> translation;  // camera pan
  std::optional<int> showCutPlane;
  std::optional<Vector4> cutPlane;  // a, b, c, d
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
// end the reading as the format says; values out of range are clamped with a message.
ViewState readViewState(std::FILE* in, std::FILE* messages);

// Reads the state file `name` (a regular file of at most kMaximumStateFileSize bytes, opened
// without blocking and for update, so that a write-protected file is refused). Returns false
// when it cannot be read, after printing "  ## ERROR: ZELMOR: %s: <reason> \n" on `messages`
// for a file that is not regular or too large (missing or write-protected: nothing).
constexpr size_t kMaximumStateFileSize = 1 << 20;
bool readViewStateFile(const std::string& name, ViewState* state, std::FILE* messages);

// The scene-object kind named `name` (without trailing blank), or -1.
int sceneKindFromName(const std::string& name);
