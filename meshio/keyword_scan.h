// Internal to the keyword file library: reading keyword headers during the opening scan.
#pragma once

#include <cstdint>

#include "meshio/keyword_file.h"

namespace zel {

// Where the values of a keyword header come from: binary integers or ASCII tokens.
class HeaderReader {
 public:
  virtual ~HeaderReader() = default;
  virtual int64_t count(int keyword) = 0;    // a line count
  virtual int32_t integer(int keyword) = 0;  // a 32-bit header value
  virtual int64_t offset() = 0;              // where the lines start
};

// Adds one formatted line to the file's warnings.
void addWarning(KeywordFile* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Reads the header of a described keyword and records it (a keyword met twice keeps its later
// occurrence, with a warning). Its lines must end by offset limit. When the header lies (a
// count that cannot fit, a solution header out of bounds or inconsistent) the keyword is
// dropped with a warning naming it, its record stays as it was, and false is returned. A read
// error of the underlying file (not a refused value) is thrown as a KeywordError.
bool readOrDropHeader(KeywordFile* file, int keyword, HeaderReader* reader, int64_t limit);

// Records a keyword whose line format is not described: present, no lines to read.
void recordUndescribed(KeywordFile* file, int keyword);

// Scans an ASCII file from its start: version, dimension and every keyword header.
void scanAscii(KeywordFile* file);

}  // namespace zel
