// ASCII block reads and single-line reads of the keyword file library: values converted token
// by token straight into the caller's fields.
#include <charconv>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "meshio/ascii_scanner.h"
#include "meshio/chunk_reader.h"
#include "meshio/keyword_decode.h"

namespace zel {

namespace {

// A 32-bit file field, or a 64-bit one going to a 32-bit caller field, must fit.
template <typename Target>
bool integerFits(int64_t integer, int source) {
  return !(source == kInt32 || std::is_same_v<Target, int32_t>) ||
         (integer >= INT32_MIN && integer <= INT32_MAX);
}

// The number of the given file kind that starts at first, in the spellings from_chars takes,
// converted to Target: returns where it ends, or null when none starts there or it does not
// fit. It ends at the first character that cannot continue it, so a caller that needs a whole
// token checks what follows.
template <typename Target>
const char* parseLeading(const char* first, const char* last, int source, Target* value) {
  if (source == kInt32 || source == kInt64) {
    int64_t integer;
    const char* end = parseDecimal(first, last, &integer);
    if (!end || !integerFits<Target>(integer, source)) return nullptr;
    *value = convertValue<Target>(integer);
    return end;
  }
  if (source == kReal32) {
    float real;
    const auto result = std::from_chars(first, last, real);
    if (result.ec != std::errc()) return nullptr;
    *value = convertValue<Target>(real);
    return result.ptr;
  }
  double real;
  const auto result = std::from_chars(first, last, real);
  if (result.ec != std::errc()) return nullptr;
  *value = convertValue<Target>(real);
  return result.ptr;
}

// Converts one token of the given file kind and stores it as Target; false when the token is
// not such a number. from_chars takes the common spellings, parseInteger/parseReal the rest.
template <typename Target>
bool convertToken(std::string_view token, int source, char* address) {
  Target value{};
  if (parseLeading(token.data(), token.data() + token.size(), source, &value) !=
      token.data() + token.size()) {
    if (source == kInt32 || source == kInt64) {
      int64_t integer;
      if (!parseInteger(token, &integer) || !integerFits<Target>(integer, source)) return false;
      value = convertValue<Target>(integer);
    } else if (source == kReal32) {
      float real;
      if (!parseReal(token, &real)) return false;
      value = convertValue<Target>(real);
    } else {
      double real;
      if (!parseReal(token, &real)) return false;
      value = convertValue<Target>(real);
    }
  }
  std::memcpy(address, &value, sizeof(Target));
  return true;
}

[[noreturn]] void badToken(const char* name, int64_t line, int field, std::string_view token,
                           bool found, int source) {
  if (!found)
    throwKeywordError("%s line %lld field %d: end of file", name, static_cast<long long>(line),
                      field);
  throwKeywordError("%s line %lld field %d: '%.40s' where %s was expected", name,
                    static_cast<long long>(line), field, std::string(token).c_str(),
                    source == kInt32 || source == kInt64 ? "an integer" : "a real");
}

// Reads the values of one run of one line into the caller's field.
template <typename Target>
void readAsciiRun(AsciiScanner* scanner, const Run& run, int64_t l, const char* name,
                  int64_t line) {
  char* base = run.base + l * run.stride;
  std::string_view token;
  for (int e = 0; e < run.count; ++e) {
    int element = run.firstElement + e;
    if (run.permutation) element = run.permutation[element];
    // Most values are converted where they lie in the buffer, the conversion finding their
    // end; one followed by anything but a blank (or by the end of the buffer) is taken again
    // as a whole token below.
    const std::string_view rest = scanner->rest();
    const char* const last = rest.data() + rest.size();
    Target value;
    const char* end = parseLeading(rest.data(), last, run.source, &value);
    if (end && end < last && AsciiScanner::isBlankCharacter(*end)) {
      std::memcpy(base + element * sizeof(Target), &value, sizeof(Target));
      scanner->pass(static_cast<size_t>(end - rest.data()));
      continue;
    }
    const bool found = scanner->nextQuick(&token);
    if (!found || !convertToken<Target>(token, run.source, base + element * sizeof(Target)))
      badToken(name, line, run.firstField + e + 1, token, found, run.source);
  }
}

}  // namespace

void readAsciiBlock(KeywordFile* file, int keyword, int64_t firstLine, int64_t lines,
                    const std::vector<Run>& plan) {
  const KeywordRecord& record = file->keywords[keyword];
  const char* name = kKeywordTable[keyword].name;
  AsciiScanner* scanner = file->scanner;
  scanner->seek(record.offset);
  std::string_view token;
  auto skip = [&](int64_t count) {
    for (; count > 0; --count)
      if (!scanner->nextQuick(&token)) throwKeywordError("%s: end of file", name);
  };
  skip((firstLine - 1) * record.fields);
  for (int64_t l = 0; l < lines; ++l) {
    int field = 0;  // data fields not asked for are skipped in line order
    for (const Run& run : plan) {
      skip(run.firstField - field);
      switch (run.target) {
        case kInt32:
          readAsciiRun<int32_t>(scanner, run, l, name, firstLine + l);
          break;
        case kInt64:
          readAsciiRun<int64_t>(scanner, run, l, name, firstLine + l);
          break;
        case kReal32:
          readAsciiRun<float>(scanner, run, l, name, firstLine + l);
          break;
        default:
          readAsciiRun<double>(scanner, run, l, name, firstLine + l);
          break;
      }
      field = run.firstField + run.count;
    }
    skip(record.fields - field);
  }
  if (scanner->failed()) throwKeywordError("%s: read error", name);
}

int getLine(KeywordFile* file, int keyword, void* const* fields, int fieldCount) {
  if (!validRange(file, keyword, 1, 1) || !fields || fieldCount < 1) return 0;
  const KeywordRecord& record = file->keywords[keyword];
  const bool solution = record.kind == kKwdSolution;
  const char* name = kKeywordTable[keyword].name;
  try {
    std::vector<unsigned char> line;
    if (file->kindFlags & kFileBinary) {
      line.resize(static_cast<size_t>(record.lineSize));
      int error = 0;
      if (readFully(file->descriptor, line.data(), line.size(), file->position, &error) !=
          static_cast<ssize_t>(line.size()))
        throwKeywordError("%s: file truncated", name);
      file->position += record.lineSize;
    }
    size_t byte = 0;
    int field = 0;
    char* solutionTarget = static_cast<char*>(fields[0]);
    for (char letter : record.format) {
      if (letter != 'i' && letter != 'r' && letter != 'c') continue;
      if (!solution && field >= fieldCount) throwKeywordError("%s: too few pointers", name);
      char* target = solution ? solutionTarget : static_cast<char*>(fields[field]);
      const int size = letter == 'c' ? 256 : valueSize(fileKind(file, letter));
      if (letter == 'c' && file->scanner) {
        file->scanner->restOfLine(target, 256);
      } else if (file->scanner) {
        const int kind = fileKind(file, letter);
        std::string_view token;
        const bool found = file->scanner->next(&token);
        bool stored = false;
        if (found) {
          switch (kind) {
            case kInt32:
              stored = convertToken<int32_t>(token, kind, target);
              break;
            case kInt64:
              stored = convertToken<int64_t>(token, kind, target);
              break;
            case kReal32:
              stored = convertToken<float>(token, kind, target);
              break;
            default:
              stored = convertToken<double>(token, kind, target);
              break;
          }
        }
        if (!stored) badToken(name, 1, field + 1, token, found, kind);
      } else if (letter == 'c') {
        std::memcpy(target, line.data() + byte, 256);
      } else if (size == 4) {  // the raw bits of an integer or a real, in host order
        const uint32_t raw = file->swapBytes ? loadValue<uint32_t, true>(line.data() + byte)
                                             : loadValue<uint32_t, false>(line.data() + byte);
        std::memcpy(target, &raw, 4);
      } else {
        const uint64_t raw = file->swapBytes ? loadValue<uint64_t, true>(line.data() + byte)
                                             : loadValue<uint64_t, false>(line.data() + byte);
        std::memcpy(target, &raw, 8);
      }
      byte += static_cast<size_t>(size);
      solutionTarget += size;
      ++field;
    }
  } catch (const std::exception& failure) {
    file->error = file->name + ": " + failure.what();
    return 0;
  }
  return 1;
}
}  // namespace zel
