// Opening mesh and solution files for the zel_ loaders, and the report of unreadable keywords.
#include "meshio/loader_files.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>

#include "meshio/status.h"

namespace zel {

KeywordFileHandle openFirstCandidate(const std::vector<std::string>& candidates, int wantedKind,
                                     std::string* opened, std::string* reason) {
  reason->clear();
  for (const std::string& candidate : candidates) {
    std::string error;
    int version = 0, dimension = 0;
    KeywordFileHandle file(openKeywordFile(candidate.c_str(), 1, &version, &dimension, &error));
    if (file && (file->kindFlags & wantedKind)) {
      *opened = candidate;
      return file;
    }
    if (file)
      error =
          candidate + ": not a " + (wantedKind & kFileMesh ? "mesh" : "solution") + " file name";
    struct stat info;
    if (reason->empty() && stat(candidate.c_str(), &info) == 0) *reason = error;
  }
  return nullptr;
}

LoadProblems::LoadProblems(const KeywordFile* file) : m_file(file) {
  for (const std::string& warning : file->warnings) add(file->name + ": " + warning);
}

void LoadProblems::add(const std::string& text) {
  m_lines.push_back(text);
  zel::printMessage("  ## WARNING: %s\n", text.c_str());
  std::fflush(stdout);
}

void LoadProblems::addAbout(const char* format, ...) {
  char text[zel::kStatusHalf];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  add(m_file->name + ": " + text);
}

int LoadProblems::fail(char* status) const {
  return setStatus(status, "%s\n", m_lines.empty() ? "" : m_lines.front().c_str());
}

}  // namespace zel
