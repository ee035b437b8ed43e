// Reading and writing of the scene state file.
#include "window/state_file.h"

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

// Reads an integer keyword into `field`; returns false when reading must end.
bool readInteger(KeywordValueReader& reader, const char* keyword, std::optional<int>* field) {
  int value = 0;
  if (reader.integer(keyword, &value) != ValueRead::Read) return false;
  *field = value;
  return true;
}

// Applies one keyword; false when an error ends the reading. Errors inside a three- or
// four-component value abandon only that keyword.
bool applyKeyword(KeywordValueReader& reader, const std::string& keyword, ViewState* state) {
  const char* name = keyword.c_str();
  double v[4];
  if (keyword == "windowsize") {
    int width = 0, height = 0;
    if (reader.integer(name, &width) != ValueRead::Read) return false;
    if (reader.integer(name, &height) != ValueRead::Read) return false;
    state->windowSize = std::make_pair(width, height);
  } else if (keyword == "center" || keyword == "axis" || keyword == "translation") {
    if (reader.reals(name, 3, v) == ValueRead::Read) {
      const QVector3D value{float(v[0]), float(v[1]), float(v[2])};
      (keyword == "center" ? state->centre : keyword == "axis" ? state->axis : state->translation) =
          value;
    }
  } else if (keyword == "rotation") {
    if (reader.reals(name, 4, v) == ValueRead::Read)
      state->rotation = QQuaternion(float(v[0]), float(v[1]), float(v[2]), float(v[3]));
  } else if (keyword == "cutplaneequation") {
    if (reader.reals(name, 4, v) == ValueRead::Read)
      state->cutPlane = QVector4D(float(v[0]), float(v[1]), float(v[2]), float(v[3]));
  } else if (keyword == "fovy" || keyword == "wiresiz") {
    if (reader.real(name, v) != ValueRead::Read) return false;
    (keyword == "fovy" ? state->fieldOfView : state->lineWidth) = v[0];
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
    return readInteger(reader, name, &state->tessellationLevel);
  } else if (keyword == "renmod") {
    return readInteger(reader, name, &state->renderFlags);
  } else if (keyword == "shamod") {
    return readInteger(reader, name, &state->shadingModel);
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

bool writeViewState(std::FILE* out, const ViewState& s) {
  const QVector3D& c = *s.centre;
  const QQuaternion& r = *s.rotation;
  const QVector3D& a = *s.axis;
  const QVector3D& t = *s.translation;
  const QVector4D& p = *s.cutPlane;
  std::fprintf(out, "WindowSize\n%d %d\n", s.windowSize->first, s.windowSize->second);
  std::fprintf(out, "Center\n%f %f %f\n", c.x(), c.y(), c.z());
  std::fprintf(out, "Rotation\n%f %f %f %f\n", r.scalar(), r.x(), r.y(), r.z());
  std::fprintf(out, "Axis\n%f %f %f\n", a.x(), a.y(), a.z());
  std::fprintf(out, "Translation\n%f %f %f\n", t.x(), t.y(), t.z());
  std::fprintf(out, "ShowCutPlane\n%d\n", *s.showCutPlane);
  std::fprintf(out, "CutPlaneEquation\n%f %f %f %f\n", p.x(), p.y(), p.z(), p.w());
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
