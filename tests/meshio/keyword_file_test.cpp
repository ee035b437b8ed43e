// Keyword file library: the keyword table, block and line reads, renumbering, scanning rules.
#include "meshio/keyword_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "meshio/entity_catalogue.h"
#include "tests/meshio/test_files.h"

using namespace zel;
using Open = OpenedFile;

// Every name gives its code, and only the whole name does (element formats: every reader test).
TEST(KeywordTable, NamesGiveTheirCodes) {
  EXPECT_EQ(keywordCode("TetrahedraP", 11) + keywordCode("End\0\0\0\0\0\0", 9), 0);
  for (int code = 1; code < kKeywordCount; ++code) {
    const std::string name = kKeywordTable[code].name;
    EXPECT_EQ(keywordCode(name.c_str(), static_cast<int>(name.size())),
              name == "Reserved" ? keywordCode("Reserved", 8) : code)
        << name;
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
  for (int corner : {6, 7}) writer.integer(corner);
  ASSERT_TRUE(writer.close());
  Open open(path);
  ASSERT_TRUE(open.file) << open.error;
  EXPECT_EQ(keywordStatistics(open.file, Kwd::Corners), 2);
  EXPECT_NE(open.file->keywords[14].kind, kKwdAbsent);
  int corners[2] = {};
  BlockField field{kFieldInt32, &corners[0], &corners[1]};
  ASSERT_EQ(getBlock(open.file, Kwd::Corners, 1, 2, &field, 1), 1);
  EXPECT_EQ(corners[1], 7);
  // ".meshb" is searched before ".sol": this name is a binary mesh.
  const std::string both = temporaryPath("x.meshb.sol");
  fs::copy_file(path, both);
  EXPECT_TRUE(Open(both).file);
  const std::string neither = temporaryPath("x.txt");
  fs::copy_file(path, neither);
  EXPECT_FALSE(Open(neither).error.empty());
  EXPECT_FALSE(Open(temporaryPath("absent.meshb")).file);
}

// Blocks of more lines than one binary chunk (10,000) are read in overlapped chunks: every line
// lands at its own place, whole or from any first line, in every form, with interleaved caller
// records and the caller's widths. Single lines come at the widths of their version.
TEST(KeywordBlock, RangesStridesAndSeveralChunksInEveryForm) {
  constexpr int kLines = 25000;
  auto node = [](int line, int k) { return 7 * line + k; };
  for (const auto& [form, version] : {std::pair{0, 4}, {1, 3}, {2, 3}, {2, 4}, {0, 1}, {2, 1}}) {
    const std::string path = temporaryPath("chunks" + std::to_string(form) +
                                           std::to_string(version) + (form ? ".meshb" : ".mesh"));
    SCOPED_TRACE(path);
    KeywordWriter writer;
    ASSERT_TRUE(writer.open(path, {form > 0, version, form == 2}, 3));
    writer.beginKeyword(Kwd::Vertices, kLines);
    for (int line = 1; line <= kLines; ++line) {
      for (int k = 0; k < 3; ++k) writer.real(line + 10000.0 * k);
      writer.integer(-line);
    }
    writer.beginKeyword(Kwd::Triangles, kLines);
    for (int line = 1; line <= kLines; ++line)
      for (int k = 0; k < 4; ++k) writer.integer(node(line, k));
    writer.beginKeyword(Kwd::Iterations, 1);
    writer.integer(3);
    writer.beginKeyword(Kwd::Time, 1);
    writer.real(1.5);
    writer.beginKeyword(Kwd::SolAtVertices, 1, {1, 2});
    for (int v = 0; v < 4; ++v) writer.real(v + 0.25);
    ASSERT_TRUE(writer.close()) << writer.error();
    Open open(path);
    ASSERT_TRUE(open.file) << open.error;
    const int64_t ranges[][2] = {{1, kLines},    {2, kLines - 1}, {9999, 20001},
                                 {10001, 25000}, {10000, 10001},  {15000, 15000}};
    for (const auto& [first, last] : ranges) {
      SCOPED_TRACE(std::to_string(first) + ".." + std::to_string(last));
      const int64_t lines = last - first + 1;
      std::vector<int> triangles(static_cast<size_t>(lines) * 4, -1);
      BlockField nodes{kFieldInt32Vector, &triangles[0], &triangles[(lines - 1) * 4], 4};
      ASSERT_EQ(getBlock(open.file, Kwd::Triangles, first, last, &nodes, 1), 1) << open.file->error;
      struct Vertex {
        double xyz[3];
        int64_t ref, y;
        float x;
      };
      std::vector<Vertex> v(static_cast<size_t>(lines));
      BlockField fields[2] = {{kFieldReal64Vector, v[0].xyz, v[lines - 1].xyz, 3},
                              {kFieldInt64, &v[0].ref, &v[lines - 1].ref}};
      ASSERT_EQ(getBlock(open.file, Kwd::Vertices, first, last, fields, 2), 1);
      // Fields are taken in order: x to a float, y converted to an integer.
      BlockField narrow[2] = {{kFieldReal32, &v[0].x, &v[lines - 1].x},
                              {kFieldInt64, &v[0].y, &v[lines - 1].y}};
      ASSERT_EQ(getBlock(open.file, Kwd::Vertices, first, last, narrow, 2), 1);
      int wrong = 0;
      for (int64_t l = 0; l < lines; ++l) {
        const int line = static_cast<int>(first + l);
        for (int k = 0; k < 4; ++k) wrong += triangles[l * 4 + k] != node(line, k);
        for (int k = 0; k < 3; ++k) wrong += v[l].xyz[k] != line + 10000.0 * k;
        wrong += v[l].ref != -line || v[l].x != line || v[l].y != line + 10000;
      }
      EXPECT_EQ(wrong, 0);
    }
    int buffer[5] = {};
    BlockField four{kFieldInt32Vector, buffer, buffer, 4},
        five{kFieldInt32Vector, buffer, buffer, 5};
    const int bad[][3] = {{Kwd::Triangles, 2, kLines + 1},
                          {Kwd::Triangles, 0, 1},
                          {Kwd::Tetrahedra, 1, 1},
                          {199, 1, 1}};
    for (const auto& [code, first, last] : bad)
      EXPECT_EQ(getBlock(open.file, code, first, last, &four, 1), 0) << code << " " << first;
    EXPECT_EQ(getBlock(open.file, Kwd::Triangles, 1, 1, &five, 1), 0);
    EXPECT_EQ(std::vector<int>(buffer, buffer + 5), std::vector<int>(5, 0));
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
      std::memcpy(single, &time, 4);
      EXPECT_EQ(std::vector<double>({double(int32_t(iterations)), single[0]}),
                std::vector<double>({3, 1.5}));
      std::memcpy(single, values, sizeof single);
      EXPECT_EQ(single[3], 3.25f);
    } else {
      EXPECT_EQ(std::vector<double>({double(iterations), time, values[3]}),
                std::vector<double>({3, 1.5, 3.25}));
    }
    EXPECT_FALSE(open.file->error.empty());
  }
}
