// Loading speed and peak memory of zel_OpenMesh on a unit cube of about 5 million straight
// tetrahedra (and the same cube with P2 tetrahedra and triangles), in binary versions 2 and 4
// and in ASCII, each figure a ratio against baselines measured in the same round:
//   binary: zel_OpenMesh time / time to read() the file from the page cache into
//           - a buffer reused from round to round, already touched (the bare copy: the floor),
//           - a fresh buffer on transparent huge pages, faulted in page by page before the read
//             (what filling fresh arrays of the file's size costs at best);
//   ASCII:  throughput of zel_OpenMesh / throughput of a std::from_chars pass over the file's
//           numbers into a preallocated array;
//   memory: peak resident growth of a load (in a fresh process) / bytes of the returned arrays.
// Every timed load is checked against checksums, taken while the file was written, of every
// array it returns (coordinates, references, node indices of every entity).
// Usage: bench_mesh_load [DIR (default /tmp)] [ROUNDS (default 5)] [CELLS PER EDGE (default 94)]
// The files are written under DIR and deleted afterwards.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "meshio/entity_types.h"
#include "meshio/keyword_table.h"
#include "meshio/keyword_writer.h"
#include "meshio/zel_object.h"

namespace {

using bench::median;
using bench::now;

// The cube [0,1]^3 split into n^3 cells of 6 tetrahedra, boundary squares into 2 triangles.
// Degree 2 uses the grid of step 1/(2n): vertices at even grid points, mid-edge nodes between.
struct Cube {
  int n;
  bool p2;
  int side() const { return p2 ? 2 * n + 1 : n + 1; }
  int step() const { return p2 ? 2 : 1; }
  int64_t vertices() const { return int64_t(side()) * side() * side(); }
  int64_t tetrahedra() const { return int64_t(6) * n * n * n; }
  int64_t triangles() const { return int64_t(12) * n * n; }
  int id(int x, int y, int z) const { return 1 + x + side() * (y + side() * z); }
  int mid(const int* a, const int* b) const {
    return id((a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2);
  }
};

// Order-sensitive checksums of the arrays a load returns, entity 1 onwards (slot 0 holds
// nothing), real values by their bits.
struct Checksums {
  uint64_t coordinates = 0, vertexRefs = 0, triNodes = 0, triRefs = 0, tetNodes = 0, tetRefs = 0;
  bool operator==(const Checksums& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

void mix(uint64_t* sum, uint64_t value) { *sum = (*sum ^ value) * 0x100000001B3ull + 1; }
void mix(uint64_t* sum, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  mix(sum, bits);
}
void mix(uint64_t* sum, int value) { mix(sum, static_cast<uint64_t>(value)); }
template <class T>
uint64_t checksum(const T* values, int64_t count) {
  uint64_t sum = 0;
  for (int64_t k = 0; k < count; ++k) mix(&sum, values[k]);
  return sum;
}

// The writer, recording each value into the checksum of the array it lands in.
struct Recorder {
  zel::KeywordWriter w;
  Checksums sums;
  void integer(int value, uint64_t* sum) {
    w.integer(value);
    mix(sum, value);
  }
  void real(double value) {
    w.real(value);
    mix(&sums.coordinates, value);
  }
};

// Grid points of the 6 tetrahedra of a cell (Kuhn split along the diagonal).
void cellTetrahedra(const Cube& cube, int i, int j, int k, int tets[6][4][3]) {
  static const int axes[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  const int s = cube.step();
  for (int t = 0; t < 6; ++t) {
    int p[3] = {i * s, j * s, k * s};
    for (int v = 0; v < 4; ++v) {
      if (v > 0) p[axes[t][v - 1]] += s;
      std::memcpy(tets[t][v], p, sizeof p);
    }
  }
}

// Writes the element's vertex nodes, then (degree 2) its mid-edge nodes in the default order.
void writeElement(Recorder* r, const Cube& cube, const int (*corner)[3], int vertices,
                  const int (*edges)[2], int edgeCount, int reference, bool tetrahedron) {
  uint64_t* nodes = tetrahedron ? &r->sums.tetNodes : &r->sums.triNodes;
  for (int v = 0; v < vertices; ++v)
    r->integer(cube.id(corner[v][0], corner[v][1], corner[v][2]), nodes);
  if (cube.p2)
    for (int e = 0; e < edgeCount; ++e)
      r->integer(cube.mid(corner[edges[e][0]], corner[edges[e][1]]), nodes);
  r->integer(reference, tetrahedron ? &r->sums.tetRefs : &r->sums.triRefs);
}

// Writes the cube; *sums receives the checksums of what a load must return.
bool writeCube(const std::string& path, const Cube& cube, zel::KeywordWriteFormat format,
               Checksums* sums) {
  static const int tetEdges[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};
  static const int triEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};
  Recorder r;
  zel::KeywordWriter& w = r.w;
  w.open(path, format, 3);
  const int side = cube.side();
  w.beginKeyword(zel::Kwd::Vertices, cube.vertices());
  for (int z = 0; z < side; ++z)
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        r.real(double(x) / (side - 1));
        r.real(double(y) / (side - 1));
        r.real(double(z) / (side - 1));
        r.integer(0, &r.sums.vertexRefs);
      }
  w.beginKeyword(cube.p2 ? zel::Kwd::TrianglesP2 : zel::Kwd::Triangles, cube.triangles());
  const int n = cube.n, s = cube.step();
  for (int face = 0; face < 6; ++face) {
    const int axis = face / 2, level = (face % 2) * n * s, u = (axis + 1) % 3, v = (axis + 2) % 3;
    for (int a = 0; a < n; ++a)
      for (int b = 0; b < n; ++b) {
        int quad[4][3];
        const int du[4] = {0, 1, 1, 0}, dv[4] = {0, 0, 1, 1};
        for (int c = 0; c < 4; ++c) {
          quad[c][axis] = level;
          quad[c][u] = (a + du[c]) * s;
          quad[c][v] = (b + dv[c]) * s;
        }
        const int tri[2][3][3] = {{{quad[0][0], quad[0][1], quad[0][2]},
                                   {quad[1][0], quad[1][1], quad[1][2]},
                                   {quad[2][0], quad[2][1], quad[2][2]}},
                                  {{quad[0][0], quad[0][1], quad[0][2]},
                                   {quad[2][0], quad[2][1], quad[2][2]},
                                   {quad[3][0], quad[3][1], quad[3][2]}}};
        for (int t = 0; t < 2; ++t) writeElement(&r, cube, tri[t], 3, triEdges, 3, face + 1, false);
      }
  }
  w.beginKeyword(cube.p2 ? zel::Kwd::TetrahedraP2 : zel::Kwd::Tetrahedra, cube.tetrahedra());
  int tets[6][4][3];
  for (int k = 0; k < n; ++k)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        cellTetrahedra(cube, i, j, k, tets);
        for (int t = 0; t < 6; ++t) writeElement(&r, cube, tets[t], 4, tetEdges, 6, 1, true);
      }
  if (!w.close()) std::fprintf(stderr, "write %s: %s\n", path.c_str(), w.error().c_str());
  *sums = r.sums;
  return w.error().empty();
}

int64_t fileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

// Reads the whole file into buffer (at least its size); a short read ends the program.
void readInto(const std::string& path, char* buffer, int64_t size) {
  const int fd = open(path.c_str(), O_RDONLY);
  int64_t done = 0;
  while (fd >= 0 && done < size) {
    const ssize_t got = read(fd, buffer + done, size - done);
    if (got <= 0) break;
    done += got;
  }
  if (fd >= 0) close(fd);
  if (done == size) return;
  std::fprintf(stderr, "%s: baseline read failed\n", path.c_str());
  std::exit(1);
}

// A field of a /proc/self file in kB ("VmRSS:", "AnonHugePages:").
long procKilobytes(const char* file, const char* field) {
  FILE* in = std::fopen(file, "r");
  char line[256];
  long value = -1;
  while (in && std::fgets(line, sizeof line, in))
    if (std::strncmp(line, field, std::strlen(field)) == 0)
      value = std::atol(line + std::strlen(field));
  if (in) std::fclose(in);
  return value;
}

// Binary baseline on fresh memory: a new mapping asking for transparent huge pages, faulted in
// (one write per 4 KiB page) and filled by read(). *hugeShare receives the share of the
// process's anonymous memory on huge pages against the buffer's size: without them this
// baseline is several times slower, which made earlier figures swing.
double readFreshHugePages(const std::string& path, double* hugeShare) {
  const int64_t size = fileSize(path);
  const double start = now();
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) std::exit(1);
  char* buffer = static_cast<char*>(memory);
  madvise(buffer, size, MADV_HUGEPAGE);
  for (int64_t at = 0; at < size; at += 4096) buffer[at] = 0;
  readInto(path, buffer, size);
  const double elapsed = now() - start;
  *hugeShare = procKilobytes("/proc/self/smaps_rollup", "AnonHugePages:") * 1024.0 / size;
  munmap(buffer, size);
  return elapsed;
}

// Binary baseline without fresh memory: read() into a buffer kept from round to round.
double readReused(const std::string& path, std::vector<char>* buffer) {
  const int64_t size = fileSize(path);
  if (static_cast<int64_t>(buffer->size()) < size) buffer->assign(size, 1);
  const double start = now();
  readInto(path, buffer->data(), size);
  return now() - start;
}

// Baseline of ASCII files: every token converted with std::from_chars into a preallocated
// (already touched) array; keyword names fail to convert and are skipped.
double convertNumbers(const std::string& path, std::vector<double>* values) {
  const double start = now();
  const int fd = open(path.c_str(), O_RDONLY);
  std::vector<char> chunk(1 << 20);
  size_t kept = 0, count = 0;
  for (;;) {
    ssize_t got = read(fd, chunk.data() + kept, chunk.size() - kept);
    const size_t end = kept + (got > 0 ? got : 0);
    size_t p = 0, last = end;
    if (got > 0)  // keep a token cut by the chunk boundary for the next round
      while (last > 0 && chunk[last - 1] > ' ') --last;
    while (p < last) {
      while (p < last && chunk[p] <= ' ') ++p;
      size_t q = p;
      while (q < last && chunk[q] > ' ') ++q;
      if (q > p && count < values->size()) {
        double value;
        if (std::from_chars(chunk.data() + p, chunk.data() + q, value).ec == std::errc())
          (*values)[count++] = value;
      }
      p = q;
    }
    if (got <= 0) break;
    kept = end - last;
    std::memmove(chunk.data(), chunk.data() + last, kept);
  }
  close(fd);
  return now() - start;
}

// Times one load and checks every returned array against the checksums of the written file,
// so that a failing or partial load cannot pass for a fast one.
double loadMesh(const std::string& path, const Cube& cube, const Checksums& expected) {
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  char status[zel::kStatusSize] = "";
  const double start = now();
  if (zel_OpenMesh(mesh, path.c_str(), status) != 0) std::fprintf(stderr, "%s", status);
  const double elapsed = now() - start;
  const int tetTyp = cube.p2 ? EntityType::TetrahedronP2 : EntityType::Tetrahedron;
  const int triTyp = cube.p2 ? EntityType::TriangleP2 : EntityType::Triangle;
  Checksums got;
  int count = 0, per = 0;
  zel_GetNumberOfEntities(mesh, EntityType::Vertex, &count, status);
  if (mesh->coordinates && mesh->vertexRefs) {
    got.coordinates = checksum(mesh->coordinates + 3, int64_t(3) * count);
    got.vertexRefs = checksum(mesh->vertexRefs + 1, count);
  }
  for (const int typ : {triTyp, tetTyp}) {
    const int* nodes =
        static_cast<const int*>(zel_GetIndicesArray(mesh, typ, &count, &per, status));
    const int* refs = zel_GetReferenceArray(mesh, typ, status);
    if (!nodes || !refs) continue;
    (typ == tetTyp ? got.tetNodes : got.triNodes) = checksum(nodes + per, int64_t(per) * count);
    (typ == tetTyp ? got.tetRefs : got.triRefs) = checksum(refs + 1, count);
  }
  if (!(got == expected)) {
    std::fprintf(stderr, "%s: the load differs from the file written\n", path.c_str());
    std::exit(1);
  }
  zel_FreeInterface(&mesh);
  return elapsed;
}

// Peak resident growth of one load, in MB, measured in this process: meant for a fresh
// process (see loadPeakMegabytes), where no freed memory can be reused unseen.
double peakOfOneLoad(const std::string& path) {
  const long before = procKilobytes("/proc/self/status", "VmRSS:");
  ZelObject* mesh = nullptr;
  zel_NewInterface(&mesh);
  char status[zel::kStatusSize];
  if (zel_OpenMesh(mesh, path.c_str(), status) != 0) std::fprintf(stderr, "%s", status);
  return (procKilobytes("/proc/self/status", "VmHWM:") - before) / 1024.0;
}

// Runs this program again as "--peak FILE" and reads the figure it prints.
double loadPeakMegabytes(const std::string& path) {
  const std::string command = "/proc/" + std::to_string(getpid()) + "/exe --peak '" + path + "'";
  FILE* child = popen(command.c_str(), "r");
  double peak = -1;
  if (!child || std::fscanf(child, "%lf", &peak) != 1) peak = -1;
  if (child) pclose(child);
  return peak;
}

double arrayMegabytes(const Cube& cube) {
  const double vertices = (cube.vertices() + 1) * (24.0 + 4.0);
  const double triangles = (cube.triangles() + 1) * ((cube.p2 ? 6 : 3) + 1) * 4.0;
  const double tetrahedra = (cube.tetrahedra() + 1) * ((cube.p2 ? 10 : 4) + 1) * 4.0;
  // Every other kind gets arrays for slot 0 only: negligible.
  return (vertices + triangles + tetrahedra) / 1048576.0;
}

void measure(const std::string& path, const Cube& cube, const Checksums& expected, bool binary,
             int rounds) {
  const double megabytes = fileSize(path) / 1048576.0;
  std::vector<double> values;
  if (!binary)
    values.assign(size_t(cube.vertices() * 4 + cube.tetrahedra() * (cube.p2 ? 11 : 5) +
                         cube.triangles() * (cube.p2 ? 7 : 4) + 16),
                  0.0);
  std::vector<char> reused;
  std::vector<double> loads, copies, fresh, shares, toCopy, toFresh, asciiRatios;
  loadMesh(path, cube, expected);  // warm-up: page cache and allocator
  for (int r = 0; r < rounds; ++r) {
    double share = 0;
    const double copy = binary ? readReused(path, &reused) : convertNumbers(path, &values);
    const double hugeRead = binary ? readFreshHugePages(path, &share) : 0;
    const double load = loadMesh(path, cube, expected);
    loads.push_back(load), copies.push_back(copy), fresh.push_back(hugeRead);
    shares.push_back(share), toCopy.push_back(load / copy);
    if (binary) toFresh.push_back(load / hugeRead);
    asciiRatios.push_back(copy / load);
  }
  const double peak = loadPeakMegabytes(path), arrays = arrayMegabytes(cube);
  std::printf("%-22s %6.1f MB  load %6.3f s", path.substr(path.rfind('/') + 1).c_str(), megabytes,
              median(loads));
  if (binary) {
    // Per-round ratios; the worst round is printed beside the median.
    std::printf(
        "  reused copy %6.3f s: ratio %.2f (worst %.2f)  fresh huge-page read %6.3f s "
        "(%.0f %% huge): ratio %.2f (worst %.2f; aim <= 1.25)",
        median(copies), median(toCopy), *std::max_element(toCopy.begin(), toCopy.end()),
        median(fresh), 100 * median(shares), median(toFresh),
        *std::max_element(toFresh.begin(), toFresh.end()));
  } else {
    std::printf("  from_chars %6.3f s: throughput ratio %.2f (worst %.2f; aim >= 0.6)",
                median(copies), median(asciiRatios),
                *std::min_element(asciiRatios.begin(), asciiRatios.end()));
  }
  std::printf("  peak %.0f MB / arrays %.0f MB: %.2f x (limit %.2f x)\n", peak, arrays,
              peak / arrays, (1.15 * arrays + 64) / arrays);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) {
    std::printf("%.1f\n", peakOfOneLoad(argv[2]));
    return 0;
  }
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const int n = argc > 3 ? std::max(1, std::atoi(argv[3])) : 94;
  std::printf("cube of %d^3 cells: %lld tetrahedra, %lld boundary triangles; %d rounds, medians\n",
              n, static_cast<long long>(6LL * n * n * n), static_cast<long long>(12LL * n * n),
              rounds);
  for (bool p2 : {false, true}) {
    const Cube cube{n, p2};
    std::printf("%s: %lld vertices, arrays %.0f MB\n", p2 ? "P2" : "P1",
                static_cast<long long>(cube.vertices()), arrayMegabytes(cube));
    const struct {
      const char* suffix;
      bool binary;
      int version;
    } forms[] = {{"_v2.meshb", true, 2}, {"_v4.meshb", true, 4}, {".mesh", false, 2}};
    for (const auto& form : forms) {
      const std::string path = dir + "/bench_cube_" + (p2 ? "p2" : "p1") + form.suffix;
      zel::KeywordWriteFormat format;
      format.binary = form.binary;
      format.version = form.version;
      Checksums sums;
      if (!writeCube(path, cube, format, &sums)) return 1;
      measure(path, cube, sums, form.binary, rounds);
      std::remove(path.c_str());
    }
  }
  return 0;
}
