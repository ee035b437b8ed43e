// Solution loading: values, lookup, file names, malformed files, derived fields.
#include "meshio/solution_loading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/meshio/mesh_builder.h"
#include "tests/meshio/test_files.h"

const std::string kData = ZEL_TEST_DATA;

// Solution files written for a mesh with 2 + typ % 3 entities of every kind.
class SolutionFileTest : public testing::Test {
 protected:
  void SetUp() override { object_ = testmesh::syntheticMesh(3, 30, 5); }
  void TearDown() override { zel_FreeInterface(&object_); }
  static int count(int typ) { return 2 + typ % 3; }
  // One keyword: (keyword, lines, types, degree, nodes); value k of line l is 1000 l + k.
  struct Block {
    int keyword, lines;
    std::vector<int> types;
    int degree = 0, nodes = 1;
  };
  static int valuesPerLine(const Block& block, int dim) {
    if (block.types.empty()) return std::strlen(zel::kKeywordTable[block.keyword].lineFormat);
    int perLine = 0;
    for (int typ : block.types) perLine += zel::solutionSizeOf(&typ, 1, dim);
    return perLine * block.nodes;
  }
  std::string write(const std::string& name, const std::vector<Block>& blocks, int dim = 3) {
    zel::KeywordWriter writer;
    const std::string path = temporaryPath(name);
    EXPECT_TRUE(writer.open(path, {name.find(".solb") != std::string::npos}, dim));
    for (const Block& block : blocks) {
      const bool table = zel::kKeywordTable[block.keyword].countFormat[0] == 'i';
      EXPECT_TRUE(
          writer.beginKeyword(block.keyword, block.lines, block.types, block.degree, block.nodes));
      for (int line = 1; line <= (table ? block.lines : 1); ++line)
        for (int k = 0; k < valuesPerLine(block, dim); ++k)
          block.keyword == zel::Kwd::Iterations ? writer.integer(12)
                                                : writer.real(1000.0 * line + k);
    }
    EXPECT_TRUE(writer.close()) << writer.error();
    return path;
  }
  // Opens the file onto the mesh after removing every field read before.
  int open(const std::string& path) {
    for (ZelElementArrays& kind : object_->elements) zel::freeSolutionList(&kind.solutions);
    zel::freeSolutionList(&object_->vertexSolutions);
    testing::internal::CaptureStdout();
    const int code = zel_OpenSolution(object_, path.c_str(), status_);
    printed_ = testing::internal::GetCapturedStdout();
    return code;
  }
  // The records of `block`, from `first` on: their header and every value of every line, laid
  // out node by node, type by type.
  void expectBlock(ZelSolution* first, const Block& block, int degree) {
    std::vector<ZelSolution*> records;
    for (ZelSolution* s = first; s && records.size() < block.types.size(); s = s->next)
      records.push_back(s);
    ASSERT_EQ(records.size(), block.types.size());
    for (size_t t = 0; t < records.size(); ++t) {
      const ZelSolution& r = *records[t];
      EXPECT_EQ(std::vector<double>({double(r.typ), double(r.deg), double(r.nbrNod),
                                     double(r.nbrEnt), r.time, double(r.iteration)}),
                std::vector<double>({double(block.types[t]), double(degree), double(block.nodes),
                                     double(block.lines), 1000, 12}));
    }
    int wrong = 0;
    for (int line = 1; line <= block.lines; ++line) {
      double expected = 1000.0 * line;
      for (int node = 0; node < block.nodes; ++node)
        for (const ZelSolution* r : records) {
          const int size = zel::solutionSizeOf(&r->typ, 1, r->dim);
          for (int c = 0; c < size; ++c)
            wrong += r->val[(size_t(line) * r->nbrNod + node) * size + c] != expected++;
        }
    }
    EXPECT_EQ(wrong, 0);
  }
  ZelObject* object_ = nullptr;
  char status_[zel::kStatusSize] = "";
  std::string printed_;
};

