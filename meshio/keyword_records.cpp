// Keyword records of an open file: format expansion, statistics, positioning and node
// renumbering tables.
#include <cstring>
#include <vector>

#include "meshio/ascii_scanner.h"
#include "meshio/keyword_file.h"

namespace zel {

namespace {
bool validKeyword(int keyword) { return keyword >= 1 && keyword < kKeywordCount; }
}  // namespace

bool expandLineFormat(const char* lineFormat, int dimension, int solutionSize, int nodes,
                      int maxFields, std::string* expanded) {
  expanded->clear();
  for (const char* c = lineFormat; *c; ++c) {
    int repeat = 1;
    if (*c == 'd' || *c == 's' || *c == 'h') {
      repeat = *c == 'd' ? dimension : solutionSize;
      if (!*++c) break;
    }
    if (static_cast<int64_t>(expanded->size()) + repeat > maxFields) return false;
    expanded->append(static_cast<size_t>(repeat), *c);
  }
  if (lineFormat[0] == 'h' && nodes > 1) {
    if (static_cast<int64_t>(expanded->size()) * nodes > maxFields) return false;
    std::string one = *expanded;
    for (int n = 1; n < nodes; ++n) expanded->append(one);
  }
  return true;
}

int solutionSizeOf(const int* types, int typeCount, int dimension) {
  int size = 0;
  for (int t = 0; t < typeCount; ++t) {
    switch (types[t]) {
      case 1:
        size += 1;
        break;
      case 2:
        size += dimension;
        break;
      case 3:
        size += dimension * (dimension + 1) / 2;
        break;
      case 4:
        size += dimension * dimension;
        break;
      default:
        return -1;
    }
  }
  return size;
}

int64_t keywordStatistics(KeywordFile* file, int keyword, int* typeCount, int* solutionSize,
                          int* types, int* degree, int* nodes) {
  if (!file || !validKeyword(keyword)) return 0;
  const KeywordRecord& record = file->keywords[keyword];
  if (record.kind == kKwdSolution) {
    if (typeCount) *typeCount = static_cast<int>(record.solutionTypes.size());
    if (solutionSize) *solutionSize = record.solutionSize;
    if (types)
      std::memcpy(types, record.solutionTypes.data(), record.solutionTypes.size() * sizeof(int));
    if (degree) *degree = record.degree;
    if (nodes) *nodes = record.nodes;
  }
  return record.kind == kKwdAbsent || record.fields == 0 ? 0 : record.lineCount;
}

int gotoKeyword(KeywordFile* file, int keyword) {
  if (!file || !validKeyword(keyword) || file->keywords[keyword].kind == kKwdAbsent) return 0;
  file->position = file->keywords[keyword].offset;
  if (file->scanner) file->scanner->seek(file->position);
  return 1;
}

int renumberingShape(int keyword, int* nodes) {
  struct Shape {
    int keyword, width, nodes;
  };
  static const Shape shapes[] = {
      {Kwd::Edges, 1, 2},
      {Kwd::EdgesP2, 1, 3},
      {Kwd::EdgesP3, 1, 4},
      {Kwd::EdgesP4, 1, 5},
      {Kwd::Triangles, 3, 3},
      {Kwd::TrianglesP2, 3, 6},
      {Kwd::TrianglesP3, 3, 10},
      {Kwd::TrianglesP4, 3, 15},
      {Kwd::Quadrilaterals, 2, 4},
      {Kwd::QuadrilateralsQ2, 2, 9},
      {Kwd::QuadrilateralsQ3, 2, 16},
      {Kwd::QuadrilateralsQ4, 2, 25},
      {Kwd::Tetrahedra, 4, 4},
      {Kwd::TetrahedraP2, 4, 10},
      {Kwd::TetrahedraP3, 4, 20},
      {Kwd::TetrahedraP4, 4, 35},
      {Kwd::Pyramids, 3, 5},
      {Kwd::PyramidsP2, 3, 14},
      {Kwd::PyramidsP3, 3, 30},
      {Kwd::PyramidsP4, 3, 55},
      {Kwd::Prisms, 4, 6},
      {Kwd::PrismsP2, 4, 18},
      {Kwd::PrismsP3, 4, 40},
      {Kwd::PrismsP4, 4, 75},
      {Kwd::Hexahedra, 3, 8},
      {Kwd::HexahedraQ2, 3, 27},
      {Kwd::HexahedraQ3, 3, 64},
      {Kwd::HexahedraQ4, 3, 125},
  };
  for (const Shape& shape : shapes)
    if (shape.keyword == keyword) {
      if (nodes) *nodes = shape.nodes;
      return shape.width;
    }
  if (nodes) *nodes = 0;
  return 0;
}

int setRenumbering(KeywordFile* file, int keyword, const int* defaultRows, const int* fileRows) {
  int nodes = 0;
  const int width = renumberingShape(keyword, &nodes);
  if (!file || !width || !defaultRows || !fileRows) return 0;
  std::vector<int> table(static_cast<size_t>(nodes), -1);
  std::vector<bool> used(static_cast<size_t>(nodes), false);
  for (int j = 0; j < nodes; ++j) {
    for (int i = 0; i < nodes; ++i) {
      if (used[i] || std::memcmp(defaultRows + i * width, fileRows + j * width,
                                 sizeof(int) * static_cast<size_t>(width)) != 0)
        continue;
      table[j] = i;
      used[i] = true;
      break;
    }
    if (table[j] < 0) {
      file->error = file->name + ": " + kKeywordTable[keyword].name +
                    " ordering is not a permutation of the default node order";
      return 0;
    }
  }
  file->keywords[keyword].renumbering.swap(table);
  return 1;
}

}  // namespace zel
