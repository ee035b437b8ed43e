// Every file of the test data read through the keyword library and compared with its dump:
// line counts, solution headers and the hash of every value in file order; broken
// files fail cleanly. The loader tests walk the same dumps for the arrays in default order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "meshio/keyword_file.h"
#include "tests/meshio/test_files.h"

namespace {

using namespace zel;

// Values of a keyword's lines in file order: integers widened to 64 bits, reals to double.
struct Values {
  std::vector<char> letters;  // 'i' or 'r' per value of one line
  std::vector<double> reals;
  std::vector<int32_t> integers;
  int64_t lines = 0;
  int64_t realsPerLine = 0, intsPerLine = 0;
};

// Reads all lines of a keyword with one block read: one vector field per run of equal
// letters, so the caller arrays hold the values line by line.
bool readValues(KeywordFile* file, int code, Values* out) {
  const KeywordRecord& record = file->keywords[code];
  for (char c : record.format)
    if (c == 'i' || c == 'r') out->letters.push_back(c);
  out->lines = record.lineCount;
  for (char c : out->letters) (c == 'r' ? out->realsPerLine : out->intsPerLine)++;
  out->reals.assign(static_cast<size_t>(out->lines * out->realsPerLine + 1), 0.0);
  out->integers.assign(static_cast<size_t>(out->lines * out->intsPerLine + 1), 0);
  std::vector<BlockField> fields;
  int64_t realAt = 0, intAt = 0;
  for (size_t k = 0; k < out->letters.size();) {
    size_t end = k;
    while (end < out->letters.size() && out->letters[end] == out->letters[k]) ++end;
    int length = static_cast<int>(end - k);
    int64_t lastLine = out->lines - 1;
    if (out->letters[k] == 'r')
      fields.push_back({kFieldReal64Vector, &out->reals[realAt],
                        &out->reals[realAt + lastLine * out->realsPerLine], length});
    else
      fields.push_back({kFieldInt32Vector, &out->integers[intAt],
                        &out->integers[intAt + lastLine * out->intsPerLine], length});
    (out->letters[k] == 'r' ? realAt : intAt) += length;
    k = end;
  }
  return getBlock(file, code, 1, out->lines, fields.data(), static_cast<int>(fields.size())) == 1;
}

// The dumps' hash of every value in file order (integers widened to 64 bits).
std::string valueHash(const Values& v) {
  ValueHash hash;
  for (int64_t line = 0; line < v.lines; ++line) {
    int64_t r = line * v.realsPerLine, i = line * v.intsPerLine;
    for (char letter : v.letters) {
      if (letter == 'r') hash.add(v.reals[r++]);
      if (letter == 'i') hash.add(int64_t{v.integers[i++]});
    }
  }
  return hash.hex();
}

void checkKeyword(KeywordFile* file, const DumpKeyword& expected, const std::string& where,
                  const std::string& status) {
  SCOPED_TRACE(where + " " + expected.name);
  const int code = expected.code;
  ASSERT_STREQ(kKeywordTable[code].name, expected.name.c_str());
  if (file->keywords[code].kind == kKwdAbsent) {
    // Only a keyword whose lines cannot be read, or whose high-order header gives another
    // node count than its degree has, is dropped, and never silently.
    EXPECT_TRUE(expected.has("data") ||
                status.find("nodes per element, a degree-") != std::string::npos)
        << "dropped";
    EXPECT_FALSE(file->warnings.empty());
    return;
  }
  if (expected.has("format")) return;  // not described: recognised and skipped
  EXPECT_EQ(std::to_string(file->keywords[code].lineCount), expected.at("lines"));
  if (expected.has("solution")) {  // "types 1 2 degree 2 nodes 6 values_per_line 18"
    const KeywordRecord& record = file->keywords[code];
    std::ostringstream header;
    header << "types";
    for (int type : record.solutionTypes) header << ' ' << type;
    header << " degree " << record.degree << " nodes " << record.nodes << " values_per_line "
           << record.fields;
    EXPECT_EQ(header.str(), expected.at("solution"));
  }
  Values values;
  const bool readable = readValues(file, code, &values);
  if (expected.has("data")) {
    EXPECT_FALSE(readable) << "unreadable data was read";
    EXPECT_FALSE(file->error.empty());
    return;
  }
  ASSERT_TRUE(readable) << file->error;
  EXPECT_EQ(valueHash(values), expected.at("fnv1a64"));
}

std::vector<std::string> dataFiles() {
  std::vector<std::string> files;
  for (auto& entry : std::filesystem::recursive_directory_iterator(ZEL_TEST_DATA)) {
    std::string path = entry.path().string();
    if (entry.is_regular_file() && std::filesystem::exists(path + ".dump.txt"))
      files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST(DataFiles, EveryFileDecodesAsItsDumpSays) {
  std::vector<std::string> files = dataFiles();
  ASSERT_GE(files.size(), 70u);
  for (const std::string& path : files) {
    Dump dump = readDump(path + ".dump.txt");
    ASSERT_FALSE(dump.status.empty()) << path;
    std::string error;
    int version = 0, dimension = 0;
    KeywordFile* file = openKeywordFile(path.c_str(), 1, &version, &dimension, &error);
    if (!file) {
      EXPECT_TRUE(dump.error()) << path << ": " << error;
      EXPECT_NE(error.find(std::filesystem::path(path).filename().string()), std::string::npos);
      continue;
    }
    bool unreadable = false;
    for (const DumpKeyword& keyword : dump.keywords) {
      checkKeyword(file, keyword, path, dump.status);
      unreadable |= keyword.has("data");
    }
    // A broken file opens only when the damage lies in a keyword (its lines or its place in
    // the chain: then the scan says so), or when it can be seen against its mesh alone (a
    // solution's line count). A sound file gives no warning.
    if (dump.error()) {
      EXPECT_TRUE(unreadable || !file->warnings.empty() ||
                  dump.status.find("the mesh has") != std::string::npos)
          << path;
    }
    if (dump.status == "OK") {
      EXPECT_TRUE(file->warnings.empty()) << path << ": " << file->warnings.front();
    }
    // Keywords the dump does not list are absent (MeshVersionFormatted, Dimension, End aside).
    for (int code = 1; code < kKeywordCount; ++code) {
      if (code == 1 || code == 3 || code == 54 || file->keywords[code].kind == kKwdAbsent) continue;
      bool listed = false;
      for (const DumpKeyword& keyword : dump.keywords) listed |= keyword.code == code;
      EXPECT_TRUE(listed) << path << ": unexpected " << kKeywordTable[code].name;
    }
    closeKeywordFile(file);
  }
}
