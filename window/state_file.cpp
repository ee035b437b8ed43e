// Reading and writing of the scene state file.
#include "window/state_file.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "meshio/entity_catalogue.h"

namespace {

// Longest token kept; longer words are cut (they are outside the format anyway).
constexpr size_t kMaxToken = 1024;

bool nextToken(std::FILE* in, std::string* token) {
  token->clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && std::isspace(c)) {
  }
  while (c != EOF && !std::isspace(c)) {
    if (token->size() < kMaxToken) token->push_back(char(c));
    c = std::fgetc(in);
  }
  return !token->empty();
}

bool parseReal(const std::string& token, double* value) {
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(token.c_str(), &end);
  return end != token.c_str() && *end == '\0';
}

bool parseInteger(const std::string& token, int* value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(token.c_str(), &end, 10);
  if (end == token.c_str() || *end != '\0' || errno == ERANGE || parsed < INT32_MIN ||
      parsed > INT32_MAX)
    return false;
  *value = int(parsed);
  return true;
}

std::string lowerCase(std::string word) {
  for (char& c : word) c = char(std::tolower(static_cast<unsigned char>(c)));
  return word;
}

enum class Outcome { Read, Abandoned, Stop };

class Reader {
 public:
  Reader(std::FILE* in, std::FILE* messages) : m_in(in), m_messages(messages) {}

  // Reads `count` reals; a missing or invalid one abandons the keyword.
  Outcome reals(const char* keyword, int count, double* values) {
    std::string token;
    for (int i = 0; i < count; ++i) {
      if (!nextToken(m_in, &token)) {
        std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: MISSING DOUBLE VALUE \n", keyword);
        return Outcome::Abandoned;
      }
      if (!parseReal(token, &values[i])) {
        std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: ERROR WHILE READING DOUBLE VALUE(%s)\n",
                     keyword, token.c_str());
        return Outcome::Abandoned;
      }
    }
    return Outcome::Read;
  }

  // One real whose error ends the reading ("fovy", "wiresiz").
  Outcome singleReal(const char* keyword, double* value) {
    return reals(keyword, 1, value) == Outcome::Read ? Outcome::Read : Outcome::Stop;
  }

  Outcome integer(const char* keyword, int* value) {
    std::string token;
    if (!nextToken(m_in, &token)) {
      std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: MISSING INTEGER VALUE \n", keyword);
      return Outcome::Stop;
    }
    if (!parseInteger(token, value)) {
      std::fprintf(m_messages, "  ## ERROR: ZELMOR: %s: ERROR WHILE READING INTEGER VALUE(%s)\n",
                   keyword, token.c_str());
      return Outcome::Stop;
    }
    return Outcome::Read;
  }

  Outcome hiddenObjects(const char* keyword, ViewState* state) {
    int count = 0;
    if (integer(keyword, &count) == Outcome::Stop) return Outcome::Stop;
    std::string name;
    for (int i = 0; i < count; ++i) {
      if (!nextToken(m_in, &name)) return Outcome::Read;
      const int kind = sceneKindFromName(name);
      if (kind < 0) return Outcome::Read;  // an unknown name ends the list
      int reference = 0;
      if (integer(keyword, &reference) == Outcome::Stop) return Outcome::Stop;
      state->hidden.emplace_back(kind, reference);
    }
    return Outcome::Read;
  }

  std::FILE* input() const { return m_in; }

 private:
  std::FILE* m_in;
  std::FILE* m_messages;
};

// Reads an integer keyword into `field`; returns false when reading must end.
bool readInteger(Reader& reader, const char* keyword, std::optional<int>* field) {
  int value = 0;
  if (reader.integer(keyword, &value) == Outcome::Stop) return false;
  *field = value;
  return true;
}

bool applyKeyword(Reader& reader, const std::string& keyword, ViewState* state) {
  const char* name = keyword.c_str();
  double v[4];
  if (keyword == "windowsize") {
    int width = 0, height = 0;
    if (reader.integer(name, &width) == Outcome::Stop) return false;
    if (reader.integer(name, &height) == Outcome::Stop) return false;
    state->windowSize = std::make_pair(width, height);
  } else if (keyword == "center" || keyword == "axis" || keyword == "translation") {
    if (reader.reals(name, 3, v) == Outcome::Read) {
      const QVector3D value{float(v[0]), float(v[1]), float(v[2])};
      (keyword == "center" ? state->centre : keyword == "axis" ? state->axis : state->translation) =
          value;
    }
  } else if (keyword == "rotation") {
    if (reader.reals(name, 4, v) == Outcome::Read)
      state->rotation = QQuaternion(float(v[0]), float(v[1]), float(v[2]), float(v[3]));
  } else if (keyword == "cutplaneequation") {
    if (reader.reals(name, 4, v) == Outcome::Read)
      state->cutPlane = QVector4D(float(v[0]), float(v[1]), float(v[2]), float(v[3]));
  } else if (keyword == "fovy" || keyword == "wiresiz") {
    if (reader.singleReal(name, v) == Outcome::Stop) return false;
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
    return reader.hiddenObjects(name, state) != Outcome::Stop;
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
  Reader reader(in, messages);
  std::string token;
  while (nextToken(in, &token)) {
    if (!applyKeyword(reader, lowerCase(token), &state)) break;
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
