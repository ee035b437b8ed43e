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
  if (m_stream) std::fclose(m_stream);
}

bool KeywordWriter::fail(const std::string& why) {
  if (m_error.empty()) m_error = why;
  return false;
}

void KeywordWriter::flush() {
  if (m_stream && !m_buffer.empty() &&
      std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_stream) != m_buffer.size())
    fail("write failed");
  m_buffer.clear();
}

void KeywordWriter::putText(const char* text, size_t length) {
  m_buffer.insert(m_buffer.end(), text, text + length);
  m_offset += static_cast<int64_t>(length);
  if (m_buffer.size() >= kBufferSize) flush();
}

void KeywordWriter::putBinary(uint64_t value, int width) {
  unsigned char bytes[8];
  for (int b = 0; b < width; ++b) {
    const int shift = m_format.bigEndian ? 8 * (width - 1 - b) : 8 * b;
    bytes[b] = static_cast<unsigned char>(value >> shift);
  }
  putText(reinterpret_cast<const char*>(bytes), static_cast<size_t>(width));
}

bool KeywordWriter::open(const std::string& path, const KeywordWriteFormat& format, int dimension) {
  m_format = format;
  m_dimension = dimension;
  if (format.version < 1 || format.version > 4) return fail("bad version");
  m_stream = std::fopen(path.c_str(), "wb");
  if (!m_stream) return fail("cannot create " + path);
  m_buffer.reserve(kBufferSize + 4096);
  if (m_format.binary) {
    putBinary(1, 4);
    putBinary(static_cast<uint64_t>(format.version), 4);
    putBinary(3, 4);  // Dimension, its value in 32 bits as every writer stores it
    const int positionWidth = format.version >= 3 ? 8 : 4;
    putBinary(static_cast<uint64_t>(m_offset + positionWidth + 4), positionWidth);
    putBinary(static_cast<uint64_t>(dimension), 4);
  } else {
    std::string head = "MeshVersionFormatted " + std::to_string(format.version) + "\n\nDimension " +
                       std::to_string(dimension) + "\n";
    putText(head.data(), head.size());
  }
  return true;
}

bool KeywordWriter::finishKeyword() {
  if (m_expected != 0) return fail("keyword written with missing values");
  return m_error.empty();
}

bool KeywordWriter::beginKeyword(int keyword, int64_t lines, const std::vector<int>& solutionTypes,
                                 int degree, int nodes) {
  if (!m_stream || !finishKeyword()) return false;
  if (keyword < 1 || keyword >= kKeywordCount) return fail("bad keyword");
  const KeywordInfo& info = kKeywordTable[keyword];
  const bool solution = info.lineFormat[0] == 's' || info.lineFormat[0] == 'h';
  const bool highOrder = info.lineFormat[0] == 'h';
  const bool table = info.countFormat[0] == 'i';
  int size = solution ? solutionSizeOf(solutionTypes.data(), static_cast<int>(solutionTypes.size()),
                                       m_dimension)
                      : 0;
  if (size < 0) return fail("bad solution type");
  std::string expanded;
  expandLineFormat(info.lineFormat, m_dimension, size, highOrder ? nodes : 1, 1 << 24, &expanded);
  m_fields.clear();
  int64_t lineSize = 0;
  const int intWidth = m_format.version >= 4 ? 8 : 4, realWidth = m_format.version == 1 ? 4 : 8;
  for (char c : expanded) {
    if (c == 'i' || c == 'r') m_fields.push_back(c);
    lineSize += c == 'i' ? intWidth : c == 'r' ? realWidth : 0;
  }
  m_keyword = keyword;
  m_field = 0;
  m_expected = (table ? lines : 1) * static_cast<int64_t>(m_fields.size());
  if (m_format.binary) {
    const int positionWidth = m_format.version >= 3 ? 8 : 4;
    int64_t header = 4 + positionWidth + (table ? intWidth : 0);
    if (solution)
      header += 4 * (1 + static_cast<int64_t>(solutionTypes.size()) + (highOrder ? 2 : 0));
    putBinary(static_cast<uint64_t>(keyword), 4);
    putBinary(static_cast<uint64_t>(m_offset - 4 + header + (table ? lines : 1) * lineSize),
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
      if (m_format.binary) {
        putBinary(static_cast<uint64_t>(value), 4);
      } else {
        std::string text = std::to_string(value) + " ";
        putText(text.data(), text.size());
      }
    }
    if (!m_format.binary) putText("\n", 1);
  }
  return true;
}

bool KeywordWriter::rawBlock(int code, int64_t bytes) {
  if (!m_stream || !finishKeyword() || !m_format.binary) return fail("raw blocks are binary only");
  const int positionWidth = m_format.version >= 3 ? 8 : 4;
  putBinary(static_cast<uint64_t>(code), 4);
  putBinary(static_cast<uint64_t>(m_offset - 4 + 4 + positionWidth + bytes), positionWidth);
  for (int64_t b = 0; b < bytes; ++b) putText("", 1);
  return true;
}

bool KeywordWriter::integer(int64_t value) {
  if (m_expected <= 0 || m_fields[m_field] != 'i') return fail("integer written out of format");
  if (m_format.binary) {
    putBinary(static_cast<uint64_t>(value), m_format.version >= 4 ? 8 : 4);
  } else {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, value).ptr;
    *end++ = m_field + 1 == m_fields.size() ? '\n' : ' ';
    putText(text, static_cast<size_t>(end - text));
  }
  m_field = (m_field + 1) % m_fields.size();
  --m_expected;
  return true;
}

bool KeywordWriter::real(double value) {
  if (m_expected <= 0 || m_fields[m_field] != 'r') return fail("real written out of format");
  if (m_format.binary && m_format.version == 1) {
    float single = static_cast<float>(value);
    uint32_t bits;
    std::memcpy(&bits, &single, 4);
    putBinary(bits, 4);
  } else if (m_format.binary) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    putBinary(bits, 8);
  } else {
    char text[40];
    char* end = m_format.version == 1
                    ? std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr
                    : std::to_chars(text, text + sizeof text, value).ptr;
    *end++ = m_field + 1 == m_fields.size() ? '\n' : ' ';
    putText(text, static_cast<size_t>(end - text));
  }
  m_field = (m_field + 1) % m_fields.size();
  --m_expected;
  return true;
}

bool KeywordWriter::close() {
  if (!m_stream) return fail("not open");
  if (finishKeyword()) {
    if (m_format.binary) {
      putBinary(54, 4);
      putBinary(0, m_format.version >= 3 ? 8 : 4);
    } else {
      putText("\nEnd\n", 5);
    }
  }
  flush();
  if (std::fclose(m_stream) != 0) fail("close failed");
  m_stream = nullptr;
  return m_error.empty();
}

}  // namespace zel
