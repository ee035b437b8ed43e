// Reading and writing of the scene state file.
#include "window/state_file.h"

#include <cstdint>
#include <string>

#include "meshio/entity_catalogue.h"
#include "window/text_tokens.h"

namespace {

// Reads the hidden-object list: n, then n pairs of a scene-object name and a reference. An
// unknown name ends the list; returns false when an integer error ends the whole reading.
bool readHiddenObjects(KeywordValueReader& reader, const char* keyword, ViewState* state) {
  int count = 0;
  if (reader.integer(keyword, &count) != ValueRead::Read) return false;
  std::string name;
  for (int i = 0; i < count; ++i) {
    if (!readToken(reader.input(), &name)) return true;
    const int kind = sceneKindFromName(name);
    if (kind < 0) return true;
    int reference = 0;
    if (reader.integer(keyword, &reference) != ValueRead::Read) return false;
    state->hidden.emplace_back(kind, reference);
  }
  return true;
}

// Reads an integer keyword into `field`, clamped to [low, high]; returns false when reading
// must end.
bool readInteger(KeywordValueReader& reader, const char* keyword, std::optional<int>* field,
                 int low = INT32_MIN, int high = INT32_MAX) {
  int value = 0;
  if (reader.integer(keyword, &value) != ValueRead::Read) return false;
  reader.clamp(keyword, &value, low, high);
  *field = value;
  return true;
}

// Reads N reals into `field`; an error abandons only this keyword.
template <size_t N>
void readVector(KeywordValueReader& reader, const char* keyword,
                std::optional<std::array<float, N>>* field) {
  double v[N];
  if (reader.reals(keyword, int(N), v) != ValueRead::Read) return;
  std::array<float, N> value;
  for (size_t i = 0; i < N; ++i) value[i] = float(v[i]);
  *field = value;
}

// Applies one keyword; false when an error ends the reading. Errors inside a three- or
// four-component value abandon only that keyword.
bool applyKeyword(KeywordValueReader& reader, const std::string& keyword, ViewState* state) {
  const char* name = keyword.c_str();
  if (keyword == "windowsize") {
    int width = 0, height = 0;
    if (reader.integer(name, &width) != ValueRead::Read) return false;
    if (reader.integer(name, &height) != ValueRead::Read) return false;
    reader.clamp(name, &width, 1, kMaximumWindowSize);
    reader.clamp(name, &height, 1, kMaximumWindowSize);
    state->windowSize = std::make_pair(width, height);
  } else if (keyword == "center") {
    readVector(reader, name, &state->centre);
  } else if (keyword == "axis") {
    readVector(reader, name, &state->axis);
  } else if (keyword == "translation") {
    readVector(reader, name, &state->translation);
  } else if (keyword == "rotation") {
    readVector(reader, name, &state->rotation);
  } else if (keyword == "cutplaneequation") {
    readVector(reader, name, &state->cutPlane);
  } else if (keyword == "fovy" || keyword == "wiresiz") {
    const bool fovy = keyword == "fovy";
    double value = 0.0;
    if (reader.real(name, &value) != ValueRead::Read) return false;
    reader.clamp(name, &value, fovy ? kMinimumFieldOfView : 0.0,
                 fovy ? kMaximumFieldOfView : kMaximumLineWidth);
    (fovy ? state->fieldOfView : state->lineWidth) = value;
  } else if (keyword == "showcutplane") {
    return readInteger(reader, name, &state->showCutPlane);
  } else if (keyword == "solon") {
    return readInteger(reader, name, &state->solutionOn);
  } else if (keyword == "isoon") {
    return readInteger(reader, name, &state->isoLinesOn);
  } else if (keyword == "palon") {
    return readInteger(reader, name, &state->paletteShown);
  } else if (keyword == "lineon") {
    return readInteger(reader, name, &state->lineOn);
  } else if (keyword == "tesson") {
    return readInteger(reader, name, &state->tessellationOn);
  } else if (keyword == "tesslevel") {
    return readInteger(reader, name, &state->tessellationLevel, 1, kMaximumTessellationLevel);
  } else if (keyword == "renmod") {
    return readInteger(reader, name, &state->renderFlags);
  } else if (keyword == "shamod") {
    return readInteger(reader, name, &state->shadingModel, 0, kShadingModelCount - 1);
  } else if (keyword == "numberofhiddenobjects") {
    return readHiddenObjects(reader, name, state);
  }
  return true;  // any other token is skipped
}

}  // namespace

