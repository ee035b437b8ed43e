// The opening scan of ASCII keyword files: version, dimension, then every keyword header,
// each table checked to hold its declared values before the next keyword.
#include <string>
#include <string_view>

#include "meshio/ascii_scanner.h"
#include "meshio/keyword_error.h"
#include "meshio/keyword_scan.h"

namespace zel {

namespace {

const char* keywordName(int keyword) { return kKeywordTable[keyword].name; }

class AsciiHeader : public HeaderReader {
 public:
  explicit AsciiHeader(AsciiScanner* scanner) : scanner_(scanner) {}
  int64_t value(const char* what, int keyword) {
    std::string_view token;
    int64_t result = 0;
    const int64_t before = scanner_->offset(), tokensBefore = scanner_->tokens();
    if (!scanner_->next(&token))
      throwKeywordError("%s: end of file where %s was expected", keywordName(keyword), what);
    if (parseInteger(token, &result)) return result;
    const std::string quoted(token.substr(0, 40));
    // A keyword where a header value belongs ends this header; the scan then reads it.
    if (keywordCode(token.data(), static_cast<int>(token.size())) != 0)
      scanner_->rewind(before, tokensBefore);
    throwKeywordError("%s: '%s' where %s was expected", keywordName(keyword), quoted.c_str(), what);
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

// The last table read by the ASCII scan, whose values the scan has not all passed yet.
struct OpenTable {
  int keyword = 0;
  int64_t firstToken = 0;  // token count at its first value
  KeywordRecord replaced;  // the earlier occurrence it replaced, restored if it is dropped
};

// Drops the open table when fewer values than its lines declare lie before the next keyword
// (or the end of the file): a keyword met where a value is expected is an error of the table
// it interrupts, not a value of it.
void closeTable(KeywordFile* file, OpenTable* table, int64_t tokensSeen, const char* where) {
  if (!table->keyword) return;
  const KeywordRecord& record = file->keywords[table->keyword];
  const int64_t values = tokensSeen - table->firstToken;
  if (record.lineCount > values / record.fields) {
    addWarning(file, "%s: %lld lines of %d values, only %lld values before %s; keyword ignored%s",
               keywordName(table->keyword), static_cast<long long>(record.lineCount), record.fields,
               static_cast<long long>(values), where,
               table->replaced.kind != kKwdAbsent ? ", the earlier block is kept" : "");
    file->keywords[table->keyword] = std::move(table->replaced);
  }
  table->keyword = 0;
}

}  // namespace

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
  OpenTable table;
  while (scanner->nextWord(&token)) {
    int code = keywordCode(token.data(), static_cast<int>(token.size()));
    if (code == 0) continue;  // a word among the values ("nan", garbage): one more value
    closeTable(file, &table, scanner->tokens() - 1, keywordName(code));
    if (code == Kwd::MeshVersionFormatted || code == Kwd::Dimension) continue;
    if (code == Kwd::End) sawEnd = true;
    if (!kKeywordTable[code].described) {
      recordUndescribed(file, code);
      continue;
    }
    KeywordRecord earlier = file->keywords[code];
    if (!readOrDropHeader(file, code, &head, file->fileSize)) continue;
    const KeywordRecord& record = file->keywords[code];
    // A comment field takes the rest of its line, so its values cannot be counted as tokens.
    if (record.fields > 0 && record.format.find('c') == std::string::npos)
      table = {code, scanner->tokens(), std::move(earlier)};
  }
  if (scanner->failed()) throwKeywordError("read error");
  closeTable(file, &table, scanner->tokens(), "the end of the file");
  if (!sawEnd) file->notes.push_back("no End keyword");
}

}  // namespace zel
