// Writer of keyword mesh and solution files in every form the reader accepts: ASCII or
// binary, versions 1 to 4, either byte order. The viewer itself never writes these files;
// tests, benchmarks and fuzz seeds use it to produce meshes of every entity kind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ZelObject;

namespace zel {

struct KeywordWriteFormat {
  bool binary = false;
  int version = 2;                 // 1..4: widths of integers, reals, counts and positions
  bool bigEndian = false;          // binary only: values in the other byte order
  bool reverseNodeOrders = false;  // writeMesh: store degree 2..4 elements with their node
                                   // order reversed and declared by ordering keywords
};

// Usage: open, then for each keyword beginKeyword followed by exactly lines x fields values
// (integer() or real() in the expanded-format order), then close (which writes "End").
// Every call returns false after the first error (see error()).
class KeywordWriter {
 public:
  KeywordWriter() = default;
  ~KeywordWriter();
  KeywordWriter(const KeywordWriter&) = delete;
  KeywordWriter& operator=(const KeywordWriter&) = delete;

  bool open(const std::string& path, const KeywordWriteFormat& format, int dimension);
  // Solution keywords give their type codes and, for high-order ones, degree and nodes.
  bool beginKeyword(int keyword, int64_t lines, const std::vector<int>& solutionTypes = {},
                    int degree = 0, int nodes = 1);
  // A binary block of an arbitrary code (e.g. beyond 198) holding bytes zero bytes.
  bool rawBlock(int code, int64_t bytes);
  bool integer(int64_t value);
  bool real(double value);
  bool close();
  const std::string& error() const { return m_error; }

 private:
  bool finishKeyword();
  bool fail(const std::string& why);
  void putBinary(uint64_t value, int width);
  void putText(const char* text, size_t length);
  void flush();

  std::FILE* m_stream = nullptr;
  KeywordWriteFormat m_format;
  int m_dimension = 0;
  std::string m_error;
  std::vector<char> m_buffer;
  int64_t m_offset = 0;    // bytes written so far (flushed or buffered)
  std::string m_fields;    // expanded format of the current keyword, data letters only
  int64_t m_expected = 0;  // values still due in the current keyword
  size_t m_field = 0;      // position in m_fields
  int m_keyword = 0;
};

// Writes the vertices, corners and every element kind of degree 1 to 4 of the object.
bool writeMesh(ZelObject* object, const std::string& path, const KeywordWriteFormat& format,
               std::string* error);

}  // namespace zel
