// Malformed files: truncated at every byte or with bytes garbled, in every form. Loading
// returns 0 or 2 with a message, never crashes, and a truncated binary file always fails.
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

// Loads the file; checks the status contract and releases the object.
int load(const std::string& path) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  char status[ZEL_STATUS_SIZE] = "";
  const int result = zel_OpenMesh(mesh, path.c_str(), status);
  EXPECT_TRUE(result == 0 || result == 2);
  if (result == 2) {
    EXPECT_GT(std::strlen(status), 0u);
    EXPECT_LT(std::strlen(status), static_cast<size_t>(ZEL_STATUS_HALF));
  }
  // Counts never exceed what the arrays hold: touch every entity's last node.
  for (int typ = 1; typ <= 31; ++typ) {
    int count = 0, nodes = 0;
    void* array = zel_GetIndicesArray(mesh, typ, &count, &nodes, status);
    if (count > 0 && typ > 1) {
      volatile int last = static_cast<int*>(array)[count * nodes + nodes - 1];
      (void)last;
    }
  }
  zel_FreeInterface(&mesh);
  return result;
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

TEST(HostileInput, FilesTruncatedAtEveryByteFailCleanly) {
  const std::string cut = prefix() + "cut";
  for (const std::string& path : sampleFiles(prefix())) {
    SCOPED_TRACE(path);
    const bool binary = path.back() == 'b';
    ASSERT_EQ(load(path), 0);
    const std::vector<char> bytes = readBytes(path);
    // The End block is the last 8 or 12 bytes of a binary file.
    const size_t endBlock = bytes.size() - (path.find("3.meshb") != std::string::npos ||
                                                    path.find("4.meshb") != std::string::npos
                                                ? 12
                                                : 8);
    const std::string target = cut + (binary ? ".meshb" : ".mesh");
    // Every byte of the headers, then a sample of the lines (an odd step crosses values).
    for (size_t size = 0; size < bytes.size(); size += size < 256 ? 1 : 11) {
      writeBytes(target, bytes.data(), size);
      const int result = load(target);
      if (binary && size < endBlock) {
        ASSERT_EQ(result, 2) << "cut at " << size;
      }
    }
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
      load(target);
    }
    fs::remove(target);
    fs::remove(path);
  }
}
