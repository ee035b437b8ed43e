// The keyword file library: open a mesh or solution file (ASCII or binary, versions 1 to 4,
// either byte order), ask what a keyword holds, and read its lines into caller memory.
//
// The library moves numbers between files and caller memory and knows nothing of meshes.
// Lines are numbered from 1. Operations return 1 on success and 0 on failure (open returns
// null); the reason of the last failure is kept in KeywordFile::error. Keyword codes outside
// 1..198 make every operation fail without touching the file. Nothing is printed, except the
// report of an unrecoverable read error before the process ends (see getBlock).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "meshio/keyword_table.h"

namespace zel {

class AsciiScanner;
class ChunkReader;

// File kind flags.
enum KeywordFileKind : int { kFileAscii = 1, kFileBinary = 2, kFileMesh = 4, kFileSolution = 8 };
// Keyword kinds.
enum KeywordKind : int { kKwdAbsent = 0, kKwdInformation = 1, kKwdTable = 2, kKwdSolution = 3 };

// What the scan recorded about one keyword of the file.
struct KeywordRecord {
  int kind = kKwdAbsent;
  int degree = 0;        // solution degree ("hr" keywords)
  int nodes = 0;         // nodes per element ("hr" keywords; 1 for "sr")
  int fields = 0;        // fields of the expanded format
  int64_t lineSize = 0;  // bytes of one binary line
  int solutionSize = 0;  // reals per node of a solution line
  std::vector<int> solutionTypes;
  int64_t lineCount = 0;
  int64_t offset = 0;            // file offset of the first line
  std::string format;            // expanded format: one letter per field
  std::vector<int> renumbering;  // file node position j -> memory position renumbering[j]
};

struct KeywordFile {
  int dimension = 0;
  int version = 0;
  int mode = 0;
  int kindFlags = 0;
  int endianCode = 0;
  int realWidth = 0;  // bits: 32 (version 1) or 64
  bool swapBytes = false;
  std::string name;
  int descriptor = -1;
  int64_t fileSize = 0;
  int64_t position = 0;             // binary: offset of the next line read by getLine
  AsciiScanner* scanner = nullptr;  // ASCII files only
  ChunkReader* reader = nullptr;    // binary files: helper thread, started on first need
  KeywordRecord keywords[kKeywordCount];
  std::string error;               // reason of the last failure
  std::vector<std::string> notes;  // tolerated oddities met by the scan
  // Keywords the scan dropped (lines that cannot fit, a lying header, a next position that
  // points backwards) or replaced, one line each, naming the keyword; for the loader to report.
  std::vector<std::string> warnings;

  int intWidth() const { return version >= 4 ? 8 : 4; }
  int countWidth() const { return version >= 4 ? 8 : 4; }
  int positionWidth() const { return version >= 3 ? 8 : 4; }
};

// Opens name for reading (mode 1) and scans it once. The kind comes from the name: ".meshb",
// ".mesh", ".solb", ".sol", searched in that order. Only a regular file is read (a FIFO or a
// device is refused without blocking), and never past the size it had when opened. Returns an
// owned record (free it with closeKeywordFile) or null; on failure *error (when given)
// receives the reason, which begins with the file name. Opening fails only when the header
// (endianness code, version, dimension) cannot be read or is refused; a keyword whose header
// lies (lines that cannot fit before the next keyword or the end of the file, a next position
// that points backwards, a solution header out of bounds) is left absent and named in
// warnings, and every other keyword stays readable. Nothing is allocated from a count that
// the scan has not checked against the bytes (binary) or values (ASCII) present.
KeywordFile* openKeywordFile(const char* name, int mode, int* version, int* dimension,
                             std::string* error = nullptr);

// Closes the file and frees the record and its renumbering tables. Returns 1 (0 when closing
// an ASCII stream failed). A null record returns 0.
int closeKeywordFile(KeywordFile* file);

// Line count of the keyword, 0 when absent. For solution keywords the outputs that are not
// null receive the number of types, the solution size (reals per node), the type codes
// (types must have room for the number of types), the degree and the nodes per element.
int64_t keywordStatistics(KeywordFile* file, int keyword, int* typeCount = nullptr,
                          int* solutionSize = nullptr, int* types = nullptr, int* degree = nullptr,
                          int* nodes = nullptr);

// Positions the file on the keyword's first line: 1, or 0 when the keyword is absent.
int gotoKeyword(KeywordFile* file, int keyword);

// Reads the next line of the keyword (after gotoKeyword) into one pointer per field of the
// expanded format: reals as float (version 1) or double, integers as int32 (versions 1-3)
// or int64 (version 4), comments into 256 characters. A solution keyword takes a single
// pointer receiving all reals of the line. Returns 1, or 0 on a read error.
int getLine(KeywordFile* file, int keyword, void* const* fields, int fieldCount);

// Caller field of a block read.
enum BlockFieldType : int {
  kFieldReal32 = 1,
  kFieldReal64 = 2,
  kFieldInt32 = 3,
  kFieldInt64 = 4,
  kFieldReal64Vector = 6,
  kFieldInt32Vector = 7,
};
struct BlockField {
  int type;
  void* first;     // value of the first line read
  void* last;      // value of the last line read
  int length = 1;  // vector types: number of values
};

// Reads lines firstLine..lastLine of the keyword. Each caller field takes the next file
// fields in expanded-format order (a vector takes length of them) and converts them to its
// type; the stride between lines is (last - first) / (lines - 1) bytes, and the natural size
// of the field when one line is read. An integer vector starting at field 0 of an element
// keyword with a renumbering table is stored in the default node order. Binary files are read
// in chunks of 10,000 lines, the read of the next chunk overlapped with the decoding of the
// current one. Returns 1, or 0 (error set) on a malformed, truncated or short file. A failed
// system read (not a short one) prints its report and ends the process with status 1.
int getBlock(KeywordFile* file, int keyword, int64_t firstLine, int64_t lastLine,
             const BlockField* fields, int fieldCount);

// Installs the renumbering of an element keyword of degree 1 to 4: for each file position j
// the default position i whose row defaultRows[i] equals fileRows[j]. Both tables hold the
// keyword's node count of rows of its row width. Returns 1, or 0 for another keyword or when
// the file rows are not a permutation of the default rows. Replaces a previous table.
int setRenumbering(KeywordFile* file, int keyword, const int* defaultRows, const int* fileRows);

// Expanded format of a line format: the letters of one line's fields. Returns false when the
// result would exceed maxFields.
bool expandLineFormat(const char* lineFormat, int dimension, int solutionSize, int nodes,
                      int maxFields, std::string* expanded);

// Reals per node of a solution with these type codes (1 scalar, 2 vector, 3 symmetric,
// 4 full matrix) in dimension 2 or 3; -1 for an unknown type code.
int solutionSizeOf(const int* types, int typeCount, int dimension);

// Row width and node count of an element keyword that accepts a renumbering (0 otherwise).
int renumberingShape(int keyword, int* nodes);

}  // namespace zel
