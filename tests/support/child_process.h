// Starts a program as a child process with its output captured in a file, for tests that
// drive the real pellon binary.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temporary_directory.h"

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
  // Waits up to ten seconds until `text` is in the output.
  bool waitForOutput(const std::string& text);

 private:
  pid_t m_pid = -1;
  int m_status = 0;
  bool m_finished = false;
  std::string m_outputFile;
};

// Number of non-overlapping occurrences of `needle` in `text`.
int countOccurrences(const std::string& text, const std::string& needle);

// The file names of the screenshots that `output` reports, in order.
std::vector<std::string> screenshotsReported(const std::string& output);
