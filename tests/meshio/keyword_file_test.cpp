// Keyword file library: the keyword table, format expansion, block reads (ranges, strides,
// single lines, renumbering, several chunks), line reads and keyword scanning rules. Headers
// that lie are the hostile-input tests' part.
#include "meshio/keyword_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "meshio/entity_catalogue.h"
#include "tests/meshio/test_files.h"

using namespace zel;
using Open = OpenedFile;

TEST(KeywordTable, NamesCodesAndElementFormats) {
  EXPECT_EQ(keywordCode("TetrahedraP", 11), 0);
  EXPECT_EQ(keywordCode("End\0\0\0\0\0\0", 9), 0);  // a token with NULs inside
  for (int code = 1; code < kKeywordCount; ++code) {
    const std::string name = kKeywordTable[code].name;
    EXPECT_EQ(keywordCode(name.c_str(), static_cast<int>(name.size())),
              name == "Reserved" ? keywordCode("Reserved", 8) : code)
        << name;
    // Every element keyword holds its node count of integers and a reference.
    int nodes = 0;
    if (!renumberingShape(code, &nodes)) continue;
    EXPECT_EQ(std::string(kKeywordTable[code].lineFormat), std::string(nodes + 1, 'i')) << name;
    EXPECT_STREQ(kKeywordTable[code].countFormat, "i");
  }
  EXPECT_STREQ(kKeywordTable[Kwd::Time].countFormat, "");
  EXPECT_STREQ(kKeywordTable[186].lineFormat, "rrrr");  // prism node positions
}

TEST(KeywordBlock, RangesStridesAndSingleLinesInEveryForm) {
  for (int form = 0; form < 3; ++form) {
    const std::string path =
        temporaryPath(std::string("small") + char('0' + form) + (form ? ".meshb" : ".mesh"));
    ASSERT_TRUE(writeSmallMesh(path, {form > 0, 4, form == 2}));
    Open open(path);
    ASSERT_TRUE(open.file) << open.error;
    // Interleaved records: the stride comes from the distance between first and last.
    struct Record {
      float xyz[3];
      int64_t ref;
      double pad;
    } records[3] = {};
    BlockField fields[2] = {{kFieldReal32, &records[0].xyz[1], &records[2].xyz[1]},
                            {kFieldInt64, &records[0].ref, &records[2].ref}};
    // Fields are taken in order: the first real goes to xyz[1], the next to ref converted.
    ASSERT_EQ(getBlock(open.file, Kwd::Vertices, 1, 3, fields, 2), 1) << open.file->error;
    EXPECT_EQ(records[2].xyz[1], 3.0f);
    EXPECT_EQ(records[2].ref + records[1].pad, 30);
    // One line: natural strides; lines 2..2 of a range.
    double xyz[3] = {};
    int ref = 0;
    BlockField one[2] = {{kFieldReal64Vector, xyz, xyz, 3}, {kFieldInt32, &ref, &ref}};
    ASSERT_EQ(getBlock(open.file, Kwd::Vertices, 2, 2, one, 2), 1);
    EXPECT_EQ(xyz[2] + ref, 202.0);
    int triangle[4] = {};
    BlockField tri{kFieldInt32Vector, triangle, triangle, 4};
    ASSERT_EQ(getBlock(open.file, Kwd::Triangles, 2, 2, &tri, 1), 1);
    EXPECT_EQ(std::vector<int>(triangle, triangle + 4), (std::vector<int>{3, 4, 5, 72}));
    // Bad ranges, absent keywords and too many fields fail without touching memory.
    EXPECT_EQ(getBlock(open.file, Kwd::Triangles, 2, 3, &tri, 1), 0);
    EXPECT_EQ(getBlock(open.file, Kwd::Triangles, 0, 1, &tri, 1), 0);
    EXPECT_EQ(getBlock(open.file, Kwd::Tetrahedra, 1, 1, &tri, 1), 0);
    EXPECT_EQ(getBlock(open.file, 199, 1, 1, &tri, 1), 0);
    BlockField tooLong{kFieldInt32Vector, triangle, triangle, 5};
    EXPECT_EQ(getBlock(open.file, Kwd::Triangles, 1, 1, &tooLong, 1), 0);
    EXPECT_FALSE(open.file->error.empty());
  }
}

