// Files of every form read back whole, and malformed: truncated, keywords that interrupt or
// repeat, special files, overlong texts, headers and values that lie (garbled bytes: fuzzers).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <future>
#include <tuple>

#include "tests/meshio/mesh_builder.h"
#include "tests/meshio/test_files.h"

// What a load kept: the result, and per entity type 1..31 its count and a hash of its arrays.
struct Loaded {
  int result = 0, counts[32] = {};
  std::string hashes[32];
};

// Loads the file (its warnings silenced); checks the status contract and releases the object.
static Loaded load(const std::string& path) {
  Mesh mesh;
  Loaded loaded;
  loaded.result = mesh.open(path);
  EXPECT_TRUE(loaded.result == 0 || (loaded.result == 2 && !mesh.message().empty()));
  // Counts never exceed what the arrays hold: every value of every entity is hashed.
  for (int typ = 1; typ <= 31; ++typ) {
    zel_GetNumberOfEntities(mesh.object, typ, &loaded.counts[typ], mesh.status);
    loaded.hashes[typ] = kindHash(mesh.object, typ);
  }
  return loaded;
}

// Cuts of the file keep the kinds whose lines are whole and drop the cut one and those after
// it: every kind is either as in the whole file or empty, in binary value for value. The load
// succeeds exactly when all the vertices are there.
static void expectCutsKeepWholeKinds(const std::string& path, const Loaded& whole, bool binary) {
  const std::vector<char> bytes = readBytes(path);
  const std::string target = temporaryPath(binary ? "cut.meshb" : "cut.mesh");
  int partial = 0;
  // Every byte of the headers, then a sample of the lines (an odd step crosses values).
  for (size_t size = 0; size < bytes.size(); size += size < 256 ? 1 : 11) {
    const Loaded loaded = load(writeBytes(target, {bytes.data(), size}));
    SCOPED_TRACE("cut at " + std::to_string(size));
    for (int typ = 1; typ <= 31; ++typ) {
      if (loaded.counts[typ] == 0) continue;
      ASSERT_EQ(loaded.counts[typ], whole.counts[typ]) << "type " << typ;
      // A cut inside the last value of an ASCII kind may still read as a shorter number.
      if (binary) {
        ASSERT_EQ(loaded.hashes[typ], whole.hashes[typ]) << "type " << typ;
      }
    }
    // A binary file always ends with End, so a cut one says so; an ASCII file cut before its
    // first keyword is a sound empty mesh.
    if (loaded.counts[1] == whole.counts[1]) {
      ASSERT_EQ(loaded.result, 0);
    } else if (binary) {
      ASSERT_EQ(loaded.result, 2);
    }
    partial += loaded.counts[1] > 0 && loaded.counts[31] == 0;
  }
  EXPECT_GT(partial, 10);  // many cuts keep the vertices and lose the last kind
}

// Every entity kind written in ASCII and binary versions 1 to 4, both byte orders, with and
// without declared node orders, in two and three dimensions, reads back into identical arrays
// (version-1 reals to single precision); some of these files are also cut at many places.
TEST(HostileInput, EveryFormReadsBackWholeAndCutFilesKeepTheWholeKindsBeforeTheCut) {
  char status[zel::kStatusSize];
  for (int dim = 2; dim <= 3; ++dim) {
    ZelObject* mesh = testmesh::syntheticMesh(dim, 12, 3u + dim);
    for (int version = 1; version <= 4; ++version)
      for (int form = 0; form < 3; ++form)  // ASCII, binary, binary of the other byte order
        for (bool reverse : {false, true}) {
          const std::string path = temporaryPath(
              "form" + std::to_string(dim) + std::to_string(version) + std::to_string(form) +
              (reverse ? "r" : "") + (form ? ".meshb" : ".mesh"));
          SCOPED_TRACE(path);
          std::string error;
          ASSERT_TRUE(zel::writeMesh(mesh, path, {form > 0, version, form == 2, reverse}, &error))
              << error;
          const Loaded whole = load(path);
          ASSERT_EQ(whole.result, 0);
          for (int typ = 1; typ <= 31; ++typ) {
            int count = 0;
            zel_GetNumberOfEntities(mesh, typ, &count, status);
            EXPECT_EQ(whole.counts[typ], count) << "type " << typ;
            EXPECT_EQ(whole.hashes[typ], kindHash(mesh, typ, version == 1)) << "type " << typ;
          }
          if (dim == 3 && reverse == (version >= 3) && (form == 0 || (form == 2) == !(version % 2)))
            expectCutsKeepWholeKinds(path, whole, form > 0);
        }
    zel_FreeInterface(&mesh);
  }
}

