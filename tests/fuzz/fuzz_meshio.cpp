// libFuzzer target: keyword mesh files of any form (".meshb" when the input starts like a
// binary file, else ".mesh") loaded with zel_OpenMesh, then every keyword the scan recorded
// read back through the block reader.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "meshio/keyword_file.h"
#include "meshio/zel_object.h"

namespace {

// Reads all lines of every present keyword as reals (integers converted).
void readEveryKeyword(zel::KeywordFile* file) {
  for (int code = 1; code < zel::kKeywordCount; ++code) {
    const int64_t lines = zel::keywordStatistics(file, code);
    const int fields = file->keywords[code].fields;
    if (lines <= 0 || fields <= 0 || file->keywords[code].format.find('c') != std::string::npos)
      continue;  // nothing to read, or comments
    // The scan bounded lines x fields by the file size, so this allocation is bounded too.
    std::vector<double> values(static_cast<size_t>(lines * fields));
    zel::BlockField field{zel::kFieldReal64Vector, &values[0], &values[(lines - 1) * fields],
                          fields};
    zel::getBlock(file, code, 1, lines, &field, 1);
    if (lines > 2) zel::getBlock(file, code, 2, lines - 1, &field, 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool binary = size >= 4 && (data[0] <= 1 && data[3] <= 1);
  const std::string path =
      "/tmp/fuzz_meshio_" + std::to_string(getpid()) + (binary ? ".meshb" : ".mesh");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);
  ZelObject* mesh = nullptr;
  if (zel_NewInterface(&mesh) == 0) {
    char status[zel::kStatusSize];
    zel_OpenMesh(mesh, path.c_str(), status);
    zel_FreeInterface(&mesh);
  }
  int version = 0, dimension = 0;
  if (zel::KeywordFile* file = zel::openKeywordFile(path.c_str(), 1, &version, &dimension)) {
    readEveryKeyword(file);
    zel::closeKeywordFile(file);
  }
  unlink(path.c_str());
  return 0;
}
