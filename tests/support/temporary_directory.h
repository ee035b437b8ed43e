// A fresh temporary directory for one test, unique to the process and removed with its files
// by the destructor; while it lives it can be the working directory.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

class TemporaryDirectory {
 public:
  // With `enter`, the directory is the working directory until the destructor restores the
  // previous one.
  explicit TemporaryDirectory(bool enter = false) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zeltest.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    if (enter) {
      m_previous = std::filesystem::current_path();
      std::filesystem::current_path(m_path);
    }
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    if (!m_previous.empty()) std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& path() const { return m_path; }
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
  std::filesystem::path m_previous;
};
