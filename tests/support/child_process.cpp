// Child processes for process tests.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingDirectory,
                           const std::vector<std::string>& environment)
    : m_outputFile(workingDirectory + "/child_output.txt") {
  const int fd = ::open(m_outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + m_outputFile);
  m_pid = ::fork();
  if (m_pid == 0) {
    ::dup2(fd, STDOUT_FILENO);
    ::dup2(fd, STDERR_FILENO);
    if (::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    for (const std::string& entry : environment) {
      if (entry.find('=') == std::string::npos)
        ::unsetenv(entry.c_str());
      else
        ::putenv(const_cast<char*>(entry.c_str()));
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(fd);
}

ChildProcess::~ChildProcess() {
  if (m_pid > 0 && running()) {
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, &m_status, 0);
  }
}

bool ChildProcess::running() {
  if (m_finished) return false;
  if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) m_finished = true;
  return !m_finished;
}

int ChildProcess::wait(double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (running()) {
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -2;
}

std::string ChildProcess::output() const {
  std::ifstream in(m_outputFile);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool ChildProcess::waitForOutput(const std::string& text) {
  for (int i = 0; i < 200; ++i) {
    if (output().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::vector<std::string> screenshotsReported(const std::string& output) {
  std::vector<std::string> names;
  const std::regex done("screen shot done in file : (\\S+) \n");
  for (auto it = std::sregex_iterator(output.begin(), output.end(), done);
       it != std::sregex_iterator(); ++it)
    names.push_back((*it)[1]);
  return names;
}

int countOccurrences(const std::string& text, const std::string& needle) {
  int count = 0;
  for (size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size()))
    ++count;
  return count;
}