TEST_F(SolutionFileTest, EveryValueLandsInItsRecordAndLaterKeywordsGoFirst) {
  const int tri = count(EntityType::Triangle), tet2 = count(EntityType::TetrahedronP2);
  const Block vertices = {zel::Kwd::SolAtVertices, 30, {1, 2, 4}};
  const Block triangles = {zel::Kwd::SolAtTriangles, tri, {4}};
  const Block highOrder = {107, tri, {3, 1}, 1, 3};  // HOSolAtTrianglesP1
  // A degree-2 keyword whose header says degree 3 with 20 nodes keeps 20 blocks per element.
  const Block tetrahedra = {114, tet2, {1, 2}, 3, 20};
  for (const char* name : {"order.sol", "order.solb"}) {
    SCOPED_TRACE(name);
    const Block time = {zel::Kwd::Time, 1, {}}, iterations = {zel::Kwd::Iterations, 1, {}};
    ASSERT_EQ(open(write(name, {vertices, triangles, highOrder, tetrahedra, time, iterations})), 0)
        << status_;
    expectBlock(object_->vertexSolutions, vertices, 0);
    zel::EntitySlot slot;
    zel::entitySlot(object_, EntityType::Triangle, &slot);
    // SolAtTriangles is read before HOSolAtTrianglesP1: the high-order fields end up in front.
    expectBlock(*slot.solutions, highOrder, 1);
    expectBlock((*slot.solutions)->next->next, triangles, 0);
    zel::entitySlot(object_, EntityType::TetrahedronP2, &slot);
    expectBlock(*slot.solutions, tetrahedra, 3);
    EXPECT_EQ(zel_GetNumberOfSolutionFields(object_), 3);
  }
}

