// Writer of keyword files (test, benchmark and fuzz-seed support).
#include "meshio/keyword_writer.h"

#include <charconv>
#include <cstring>

#include "meshio/entity_catalogue.h"
#include "meshio/keyword_file.h"
#include "meshio/zel_object.h"

namespace zel {

namespace {
constexpr size_t kBufferSize = size_t(1) << 20;
}

KeywordWriter::~KeywordWriter() {
  if (stream_) std::fclose(stream_);
}

bool KeywordWriter::fail(const std::string& why) {
  if (error_.empty()) error_ = why;
  return false;
}

void KeywordWriter::flush() {
  if (stream_ && !buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size())
    fail("write failed");
  buffer_.clear();
}

void KeywordWriter::putText(const char* text, size_t length) {
  buffer_.insert(buffer_.end(), text, text + length);
  offset_ += static_cast<int64_t>(length);
  if (buffer_.size() >= kBufferSize) flush();
}

void KeywordWriter::putBinary(uint64_t value, int width) {
  unsigned char bytes[8];
  for (int b = 0; b < width; ++b) {
    const int shift = format_.bigEndian ? 8 * (width - 1 - b) : 8 * b;
    bytes[b] = static_cast<unsigned char>(value >> shift);
  }
  putText(reinterpret_cast<const char*>(bytes), static_cast<size_t>(width));
}

bool KeywordWriter::open(const std::string& path, const KeywordWriteFormat& format, int dimension) {
  format_ = format;
  dimension_ = dimension;
  if (format.version < 1 || format.version > 4) return fail("bad version");
  stream_ = std::fopen(path.c_str(), "wb");
  if (!stream_) return fail("cannot create " + path);
  buffer_.reserve(kBufferSize + 4096);
  if (format_.binary) {
    putBinary(1, 4);
    putBinary(static_cast<uint64_t>(format.version), 4);
    putBinary(3, 4);  // Dimension, its value in 32 bits as every writer stores it
    const int positionWidth = format.version >= 3 ? 8 : 4;
    putBinary(static_cast<uint64_t>(offset_ + positionWidth + 4), positionWidth);
    putBinary(static_cast<uint64_t>(dimension), 4);
  } else {
    std::string head = "MeshVersionFormatted " + std::to_string(format.version) + "\n\nDimension " +
                       std::to_string(dimension) + "\n";
    putText(head.data(), head.size());
  }
  return true;
}

bool KeywordWriter::finishKeyword() {
  if (expected_ != 0) return fail("keyword written with missing values");
  return error_.empty();
}

bool KeywordWriter::beginKeyword(int keyword, int64_t lines, const std::vector<int>& solutionTypes,
                                 int degree, int nodes) {
  if (!stream_ || !finishKeyword()) return false;
  if (keyword < 1 || keyword >= kKeywordCount) return fail("bad keyword");
  const KeywordInfo& info = kKeywordTable[keyword];
  const bool solution = info.lineFormat[0] == 's' || info.lineFormat[0] == 'h';
  const bool highOrder = info.lineFormat[0] == 'h';
  const bool table = info.countFormat[0] == 'i';
  int size = solution ? solutionSizeOf(solutionTypes.data(), static_cast<int>(solutionTypes.size()),
                                       dimension_)
                      : 0;
  if (size < 0) return fail("bad solution type");
  std::string expanded;
  expandLineFormat(info.lineFormat, dimension_, size, highOrder ? nodes : 1, 1 << 24, &expanded);
  fields_.clear();
  int64_t lineSize = 0;
  const int intWidth = format_.version >= 4 ? 8 : 4, realWidth = format_.version == 1 ? 4 : 8;
  for (char c : expanded) {
    if (c == 'i' || c == 'r') fields_.push_back(c);
    lineSize += c == 'i' ? intWidth : c == 'r' ? realWidth : 0;
  }
  keyword_ = keyword;
  field_ = 0;
  expected_ = (table ? lines : 1) * static_cast<int64_t>(fields_.size());
  if (format_.binary) {
    const int positionWidth = format_.version >= 3 ? 8 : 4;
    int64_t header = 4 + positionWidth + (table ? intWidth : 0);
    if (solution)
      header += 4 * (1 + static_cast<int64_t>(solutionTypes.size()) + (highOrder ? 2 : 0));
    putBinary(static_cast<uint64_t>(keyword), 4);
    putBinary(static_cast<uint64_t>(offset_ - 4 + header + (table ? lines : 1) * lineSize),
              positionWidth);
    if (table) putBinary(static_cast<uint64_t>(lines), intWidth);
  } else {
    std::string head = std::string("\n") + info.name + "\n";
    if (table) head += std::to_string(lines) + "\n";
    putText(head.data(), head.size());
  }
  if (solution) {
    std::vector<int64_t> header = {static_cast<int64_t>(solutionTypes.size())};
    header.insert(header.end(), solutionTypes.begin(), solutionTypes.end());
    if (highOrder) {
      header.push_back(degree);
      header.push_back(nodes);
    }
    for (int64_t value : header) {
      if (format_.binary) {
        putBinary(static_cast<uint64_t>(value), 4);
      } else {
        std::string text = std::to_string(value) + " ";
        putText(text.data(), text.size());
      }
    }
    if (!format_.binary) putText("\n", 1);
  }
  return true;
}

bool KeywordWriter::rawBlock(int code, int64_t bytes) {
  if (!stream_ || !finishKeyword() || !format_.binary) return fail("raw blocks are binary only");
  const int positionWidth = format_.version >= 3 ? 8 : 4;
  putBinary(static_cast<uint64_t>(code), 4);
  putBinary(static_cast<uint64_t>(offset_ - 4 + 4 + positionWidth + bytes), positionWidth);
  for (int64_t b = 0; b < bytes; ++b) putText("", 1);
  return true;
}

bool KeywordWriter::integer(int64_t value) {
  if (expected_ <= 0 || fields_[field_] != 'i') return fail("integer written out of format");
  if (format_.binary) {
    putBinary(static_cast<uint64_t>(value), format_.version >= 4 ? 8 : 4);
  } else {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, value).ptr;
    *end++ = field_ + 1 == fields_.size() ? '\n' : ' ';
    putText(text, static_cast<size_t>(end - text));
  }
  field_ = (field_ + 1) % fields_.size();
  --expected_;
  return true;
}

bool KeywordWriter::real(double value) {
  if (expected_ <= 0 || fields_[field_] != 'r') return fail("real written out of format");
  if (format_.binary && format_.version == 1) {
    float single = static_cast<float>(value);
    uint32_t bits;
    std::memcpy(&bits, &single, 4);
    putBinary(bits, 4);
  } else if (format_.binary) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    putBinary(bits, 8);
  } else {
    char text[40];
    char* end = format_.version == 1
                    ? std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr
                    : std::to_chars(text, text + sizeof text, value).ptr;
    *end++ = field_ + 1 == fields_.size() ? '\n' : ' ';
    putText(text, static_cast<size_t>(end - text));
  }
  field_ = (field_ + 1) % fields_.size();
  --expected_;
  return true;
}

bool KeywordWriter::close() {
  if (!stream_) return fail("not open");
  if (finishKeyword()) {
    if (format_.binary) {
      putBinary(54, 4);
      putBinary(0, format_.version >= 3 ? 8 : 4);
    } else {
      putText("\nEnd\n", 5);
    }
  }
  flush();
  if (std::fclose(stream_) != 0) fail("close failed");
  stream_ = nullptr;
  return error_.empty();
}

}  // namespace zel
