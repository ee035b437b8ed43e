// Display and OpenGL checks made before pellon opens its first window.
#include "app/window_system.h"

#include <xcb/xcb.h>

#include <QOpenGLContext>
#include <QSurfaceFormat>

const char* const kNoDisplayLine =
    "  No display found (DISPLAY is not set): run pellon headless with  xvfb-run -a -s \"-screen "
    "0 1280x1024x24\" pellon ARGUMENTS  or  bash scripts/run.sh ARGUMENTS\n";

std::string chosenPlatform(const std::vector<std::string>& arguments,
                           const char* environmentPlatform) {
  // Qt reads "-platform NAME" anywhere on the command line, and it wins over the variable.
  for (size_t i = 1; i + 1 < arguments.size(); ++i)
    if (arguments[i] == "-platform") return arguments[i + 1];
  return environmentPlatform ? environmentPlatform : "";
}

const char* const kUnreachableDisplayLine =
    "  Cannot connect to the display named by DISPLAY: run pellon headless with  xvfb-run -a -s "
    "\"-screen 0 1280x1024x24\" pellon ARGUMENTS  or  bash scripts/run.sh ARGUMENTS\n";

bool isX11Platform(const std::string& platform) {
  const std::string name = platform.substr(0, platform.find(':'));
  return name.empty() || name == "xcb";
}

bool displayAvailable(const std::string& platform, const char* display) {
  return !isX11Platform(platform) || (display && *display);
}

bool x11DisplayReachable(const char* display) {
  xcb_connection_t* connection = xcb_connect(display, nullptr);
  const bool reachable = connection && xcb_connection_has_error(connection) == 0;
  if (connection) xcb_disconnect(connection);
  return reachable;
}

bool openGLContextAvailable(const QSurfaceFormat& format, int* major, int* minor) {
  QOpenGLContext probe;
  probe.setFormat(format);
  const bool created = probe.create();
  *major = created ? probe.format().majorVersion() : 0;
  *minor = created ? probe.format().minorVersion() : 0;
  return created;
}
