// Block reads of the keyword file library: a decoding plan maps file fields to caller fields;
// binary chunks are decoded run by run.
#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "meshio/chunk_reader.h"
#include "meshio/keyword_decode.h"
#include "meshio/status.h"

namespace zel {

namespace {

constexpr int64_t kChunkLines = 10000;
constexpr int64_t kMaxChunkBytes = int64_t(16) << 20;  // bounds the two buffers of huge lines

int callerKind(int fieldType, bool* vector) {
  *vector = fieldType == kFieldReal64Vector || fieldType == kFieldInt32Vector;
  switch (fieldType) {
    case kFieldReal32:
      return kReal32;
    case kFieldReal64:
    case kFieldReal64Vector:
      return kReal64;
    case kFieldInt32:
    case kFieldInt32Vector:
      return kInt32;
    case kFieldInt64:
      return kInt64;
    default:
      return -1;
  }
}

// A 64-bit integer (version 4) stored into a 32-bit field must fit: cast, node 2^32 + 1 would
// silently become node 1.
template <typename Target, typename Source>
inline bool outOfRange(Source raw) {
  if constexpr (std::is_integral_v<Target> && std::is_integral_v<Source> &&
                sizeof(Target) < sizeof(Source))
    return raw < std::numeric_limits<Target>::min() || raw > std::numeric_limits<Target>::max();
  return false;
}

// Converts one file value into the caller's field; true when it does not fit there.
template <typename Source, typename Target, bool Swap>
inline bool decodeValue(const unsigned char* source, char* target) {
  const Source raw = loadValue<Source, Swap>(source);
  const Target value = convertValue<Target>(raw);
  std::memcpy(target, &value, sizeof(Target));
  return outOfRange<Target>(raw);
}

// The values of one line of a run of sizeof...(E) values, spelled out one by one (every value
// is stored, so the range checks are combined without short-circuit).
template <typename Source, typename Target, bool Swap, size_t... E>
inline bool decodeFixed(const unsigned char* source, char* target, std::index_sequence<E...>) {
  const unsigned outside = (unsigned{decodeValue<Source, Target, Swap>(
                                source + E * sizeof(Source), target + E * sizeof(Target))} |
                            ...);
  return outside != 0;
}

// Decodes lines of a chunk; returns the first line (0-based in the chunk) holding an integer
// out of the caller field's range, or -1 (the lines are all written either way). Count > 0 is
// the run's value count fixed at compile time for a run without renumbering: each line is
// then straight-line loads and stores, with no loop over a run-time count testing the
// renumbering for every value (most of a binary load's time otherwise) and no branch on the
// range check, which is only redone line by line when a chunk failed it. Count 0 serves every
// run. The run is copied into locals: stores through the caller's pointer could otherwise
// alias it and force a reload of the stride for every line.
template <typename Source, typename Target, bool Swap, int Count>
int64_t decodeRun(const unsigned char* chunk, int64_t lineSize, int64_t lines, const Run& run,
                  int64_t firstLine) {
  const int count = Count > 0 ? Count : run.count, first = run.firstElement;
  const int* permutation = Count > 0 ? nullptr : run.permutation;
  const int64_t stride = run.stride;
  const unsigned char* const start = chunk + run.sourceOffset;
  const unsigned char* source = start;
  char* line = run.base + firstLine * stride + first * int64_t(sizeof(Target));
  bool outside = false;
  for (int64_t l = 0; l < lines; ++l, source += lineSize, line += stride) {
    if constexpr (Count > 0 && std::is_same_v<Source, Target> && !Swap) {
      std::memcpy(line, source, Count * sizeof(Target));  // the file's bytes are the values
    } else if constexpr (Count > 0) {
      outside |= decodeFixed<Source, Target, Swap>(source, line, std::make_index_sequence<Count>());
    } else {
      for (int e = 0; e < count; ++e) {
        const int element = permutation ? permutation[first + e] - first : e;
        outside |= decodeValue<Source, Target, Swap>(source + e * sizeof(Source),
                                                     line + int64_t(element) * sizeof(Target));
      }
    }
  }
  if (!outside) return -1;
  for (int64_t l = 0; l < lines; ++l)
    for (int e = 0; e < count; ++e)
      if (outOfRange<Target>(loadValue<Source, Swap>(start + l * lineSize + e * sizeof(Source))))
        return l;
  return -1;
}

using RunDecoder = int64_t (*)(const unsigned char*, int64_t, int64_t, const Run&, int64_t);

// Run lengths that get a decoder of their own: references and corners (1), coordinates (2, 3),
// triangles and tetrahedra of degrees 1 and 2 (3, 4, 6, 10). Others take the generic loop.
template <int... Counts>
using FixedCounts = std::integer_sequence<int, Counts...>;
using DecodedCounts = FixedCounts<1, 2, 3, 4, 6, 10>;

template <typename Source, typename Target, bool Swap, int... Counts>
RunDecoder decoderForCount(const Run& run, FixedCounts<Counts...>) {
  constexpr int counts[] = {Counts...};
  constexpr RunDecoder fixed[] = {decodeRun<Source, Target, Swap, Counts>...};
  for (size_t k = 0; k < sizeof...(Counts); ++k)
    if (!run.permutation && run.count == counts[k]) return fixed[k];
  return decodeRun<Source, Target, Swap, 0>;
}

template <typename Source, bool Swap>
RunDecoder decoderFor(const Run& run) {
  switch (run.target) {
    case kInt32:
      return decoderForCount<Source, int32_t, Swap>(run, DecodedCounts());
    case kInt64:
      return decoderForCount<Source, int64_t, Swap>(run, DecodedCounts());
    case kReal32:
      return decoderForCount<Source, float, Swap>(run, DecodedCounts());
    default:
      return decoderForCount<Source, double, Swap>(run, DecodedCounts());
  }
}

template <bool Swap>
RunDecoder decoderFor(const Run& run) {
  switch (run.source) {
    case kInt32:
      return decoderFor<int32_t, Swap>(run);
    case kInt64:
      return decoderFor<int64_t, Swap>(run);
    case kReal32:
      return decoderFor<float, Swap>(run);
    default:
      return decoderFor<double, Swap>(run);
  }
}

[[noreturn]] void failedRead(int error, int64_t chunk, int64_t chunks, int64_t lines,
                             int descriptor, const void* buffer, int64_t offset, int64_t bytes) {
  fatalExit(stdout,
            " Error at aio_error() : %s\nblock      = %lld / %lld\nsize       = %lld lines\n"
            "aio_fildes = %p\naio_buf    = %p\naio_offset = %lld\naio_nbytes = %lld\n"
            "errno      = %d\n",
            std::strerror(error), static_cast<long long>(chunk), static_cast<long long>(chunks),
            static_cast<long long>(lines),
            reinterpret_cast<void*>(static_cast<intptr_t>(descriptor)), buffer,
            static_cast<long long>(offset), static_cast<long long>(bytes), error);
}

void readBinaryBlock(KeywordFile* file, int keyword, int64_t firstLine, int64_t lines,
                     const std::vector<Run>& plan) {
  const KeywordRecord& record = file->keywords[keyword];
  const int64_t lineSize = record.lineSize;
  const int64_t chunkLines =
      std::max<int64_t>(1, std::min(kChunkLines, kMaxChunkBytes / std::max<int64_t>(1, lineSize)));
  const int64_t chunks = (lines + chunkLines - 1) / chunkLines;
  const int64_t start = record.offset + (firstLine - 1) * lineSize;
  const size_t bufferBytes = static_cast<size_t>(std::min(chunkLines, lines) * lineSize);
  std::unique_ptr<unsigned char[]> buffers[2] = {
      std::unique_ptr<unsigned char[]>(new unsigned char[bufferBytes]),
      std::unique_ptr<unsigned char[]>(chunks > 1 ? new unsigned char[bufferBytes] : nullptr)};
  std::vector<RunDecoder> decoders;
  for (const Run& run : plan)
    decoders.push_back(file->swapBytes ? decoderFor<true>(run) : decoderFor<false>(run));
  // One helper thread per open file; no read is outstanding when this function leaves
  // (a short read throws before the next chunk is issued).
  if (chunks > 1 && !file->reader) file->reader = new ChunkReader;
  ChunkReader* reader = file->reader;
  auto chunkBytes = [&](int64_t c) {
    return std::min(chunkLines, lines - c * chunkLines) * lineSize;
  };
  auto chunkOffset = [&](int64_t c) { return start + c * chunkLines * lineSize; };
  if (chunks > 1) reader->issue(file->descriptor, buffers[0].get(), chunkBytes(0), chunkOffset(0));
  for (int64_t c = 0; c < chunks; ++c) {
    unsigned char* buffer = buffers[c % 2].get();
    int error = 0;
    ssize_t got = chunks > 1
                      ? reader->wait(&error)
                      : readFully(file->descriptor, buffer, chunkBytes(c), chunkOffset(c), &error);
    if (got < 0)
      failedRead(error, c + 1, chunks, lines, file->descriptor, buffer, chunkOffset(c),
                 chunkBytes(c));
    if (got != chunkBytes(c))
      throwKeywordError("%s: file truncated in line %lld", kKeywordTable[keyword].name,
                        static_cast<long long>(firstLine + c * chunkLines + got / lineSize));
    if (c + 1 < chunks)
      reader->issue(file->descriptor, buffers[(c + 1) % 2].get(), chunkBytes(c + 1),
                    chunkOffset(c + 1));
    const int64_t linesHere = chunkBytes(c) / lineSize;
    for (size_t r = 0; r < plan.size(); ++r) {
      const int64_t bad = decoders[r](buffer, lineSize, linesHere, plan[r], c * chunkLines);
      if (bad < 0) continue;
      if (c + 1 < chunks) {  // the next chunk's read targets a buffer freed on the way out
        int ignored = 0;
        reader->wait(&ignored);
      }
      throwKeywordError("%s line %lld: an integer beyond the 32-bit range",
                        kKeywordTable[keyword].name,
                        static_cast<long long>(firstLine + c * chunkLines + bad));
    }
  }
}

}  // namespace

std::vector<Run> buildPlan(const KeywordFile* file, int keyword, int64_t lines,
                           const BlockField* fields, int fieldCount,
                           std::vector<int>* permutationStorage) {
  const KeywordRecord& record = file->keywords[keyword];
  const char* name = kKeywordTable[keyword].name;
  std::vector<char> letters;
  std::vector<int64_t> offsets;
  int64_t offset = 0;
  for (char letter : record.format) {
    if (letter != 'i' && letter != 'r' && letter != 'c') continue;
    letters.push_back(letter);
    offsets.push_back(offset);
    offset += letter == 'c' ? 256 : valueSize(fileKind(file, letter));
  }
  std::vector<Run> plan;
  size_t next = 0;
  for (int f = 0; f < fieldCount; ++f) {
    bool vector = false;
    const int target = callerKind(fields[f].type, &vector);
    const int length = vector ? fields[f].length : 1;
    if (target < 0 || length < 1 || !fields[f].first)
      throwKeywordError("%s: bad caller field %d", name, f + 1);
    if (next + static_cast<size_t>(length) > letters.size())
      throwKeywordError("%s: asked for more fields than a line holds", name);
    const int64_t natural = static_cast<int64_t>(length) * valueSize(target);
    const int64_t stride =
        lines > 1 ? (static_cast<char*>(fields[f].last) - static_cast<char*>(fields[f].first)) /
                        (lines - 1)
                  : natural;
    // The node vector of an element line (field 0 on) is stored in the default order; a
    // vector longer than the node count (nodes and reference together) keeps its tail.
    const std::vector<int>& renumbering = record.renumbering;
    const int* permutation = nullptr;
    if (next == 0 && vector && !renumbering.empty() &&
        renumbering.size() <= static_cast<size_t>(length)) {
      *permutationStorage = renumbering;
      for (int e = static_cast<int>(renumbering.size()); e < length; ++e)
        permutationStorage->push_back(e);
      permutation = permutationStorage->data();
    }
    for (int e = 0; e < length;) {
      const char letter = letters[next + e];
      if (letter == 'c') throwKeywordError("%s: a comment field cannot be read as a number", name);
      int count = 1;
      while (e + count < length && letters[next + e + count] == letter) ++count;
      plan.push_back({static_cast<int>(next) + e, count, fileKind(file, letter), target,
                      static_cast<char*>(fields[f].first), stride, e, permutation,
                      offsets[next + e]});
      e += count;
    }
    next += static_cast<size_t>(length);
  }
  return plan;
}

bool validRange(const KeywordFile* file, int keyword, int64_t firstLine, int64_t lastLine) {
  if (!file || keyword < 1 || keyword >= kKeywordCount) return false;
  const KeywordRecord& record = file->keywords[keyword];
  return record.kind != kKwdAbsent && record.fields > 0 && firstLine >= 1 &&
         lastLine >= firstLine && lastLine <= record.lineCount;
}

int getBlock(KeywordFile* file, int keyword, int64_t firstLine, int64_t lastLine,
             const BlockField* fields, int fieldCount) {
  if (!validRange(file, keyword, firstLine, lastLine)) {
    if (file) file->error = file->name + ": bad keyword or line range";
    return 0;
  }
  try {
    const int64_t lines = lastLine - firstLine + 1;
    std::vector<int> permutation;
    std::vector<Run> plan = buildPlan(file, keyword, lines, fields, fieldCount, &permutation);
    if (file->kindFlags & kFileBinary)
      readBinaryBlock(file, keyword, firstLine, lines, plan);
    else
      readAsciiBlock(file, keyword, firstLine, lines, plan);
  } catch (const std::exception& failure) {
    file->error = file->name + ": " + failure.what();
    return 0;
  }
  return 1;
}

}  // namespace zel
