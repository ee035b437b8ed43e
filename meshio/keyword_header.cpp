// Keyword headers read by the opening scan: line counts, solution headers, line formats, and
// the checks that drop a keyword whose header lies.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "meshio/keyword_error.h"
#include "meshio/keyword_scan.h"

namespace zel {

namespace {

// Bounds on solution headers: no real file comes near them, and they keep a hostile header
// from asking for absurd line formats.
constexpr int kMaxSolutionTypes = 64;
constexpr int kMaxNodesPerElement = 4096;
constexpr int kMaxFieldsPerLine = 1 << 18;  // a degree-10 hexahedron of 9-value fields: 12k

const char* keywordName(int keyword) { return kKeywordTable[keyword].name; }

// Nodes of the lattice of degree degree of the shape of a "HOSolAt" keyword; -1 for any other
// keyword. The degree must be below 4096 (callers bound it by the node count first).
int64_t hoSolutionLatticeNodes(int keyword, int degree) {
  int shape = -1;
  if (keyword >= 104 && keyword <= 124) shape = (keyword - 104) / 3;
  if (keyword >= 156 && keyword <= 162) shape = keyword - 156;
  if (shape < 0) return -1;
  const int64_t d = degree;
  switch (shape) {
    case 0:  // edge
      return d + 1;
    case 1:  // triangle
      return (d + 1) * (d + 2) / 2;
    case 2:  // quadrilateral
      return (d + 1) * (d + 1);
    case 3:  // tetrahedron
      return (d + 1) * (d + 2) * (d + 3) / 6;
    case 4:  // pyramid
      return (d + 1) * (d + 2) * (2 * d + 3) / 6;
    case 5:  // prism
      return (d + 1) * (d + 1) * (d + 2) / 2;
    default:  // hexahedron
      return (d + 1) * (d + 1) * (d + 1);
  }
}

// Reads the solution part of a header: types, and for "hr" keywords degree and node count,
// which must be the lattice node count of the keyword's shape at that degree (the values of a
// line are addressed by node, so a short node count would leave nodes unread).
void readSolutionHeader(KeywordFile* file, int keyword, HeaderReader* reader,
                        KeywordRecord* record) {
  const KeywordInfo& info = kKeywordTable[keyword];
  int typeCount = reader->integer(keyword);
  if (typeCount < 1 || typeCount > kMaxSolutionTypes)
    throwKeywordError("%s: %d solution types (expected 1..%d)", info.name, typeCount,
                      kMaxSolutionTypes);
  for (int t = 0; t < typeCount; ++t) record->solutionTypes.push_back(reader->integer(keyword));
  record->solutionSize = solutionSizeOf(record->solutionTypes.data(), typeCount, file->dimension);
  if (record->solutionSize < 0) throwKeywordError("%s: unknown solution type", info.name);
  if (info.lineFormat[0] != 'h') return;
  record->degree = reader->integer(keyword);
  record->nodes = reader->integer(keyword);
  if (record->degree < 0 || record->nodes < 1 || record->nodes > kMaxNodesPerElement)
    throwKeywordError("%s: degree %d with %d nodes per element", info.name, record->degree,
                      record->nodes);
  if (record->degree == 0) return;
  const int64_t lattice =
      record->degree < record->nodes ? hoSolutionLatticeNodes(keyword, record->degree) : -1;
  if (lattice != record->nodes)
    throwKeywordError(
        "%s: degree %d with %d nodes per element, the element has %s nodes at "
        "that degree",
        info.name, record->degree, record->nodes,
        lattice < 0 ? "more" : std::to_string(lattice).c_str());
}

// Fills the record of a keyword from its header; limit is the offset its lines must end by.
// Throws when the header lies; the record of the file is then left as it was.
void readKeywordHeader(KeywordFile* file, int keyword, HeaderReader* reader, int64_t limit) {
  const KeywordInfo& info = kKeywordTable[keyword];
  KeywordRecord record;
  const bool solution = info.lineFormat[0] == 's' || info.lineFormat[0] == 'h';
  record.kind = solution ? kKwdSolution : (info.countFormat[0] ? kKwdTable : kKwdInformation);
  record.lineCount = info.countFormat[0] ? reader->count(keyword) : 1;
  if (record.lineCount < 0)
    throwKeywordError("%s: negative line count %lld", info.name,
                      static_cast<long long>(record.lineCount));
  record.nodes = 1;
  if (solution) readSolutionHeader(file, keyword, reader, &record);
  if (!expandLineFormat(info.lineFormat, file->dimension, record.solutionSize, record.nodes,
                        kMaxFieldsPerLine, &record.format))
    throwKeywordError("%s: line format too long", info.name);
  const int realBytes = file->realWidth / 8;
  for (char letter : record.format) {
    if (letter == 'i') record.lineSize += file->intWidth();
    if (letter == 'r') record.lineSize += realBytes;
    if (letter == 'c') record.lineSize += 256;
    if (letter == 'i' || letter == 'r' || letter == 'c') ++record.fields;
  }
  record.offset = reader->offset();
  // Refuse counts that the bytes left cannot hold (ASCII: a value takes a character and a
  // blank), so that nobody allocates for them.
  const int64_t left = limit - record.offset;
  const bool ascii = file->kindFlags & kFileAscii;
  const int64_t bytesPerLine = ascii ? 2 * static_cast<int64_t>(record.fields) : record.lineSize;
  if (bytesPerLine > 0 && record.lineCount > (left + (ascii ? 1 : 0)) / bytesPerLine) {
    if (ascii)
      throwKeywordError("%s: %lld lines of %d values cannot fit in the %lld bytes left", info.name,
                        static_cast<long long>(record.lineCount), record.fields,
                        static_cast<long long>(left));
    throwKeywordError(
        "%s: %lld lines of %lld bytes need more than the %lld bytes from offset %lld before "
        "the next position",
        info.name, static_cast<long long>(record.lineCount),
        static_cast<long long>(record.lineSize), static_cast<long long>(left),
        static_cast<long long>(record.offset));
  }
  if (file->keywords[keyword].kind != kKwdAbsent && keyword != Kwd::End)
    file->warnings.push_back(std::string(info.name) + ": met twice, the earlier block is replaced");
  file->keywords[keyword] = std::move(record);  // a keyword met twice keeps its later one
}

}  // namespace

void addWarning(KeywordFile* file, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  file->warnings.push_back(text);
}

// Reads a header, or drops the keyword with a warning when its header lies.
bool readOrDropHeader(KeywordFile* file, int keyword, HeaderReader* reader, int64_t limit) {
  try {
    readKeywordHeader(file, keyword, reader, limit);
    return true;
  } catch (const KeywordError& failure) {
    file->warnings.push_back(std::string(failure.what()) + "; keyword ignored");
    return false;
  }
}

// Records a keyword whose line format is not described: present, no lines to read.
void recordUndescribed(KeywordFile* file, int keyword) {
  file->keywords[keyword] = KeywordRecord();
  file->keywords[keyword].kind = kKwdInformation;
  file->notes.push_back(std::string(keywordName(keyword)) + ": format not described, skipped");
}

}  // namespace zel
