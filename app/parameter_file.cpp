// Reading of the parameter file.
#include "app/parameter_file.h"

#include <algorithm>
#include <cstring>

#include "gpu/colour_maps.h"
#include "window/text_tokens.h"

namespace {

// Iso-line widths are pixels: anything wider than this is no longer a line.
constexpr double kMaximumIsoLineWidth = 1000.0;
constexpr int kMaximumIsoLineCount = 9;

double rounded(double value) { return double(float(value)); }

// A count read from the file allocates no more entries than the rest of the file could fill:
// each value needs at least two bytes (a digit and a separator).
int boundedCount(std::FILE* in, int count, int valuesPerEntry) {
  if (count <= 0) return 0;
  const long here = std::ftell(in);
  std::fseek(in, 0, SEEK_END);
  const long end = std::ftell(in);
  std::fseek(in, here, SEEK_SET);
  const long most = (end - here) / (2L * valuesPerEntry) + 1;
  return int(std::min<long>(count, most));
}

// Each handler returns false when an error ends the reading.
bool readCutPlanes(KeywordValueReader& reader, DisplayParameters* p) {
  if (reader.integer("cutplane", &p->NbrUsrCut) != ValueRead::Read) {
    // The count is 0, and so are the planes of an earlier "cutplane": count and arrays agree.
    p->NbrUsrCut = 0;
    p->ctr.clear();
    p->nor.clear();
    return false;
  }
  const int count = boundedCount(reader.input(), p->NbrUsrCut, 6);
  p->NbrUsrCut = count;
  p->ctr.assign(count, {0.0, 0.0, 0.0});
  p->nor.assign(count, {0.0, 0.0, 0.0});
  for (int plane = 0; plane < count; ++plane) {
    for (auto* point : {&p->ctr[plane], &p->nor[plane]}) {
      for (double& coordinate : *point) {
        double value;
        if (reader.real("cutplane", &value) != ValueRead::Read) return true;
        coordinate = rounded(value);
      }
    }
  }
  return true;
}

bool readIsoValues(KeywordValueReader& reader, DisplayParameters* p) {
  if (reader.integer("isolines", &p->NbrUsrIso) != ValueRead::Read) {
    p->NbrUsrIso = 0;
    p->UsrIsoVal.clear();
    return false;
  }
  p->NbrUsrIso = boundedCount(reader.input(), p->NbrUsrIso, 1);
  p->UsrIsoVal.assign(p->NbrUsrIso, 0.0f);
  for (float& isoValue : p->UsrIsoVal) {
    double value;
    if (reader.real("isolines", &value) != ValueRead::Read) return true;
    isoValue = float(value);
  }
  return true;
}

void readColourMap(KeywordValueReader& reader, DisplayParameters* p) {
  std::string word;
  if (!readToken(reader.input(), &word)) return;
  const int map = zel::findColourMap(word.c_str());
  if (map < 0) {
    std::fprintf(reader.messages(), "  unknow colormap ! \n");
    return;
  }
  p->cm = map;
  std::fprintf(reader.messages(), "%s\n", zel::colourMap(map).announcement);
}

bool applyKeyword(KeywordValueReader& reader, const std::string& keyword, DisplayParameters* p) {
  double values[6];
  if (keyword == "cutplane") return readCutPlanes(reader, p);
  if (keyword == "isolines") return readIsoValues(reader, p);
  if (keyword == "numberofsubisolines") {
    int count = kMaximumIsoLineCount;
    if (reader.integer("numberofsubisolines", &count) != ValueRead::Read) {
      p->nbrIso = kMaximumIsoLineCount;
      return false;
    }
    // More than nine is quietly nine; a negative count is reported.
    count = std::min(count, kMaximumIsoLineCount);
    reader.clamp("numberofsubisolines", &count, 0, kMaximumIsoLineCount);
    p->nbrIso = count;
  } else if (keyword == "isolineswidth") {
    if (reader.real("isolineswidth", values) != ValueRead::Read) {
      p->IsoWid = 1.0;
      return false;
    }
    reader.clamp("isolineswidth", values, 0.0, kMaximumIsoLineWidth);
    p->IsoWid = rounded(values[0]);
  } else if (keyword == "palette") {
    if (reader.reals("palette", 5, values) == ValueRead::Read) {
      for (int i = 0; i < 5; ++i) p->usrPal[i] = float(values[i]);
      p->Pal = 1;
    } else {
      p->Pal = 0;
    }
  } else if (keyword == "displayfield") {
    int field = 1;
    if (reader.integer("displayfield", &field) != ValueRead::Read) {
      p->displayField = 1;
      return false;
    }
    p->displayField = std::max(field, 1);
    std::fprintf(reader.messages(), "  Display Solution Field %d \n", p->displayField);
  } else if (keyword == "boundingbox") {
    for (double& bound : p->bbox) {
      if (reader.real("boundingbox", values) != ValueRead::Read) break;
      bound = rounded(values[0]);
    }
  } else if (keyword == "colormap") {
    readColourMap(reader, p);
  } else if (keyword == "fullframes") {
    p->fullFrames = true;
  }
  return true;
}

}  // namespace

std::string parameterFileName(const std::string& meshName) {
  return meshName.substr(0, meshName.find(".mesh")) + ".zelmor";
}

void readParameterKeywords(std::FILE* in, DisplayParameters* parameters, std::FILE* out) {
  KeywordValueReader reader(in, out);
  std::string token;
  while (readToken(in, &token)) {
    if (!applyKeyword(reader, lowerCased(token), parameters)) break;
  }
}

bool readParameterFile(const std::string& meshName, DisplayParameters* parameters, std::FILE* out) {
  for (const std::string& name : {parameterFileName(meshName), std::string("DEFAULT.zelmor"),
                                  std::string("Default.zelmor")}) {
    std::string text;
    const TextFileRead outcome = readSmallTextFile(name, false, kMaximumParameterFileSize, &text);
    if (outcome == TextFileRead::Missing) continue;
    // The first name that exists is the parameter file; one that cannot be read leaves the
    // defaults.
    std::FILE* in = outcome == TextFileRead::Read ? textStream(text) : nullptr;
    if (!in) {
      std::fprintf(out, "  ## ERROR: ZELMOR: %s: %s \n", name.c_str(), textFileProblem(outcome));
      return false;
    }
    std::fprintf(out, "  %% %s OPENED\n", name.c_str());
    readParameterKeywords(in, parameters, out);
    std::fclose(in);
    return true;
  }
  std::fprintf(out, "  %%%% WARNING: NO PARAMETER FILE FOUND.");
  std::fprintf(out, " USE DEFAULT VALUES\n");
  return false;
}
