// zel_OpenMesh beyond the test data: names, messages, reloading, accessors, orderings.
#include <gtest/gtest.h>

#include "meshio/entity_catalogue.h"
#include "tests/meshio/test_files.h"

// Names are completed with ".meshb" before ".mesh"; a file that is missing, or exists but
// cannot be read as a keyword file, gives the could-not-open message and then the reason on its
// own indented line.
TEST(MeshLoading, NameCompletionAndFilesThatDoNotOpen) {
  const fs::path data = ZEL_TEST_DATA;
  for (const char* name : {"cube.meshb", "cube.mesh", "flat.mesh"}) fs::remove(temporaryPath(name));
  fs::copy_file(data / "broken/cube3d.meshb", temporaryPath("cube.meshb"));
  fs::copy_file(data / "broken/square2d.mesh", temporaryPath("cube.mesh"));
  fs::copy_file(data / "broken/square2d.mesh", temporaryPath("flat.mesh"));
  writeBytes(temporaryPath("bare.meshb"), "not a binary mesh");
  auto at = temporaryPath;
  const struct {
    std::string name, opened;  // opened: the file read, or the start of the message
    int dim = 0;
  } cases[] = {
      {at("cube"), at("cube.meshb"), 3},
      {at("flat"), at("flat.mesh"), 2},
      {at("missing.mesh"), "Cannot open mesh file " + at("missing.mesh") + "\n"},
      {at("missing"), "Cannot open mesh file " + at("missing") + ".[mesh[b]]\n"},
      {at("bare"),
       "Cannot open mesh file " + at("bare") + ".[mesh[b]]\n  " + at("bare.meshb") + ": "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Mesh mesh;
    const int result = mesh.open(c.name);
    int dim = 0;
    zel_GetDimension(mesh.object, &dim, mesh.status);
    EXPECT_EQ(result, c.dim ? 0 : 2) << mesh.message();
    EXPECT_EQ(c.dim ? mesh.opened() : mesh.message().substr(0, c.opened.size()), c.opened);
    EXPECT_EQ(c.dim ? dim : mesh.message().back(), c.dim ? c.dim : '\n');
  }
}

// Missing arguments and undefined kinds fail with a message; kind 0 is not an entity kind.
TEST(MeshLoading, MissingArgumentsAndUndefinedTypesFail) {
  Mesh mesh;
  char* status = mesh.status;
  int count = 7, nodes = 0;
  EXPECT_EQ(zel_OpenMesh(nullptr, "x.mesh", status) + zel_OpenMesh(mesh.object, "x.mesh", nullptr) +
                zel_GetNumberOfEntities(mesh.object, 4, nullptr, status),
            6);
  EXPECT_EQ(zel_GetNumberOfEntities(mesh.object, 5, &count, status) + count, 2);
  EXPECT_STREQ(status, "zel_GetNumberOfEntities is undefined for Typ 5 !\n");
  EXPECT_EQ(zel_GetIndicesArray(mesh.object, 39, &count, &nodes, status), nullptr);
  EXPECT_EQ(zel_GetReferenceArray(mesh.object, 128, status), nullptr);
  EXPECT_EQ(zel_GetNumberOfEntities(mesh.object, 0, &count, status), 0);
  ZelObject* none = nullptr;
  EXPECT_EQ(zel_FreeInterface(&none) + zel_FreeInterface(nullptr), 4);
}

// A second load replaces the first mesh's arrays; corners take their vertex's reference.
TEST(MeshLoading, ReloadCornersBoxAndStatisticsPrint) {
  Mesh mesh;
  ASSERT_EQ(mesh.open(std::string(ZEL_TEST_DATA) + "/ho/hybrid_pyr_p3.mesh"), 0);
  int count = 0, nodes = 0;
  const int* corners = static_cast<const int*>(
      zel_GetIndicesArray(mesh.object, EntityType::Corner, &count, &nodes, mesh.status));
  const int* cornerRefs = zel_GetReferenceArray(mesh.object, EntityType::Corner, mesh.status);
  const int* vertexRefs = zel_GetReferenceArray(mesh.object, EntityType::Vertex, mesh.status);
  ASSERT_EQ(count, 12);
  int nonZero = 0;
  for (int c = 1; c <= count; ++c) {
    EXPECT_EQ(cornerRefs[c], vertexRefs[corners[c]]);
    nonZero += cornerRefs[c] != 0;
  }
  EXPECT_GT(nonZero, 0);
  ASSERT_EQ(mesh.open(std::string(ZEL_TEST_DATA) + "/broken/square2d.mesh"), 0);
  zel_GetNumberOfEntities(mesh.object, EntityType::PyramidP3, &count, mesh.status);
  EXPECT_EQ(count, 0);
  // An absent kind still has arrays with room for slot 0.
  EXPECT_NE(zel_GetIndicesArray(mesh.object, EntityType::PyramidP3, &count, &nodes, mesh.status),
            nullptr);
  EXPECT_EQ(nodes, 30);
  testing::internal::CaptureStdout();
  zel_PrintStatistics(mesh.object);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  Dimension 2  \n"
            "  Number Of Vertices                      9 \n"
            "  Number Of Edges                         8 \n"
            "  Number Of Triangles                     8 \n"
            "  x:[0 1] y:[0 1] z:[0 0]\n\n");
}

