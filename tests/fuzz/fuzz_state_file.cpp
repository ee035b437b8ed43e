// libFuzzer target: the state file reader on any text. Every value it returns must be within
// its range, and what it read must survive being written and read back.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "meshio/entity_types.h"
#include "window/state_file.h"
#include "window/text_tokens.h"

namespace {

// Stops the run, so that libFuzzer keeps the input, when a promise is broken.
void require(bool promise, const char* what) {
  if (!promise) std::fprintf(stderr, "broken promise: %s\n", what), std::abort();
}

// No value, or one within [low, high].
template <typename T>
bool within(const std::optional<T>& value, double low, double high) {
  return !value || (*value >= low && *value <= high);
}

void checkRanges(const ViewState& s) {
  const auto [width, height] = s.windowSize.value_or(std::pair{1, 1});
  require(std::min(width, height) >= 1 && std::max(width, height) <= kMaximumWindowSize,
          "window size 1..16384");
  require(within(s.tessellationLevel, 1, kMaximumTessellationLevel), "tessellation level 1..125");
  require(within(s.shadingModel, 0, 3), "shading model 0..3");
  require(within(s.fieldOfView, kMinimumFieldOfView, kMaximumFieldOfView),
          "field of view within [1e-7, 179]");
  require(within(s.lineWidth, 0.0, kMaximumLineWidth), "line width in range");
  for (const auto& vector : {s.centre, s.axis, s.translation})
    for (float component : vector.value_or(Vector3{0, 0, 0}))
      require(std::isfinite(component), "finite centre, axis and pan");
  for (const auto& vector : {s.rotation, s.cutPlane})
    for (float component : vector.value_or(Vector4{0, 0, 0, 0}))
      require(std::isfinite(component), "finite rotation and cut plane");
  for (const auto& [kind, reference] : s.hidden)
    require(kind >= 0 && kind < DrawKind::Count, "hidden object of a known kind");
}

// Every field set (read values, else fixed ones), so that it can be written.
ViewState completed(ViewState s) {
  if (!s.windowSize) s.windowSize = std::make_pair(800, 600);
  for (auto* v : {&s.centre, &s.axis, &s.translation})
    if (!*v) *v = Vector3{0, 0, 0};
  for (auto* v : {&s.rotation, &s.cutPlane})
    if (!*v) *v = Vector4{1, 0, 0, 0};
  if (!s.fieldOfView) s.fieldOfView = 15.0;
  if (!s.lineWidth) s.lineWidth = 1.0;
  for (auto* v : {&s.showCutPlane, &s.solutionOn, &s.isoLinesOn, &s.paletteShown, &s.lineOn,
                  &s.tessellationOn, &s.shadingModel, &s.renderFlags})
    if (!*v) *v = 0;
  if (!s.tessellationLevel) s.tessellationLevel = 4;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* messages = std::fopen("/dev/null", "w");
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::FILE* in = textStream(text);
  if (!in) return 0;
  const ViewState read = completed(readViewState(in, messages));
  std::fclose(in);
  checkRanges(read);

  std::FILE* out = std::tmpfile();
  if (!out) return 0;
  require(writeViewState(out, read), "state written");
  std::rewind(out);
  const ViewState again = readViewState(out, messages);
  std::fclose(out);
  checkRanges(again);
  require(again.windowSize == read.windowSize &&
              again.tessellationLevel == read.tessellationLevel &&
              again.shadingModel == read.shadingModel && again.renderFlags == read.renderFlags &&
              again.solutionOn == read.solutionOn && again.showCutPlane == read.showCutPlane,
          "integers read back unchanged");
  require(again.hidden == read.hidden, "hidden objects read back unchanged");
  require(again.centre && again.rotation && again.axis && again.translation && again.cutPlane &&
              again.fieldOfView && again.lineWidth,
          "every written real read back");
  return 0;
}
