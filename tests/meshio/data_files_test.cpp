// Every file of the test data against its dump, read through the keyword library and, for
// meshes, loaded with zel_OpenMesh. Broken files fail cleanly and keep what reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/meshio/test_files.h"

using namespace zel;

// The hash of every value of a keyword's lines in file order, read with one block read: one
// vector field per run of equal letters, so that the caller arrays hold the values line by
// line. Empty when the block read fails.
static std::string fileOrderHash(KeywordFile* file, int code) {
  std::string letters;
  for (char c : file->keywords[code].format)
    if (c == 'i' || c == 'r') letters += c;
  const int64_t lines = file->keywords[code].lineCount;
  const int64_t width[2] = {std::count(letters.begin(), letters.end(), 'i'),
                            std::count(letters.begin(), letters.end(), 'r')};
  std::vector<int32_t> i(static_cast<size_t>(lines * width[0] + 1));
  std::vector<double> r(static_cast<size_t>(lines * width[1] + 1));
  std::vector<BlockField> fields;
  int64_t at[2] = {0, 0};
  for (size_t k = 0, end = 0; k < letters.size(); k = end) {
    while (end < letters.size() && letters[end] == letters[k]) ++end;
    const int length = static_cast<int>(end - k), real = letters[k] == 'r';
    const int64_t first = at[real], last = at[real] + (lines - 1) * width[real];
    fields.push_back(real ? BlockField{kFieldReal64Vector, &r[first], &r[last], length}
                          : BlockField{kFieldInt32Vector, &i[first], &i[last], length});
    at[real] += length;
  }
  if (getBlock(file, code, 1, lines, fields.data(), static_cast<int>(fields.size())) != 1)
    return "";
  ValueHash hash;
  for (int64_t line = 0, ra = 0, ia = 0; line < lines; ++line)
    for (char letter : letters) letter == 'r' ? hash.add(r[ra++]) : hash.add(int64_t{i[ia++]});
  return hash.hex();
}

static void checkKeyword(KeywordFile* file, const DumpKeyword& expected,
                         const std::string& status) {
  SCOPED_TRACE(expected.name);
  ASSERT_STREQ(kKeywordTable[expected.code].name, expected.name.c_str());
  const KeywordRecord& record = file->keywords[expected.code];
  if (record.kind == kKwdAbsent) {
    // Only a keyword whose lines cannot be read, or whose high-order header gives another
    // node count than its degree has, is dropped, and never silently.
    EXPECT_TRUE(expected.has("data") ||
                status.find("nodes per element, a degree-") != std::string::npos);
    EXPECT_FALSE(file->warnings.empty());
    return;
  }
  if (expected.has("format")) return;  // not described: recognised and skipped
  EXPECT_EQ(std::to_string(record.lineCount), expected.at("lines"));
  if (expected.has("solution")) {  // "types 1 2 degree 2 nodes 6 values_per_line 18"
    std::string header = "types";
    for (int type : record.solutionTypes) header += ' ' + std::to_string(type);
    EXPECT_EQ(header + " degree " + std::to_string(record.degree) + " nodes " +
                  std::to_string(record.nodes) + " values_per_line " +
                  std::to_string(record.fields),
              expected.at("solution"));
  }
  const std::string hash = fileOrderHash(file, expected.code);
  EXPECT_EQ(hash, expected.has("data") ? "" : expected.at("fnv1a64")) << file->error;
  EXPECT_TRUE(!expected.has("data") || !file->error.empty());
}

static void checkKeywordLayer(const std::string& path, const Dump& dump) {
  const OpenedFile open(path);
  KeywordFile* file = open.file;
  if (!file) {
    EXPECT_TRUE(dump.error()) << open.error;
    EXPECT_NE(open.error.find(fs::path(path).filename().string()), std::string::npos);
    return;
  }
  bool unreadable = false;
  for (const DumpKeyword& keyword : dump.keywords) {
    checkKeyword(file, keyword, dump.status);
    unreadable |= keyword.has("data");
  }
  // A broken file opens only when the damage lies in a keyword (its lines or its place in the
  // chain: then the scan says so), or when it shows against its mesh alone (a solution's line
  // count). A sound file gives no warning.
  EXPECT_TRUE(!dump.error() || unreadable || !file->warnings.empty() ||
              dump.status.find("the mesh has") != std::string::npos);
  EXPECT_TRUE(dump.status != "OK" || file->warnings.empty()) << open.warnings();
  // Keywords the dump does not list are absent (MeshVersionFormatted, Dimension, End aside).
  for (int code = 1; code < kKeywordCount; ++code) {
    if (code == 1 || code == 3 || code == 54 || file->keywords[code].kind == kKwdAbsent) continue;
    EXPECT_TRUE(std::any_of(dump.keywords.begin(), dump.keywords.end(),
                            [code](const DumpKeyword& k) { return k.code == code; }))
        << "unexpected " << kKeywordTable[code].name;
  }
}