// File order 200; 020; 002; 011; 101; 110: the edge nodes come as (1-2, 2-0, 0-1) and are
// rotated into the default order. One keyword that lies does not hide the others: a
// tetrahedra count that cannot fit drops them with a warning naming them, and orderings with
// the wrong number of rows or that are no permutation are ignored with a warning.
TEST(MeshLoading, OrderingKeywordsApplyAndKeywordsThatLieAreDroppedAlone) {
  std::string text = "MeshVersionFormatted 2\nDimension 2\nVertices 6\n";
  for (int v = 1; v <= 6; ++v) text += std::to_string(v) + " -" + std::to_string(v) + " 0\n";
  text += "TrianglesP2Ordering 6\n2 0 0 0 2 0 0 0 2 0 1 1 1 0 1 1 1 0\n";
  text += "TrianglesP2 1\n1 2 3 5 6 4 9\nTetrahedra 1000000\n1 2 3 4 9\n";
  text += "QuadrilateralsQ2Ordering 8\n";
  for (int k = 0; k < 16; ++k) text += "0 ";
  text += "\nTrianglesP3Ordering 10\n";
  for (int k = 0; k < 30; ++k) text += "1 ";
  const std::string path = writeBytes(temporaryPath("order.mesh"), text + "\nEnd\n");
  Mesh mesh;
  ASSERT_EQ(mesh.open(path), 0) << mesh.message();
  const std::string& printed = mesh.printed;
  int count = 0, nodes = 0;
  const int* triangles = static_cast<const int*>(
      zel_GetIndicesArray(mesh.object, EntityType::TriangleP2, &count, &nodes, mesh.status));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(std::vector<int>(triangles + 6, triangles + 12), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(zel_GetReferenceArray(mesh.object, EntityType::TriangleP2, mesh.status)[1], 9);
  zel_GetNumberOfEntities(mesh.object, EntityType::Tetrahedron, &count, mesh.status);
  EXPECT_EQ(count, 0);
  const std::string warning = "  ## WARNING: " + path + ": ";
  EXPECT_EQ(printed.rfind(warning + "Tetrahedra: ", 0), 0u) << printed;
  for (const char* text :
       {"QuadrilateralsQ2Ordering has 8 lines, the element has 9 nodes; default node order used\n",
        "TrianglesP3 ordering is not a permutation of the default node order; default node order "
        "used\n"})
    EXPECT_NE(printed.find(warning + text), std::string::npos) << printed;
}
