// zel_x11: waits for or closes the windows of a process on the X server. Used by the run
// script to end a headless session cleanly.
//   zel_x11 wait PID COUNT SECONDS   exits 0 once COUNT windows of PID are mapped
//   zel_x11 close PID                asks every window of PID to close
//   zel_x11 key PID KEYSYM           sends one key (X keysym name, e.g. "space") to PID
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/x11_windows.h"

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "wait") == 0) {
    const size_t count = std::strtoul(argv[3], nullptr, 10);
    return waitForWindows(std::atoi(argv[2]), count, std::atof(argv[4])).size() >= count ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    return closeWindowsOfProcess(std::atoi(argv[2])) > 0 ? 0 : 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "key") == 0) {
    return sendKeyToProcess(std::atoi(argv[2]), argv[3]) > 0 ? 0 : 1;
  }
  std::fprintf(stderr, "usage: zel_x11 wait PID COUNT SECONDS | close PID | key PID KEYSYM\n");
  return 2;
}
