// Opening and closing keyword files, and the opening scan of binary files: version, dimension
// and the chain of keyword blocks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "meshio/ascii_scanner.h"
#include "meshio/chunk_reader.h"
#include "meshio/keyword_error.h"
#include "meshio/keyword_file.h"
#include "meshio/keyword_scan.h"

namespace zel {

namespace {

constexpr int kMaxFileName = 1024;

bool validKeyword(int keyword) { return keyword >= 1 && keyword < kKeywordCount; }

const char* keywordName(int keyword) { return kKeywordTable[keyword].name; }

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

// Follows the chain of keyword blocks after Dimension. A block whose header lies is dropped
// and the chain goes on; a next position beyond the end of the file or pointing backwards
// drops its block (unless its lines fit before the end) and ends the chain, since nothing
// after it can be trusted to be reached.
void scanBinaryKeywords(KeywordFile* file, BinaryHeader* head) {
  for (;;) {
    const int64_t blockStart = head->position_;
    const int64_t headerBytes = 4 + file->positionWidth();
    if (blockStart > file->fileSize - headerBytes) {  // every binary file ends with End
      addWarning(file,
                 "no End keyword: the keyword chain stops at offset %lld, %lld bytes "
                 "before the end of the file (truncated?)",
                 static_cast<long long>(blockStart),
                 static_cast<long long>(file->fileSize - blockStart));
      return;
    }
    const int code = static_cast<int32_t>(head->value(4));
    const int64_t next = head->value(file->positionWidth());
    const bool valid = validKeyword(code);
    const char* name = valid ? keywordName(code) : "unknown keyword";
    const bool beyond = next > file->fileSize;
    const bool backwards = next != 0 && next < head->position_;
    if (backwards) {
      addWarning(file,
                 "%s at offset %lld: next position %lld does not lie after the block; keyword "
                 "ignored, and the keywords after it",
                 name, static_cast<long long>(blockStart), static_cast<long long>(next));
      return;
    }
    if (valid && kKeywordTable[code].described)
      readOrDropHeader(file, code, head, next && !beyond ? next : file->fileSize);
    else if (valid)
      recordUndescribed(file, code);
    if (beyond) {
      addWarning(file,
                 "%s at offset %lld: next position %lld beyond the end of the file (%lld "
                 "bytes); the keywords after it are ignored",
                 name, static_cast<long long>(blockStart), static_cast<long long>(next),
                 static_cast<long long>(file->fileSize));
      return;
    }
    if (code == Kwd::End) return;
    if (next == 0) {
      file->notes.push_back("keyword chain ends before End");
      return;
    }
    head->position_ = next;
  }
}

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

  scanBinaryKeywords(file, &head);
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
  if (std::strlen(name) >= kMaxFileName)
    return refuse(std::string(name, 60) + "...: file name too long (" +
                  std::to_string(std::strlen(name)) + " characters, at most " +
                  std::to_string(kMaxFileName - 1) + ")");
  if (mode != 1) return refuse("only reading is supported");
  const int kind = fileKindOf(name);
  if (!kind) return refuse(std::string(name) + ": not a .mesh[b] or .sol[b] file name");
  // Without O_NONBLOCK, opening a FIFO would wait for a writer; the type check below then
  // refuses anything but a regular file (a FIFO, /dev/zero, a directory).
  int descriptor = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
