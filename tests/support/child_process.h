// Starts a program as a child process with its output captured in a file, for tests that
// drive the real pellon binary.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

class ChildProcess {
 public:
  // Starts `program` with `arguments` in `workingDirectory`; `environment` entries
  // ("NAME=value") are added to the inherited environment, and an entry "NAME" without "="
  // removes that variable. Standard output and standard error go to one file.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory,
               const std::vector<std::string>& environment = {});
  ~ChildProcess();  // kills the child if it still runs

  pid_t pid() const { return m_pid; }
  bool running();
  // Waits up to `seconds`; returns the exit code, or -1 on timeout (the child keeps running)
  // and -2 when it died from a signal.
  int wait(double seconds);
  std::string output() const;

 private:
  pid_t m_pid = -1;
  int m_status = 0;
  bool m_finished = false;
  std::string m_outputFile;
};

// A fresh temporary directory for one test; removed by the destructor.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// Number of non-overlapping occurrences of `needle` in `text`.
int countOccurrences(const std::string& text, const std::string& needle);
