// Window lookup and closing on the X server through Xlib.
#include "tests/support/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace {

// Windows of other clients come and go while the tree is walked (other tests share the
// server): a request on a window that has just gone is ignored instead of ending the process.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

struct Connection {
  Connection() { XSetErrorHandler(ignoreXErrors); }
  ~Connection() {
    if (display) XCloseDisplay(display);
  }
  Display* display = XOpenDisplay(nullptr);
};

long windowPid(Display* display, Window window) {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  Atom type;
  int format;
  unsigned long items, remaining;
  unsigned char* data = nullptr;
  long pid = -1;
  if (pidAtom != None &&
      XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                         &remaining, &data) == Success &&
      data) {
    if (items == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
    XFree(data);
  }
  return pid;
}

std::vector<Window> topLevelWindowsOf(Display* display, pid_t pid) {
  std::vector<Window> found;
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return found;
  for (unsigned int i = 0; i < count; ++i)
    if (windowPid(display, children[i]) == pid) found.push_back(children[i]);
  if (children) XFree(children);
  return found;
}

// Sends what `send(display, window)` sends to every top-level window of `pid`; returns how many
// windows that was.
template <typename Send>
int sendToWindowsOf(pid_t pid, Send send) {
  Connection connection;
  if (!connection.display) return 0;
  const std::vector<Window> windows = topLevelWindowsOf(connection.display, pid);
  for (Window window : windows) send(connection.display, window);
  XFlush(connection.display);
  return int(windows.size());
}

}  // namespace

std::vector<WindowInfo> windowsOfProcess(pid_t pid) {
  std::vector<WindowInfo> result;
  Connection connection;
  if (!connection.display) return result;
  for (Window window : topLevelWindowsOf(connection.display, pid)) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(connection.display, window, &attributes) &&
        attributes.map_state == IsViewable)
      result.push_back({window, attributes.width, attributes.height, true});
  }
  return result;
}

std::vector<WindowInfo> waitForWindows(pid_t pid, size_t count, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::vector<WindowInfo> found = windowsOfProcess(pid);
  while (found.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    found = windowsOfProcess(pid);
  }
  return found;
}

int closeWindowsOfProcess(pid_t pid) {
  return sendToWindowsOf(pid, [](Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
  });
}

int sendKeyToProcess(pid_t pid, const char* keysym) {
  const KeySym symbol = XStringToKeysym(keysym);
  if (symbol == NoSymbol) return 0;
  return sendToWindowsOf(pid, [symbol](Display* display, Window window) {
    for (int type : {KeyPress, KeyRelease}) {
      XEvent event{};
      event.xkey.type = type;
      event.xkey.display = display;
      event.xkey.window = window;
      event.xkey.root = DefaultRootWindow(display);
      event.xkey.time = CurrentTime;
      event.xkey.x = event.xkey.y = 1;
      event.xkey.same_screen = True;
      event.xkey.keycode = XKeysymToKeycode(display, symbol);
      XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
    }
  });
}