TEST_F(SolutionFileTest, MalformedTruncatedAndLyingFilesFailWithTheirMessage) {
  const int quads = count(EntityType::Quadrilateral), prisms3 = count(EntityType::PrismP3);
  const struct {
    std::string name;
    std::vector<Block> blocks;
    std::string message;
    int dim = 3;
  } cases[] = {
      {"dim.sol",
       {{zel::Kwd::SolAtVertices, 30, {1}}},
       "Invalid solution dimension 2 should be 3 \n",
       2},
      {"vertices.sol",
       {{zel::Kwd::SolAtVertices, 29, {1}}},
       "Invalid number of solution  29 should be 30 for solAtVertices \n"},
      {"prisms.solb",
       {{zel::Kwd::SolAtQuadrilaterals, quads, {2}}, {121, prisms3 + 1, {1}, 3, 40}},
       "Invalid number of solution  " + std::to_string(prisms3 + 1) + " should be " +
           std::to_string(prisms3) + " for HosolAtPrismsP3 \n"},
      {"positions.sol",
       {{zel::Kwd::SolAtVertices, 30, {2}}, {108, count(12), {1}, 2, 6}, {167 + 1, 5, {}}},
       "Invalid number of solution reference nodes  5 should be 6 for "
       "HosolAtTrianglesP2NodesPositions \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(open(write(c.name, c.blocks, c.dim)), 2);
    EXPECT_EQ(std::string(status_), c.message);
    // Fields read before the failure stay attached.
    zel::EntitySlot slot;
    zel::entitySlot(object_, EntityType::Quadrilateral, &slot);
    EXPECT_EQ(*slot.solutions != nullptr || object_->vertexSolutions != nullptr,
              c.blocks.size() > 1);
  }
  const std::string good =
      write("good.solb", {{zel::Kwd::SolAtVertices, 30, {1, 4}}, {zel::Kwd::Time, 1, {}}});
  const auto size = fs::file_size(good);
  // Cut in the End block the fields are whole and kept (with a warning); cut in the values
  // or the header nothing is attached and the load fails with the reason.
  for (uintmax_t cut : {size - 5, size / 2, uintmax_t(40), uintmax_t(9)}) {
    const std::string copy = temporaryPath("cut" + std::to_string(cut) + ".solb");
    fs::copy_file(good, copy);
    fs::resize_file(copy, cut);
    const bool whole = cut == size - 5;
    EXPECT_EQ(open(copy), whole ? 0 : 2) << cut;
    EXPECT_EQ(object_->vertexSolutions != nullptr, whole) << cut;
    EXPECT_NE((whole ? printed_ : std::string(status_)).find(copy), std::string::npos)
        << cut << ": " << status_;
  }
  // An unknown type code, a negative count, a huge count, a bad value, a huge degree.
  const std::string head = "MeshVersionFormatted 2\nDimension 3\n";
  for (const char* text :
       {"SolAtVertices\n30\n1 7\n", "SolAtVertices\n-3\n1 1\n1 2 3\nEnd\n",
        "SolAtVertices\n2000000000\n1 1\n1 2 3\nEnd\n", "SolAtVertices\n30\n1 1\n1 2 x\nEnd\n",
        "HOSolAtTetrahedraP1\n2\n1 1\n1 999999999\n1\nEnd\n"}) {
    EXPECT_EQ(open(writeBytes(temporaryPath("text.sol"), head + text)), 2) << text;
  }
  EXPECT_EQ(object_->vertexSolutions, nullptr);
  EXPECT_EQ(open(temporaryPath("absent")), 2);
  EXPECT_EQ(std::string(status_),
            "Cannot open solution file " + temporaryPath("absent") + ".[sol[b]]\n");
}

TEST(SolutionFiles, LookupNumberOfFieldsAndDegreeSummary) {
  Mesh mesh;
  char* status = mesh.status;
  ASSERT_EQ(mesh.open(kData + "/sol/disk_tri_p2.meshb"), 0);
  testing::internal::CaptureStdout();
  // The mesh name is accepted as the solution name: ".meshb" is cut, ".solb" then ".sol" tried.
  EXPECT_EQ(zel_OpenSolution(mesh.object, (kData + "/sol/disk_tri_p2.ho.meshb").c_str(), status), 0)
      << status;
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "HO solution Nodes positions conversion not supported as F77 \n");
  EXPECT_EQ(std::string(status + zel::kStatusHalf), kData + "/sol/disk_tri_p2.ho.sol");
  EXPECT_EQ(zel_GetNumberOfSolutionFields(mesh.object), 2);
  int nbrEnt = -1, typ = -1, iteration = -1, deg = -1, nodes = -1;
  double time = -1;
  double* vector = zel_GetSolutionArray(mesh.object, 108, 2, &nbrEnt, &typ, &iteration, &time, &deg,
                                        &nodes, status);
  ASSERT_NE(vector, nullptr);
  EXPECT_EQ(std::vector<double>(
                {double(nbrEnt), double(typ), double(iteration), time, double(deg), double(nodes)}),
            std::vector<double>({117, 2, 3, 1.5, 2, 6}));
  // A 2-D vector has two values per block; its norm is sqrt(x^2 + y^2).
  double* norm = zel_SolutionNorm(mesh.object, vector, nbrEnt, nodes);
  EXPECT_DOUBLE_EQ(norm[6 * 117 + 5],
                   std::hypot(vector[2 * (6 * 117 + 5)], vector[2 * (6 * 117 + 5) + 1]));
  std::free(norm);
  // Requests that find nothing: a field beyond the list, a kind without fields, undefined kinds.
  for (const auto& [kind, field] : {std::pair{108, 3}, {101, 1}, {98, 1}, {0, 1}}) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(zel_GetSolutionArray(mesh.object, kind, field, &nbrEnt, &typ, &iteration, &time, &deg,
                                   &nodes, status),
              nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout().empty(), field == 1) << kind;
  }
  EXPECT_EQ(nbrEnt + deg, 0);
  testing::internal::CaptureStdout();
  zel_PrintSolutionDegrees(mesh.object);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "  Degree of HOSolAtTrianglesP2" + std::string(12, ' ') + "2 \n");
}

