// Finds the top-level windows of a process on the X server and closes them the way a window
// manager does (WM_DELETE_WINDOW), so that a test can end pellon's event loop cleanly.
#pragma once

#include <sys/types.h>

#include <vector>

struct WindowInfo {
  unsigned long id = 0;
  int width = 0, height = 0;
  bool mapped = false;
};

// Mapped top-level windows whose _NET_WM_PID is `pid`.
std::vector<WindowInfo> windowsOfProcess(pid_t pid);

// Waits up to `seconds` until `count` windows of `pid` are mapped; returns what was found.
std::vector<WindowInfo> waitForWindows(pid_t pid, size_t count, double seconds);

// Sends WM_DELETE_WINDOW to every window of `pid`; returns how many were asked to close.
int closeWindowsOfProcess(pid_t pid);

// Sends a key press and release of `keysym` (an X keysym name such as "space" or "w") to every
// window of `pid`; returns how many windows received it.
int sendKeyToProcess(pid_t pid, const char* keysym);