// A keyword met where a value is expected ends the table it interrupts: that table is dropped
// with a warning naming both; a keyword met twice keeps its later block, with a warning.
TEST(HostileInput, KeywordsInsideAsciiValuesAndTwiceMetKeywords) {
  const std::string head = "MeshVersionFormatted 2\nDimension 2\n";
  const std::string interrupted =
      writeBytes(temporaryPath("interrupted.mesh"),
                 head + "Vertices 3\n0 0 1\n1 Vertices 0 1\n0 1 1\nTriangles 1\n1 2 3 4\nEnd\n");
  const std::string reason =
      "Vertices: 3 lines of 3 values, only 4 values before Vertices; keyword ignored\n";
  Mesh mesh;
  EXPECT_EQ(mesh.open(interrupted), 2);
  EXPECT_EQ(mesh.message(), interrupted + ": " + reason);
  EXPECT_EQ(mesh.printed.rfind("  ## WARNING: " + mesh.message(), 0), 0u) << mesh.printed;
  int triangles = 0;
  zel_GetNumberOfEntities(mesh.object, EntityType::Triangle, &triangles, mesh.status);
  EXPECT_EQ(triangles, 1);  // what reads is kept
  OpenedFile scan(writeBytes(temporaryPath("twice.mesh"),
                             head + "Corners 1 5\nVertices 1\n0 0 1\nCorners 2 6 7\nEnd\n"));
  ASSERT_TRUE(scan.file) << scan.error;
  EXPECT_EQ(zel::keywordStatistics(scan.file, zel::Kwd::Corners), 2);
  EXPECT_EQ(scan.warnings(), "Corners: met twice, the earlier block is replaced\n");
}

// A FIFO, a device or a directory named as a mesh or solution file is refused at once (a FIFO
// without a writer would block the open, /dev/zero would never end).
TEST(HostileInput, SpecialFilesAreRefusedWithoutBlocking) {
  const std::string fifo = temporaryPath("fifo.meshb"), zero = temporaryPath("zero.mesh");
  const std::string random = temporaryPath("random.solb"), folder = temporaryPath("folder.sol");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", zero);
  fs::create_symlink("/dev/urandom", random);
  fs::create_directory(folder);
  for (const std::string& path : {fifo, zero, random, folder}) {
    SCOPED_TRACE(path);
    auto opening = std::async(std::launch::async, [&path] { return OpenedFile(path).error; });
    if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Unblock the open so that the test can end, then fail.
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      opening.wait();
      ::close(writer);
      FAIL() << "the open blocked";
    }
    EXPECT_EQ(opening.get(), path + ": not a regular file");
  }
  Mesh mesh;
  EXPECT_EQ(mesh.open(fifo), 2);
  EXPECT_EQ(mesh.message(),
            "Cannot open mesh file " + fifo + "\n  " + fifo + ": not a regular file\n");
}

// Messages quote what is wrong: the start of an overlong token (not what the buffer holds
// after it), the start of an overlong name.
TEST(HostileInput, MessagesQuoteTheOffendingTextItself) {
  std::string text = "MeshVersionFormatted 2\nDimension 3\nVertices 2\n7";
  text.append(size_t(3) << 20, '8');  // longer than the scanner's buffer
  const std::string path =
      writeBytes(temporaryPath("overlong.mesh"), text + "x 0 0 1\n0 0 0 1\nEnd\n");
  OpenedFile scan(path);
  ASSERT_TRUE(scan.file) << scan.error;
  double xyz[6];
  int refs[2];
  zel::BlockField fields[2] = {{zel::kFieldReal64Vector, xyz, xyz + 3, 3},
                               {zel::kFieldInt32, refs, refs + 1}};
  EXPECT_EQ(zel::getBlock(scan.file, zel::Kwd::Vertices, 1, 2, fields, 2), 0);
  EXPECT_EQ(scan.file->error, path + ": Vertices line 1 field 1: '7" + std::string(39, '8') +
                                  "' where a real was expected");
  const std::string longName = "/tmp/" + std::string(1100, 'n') + ".mesh";
  OpenedFile named(longName);
  EXPECT_EQ(named.file, nullptr);
  EXPECT_EQ(named.error,
            longName.substr(0, 60) + "...: file name too long (1110 characters, at most 1023)");
}

