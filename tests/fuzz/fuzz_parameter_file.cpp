// libFuzzer target: the parameter file reader on any text. What it returns must keep the
// reader's promises: counts that match their arrays, every value within its keyword's range.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/parameter_file.h"
#include "window/text_tokens.h"

namespace {

// Stops the run, so that libFuzzer keeps the input, when a promise is broken.
void require(bool promise, const char* what) {
  if (!promise) std::fprintf(stderr, "broken promise: %s\n", what), std::abort();
}

template <typename T>
bool finite(const T* values, size_t count) {
  return std::all_of(values, values + count, [](T v) { return std::isfinite(v); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* messages = std::fopen("/dev/null", "w");
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::FILE* in = textStream(text);
  if (!in) return 0;
  DisplayParameters p;
  readParameterKeywords(in, &p, messages);
  std::fclose(in);

  require(p.NbrUsrCut >= 0 && size_t(p.NbrUsrCut) == p.ctr.size() && p.ctr.size() == p.nor.size(),
          "cut plane count matches its arrays");
  require(p.NbrUsrIso >= 0 && size_t(p.NbrUsrIso) == p.UsrIsoVal.size(),
          "iso-value count matches its array");
  require(p.nbrIso >= 0 && p.nbrIso <= 9, "0..9 regular iso-values");
  require(std::isfinite(p.IsoWid) && p.IsoWid >= 0.0, "iso-line width finite, not negative");
  require(p.cm >= 0 && p.cm <= 10, "colour map 0..10");
  require(p.displayField >= 0, "displayed field not negative");
  require(p.Pal == 0 || p.Pal == 1, "palette flag 0 or 1");
  for (size_t i = 0; i < p.ctr.size(); ++i)
    require(finite(p.ctr[i].data(), 3) && finite(p.nor[i].data(), 3), "finite cut planes");
  require(finite(p.bbox, 6), "finite bounding box");
  require(finite(p.usrPal, 5), "finite palette");
  require(finite(p.UsrIsoVal.data(), p.UsrIsoVal.size()), "finite iso-values");
  return 0;
}