TEST(KeywordBlock, RenumberingTablesAndOrderings) {
  const std::string path = temporaryPath("order.meshb");
  ASSERT_TRUE(writeSmallMesh(path, {true}));
  Open open(path);
  ASSERT_TRUE(open.file);
  int nodes = 0, width = 0;
  const int* defaults = zel_Typ2Ordering(EntityType::Triangle, &nodes, &width);
  // Identity when the file order is the default one.
  ASSERT_EQ(setRenumbering(open.file, Kwd::Triangles, defaults, defaults), 1);
  EXPECT_EQ(open.file->keywords[Kwd::Triangles].renumbering, (std::vector<int>{0, 1, 2}));
  // File rows 010, 001, 100: file position 0 holds default node 1, and so on.
  const int rotated[] = {0, 1, 0, 0, 0, 1, 1, 0, 0};
  ASSERT_EQ(setRenumbering(open.file, Kwd::Triangles, defaults, rotated), 1);
  int triangles[8] = {};
  BlockField field{kFieldInt32Vector, triangles, triangles + 4, 4};
  ASSERT_EQ(getBlock(open.file, Kwd::Triangles, 1, 2, &field, 1), 1);
  EXPECT_EQ(std::vector<int>(triangles, triangles + 8),
            (std::vector<int>{4, 2, 3, 71, 5, 3, 4, 72}));
  // Not a permutation, or not an element keyword: refused, the table stays.
  const int repeated[] = {1, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_EQ(setRenumbering(open.file, Kwd::Triangles, defaults, repeated), 0);
  EXPECT_EQ(setRenumbering(open.file, Kwd::Vertices, defaults, defaults), 0);
  EXPECT_EQ(open.file->keywords[Kwd::Triangles].renumbering, (std::vector<int>{1, 2, 0}));
}

TEST(KeywordScan, SkipsUnknownCodesKeepsLaterOccurrenceAndRecognisesNames) {
  const std::string path = temporaryPath("scan.meshb");
  KeywordWriter writer;
  ASSERT_TRUE(writer.open(path, {true, 3}, 2));
  writer.beginKeyword(Kwd::Corners, 1);
  writer.integer(5);
  ASSERT_TRUE(writer.rawBlock(250, 37));
  ASSERT_TRUE(writer.rawBlock(14, 8));  // Ridges: format not described
  writer.beginKeyword(Kwd::Corners, 2);
  writer.integer(6);
  writer.integer(7);
  ASSERT_TRUE(writer.close());
  {
    Open open(path);
    ASSERT_TRUE(open.file) << open.error;
    EXPECT_EQ(keywordStatistics(open.file, Kwd::Corners), 2);
    EXPECT_NE(open.file->keywords[14].kind, kKwdAbsent);
    int corners[2] = {};
    BlockField field{kFieldInt32, &corners[0], &corners[1]};
    ASSERT_EQ(getBlock(open.file, Kwd::Corners, 1, 2, &field, 1), 1);
    EXPECT_EQ(corners[1], 7);
  }
  // ".meshb" is searched before ".sol": this name is a binary mesh.
  const std::string both = temporaryPath("x.meshb.sol");
  fs::copy_file(path, both);
  EXPECT_TRUE(Open(both).file);
  const std::string neither = temporaryPath("x.txt");
  fs::copy_file(path, neither);
  EXPECT_FALSE(Open(neither).error.empty());
  EXPECT_FALSE(Open(temporaryPath("absent.meshb")).file);
  EXPECT_FALSE(Open(std::string(2000, 'a') + ".mesh").file);
}

TEST(KeywordLine, InformationKeywordsAtTheWidthsOfTheirVersion) {
  for (int version : {1, 4}) {
    for (int form = 0; form < 3; ++form) {
      const std::string path = temporaryPath("info" + std::to_string(version) +
                                             std::to_string(form) + (form ? ".solb" : ".sol"));
      KeywordWriter writer;
      ASSERT_TRUE(writer.open(path, {form > 0, version, form == 2}, 3));
      writer.beginKeyword(Kwd::Iterations, 1);
      writer.integer(3);
      writer.beginKeyword(Kwd::Time, 1);
      writer.real(1.5);
      writer.beginKeyword(Kwd::SolAtVertices, 1, {1, 2});
      for (int v = 0; v < 4; ++v) writer.real(v + 0.25);
      ASSERT_TRUE(writer.close());
      Open open(path);
      ASSERT_TRUE(open.file) << open.error;
      SCOPED_TRACE(path);
      int64_t iterations = 0;
      double time = 0, values[4] = {};
      void* fields[3] = {&iterations, &time, values};
      const int codes[3] = {Kwd::Iterations, Kwd::Time, Kwd::SolAtVertices};
      for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(gotoKeyword(open.file, codes[k]), 1);
        ASSERT_EQ(getLine(open.file, codes[k], &fields[k], 1), 1);
      }
      EXPECT_EQ(gotoKeyword(open.file, Kwd::Edges), 0);
      if (version == 1) {  // 32-bit integers and reals
        float single[4];
        EXPECT_EQ(static_cast<int32_t>(iterations), 3);
        std::memcpy(single, &time, 4);
        EXPECT_EQ(single[0], 1.5f);
        std::memcpy(single, values, sizeof single);
        EXPECT_EQ(single[3], 3.25f);
      } else {
        EXPECT_EQ(std::vector<double>({double(iterations), time, values[3]}),
                  std::vector<double>({3, 1.5, 3.25}));
      }
    }
  }
}

