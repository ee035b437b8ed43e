// zel_OpenMesh on the test data (arrays compared with the dumps), name completion, failure
// messages, reloading, accessors and the statistics print.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_table.h"
#include "meshio/keyword_writer.h"
#include "meshio/zel_object.h"
#include "tests/meshio/test_files.h"

namespace {

namespace fs = std::filesystem;

struct Mesh {
  ZelObject* object = nullptr;
  char status[zel::kStatusSize] = "";
  Mesh() { EXPECT_EQ(zel_NewInterface(&object), 0); }
  ~Mesh() { EXPECT_EQ(zel_FreeInterface(&object), 0); }
  int open(const std::string& name) { return zel_OpenMesh(object, name.c_str(), status); }
  std::string message() const { return status; }
  std::string opened() const { return status + zel::kStatusHalf; }
};

// True when every node index (or coordinate) and reference of the kind's entities is 0.
bool keepsNoValue(ZelObject* object, int typ) {
  char status[zel::kStatusSize];
  int count = 0, nodes = 0;
  void* array = zel_GetIndicesArray(object, typ, &count, &nodes, status);
  const int* refs = zel_GetReferenceArray(object, typ, status);
  for (int e = 1; e <= count; ++e) {
    if (refs[e] != 0) return false;
    for (int k = 0; k < (typ == EntityType::Vertex ? 3 : nodes); ++k)
      if (typ == EntityType::Vertex ? static_cast<double*>(array)[3 * e + k] != 0
                                    : static_cast<int*>(array)[e * nodes + k] != 0)
        return false;
  }
  return true;
}

// Entity type read from a keyword code (the kinds the loader reads): the keyword of type t is
// kKeywordOfType[t].
int typeOfKeyword(int code) {
  const int kKeywordOfType[32] = {0,  4,   13,  5,  6,  -1, 7,  8,  49,  9,  10,
                                  25, 24,  27,  30, 33, 87, 86, 92, 90,  88, 96,
                                  98, 100, 102, 93, 91, 89, 97, 99, 101, 103};
  const int* found = std::find(kKeywordOfType, kKeywordOfType + 32, code);
  return found == kKeywordOfType + 32 ? 0 : static_cast<int>(found - kKeywordOfType);
}

}  // namespace

// A broken file keeps what reads: every keyword the dump could decode loads as it says, an
// unreadable one has count 0 (dropped by the scan) or no value kept. The load fails, with a
// message naming the file, when the vertices could not be read or the file not opened at all.
TEST(MeshLoading, EveryDataMeshLoadsWhatItsDumpReads) {
  int loaded = 0, refused = 0, partial = 0;
  for (auto& entry : fs::recursive_directory_iterator(ZEL_TEST_DATA)) {
    const std::string path = entry.path().string();
    const std::string name = entry.path().filename().string();
    if (name.find(".mesh") == std::string::npos || name.find(".dump.txt") != std::string::npos)
      continue;
    SCOPED_TRACE(path);
    Dump dump = readDump(path + ".dump.txt");
    bool verticesReadable = false;
    for (const DumpKeyword& keyword : dump.keywords)
      verticesReadable |= keyword.code == zel::Kwd::Vertices && !keyword.has("data");
    Mesh mesh;
    testing::internal::CaptureStdout();
    const int result = mesh.open(path);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (dump.error()) {
      EXPECT_NE(printed + mesh.message(), "") << "a broken file passed silently";
    }
    if (!verticesReadable && dump.error()) {
      EXPECT_EQ(result, 2);
      EXPECT_NE(mesh.message().find(name), std::string::npos) << mesh.message();
      EXPECT_EQ(mesh.message().back(), '\n');
      ++refused;
      if (mesh.message().rfind("Cannot open mesh file " + path + "\n  ", 0) == 0) continue;
    } else {
      ASSERT_EQ(result, 0) << mesh.message();
      EXPECT_EQ(mesh.opened(), path);
      ++(dump.error() ? partial : loaded);
    }
    int dim = 0;
    ASSERT_EQ(zel_GetDimension(mesh.object, &dim, mesh.status), 0);
    for (const DumpKeyword& keyword : dump.keywords) {
      const int typ = typeOfKeyword(keyword.code);
      if (!typ) continue;
      SCOPED_TRACE(keyword.name);
      int count = -1;
      ASSERT_EQ(zel_GetNumberOfEntities(mesh.object, typ, &count, mesh.status), 0);
      if (keyword.has("data")) {
        if (count > 0) {
          EXPECT_EQ(std::to_string(count), keyword.at("lines"));
        }
        EXPECT_TRUE(keepsNoValue(mesh.object, typ));
        continue;
      }
      EXPECT_EQ(std::to_string(count), keyword.at("lines"));
      const std::string expected = keyword.has("default_order_fnv1a64")
                                       ? keyword.at("default_order_fnv1a64")
                                       : keyword.at("fnv1a64");
      EXPECT_EQ(kindHash(mesh.object, typ), expected);
    }
    if (dim == 2) {
      int count = 0, nodes = 0;
      double* crd = static_cast<double*>(
          zel_GetIndicesArray(mesh.object, EntityType::Vertex, &count, &nodes, mesh.status));
      for (int v = 1; v <= count; ++v) ASSERT_EQ(crd[3 * v + 2], 0.0);
    }
  }
  EXPECT_GE(loaded, 40);
  EXPECT_GE(refused, 4);
  EXPECT_GE(partial, 2);  // count_too_large, nextpos_backwards
}