int sceneKindFromName(const std::string& name) {
  for (int kind = 0; kind < DrawKind::Count; ++kind) {
    std::string known = zel_DrawKindName(kind);
    if (!known.empty() && known.back() == ' ') known.pop_back();
    if (known != "Unknown" && known == name) return kind;
  }
  return -1;
}

ViewState readViewState(std::FILE* in, std::FILE* messages) {
  ViewState state;
  KeywordValueReader reader(in, messages);
  std::string token;
  while (readToken(in, &token)) {
    if (!applyKeyword(reader, lowerCased(token), &state)) break;
  }
  return state;
}

bool readViewStateFile(const std::string& name, ViewState* state, std::FILE* messages) {
  std::string text;
  const TextFileRead outcome = readSmallTextFile(name, true, kMaximumStateFileSize, &text);
  std::FILE* in = outcome == TextFileRead::Read ? textStream(text) : nullptr;
  if (!in) {
    // A missing or write-protected file gets only the caller's loading error; a special or
    // oversized file is named for what it is.
    if (outcome == TextFileRead::NotRegular || outcome == TextFileRead::TooLarge)
      std::fprintf(messages, "  ## ERROR: ZELMOR: %s: %s \n", name.c_str(),
                   textFileProblem(outcome));
    return false;
  }
  *state = readViewState(in, messages);
  std::fclose(in);
  return true;
}

bool writeViewState(std::FILE* out, const ViewState& s) {
  const Vector3& c = *s.centre;
  const Vector4& r = *s.rotation;
  const Vector3& a = *s.axis;
  const Vector3& t = *s.translation;
  const Vector4& p = *s.cutPlane;
  std::fprintf(out, "WindowSize\n%d %d\n", s.windowSize->first, s.windowSize->second);
  std::fprintf(out, "Center\n%f %f %f\n", c[0], c[1], c[2]);
  std::fprintf(out, "Rotation\n%f %f %f %f\n", r[0], r[1], r[2], r[3]);
  std::fprintf(out, "Axis\n%f %f %f\n", a[0], a[1], a[2]);
  std::fprintf(out, "Translation\n%f %f %f\n", t[0], t[1], t[2]);
  std::fprintf(out, "ShowCutPlane\n%d\n", *s.showCutPlane);
  std::fprintf(out, "CutPlaneEquation\n%f %f %f %f\n", p[0], p[1], p[2], p[3]);
  std::fprintf(out, "Fovy\n%f\n", *s.fieldOfView);
  std::fprintf(out, "SolOn\n%d\n", *s.solutionOn);
  std::fprintf(out, "IsoOn\n%d\n", *s.isoLinesOn);
  std::fprintf(out, "PalOn\n%d\n", *s.paletteShown);
  std::fprintf(out, "LineOn\n%d\n", *s.lineOn);
  std::fprintf(out, "TessOn\n%d\n", *s.tessellationOn);
  std::fprintf(out, "TessLevel\n%d\n", *s.tessellationLevel);
  std::fprintf(out, "ShaMod\n%d\n", *s.shadingModel);
  std::fprintf(out, "RenMod\n%d\n", *s.renderFlags);
  std::fprintf(out, "WireSiz\n%f\n", *s.lineWidth);
  std::fprintf(out, "NumberOfHiddenObjects\n%d\n", int(s.hidden.size()));
  for (const auto& [kind, reference] : s.hidden)
    std::fprintf(out, "%s %d\n", zel_DrawKindName(kind), reference);
  return std::fflush(out) == 0 && !std::ferror(out);
}
