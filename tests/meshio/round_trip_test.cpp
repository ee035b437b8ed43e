// Every entity kind written in ASCII and binary versions 1 to 4, both byte orders, with and
// without declared node orders, reads back into identical arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "meshio/keyword_writer.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/meshio/test_files.h"

namespace {

namespace fs = std::filesystem;

// Compares every array of two objects; version-1 reals to single precision.
void expectSameMesh(ZelObject* written, ZelObject* read, bool singlePrecision) {
  char status[zel::kStatusSize];
  ASSERT_EQ(read->dim, written->dim);
  for (int typ = 1; typ <= 31; ++typ) {
    if (typ == 5) continue;
    SCOPED_TRACE(typ);
    int count = 0, nodes = 0, readCount = 0, readNodes = 0;
    void* expected = zel_GetIndicesArray(written, typ, &count, &nodes, status);
    void* actual = zel_GetIndicesArray(read, typ, &readCount, &readNodes, status);
    ASSERT_EQ(readCount, count);
    ASSERT_EQ(readNodes, nodes);
    const int* expectedRefs = zel_GetReferenceArray(written, typ, status);
    const int* actualRefs = zel_GetReferenceArray(read, typ, status);
    for (int e = 1; e <= count; ++e) {
      ASSERT_EQ(actualRefs[e], expectedRefs[e]) << "entity " << e;
      if (typ == 1) {
        for (int k = 0; k < 3; ++k) {
          double x = static_cast<double*>(expected)[3 * e + k];
          if (singlePrecision) x = static_cast<float>(x);
          ASSERT_EQ(static_cast<double*>(actual)[3 * e + k], x) << "vertex " << e;
        }
      } else {
        for (int k = 0; k < nodes; ++k)
          ASSERT_EQ(static_cast<int*>(actual)[e * nodes + k],
                    static_cast<int*>(expected)[e * nodes + k])
              << "entity " << e << " node " << k;
      }
    }
  }
}

}  // namespace

TEST(RoundTrip, EveryKindInEveryFormReadsBackIdentically) {
  for (int dim = 2; dim <= 3; ++dim) {
    ZelObject* mesh = testmesh::syntheticMesh(dim, 40, 7u + dim);
    for (int version = 1; version <= 4; ++version) {
      for (int form = 0; form < 3; ++form) {  // ASCII, binary, binary of the other byte order
        for (bool reverse : {false, true}) {
          zel::KeywordWriteFormat format;
          format.version = version;
          format.binary = form > 0;
          format.bigEndian = form == 2;
          format.reverseNodeOrders = reverse;
          const std::string path = temporaryPath(
              "round" + std::to_string(dim) + std::to_string(version) + std::to_string(form) +
              (reverse ? "r" : "") + (form ? ".meshb" : ".mesh"));
          SCOPED_TRACE(path);
          std::string error;
          ASSERT_TRUE(zel::writeMesh(mesh, path, format, &error)) << error;
          ZelObject* read = nullptr;
          zel_NewInterface(&read);
          char status[zel::kStatusSize] = "";
          ASSERT_EQ(zel_OpenMesh(read, path.c_str(), status), 0) << status;
          expectSameMesh(mesh, read, version == 1);
          zel_FreeInterface(&read);
          fs::remove(path);
        }
      }
    }
    zel_FreeInterface(&mesh);
  }
}