// A broken mesh keeps what reads: every keyword the dump could decode loads as it says, an
// unreadable one has count 0 (dropped by the scan) or no value kept. The load fails, with a
// message naming the file, when the vertices could not be read or the file not opened at all.
// Returns 0 loaded whole, 1 loaded in part, 2 refused.
static int checkLoaderLayer(const std::string& path, const Dump& dump) {
  // Entity type t is loaded from keyword kKeywordOfType[t].
  const int kKeywordOfType[32] = {0,  4,   13,  5,  6,  -1, 7,  8,  49,  9,  10,
                                  25, 24,  27,  30, 33, 87, 86, 92, 90,  88, 96,
                                  98, 100, 102, 93, 91, 89, 97, 99, 101, 103};
  bool verticesReadable = false;
  for (const DumpKeyword& keyword : dump.keywords)
    verticesReadable |= keyword.code == Kwd::Vertices && !keyword.has("data");
  Mesh mesh;
  const int result = mesh.open(path);
  EXPECT_TRUE(!dump.error() || !(mesh.printed + mesh.message()).empty()) << "broken, yet silent";
  if (!verticesReadable && dump.error()) {
    EXPECT_EQ(result, 2);
    EXPECT_NE(mesh.message().find(fs::path(path).filename().string()), std::string::npos)
        << mesh.message();
    EXPECT_EQ(mesh.message().back(), '\n');
    if (mesh.message().rfind("Cannot open mesh file " + path + "\n  ", 0) == 0) return 2;
  } else {
    EXPECT_EQ(result, 0) << mesh.message();
    EXPECT_EQ(mesh.opened(), path);
  }
  for (const DumpKeyword& keyword : dump.keywords) {
    const int typ = std::find(kKeywordOfType, kKeywordOfType + 32, keyword.code) - kKeywordOfType;
    if (typ == 32) continue;
    SCOPED_TRACE(keyword.name);
    int count = -1;
    EXPECT_EQ(zel_GetNumberOfEntities(mesh.object, typ, &count, mesh.status), 0);
    if (keyword.has("data")) {  // nothing or zeros kept
      EXPECT_TRUE(count == 0 || std::to_string(count) == keyword.at("lines"));
      int dim = 0, nodes = 0;
      zel_GetDimension(mesh.object, &dim, mesh.status);
      zel_GetIndicesArray(mesh.object, typ, &count, &nodes, mesh.status);
      ValueHash zeros;
      for (int k = 0; k < count * ((typ == 1 ? dim : nodes) + (typ != 2)); ++k) zeros.add(0.0);
      EXPECT_EQ(kindHash(mesh.object, typ), zeros.hex());
      continue;
    }
    EXPECT_EQ(std::to_string(count), keyword.at("lines"));
    EXPECT_EQ(kindHash(mesh.object, typ), keyword.has("default_order_fnv1a64")
                                              ? keyword.at("default_order_fnv1a64")
                                              : keyword.at("fnv1a64"));
  }
  return result == 2 ? 2 : dump.error() ? 1 : 0;
}

TEST(DataFiles, EveryFileDecodesAndLoadsAsItsDumpSays) {
  std::vector<std::string> files;
  for (auto& entry : fs::recursive_directory_iterator(ZEL_TEST_DATA))
    if (entry.is_regular_file() && fs::exists(entry.path().string() + ".dump.txt"))
      files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 70u);
  int meshes[3] = {0, 0, 0};  // loaded whole, in part, refused
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const Dump dump = readDump(path + ".dump.txt");
    ASSERT_FALSE(dump.status.empty());
    checkKeywordLayer(path, dump);
    if (path.find(".mesh") != std::string::npos) ++meshes[checkLoaderLayer(path, dump)];
  }
  EXPECT_GE(meshes[0], 40);
  EXPECT_GE(meshes[1], 2);  // count_too_large, nextpos_backwards
  EXPECT_GE(meshes[2], 4);
}
