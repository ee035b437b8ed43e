// Opening, scanning and closing keyword files: version, dimension and every keyword header.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "meshio/ascii_scanner.h"
#include "meshio/chunk_reader.h"
#include "meshio/keyword_error.h"
#include "meshio/keyword_file.h"

namespace zel {

namespace {

// Bounds on solution headers: no real file comes near them, and they keep a hostile header
// from asking for absurd line formats.
constexpr int kMaxSolutionTypes = 64;
constexpr int kMaxNodesPerElement = 4096;
constexpr int kMaxFieldsPerLine = 1 << 18;  // a degree-10 hexahedron of 9-value fields: 12k
constexpr int kMaxFileName = 1024;

bool validKeyword(int keyword) { return keyword >= 1 && keyword < kKeywordCount; }

const char* keywordName(int keyword) { return kKeywordTable[keyword].name; }

// Where the values of a keyword header come from: binary integers or ASCII tokens.
class HeaderReader {
 public:
  virtual ~HeaderReader() = default;
  virtual int64_t count(int keyword) = 0;    // a line count
  virtual int32_t integer(int keyword) = 0;  // a 32-bit header value
  virtual int64_t offset() = 0;              // where the lines start
};

// Fills the record of a keyword from its header; limit is the offset its lines must end by.
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
  if (solution) {
    int typeCount = reader->integer(keyword);
    if (typeCount < 1 || typeCount > kMaxSolutionTypes)
      throwKeywordError("%s: %d solution types (expected 1..%d)", info.name, typeCount,
                        kMaxSolutionTypes);
    for (int t = 0; t < typeCount; ++t) record.solutionTypes.push_back(reader->integer(keyword));
    record.solutionSize = solutionSizeOf(record.solutionTypes.data(), typeCount, file->dimension);
    if (record.solutionSize < 0) throwKeywordError("%s: unknown solution type", info.name);
    if (info.lineFormat[0] == 'h') {
      record.degree = reader->integer(keyword);
      record.nodes = reader->integer(keyword);
      if (record.degree < 0 || record.nodes < 1 || record.nodes > kMaxNodesPerElement)
        throwKeywordError("%s: degree %d with %d nodes per element", info.name, record.degree,
                          record.nodes);
    }
  }
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
  file->keywords[keyword] = std::move(record);  // a keyword met twice keeps its later one
}

// Records a keyword whose line format is not described: present, no lines to read.
void recordUndescribed(KeywordFile* file, int keyword) {
  file->keywords[keyword] = KeywordRecord();
  file->keywords[keyword].kind = kKwdInformation;
  file->notes.push_back(std::string(keywordName(keyword)) + ": format not described, skipped");
}

// --- binary files -------------------------------------------------------------------------

void readExact(const KeywordFile* file, int64_t offset, void* out, int64_t bytes) {
  if (offset < 0 || bytes > file->fileSize - offset)
    throwKeywordError("unexpected end of file at offset %lld", static_cast<long long>(offset));
  char* target = static_cast<char*>(out);
  while (bytes > 0) {
    ssize_t got = pread(file->descriptor, target, static_cast<size_t>(bytes), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throwKeywordError("read failed at offset %lld", static_cast<long long>(offset));
    target += got;
    offset += got;
    bytes -= got;
  }
}

class BinaryHeader : public HeaderReader {
 public:
  BinaryHeader(KeywordFile* file, int64_t position) : file_(file), position_(position) {}
  int64_t value(int width) {
    unsigned char bytes[8];
    readExact(file_, position_, bytes, width);
    position_ += width;
    return decodeInteger(bytes, width, file_->swapBytes);
  }
  int64_t count(int) override { return value(file_->countWidth()); }
  int32_t integer(int) override { return static_cast<int32_t>(value(4)); }
  int64_t offset() override { return position_; }

 private:
  KeywordFile* file_;

 public:
  int64_t position_;  // offset of the next header byte
};

void scanBinary(KeywordFile* file) {
  BinaryHeader head(file, 0);
  file->endianCode = static_cast<int32_t>(head.value(4));
  if (file->endianCode == 16777216) {
    file->swapBytes = true;
  } else if (file->endianCode != 1) {
    throwKeywordError("bad endianness code %d (expected 1, or 16777216 for the other byte order)",
                      file->endianCode);
  }
  file->version = static_cast<int32_t>(head.value(4));
  if (file->version < 1 || file->version > 4)
    throwKeywordError("bad version %d (expected 1..4)", file->version);
  file->realWidth = file->version == 1 ? 32 : 64;
  int code = static_cast<int32_t>(head.value(4));
  if (code != Kwd::Dimension) throwKeywordError("first keyword %d is not Dimension", code);
  int64_t next = head.value(file->positionWidth());
  // Every writer stores the dimension in 32 bits, even in version 4; a 64-bit one is taken
  // only when the block's next position says so.
  int width = file->version >= 4 && next == head.position_ + 8 ? 8 : 4;
  int64_t dimension = head.value(width);
  if (dimension < 2 || dimension > 3)
    throwKeywordError("bad dimension %lld (expected 2 or 3)", static_cast<long long>(dimension));
  file->dimension = static_cast<int>(dimension);

  for (;;) {
    const int64_t blockStart = head.position_;
    if (blockStart >= file->fileSize)  // a binary file always ends with its End block
      throwKeywordError("no End keyword before the end of the file (truncated?)");
    code = static_cast<int32_t>(head.value(4));
    next = head.value(file->positionWidth());
    const char* name = validKeyword(code) ? keywordName(code) : "unknown keyword";
    if (next > file->fileSize)
      throwKeywordError("%s at offset %lld: next position %lld beyond end of file (%lld bytes)",
                        name, static_cast<long long>(blockStart), static_cast<long long>(next),
                        static_cast<long long>(file->fileSize));
    if (next != 0 && next < head.position_)
      throwKeywordError("%s at offset %lld: next position %lld does not lie after the block", name,
                        static_cast<long long>(blockStart), static_cast<long long>(next));
    if (validKeyword(code)) {
      if (kKeywordTable[code].described)
        readKeywordHeader(file, code, &head, next ? next : file->fileSize);
      else
        recordUndescribed(file, code);
    }
    if (code == Kwd::End) return;
    if (next == 0) {
      file->notes.push_back("keyword chain ends before End");
      return;
    }
    head.position_ = next;
  }
}

// --- ASCII files --------------------------------------------------------------------------

class AsciiHeader : public HeaderReader {
 public:
  explicit AsciiHeader(AsciiScanner* scanner) : scanner_(scanner) {}
  int64_t value(const char* what, int keyword) {
    std::string_view token;
    int64_t result = 0;
    if (!scanner_->next(&token))
      throwKeywordError("%s: end of file where %s was expected", keywordName(keyword), what);
    if (!parseInteger(token, &result))
      throwKeywordError("%s: '%.40s' where %s was expected", keywordName(keyword),
                        std::string(token).c_str(), what);
    return result;
  }
  int64_t count(int keyword) override { return value("a line count", keyword); }
  int32_t integer(int keyword) override {
    int64_t v = value("an integer", keyword);
    if (v < INT32_MIN || v > INT32_MAX)
      throwKeywordError("%s: header value %lld out of range", keywordName(keyword),
                        static_cast<long long>(v));
    return static_cast<int32_t>(v);
  }
  int64_t offset() override { return scanner_->offset(); }

 private:
  AsciiScanner* scanner_;
};

// Reads words until the given keyword, then its integer value.
int64_t asciiHeaderValue(AsciiScanner* scanner, int keyword) {
  std::string_view token;
  const char* name = keywordName(keyword);
  while (scanner->nextWord(&token))
    if (token == name) return AsciiHeader(scanner).value("an integer", keyword);
  throwKeywordError("no %s keyword", name);
}

void scanAscii(KeywordFile* file) {
  file->scanner = new AsciiScanner(file->descriptor, file->fileSize);
  AsciiScanner* scanner = file->scanner;
  int64_t version = asciiHeaderValue(scanner, Kwd::MeshVersionFormatted);
  if (version < 1 || version > 4)
    throwKeywordError("bad version %lld (expected 1..4)", static_cast<long long>(version));
  file->version = static_cast<int>(version);
  file->realWidth = file->version == 1 ? 32 : 64;
  int64_t dimension = asciiHeaderValue(scanner, Kwd::Dimension);
  if (dimension < 2 || dimension > 3)
    throwKeywordError("bad dimension %lld (expected 2 or 3)", static_cast<long long>(dimension));
  file->dimension = static_cast<int>(dimension);
  AsciiHeader head(scanner);
  std::string_view token;
  bool sawEnd = false;
  while (scanner->nextWord(&token)) {
    int code = keywordCode(token.data(), static_cast<int>(token.size()));
    if (code == 0 || code == Kwd::MeshVersionFormatted || code == Kwd::Dimension) continue;
    if (code == Kwd::End) sawEnd = true;
    if (kKeywordTable[code].described)
      readKeywordHeader(file, code, &head, file->fileSize);
    else
      recordUndescribed(file, code);
  }
  if (scanner->failed()) throwKeywordError("read error");
  if (!sawEnd) file->notes.push_back("no End keyword");
}

int fileKindOf(const char* name) {
  if (std::strstr(name, ".meshb")) return kFileBinary | kFileMesh;
  if (std::strstr(name, ".mesh")) return kFileAscii | kFileMesh;
  if (std::strstr(name, ".solb")) return kFileBinary | kFileSolution;
  if (std::strstr(name, ".sol")) return kFileAscii | kFileSolution;
  return 0;
}

}  // namespace

KeywordFile* openKeywordFile(const char* name, int mode, int* version, int* dimension,
                             std::string* error) {
  auto refuse = [error](const std::string& why) -> KeywordFile* {
    if (error) *error = why;
    return nullptr;
  };
  if (!name) return refuse("no file name");
  if (std::strlen(name) >= kMaxFileName) return refuse("file name too long");
  if (mode != 1) return refuse("only reading is supported");
  const int kind = fileKindOf(name);
  if (!kind) return refuse(std::string(name) + ": not a .mesh[b] or .sol[b] file name");
  int descriptor = ::open(name, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return refuse(std::string(name) + ": " + std::strerror(errno));
  std::unique_ptr<KeywordFile> file(new KeywordFile);
  file->name = name;
  file->mode = mode;
  file->kindFlags = kind;
  file->descriptor = descriptor;
  struct stat info;
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    closeKeywordFile(file.release());
    return refuse(std::string(name) + ": not a regular file");
  }
  file->fileSize = info.st_size;
  try {
    if (kind & kFileBinary)
      scanBinary(file.get());
    else
      scanAscii(file.get());
  } catch (const std::exception& failure) {
    std::string why = std::string(name) + ": " + failure.what();
    closeKeywordFile(file.release());
    return refuse(why);
  }
  if (version) *version = file->version;
  if (dimension) *dimension = file->dimension;
  return file.release();
}

int closeKeywordFile(KeywordFile* file) {
  if (!file) return 0;
  int result = 1;
  if (file->descriptor >= 0 && ::close(file->descriptor) != 0 && (file->kindFlags & kFileAscii))
    result = 0;
  delete file->scanner;
  delete file->reader;
  delete file;
  return result;
}

}  // namespace zel
