// Helpers of the mesh file tests: temporary files, the value hash and the .dump.txt files an
// independent reader wrote beside the test data, a small mesh, opened files and meshes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "meshio/keyword_file.h"
#include "meshio/keyword_writer.h"
#include "meshio/status.h"
#include "meshio/zel_object.h"

namespace fs = std::filesystem;

// A name in a temporary folder of this process, removed at exit by the process that made it
// (not by the child of a death test).
inline std::string temporaryPath(const std::string& name) {
  static const struct Scratch {
    pid_t owner = getpid();
    fs::path dir = fs::temp_directory_path() / ("zel_" + std::to_string(owner));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() {
      if (getpid() == owner) fs::remove_all(dir);
    }
  } scratch;
  return (scratch.dir / name).string();
}

inline std::vector<char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Removes the file first: truncating one forces a flush on close on some file systems.
inline std::string writeBytes(const std::string& path, std::string_view bytes) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return path;
}

// The dumps' "fnv1a64": FNV-1a over the 8 bytes of every value (integers widened to 64 bits,
// reals as doubles), printed as 16 hexadecimal digits.
struct ValueHash {
  uint64_t value = 0xcbf29ce484222325ull;
  void add(const void* eightBytes) {
    for (int b = 0; b < 8; ++b)
      value = (value ^ static_cast<const unsigned char*>(eightBytes)[b]) * 0x100000001b3ull;
  }
  void add(double real) { add(static_cast<const void*>(&real)); }
  void add(int64_t integer) { add(static_cast<const void*>(&integer)); }
  std::string hex() const {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
  }
};

// The dumps' hash of one kind's arrays in their default order: per entity its node numbers
// (vertices: their coordinates up to the mesh dimension, to single precision when asked), then
// its reference (corners have none of their own).
inline std::string kindHash(ZelObject* mesh, int typ, bool singlePrecision = false) {
  char status[zel::kStatusSize];
  int count = 0, nodes = 0, dim = 3;
  zel_GetDimension(mesh, &dim, status);
  const void* array = zel_GetIndicesArray(mesh, typ, &count, &nodes, status);
  const int* refs = zel_GetReferenceArray(mesh, typ, status);
  ValueHash hash;
  for (int e = 1; e <= count; ++e) {
    for (int k = 0; k < (typ == 1 ? dim : nodes); ++k) {
      const double x = typ == 1 ? static_cast<const double*>(array)[3 * e + k] : 0;
      if (typ == 1) hash.add(singlePrecision ? static_cast<double>(static_cast<float>(x)) : x);
      if (typ != 1) hash.add(int64_t{static_cast<const int*>(array)[e * nodes + k]});
    }
    if (typ != 2) hash.add(int64_t{refs[e]});
  }
  return hash.hex();
}

struct DumpKeyword {
  std::string name;
  int code = 0;
  std::map<std::string, std::string> values;  // "lines", "fnv1a64", "data", ...
  bool has(const std::string& key) const { return values.count(key) != 0; }
  const std::string& at(const std::string& key) const { return values.at(key); }
};

struct Dump {
  std::vector<DumpKeyword> keywords;
  std::string status;  // "OK", "WARNING: ...", "ERROR: ..."; empty when the dump is unreadable
  bool error() const { return status.rfind("ERROR", 0) == 0; }
};

// Parses FILE.dump.txt: "keyword NAME CODE" lines, each followed by "  key: value" lines (some
// holding two pairs, "  ints: I reals: R"), and a final "status: ..." line.
inline Dump readDump(const std::string& path) {
  Dump dump;
  std::ifstream in(path);
  for (std::string line, key, word; std::getline(in, line);) {
    std::istringstream words(line);
    if (line.rfind("keyword ", 0) == 0) {
      dump.keywords.emplace_back();
      words >> word >> dump.keywords.back().name >> dump.keywords.back().code;
    } else if (line.rfind("status: ", 0) == 0) {
      dump.status = line.substr(8);
    } else if (!dump.keywords.empty()) {
      std::map<std::string, std::string>& values = dump.keywords.back().values;
      while (words >> word)
        if (word.back() == ':') {
          values[key = word.substr(0, word.size() - 1)];
        } else {
          values[key] += (values[key].empty() ? "" : " ") + word;
        }
    }
  }
  return dump;
}

// 3 vertices (x = v, y = 10 v, z = 100 v, reference v) and 2 triangles (nodes t + 1..t + 3,
// reference 70 + t).
inline bool writeSmallMesh(const std::string& path, const zel::KeywordWriteFormat& format) {
  zel::KeywordWriter writer;
  writer.open(path, format, 3);
  writer.beginKeyword(zel::Kwd::Vertices, 3);
  for (int v = 1; v <= 3; ++v) {
    for (double value : {1.0 * v, 10.0 * v, 100.0 * v}) writer.real(value);
    writer.integer(v);
  }
  writer.beginKeyword(zel::Kwd::Triangles, 2);
  for (int t = 1; t <= 2; ++t)
    for (int value : {t + 1, t + 2, t + 3, 70 + t}) writer.integer(value);
  return writer.close();
}

// A file opened through the keyword library (null with the reason in `error` when refused).
struct OpenedFile {
  zel::KeywordFile* file = nullptr;
  std::string error;
  explicit OpenedFile(const std::string& path) {
    int version = 0, dimension = 0;
    file = zel::openKeywordFile(path.c_str(), 1, &version, &dimension, &error);
  }
  ~OpenedFile() { zel::closeKeywordFile(file); }
  std::string warnings() const {
    std::string all;
    for (const std::string& line : file->warnings) all += line + "\n";
    return all;
  }
};

// A mesh object that frees itself, with its status buffer and what its last load printed.
struct Mesh {
  ZelObject* object = nullptr;
  char status[zel::kStatusSize] = "";
  std::string printed;
  Mesh() { zel_NewInterface(&object); }
  ~Mesh() { zel_FreeInterface(&object); }
  int open(const std::string& name) {
    testing::internal::CaptureStdout();
    const int result = zel_OpenMesh(object, name.c_str(), status);
    printed = testing::internal::GetCapturedStdout();
    return result;
  }
  std::string message() const { return status; }
  std::string opened() const { return status + zel::kStatusHalf; }
};