// A file header that lies is refused with its reason; a keyword whose header lies is dropped
// with a warning naming it, and the chain goes on unless the next position cannot be followed.
TEST(HostileInput, FileAndKeywordHeadersThatLie) {
  const std::string good = temporaryPath("good.meshb"), bad = temporaryPath("bad.meshb");
  ASSERT_TRUE(writeSmallMesh(good, {true}));
  const std::vector<char> bytes = readBytes(good);
  // Header layout: endianness 0, version 4, Dimension code 8, next 12, dimension 16, then
  // Vertices code 20, next 24, count 28.
  auto patched = [&](size_t offset, int32_t value) {
    std::vector<char> copy = bytes;
    std::memcpy(&copy[offset], &value, 4);
    return writeBytes(bad, {copy.data(), copy.size()});
  };
  const std::tuple<size_t, int32_t, const char*> refused[] = {
      {0, 2, "bad endianness code 2"}, {4, 5, "bad version 5"},
      {4, 0, "bad version 0"},         {16, 1, "bad dimension 1"},
      {16, 4, "bad dimension 4"},      {8, 4, "first keyword 4 is not Dimension"}};
  for (const auto& [offset, value, reason] : refused) {
    OpenedFile open(patched(offset, value));
    EXPECT_FALSE(open.file) << reason;
    EXPECT_NE(open.error.find(reason), std::string::npos) << open.error;
    EXPECT_EQ(open.error.rfind(bad + ": ", 0), 0u) << open.error;
  }
  const std::tuple<size_t, int32_t, const char*, int, int> dropped[] = {
      {28, -1, "Vertices: negative line count", 0, 2},
      {28, 1 << 30, "Vertices: 1073741824 lines of 28 bytes need more", 0, 2},
      {28, 4, "Vertices: 4 lines of 28 bytes need more than the 84 bytes", 0, 2},
      {24, 1 << 30, "Vertices at offset 20: next position 1073741824 beyond", 3, 0},
      {24, 21, "Vertices at offset 20: next position 21 does not lie after", 0, 0}};
  for (const auto& [offset, value, reason, vertices, triangles] : dropped) {
    OpenedFile open(patched(offset, value));
    ASSERT_TRUE(open.file) << open.error;
    EXPECT_EQ(zel::keywordStatistics(open.file, zel::Kwd::Vertices), vertices) << reason;
    EXPECT_EQ(zel::keywordStatistics(open.file, zel::Kwd::Triangles), triangles) << reason;
    ASSERT_EQ(open.file->warnings.size(), 1u) << reason;
    EXPECT_NE(open.file->warnings[0].find(reason), std::string::npos) << open.file->warnings[0];
  }
  // Version 4, big-endian, with a 64-bit dimension announced by its next position (28):
  // read as 32 bits it would be 0 and refused.
  const char wide[] = {0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 3,  0, 0, 0, 0, 0, 0, 0, 28,
                       0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 54, 0, 0, 0, 0, 0, 0, 0, 0};
  OpenedFile open(writeBytes(bad, {wide, sizeof wide}));
  ASSERT_TRUE(open.file) << open.error;
  EXPECT_EQ(open.file->dimension, 3);
  EXPECT_TRUE(open.file->swapBytes);
}