// Blocks of more lines than one binary chunk (10,000) are read in overlapped chunks: every
// line of every chunk must land at its own place, whole or from any first line, in both byte
// orders and with interleaved caller records.
TEST(KeywordBlock, BlocksOfSeveralChunksReadEveryLineInPlace) {
  constexpr int kLines = 25000;
  auto node = [](int line, int k) { return 7 * line + k; };
  for (const bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    const std::string path = temporaryPath(bigEndian ? "chunks_be.meshb" : "chunks.meshb");
    KeywordWriter writer;
    ASSERT_TRUE(writer.open(path, {true, 3, bigEndian}, 3));
    writer.beginKeyword(Kwd::Vertices, kLines);
    for (int line = 1; line <= kLines; ++line) {
      for (int k = 0; k < 3; ++k) writer.real(line + 0.25 * k);
      writer.integer(-line);
    }
    writer.beginKeyword(Kwd::Triangles, kLines);
    for (int line = 1; line <= kLines; ++line)
      for (int k = 0; k < 4; ++k) writer.integer(node(line, k));
    ASSERT_TRUE(writer.close()) << writer.error();
    Open open(path);
    ASSERT_TRUE(open.file) << open.error;
    const int64_t ranges[][2] = {{1, kLines},    {2, kLines - 1}, {9999, 20001},
                                 {10001, 25000}, {10000, 10001},  {15000, 15000}};
    for (const auto& range : ranges) {
      SCOPED_TRACE(std::to_string(range[0]) + ".." + std::to_string(range[1]));
      const int64_t lines = range[1] - range[0] + 1;
      std::vector<int> triangles(static_cast<size_t>(lines) * 4, -1);
      BlockField nodes{kFieldInt32Vector, &triangles[0], &triangles[(lines - 1) * 4], 4};
      ASSERT_EQ(getBlock(open.file, Kwd::Triangles, range[0], range[1], &nodes, 1), 1)
          << open.file->error;
      struct Vertex {
        double xyz[3];
        int64_t ref;
      };
      std::vector<Vertex> vertices(static_cast<size_t>(lines));
      BlockField fields[2] = {{kFieldReal64Vector, vertices[0].xyz, vertices[lines - 1].xyz, 3},
                              {kFieldInt64, &vertices[0].ref, &vertices[lines - 1].ref}};
      ASSERT_EQ(getBlock(open.file, Kwd::Vertices, range[0], range[1], fields, 2), 1);
      int wrong = 0;
      for (int64_t l = 0; l < lines; ++l) {
        const int line = static_cast<int>(range[0] + l);
        for (int k = 0; k < 4; ++k) wrong += triangles[l * 4 + k] != node(line, k);
        for (int k = 0; k < 3; ++k) wrong += vertices[l].xyz[k] != line + 0.25 * k;
        wrong += vertices[l].ref != -line;
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}
