// Malformed files: truncated at every byte or with bytes garbled, in every form. Loading
// returns 0 or 2 with a message, never crashes, and keeps only what reads whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "meshio/keyword_writer.h"
#include "tests/meshio/synthetic_mesh.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Removes the file first: truncating an existing file forces a flush on close on some file
// systems, which made this test wait on the disk.
void writeBytes(const std::string& path, const char* data, size_t size) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary).write(data, static_cast<std::streamsize>(size));
}

// What a load kept: the result, and per entity type 1..31 its count and a hash of its arrays.
struct Loaded {
  int result = 0;
  int counts[32] = {};
  uint64_t hashes[32] = {};
};

// Loads the file (its warnings silenced); checks the status contract and releases the object.
Loaded load(const std::string& path) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  char status[ZEL_STATUS_SIZE] = "";
  Loaded loaded;
  testing::internal::CaptureStdout();
  loaded.result = zel_OpenMesh(mesh, path.c_str(), status);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(loaded.result == 0 || loaded.result == 2);
  if (loaded.result == 2) {
    EXPECT_GT(std::strlen(status), 0u);
    EXPECT_LT(std::strlen(status), static_cast<size_t>(ZEL_STATUS_HALF));
  }
  // Counts never exceed what the arrays hold: every value of every entity is hashed.
  for (int typ = 1; typ <= 31; ++typ) {
    int count = 0, nodes = 0;
    const char* array =
        static_cast<const char*>(zel_GetIndicesArray(mesh, typ, &count, &nodes, status));
    const int* refs = zel_GetReferenceArray(mesh, typ, status);
    const size_t bytes = typ == 1 ? 3 * sizeof(double) : nodes * sizeof(int);
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int e = 1; e <= count; ++e) {
      for (size_t b = 0; b < bytes; ++b)
        hash = (hash ^ uint8_t(array[e * bytes + b])) * 0x100000001b3ull;
      hash = (hash ^ static_cast<uint32_t>(refs[e])) * 0x100000001b3ull;
    }
    loaded.counts[typ] = count;
    loaded.hashes[typ] = hash;
  }
  zel_FreeInterface(&mesh);
  return loaded;
}

// Sample meshes of every kind, in the given form.
std::vector<std::string> sampleFiles(const std::string& prefix) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  fillSyntheticMesh(mesh, 3, 12, 3u);
  std::vector<std::string> paths;
  for (int version = 1; version <= 4; ++version) {
    for (int form = 0; form < 2; ++form) {
      zel::KeywordWriteFormat format;
      format.version = version;
      format.binary = form == 1;
      format.bigEndian = version % 2 == 0;
      format.reverseNodeOrders = version >= 3;
      paths.push_back(prefix + std::to_string(version) + (form ? ".meshb" : ".mesh"));
      EXPECT_TRUE(zel::writeMesh(mesh, paths.back(), format, nullptr));
    }
  }
  zel_FreeInterface(&mesh);
  return paths;
}

std::string prefix() {
  return (fs::temp_directory_path() / ("zel_hostile_" + std::to_string(getpid()) + "_")).string();
}

}  // namespace

// A cut file keeps the kinds whose lines are whole and drops the cut one and those after it:
// every kind is either as in the whole file or empty, in binary value for value. The load
// succeeds exactly when all the vertices are there.
TEST(HostileInput, TruncatedFilesKeepTheWholeKindsBeforeTheCut) {
  const std::string cut = prefix() + "cut";
  for (const std::string& path : sampleFiles(prefix())) {
    SCOPED_TRACE(path);
    const bool binary = path.back() == 'b';
    const Loaded whole = load(path);
    ASSERT_EQ(whole.result, 0);
    const std::vector<char> bytes = readBytes(path);
    const std::string target = cut + (binary ? ".meshb" : ".mesh");
    int partial = 0;
    // Every byte of the headers, then a sample of the lines (an odd step crosses values).
    for (size_t size = 0; size < bytes.size(); size += size < 256 ? 1 : 11) {
      writeBytes(target, bytes.data(), size);
      const Loaded loaded = load(target);
      SCOPED_TRACE("cut at " + std::to_string(size));
      for (int typ = 1; typ <= 31; ++typ) {
        if (loaded.counts[typ] == 0) continue;
        ASSERT_EQ(loaded.counts[typ], whole.counts[typ]) << "type " << typ;
        // A cut inside the last value of an ASCII kind may still read as a shorter number.
        if (binary) {
          ASSERT_EQ(loaded.hashes[typ], whole.hashes[typ]) << "type " << typ;
        }
      }
      // A binary file always ends with End, so a cut one says so; an ASCII file cut before
      // its first keyword is a sound empty mesh.
      if (loaded.counts[1] == whole.counts[1]) {
        ASSERT_EQ(loaded.result, 0);
      } else if (binary) {
        ASSERT_EQ(loaded.result, 2);
      }
      partial += loaded.counts[1] > 0 && loaded.counts[31] == 0;
    }
    EXPECT_GT(partial, 10);  // many cuts keep the vertices and lose the last kind
    fs::remove(target);
    fs::remove(path);
  }
}

TEST(HostileInput, GarbledBytesNeverCrash) {
  std::mt19937 random(11);
  const std::string garbled = prefix() + "garbled";
  for (const std::string& path : sampleFiles(prefix() + "g")) {
    const std::vector<char> bytes = readBytes(path);
    const std::string target = garbled + (path.back() == 'b' ? ".meshb" : ".mesh");
    for (int round = 0; round < 150; ++round) {
      std::vector<char> copy = bytes;
      const int flips = 1 + round % 4;
      for (int f = 0; f < flips; ++f) {
        const size_t at = random() % copy.size();
        copy[at] = round % 3 == 0 ? static_cast<char>(random())
                                  : static_cast<char>(copy[at] ^ (1 << (random() % 8)));
      }
      writeBytes(target, copy.data(), copy.size());
      (void)load(target);
    }
    fs::remove(target);
    fs::remove(path);
  }
}