// Names are completed with ".meshb" before ".mesh"; a file that is missing, or exists but
// cannot be read as a keyword file, gives the could-not-open message and then the reason on its
// own indented line.
TEST(MeshLoading, NameCompletionAndFilesThatDoNotOpen) {
  const fs::path dir = fs::temp_directory_path() / ("zel_names_" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::copy_file(fs::path(ZEL_TEST_DATA) / "broken/cube3d.meshb", dir / "cube.meshb");
  fs::copy_file(fs::path(ZEL_TEST_DATA) / "broken/square2d.mesh", dir / "cube.mesh");
  fs::copy_file(fs::path(ZEL_TEST_DATA) / "broken/square2d.mesh", dir / "flat.mesh");
  std::ofstream(dir / "v5.mesh") << "MeshVersionFormatted 5\nDimension 3\nEnd\n";
  std::ofstream(dir / "bare.meshb") << "not a binary mesh";
  auto at = [&dir](const char* name) { return (dir / name).string(); };
  const struct {
    std::string name, opened;  // opened: the file read, or the start of the message
    int dim = 0;
  } cases[] = {
      {at("cube"), at("cube.meshb"), 3},
      {at("flat"), at("flat.mesh"), 2},
      {at("missing.mesh"), "Cannot open mesh file " + at("missing.mesh") + "\n"},
      {at("missing"), "Cannot open mesh file " + at("missing") + ".[mesh[b]]\n"},
      {at("v5.mesh"), "Cannot open mesh file " + at("v5.mesh") + "\n  " + at("v5.mesh") +
                          ": bad version 5 (expected 1..4)\n"},
      {at("bare"),
       "Cannot open mesh file " + at("bare") + ".[mesh[b]]\n  " + at("bare.meshb") + ": "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Mesh mesh;
    const int result = mesh.open(c.name);
    if (c.dim) {
      ASSERT_EQ(result, 0) << mesh.message();
      EXPECT_EQ(mesh.opened(), c.opened);
      int dim = 0;
      zel_GetDimension(mesh.object, &dim, mesh.status);
      EXPECT_EQ(dim, c.dim);
      continue;
    }
    EXPECT_EQ(result, 2);
    EXPECT_EQ(mesh.message().substr(0, c.opened.size()), c.opened);
    EXPECT_EQ(mesh.message().back(), '\n');
  }
  fs::remove_all(dir);
}

TEST(MeshLoading, MissingArgumentsAndUndefinedTypesGiveTheirMessages) {
  Mesh mesh;
  ZelObject* object = mesh.object;
  char* status = mesh.status;
  int count = 7, nodes = 0;
  const struct {
    std::function<bool()> fails;
    const char* message;
  } cases[] = {
      {[&] { return zel_OpenMesh(nullptr, "x.mesh", status) == 2; },
       "NULL (ZelObject) parameter on input\n"},
      {[&] { return zel_OpenMesh(object, nullptr, status) == 2; },
       "NULL (MshFile)   parameter on input\n"},
      {[&] { return zel_GetDimension(object, nullptr, status) == 2; },
       "NULL (dim)   parameter on input\n"},
      {[&] { return zel_GetNumberOfEntities(object, 4, nullptr, status) == 2; },
       "NULL (nbrEnt)   parameter on input\n"},
      {[&] { return zel_GetBoundingBox(object, nullptr, status) == 2; },
       "NULL (bbox)   parameter on input\n"},
      {[&] { return zel_GetNumberOfEntities(object, 5, &count, status) == 2 && count == 0; },
       "zel_GetNumberOfEntities is undefined for Typ 5 !\n"},
      {[&] { return !zel_GetIndicesArray(object, 39, &count, &nodes, status); },
       " zel_GetIndicesArray is undefined for Typ 39 !\n"},
      {[&] { return !zel_GetReferenceArray(object, 128, status); },
       " zel_GetReferenceArray is undefined for Typ 128 !\n"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(c.fails()) << c.message;
    EXPECT_STREQ(status, c.message);
  }
  EXPECT_EQ(zel_OpenMesh(object, "x.mesh", nullptr), 2);
  EXPECT_EQ(zel_GetNumberOfEntities(object, 0, &count, status), 0);
  ZelObject* none = nullptr;
  EXPECT_EQ(zel_FreeInterface(&none), 2);
  EXPECT_EQ(zel_FreeInterface(nullptr), 2);
}

TEST(MeshLoading, ReloadReplacesArraysAndStatisticsPrintInTheirFormat) {
  Mesh mesh;
  ASSERT_EQ(mesh.open(std::string(ZEL_TEST_DATA) + "/ho/hybrid_pyr_p2.mesh"), 0);
  ASSERT_EQ(mesh.open(std::string(ZEL_TEST_DATA) + "/broken/square2d.mesh"), 0);
  int count = -1, nodes = 0;
  zel_GetNumberOfEntities(mesh.object, EntityType::TetrahedronP2, &count, mesh.status);
  EXPECT_EQ(count, 0);
  // An absent kind still has arrays with room for slot 0.
  EXPECT_NE(
      zel_GetIndicesArray(mesh.object, EntityType::TetrahedronP2, &count, &nodes, mesh.status),
      nullptr);
  EXPECT_EQ(nodes, 10);
  testing::internal::CaptureStdout();
  zel_PrintStatistics(mesh.object);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed,
            "  Dimension 2  \n"
            "  Number Of Vertices                      9 \n"
            "  Number Of Edges                         8 \n"
            "  Number Of Triangles                     8 \n"
            "  x:[0 1] y:[0 1] z:[0 0]\n\n");
}

TEST(MeshLoading, CornersTakeTheReferenceOfTheirVertex) {
  Mesh mesh;
  ASSERT_EQ(mesh.open(std::string(ZEL_TEST_DATA) + "/ho/hybrid_pyr_p3.mesh"), 0);
  int count = 0, nodes = 0;
  int* corners = static_cast<int*>(
      zel_GetIndicesArray(mesh.object, EntityType::Corner, &count, &nodes, mesh.status));
  int* cornerRefs = zel_GetReferenceArray(mesh.object, EntityType::Corner, mesh.status);
  int* vertexRefs = zel_GetReferenceArray(mesh.object, EntityType::Vertex, mesh.status);
  ASSERT_EQ(count, 12);
  bool nonZero = false;
  for (int c = 1; c <= count; ++c) {
    EXPECT_EQ(cornerRefs[c], vertexRefs[corners[c]]);
    nonZero |= cornerRefs[c] != 0;
  }
  EXPECT_TRUE(nonZero);
  double box[6];
  ASSERT_EQ(zel_GetBoundingBox(mesh.object, box, mesh.status), 0);
  EXPECT_LT(box[0], box[1]);
  EXPECT_LT(box[4], box[5]);
}

TEST(MeshLoading, OrderingKeywordRotatesEdgeNodesIntoTheDefaultOrder) {
  // File order 200; 020; 002; 011; 101; 110: the edge nodes come as (1-2, 2-0, 0-1).
  const std::string path = temporaryPath("order.mesh");
  zel::KeywordWriter writer;
  ASSERT_TRUE(writer.open(path, zel::KeywordWriteFormat(), 2));
  writer.beginKeyword(zel::Kwd::Vertices, 6);
  for (int v = 1; v <= 6; ++v) {
    writer.real(v);
    writer.real(-v);
    writer.integer(0);
  }
  writer.beginKeyword(zel::Kwd::TrianglesP2Ordering, 6);
  for (int row : {200, 20, 2, 11, 101, 110})
    for (int digit : {row / 100, row / 10 % 10, row % 10}) writer.integer(digit);
  writer.beginKeyword(zel::Kwd::TrianglesP2, 1);
  for (int node : {1, 2, 3, 5, 6, 4, 9}) writer.integer(node);
  ASSERT_TRUE(writer.close());
  Mesh mesh;
  ASSERT_EQ(mesh.open(path), 0) << mesh.message();
  int count = 0, nodes = 0;
  const int* triangles = static_cast<const int*>(
      zel_GetIndicesArray(mesh.object, EntityType::TriangleP2, &count, &nodes, mesh.status));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(std::vector<int>(triangles + 6, triangles + 12), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(zel_GetReferenceArray(mesh.object, EntityType::TriangleP2, mesh.status)[1], 9);
  fs::remove(path);
}

// One keyword that lies does not hide the others: a tetrahedra count that cannot fit drops the
// tetrahedra with a warning naming them, the vertices and triangles load, the load succeeds.
// An ordering with the wrong number of rows or that is no permutation is ignored likewise.
TEST(MeshLoading, KeepsWhatReadsAndWarnsAboutTheRest) {
  for (const bool binary : {false, true}) {
    SCOPED_TRACE(binary ? "binary" : "ASCII");
    const std::string path = temporaryPath(binary ? "ball.meshb" : "ball.mesh");
    zel::KeywordWriter writer;
    zel::KeywordWriteFormat format;
    format.binary = binary;
    ASSERT_TRUE(writer.open(path, format, 3));
    writer.beginKeyword(zel::Kwd::Vertices, 4);
    for (int v = 0; v < 4; ++v) {
      for (int k = 0; k < 3; ++k) writer.real(v == k + 1);
      writer.integer(v);
    }
    const struct {
      int keyword, lines;
      std::vector<int> values;
    } keywords[] = {{zel::Kwd::Triangles, 2, {1, 2, 3, 5, 1, 2, 4, 6}},
                    {zel::Kwd::Tetrahedra, 1, {1, 2, 3, 4, 9}},
                    {zel::Kwd::TrianglesP2Ordering, 5, std::vector<int>(15, 0)},  // 6 rows due
                    {zel::Kwd::TrianglesP3Ordering, 10, std::vector<int>(30, 1)}};
    for (const auto& k : keywords) {
      writer.beginKeyword(k.keyword, k.lines);
      for (int value : k.values) writer.integer(value);
    }
    ASSERT_TRUE(writer.close()) << writer.error();
    // The tetrahedra count becomes 1,000,000: in binary the 32-bit count just before the line
    // 1 2 3 4 9.
    std::vector<char> bytes = readBytes(path);
    std::string text(bytes.begin(), bytes.end());
    const int32_t line[5] = {1, 2, 3, 4, 9}, count = 1000000;
    const size_t at = binary ? text.find(std::string(reinterpret_cast<const char*>(line), 20)) - 4
                             : text.find("Tetrahedra\n1\n") + 11;
    ASSERT_LT(at, text.size());
    text.replace(
        at, binary ? 4 : 1,
        binary ? std::string(reinterpret_cast<const char*>(&count), 4) : std::string("1000000"));
    writeBytes(path, text.data(), text.size());
    Mesh mesh;
    testing::internal::CaptureStdout();
    ASSERT_EQ(mesh.open(path), 0) << mesh.message();
    const std::string printed = testing::internal::GetCapturedStdout();
    int counts[3] = {0, 0, -1};
    const int types[3] = {EntityType::Vertex, EntityType::Triangle, EntityType::Tetrahedron};
    for (int k = 0; k < 3; ++k)
      zel_GetNumberOfEntities(mesh.object, types[k], &counts[k], mesh.status);
    EXPECT_EQ(std::vector<int>(counts, counts + 3), (std::vector<int>{4, 2, 0}));
    EXPECT_EQ(zel_GetReferenceArray(mesh.object, EntityType::Triangle, mesh.status)[2], 6);
    const std::string warning = "  ## WARNING: " + path + ": ";
    const size_t second = printed.find(warning + "TrianglesP2Ordering");
    EXPECT_EQ(printed.rfind(warning + "Tetrahedra: ", 0), 0u) << printed;
    EXPECT_NE(printed.find("keyword ignored\n"), std::string::npos) << printed;
    ASSERT_NE(second, std::string::npos) << printed;
    EXPECT_EQ(printed.substr(second),
              warning +
                  "TrianglesP2Ordering has 5 lines, the element has 6 nodes; default node "
                  "order used\n" +
                  warning +
                  "TrianglesP3 ordering is not a permutation of the default node order; default "
                  "node order used\n");
    fs::remove(path);
  }
}