// High-order solution headers must give the node count of their degree's lattice: the others
// are dropped with a warning, the accepted ones read back whole.
TEST(HostileInput, HighOrderHeadersGiveTheNodeCountOfTheirDegree) {
  // Keyword, degree, nodes, accepted.
  const std::tuple<int, int, int, bool> cases[] = {
      {114, 2, 1, false}, {114, 2, 4, false},  {114, 2, 10, true}, {113, 1, 1, false},
      {114, 3, 20, true}, {113, 0, 1, true},   {107, 1, 3, true},  {162, 4, 125, true},
      {160, 4, 55, true}, {119, 2, 17, false}, {104, 9, 10, true}, {104, 10, 10, false},
      {108, 2, 6, true}};
  const std::string path = temporaryPath("ho.solb");
  for (const auto& [keyword, degree, nodes, accepted] : cases) {
    SCOPED_TRACE(std::to_string(keyword) + " degree " + std::to_string(degree) + " nodes " +
                 std::to_string(nodes));
    // Two scalar fields: 2 nodes values per line, 2 lines.
    zel::KeywordWriter writer;
    ASSERT_TRUE(writer.open(path, {true}, 3));
    writer.beginKeyword(keyword, 2, {1, 1}, degree, nodes);
    for (int k = 0; k < 4 * nodes; ++k) writer.real(k * 0.5);
    writer.beginKeyword(zel::Kwd::SolAtVertices, 1, {1});
    writer.real(1);
    ASSERT_TRUE(writer.close());
    OpenedFile open(path);
    ASSERT_TRUE(open.file) << open.error;
    int header[8] = {};  // type count, size, 4 types, degree, nodes
    EXPECT_EQ(zel::keywordStatistics(open.file, keyword, &header[0], &header[1], &header[2],
                                     &header[6], &header[7]),
              accepted ? 2 : 0);
    EXPECT_EQ(zel::keywordStatistics(open.file, zel::Kwd::SolAtVertices), 1);
    EXPECT_EQ(open.file->warnings.size(), accepted ? 0u : 1u);
    if (!accepted) continue;
    EXPECT_EQ(std::vector<int>({header[0] + header[1], header[6], header[7]}),
              std::vector<int>({4, degree, nodes}));
    std::vector<double> values(4 * nodes);
    zel::BlockField field{zel::kFieldReal64Vector, &values[0], &values[2 * nodes], 2 * nodes};
    ASSERT_EQ(zel::getBlock(open.file, keyword, 1, 2, &field, 1), 1);
    EXPECT_EQ(values.back(), (4 * nodes - 1) * 0.5);
  }
}

// Version-4 integers must fit the 32-bit fields they are read into, above and below the range,
// in a later chunk of a long block too: the line named is the file's. A 64-bit field takes
// them whole.
TEST(HostileInput, IntegersBeyondTheirFieldAreRefused) {
  constexpr int kLines = 12345, kBadLine = 12001;
  for (const bool binary : {true, false}) {
    const std::string path = temporaryPath(binary ? "wide.meshb" : "wide.mesh");
    const int64_t bad = binary ? int64_t(INT32_MIN) - 1 : (int64_t(1) << 32) + 1;
    zel::KeywordWriter writer;
    ASSERT_TRUE(writer.open(path, {binary, 4}, 3));
    writer.beginKeyword(zel::Kwd::Triangles, kLines);
    for (int line = 1; line <= kLines; ++line)
      for (int k = 0; k < 4; ++k) writer.integer(line == kBadLine && k == 2 ? bad : line + k);
    ASSERT_TRUE(writer.close());
    OpenedFile scan(path);
    ASSERT_TRUE(scan.file) << scan.error;
    std::vector<int> nodes(4 * kLines);
    zel::BlockField field{zel::kFieldInt32Vector, &nodes[0], &nodes[4 * (kLines - 1)], 4};
    EXPECT_EQ(zel::getBlock(scan.file, zel::Kwd::Triangles, 1, kLines, &field, 1), 0);
    EXPECT_NE(scan.file->error.find(binary ? "Triangles line 12001: an integer beyond the 32-bit"
                                           : "Triangles line 12001 field 3: '4294967297'"),
              std::string::npos)
        << scan.file->error;
    field.last = &nodes[4 * (kBadLine - 2)];
    EXPECT_EQ(zel::getBlock(scan.file, zel::Kwd::Triangles, 1, kBadLine - 1, &field, 1), 1);
    EXPECT_EQ(nodes[4 * (kBadLine - 2) + 3], kBadLine - 1 + 3);
    // Fields are taken in order: the third value of the line is the second field.
    int64_t wide = 0;
    zel::BlockField both[2] = {{zel::kFieldInt32Vector, &nodes[0], &nodes[0], 2},
                               {zel::kFieldInt64, &wide, &wide}};
    EXPECT_EQ(zel::getBlock(scan.file, zel::Kwd::Triangles, kBadLine, kBadLine, both, 2), 1);
    EXPECT_EQ(wide, bad);
  }
}
