// Every entity kind written in ASCII and binary versions 1 to 4, both byte orders, with and
// without declared node orders, reads back into identical arrays.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "meshio/keyword_writer.h"
#include "tests/meshio/mesh_builder.h"
#include "tests/meshio/test_files.h"

namespace {

namespace fs = std::filesystem;

// Compares every array of two objects; version-1 reals to single precision.
void expectSameMesh(ZelObject* written, ZelObject* read, bool singlePrecision) {
  ASSERT_EQ(read->dim, written->dim);
  char status[zel::kStatusSize];
  for (int typ = 1; typ <= 31; ++typ) {
    int count = 0, readCount = 0;
    zel_GetNumberOfEntities(written, typ, &count, status);
    zel_GetNumberOfEntities(read, typ, &readCount, status);
    EXPECT_EQ(readCount, count) << "type " << typ;
    EXPECT_EQ(kindHash(read, typ), kindHash(written, typ, singlePrecision)) << "type " << typ;
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
