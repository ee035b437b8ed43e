// Opening mesh and solution files for the zel_ loaders, and the report of what a file held
// that could not be read (internal to meshio).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "meshio/keyword_file.h"

namespace zel {

struct CloseKeywordFile {
  void operator()(KeywordFile* file) const { closeKeywordFile(file); }
};
using KeywordFileHandle = std::unique_ptr<KeywordFile, CloseKeywordFile>;

// Opens the first candidate name that opens as a keyword file of the wanted kind (kFileMesh
// or kFileSolution) and stores its name in *opened. When none does, *reason receives why the
// first candidate that exists could not be read (empty when none exists).
KeywordFileHandle openFirstCandidate(const std::vector<std::string>& candidates, int wantedKind,
                                     std::string* opened, std::string* reason);

// What a loader could not read from a file: one line per dropped or failed keyword, each
// printed to standard output as it is met; the first one is the failure message if the load
// ends up failing.
class LoadProblems {
 public:
  // Takes over the warnings of the opening scan (prefixed with the file name).
  explicit LoadProblems(const KeywordFile* file);
  // Adds a problem whose text already names the file (KeywordFile::error does).
  void add(const std::string& text);
  // Adds a problem about the file, formatted.
  void addAbout(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  bool empty() const { return m_lines.empty(); }
  // Writes the first problem into the status buffer and returns zel::kFailure.
  int fail(char* status) const;

 private:
  const KeywordFile* m_file;
  std::vector<std::string> m_lines;
};

}  // namespace zel