TEST(SolutionFiles, BrokenSolutionFiles) {
  Mesh cube, square;
  char status[zel::kStatusSize];
  ASSERT_EQ(cube.open(kData + "/broken/cube3d.meshb"), 0);
  // A node count that does not match the degree is refused: the file's only keyword.
  ASSERT_EQ(square.open(kData + "/broken/square2d.mesh"), 0);
  const std::string honodes = kData + "/broken/square2d.honodes.sol";
  testing::internal::CaptureStdout();
  EXPECT_EQ(zel_OpenSolution(square.object, honodes.c_str(), status), 2);
  const std::string printed = testing::internal::GetCapturedStdout();
  const std::string reason = honodes +
                             ": HOSolAtTrianglesP1: degree 2 with 7 nodes per element, the element "
                             "has 6 nodes at that degree; keyword ignored";
  EXPECT_EQ(std::string(status), reason + "\n");
  EXPECT_EQ(printed, "  ## WARNING: " + reason + "\n");
  zel::EntitySlot slot;
  zel::entitySlot(square.object, EntityType::Triangle, &slot);
  EXPECT_EQ(*slot.solutions, nullptr);
  // Every broken mesh file given as a solution fails cleanly.
  for (const auto& entry : fs::directory_iterator(kData + "/broken")) {
    const std::string name = entry.path().string();
    if (name.find(".dump.txt") != std::string::npos || name.find(".sol") != std::string::npos)
      continue;
    EXPECT_EQ(zel_OpenSolution(cube.object, name.c_str(), status), 2) << name;
  }
  EXPECT_EQ(zel_OpenSolution(nullptr, "x", status) +
                zel_OpenSolution(cube.object, nullptr, status) +
                zel_OpenSolution(cube.object, "x", nullptr),
            6);
}

TEST(DerivedFields, DeterminantsExpansionAndGather) {
  Mesh mesh;
  // One entity, one node: slot 0 then the block; symmetric [[2,1,3],[1,4,5],[3,5,6]].
  const struct {
    int dim, typ;
    std::vector<double> block;
    double determinant;
  } cases[] = {{3, 3, {2, 1, 3, 4, 5, 6}, 2 * (24 - 25) - 1 * (6 - 15) + 3 * (5 - 12)},
               {3, 4, {1, 2, 3, 0, 1, 4, 5, 6, 0}, 1},
               {2, 3, {2, 1, 4}, 7},
               {2, 4, {1, 2, 3, 4}, -2}};
  for (const auto& c : cases) {
    mesh.object->dim = c.dim;
    std::vector<double> values(c.block.size(), 0.0);
    values.insert(values.end(), c.block.begin(), c.block.end());
    double* det = zel_SolutionDeterminant(mesh.object, values.data(), 1, 1, c.typ);
    EXPECT_DOUBLE_EQ(det[1], c.determinant) << c.dim << " " << c.typ;
    std::free(det);
  }
  EXPECT_EQ(zel_SolutionDeterminant(mesh.object, cases[3].block.data(), 1, 1, 2), nullptr);
  // Vertex vectors (2-D) onto two triangles; node index 9 is beyond the 3 vertices.
  const double vertexVal[8] = {0, 0, 1, 2, 3, 4, 5, 6};
  const int nodes[9] = {0, 0, 0, 1, 2, 3, 3, 9, 1};
  testing::internal::CaptureStdout();
  double* expanded = zel_VertexToElementSolution(2, vertexVal, 3, 2, nodes, 3, 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error\n");
  const std::vector<double> expected = {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 5, 6, 0, 0, 1, 2};
  EXPECT_EQ(std::vector<double>(expanded, expanded + 18), expected);
  const int list[2] = {2, 1};
  double* gathered = zel_GatherSolution(expanded, 6, 2, list);
  EXPECT_EQ(std::vector<double>(gathered + 6, gathered + 18),
            (std::vector<double>{5, 6, 0, 0, 1, 2, 1, 2, 3, 4, 5, 6}));
  std::free(gathered);
  std::free(expanded);
}
