// Whether pellon can open windows at all: the display its Qt platform needs, and an OpenGL
// context of the requested format. Both are decided before the first window exists, because
// without a display Qt's X11 platform aborts the process and without OpenGL a window waits for
// an initialisation that never comes.
#pragma once

#include <string>
#include <vector>

class QSurfaceFormat;

// The Qt platform the application will use: the value after a "-platform" argument, else
// `environmentPlatform` (QT_QPA_PLATFORM; null or empty when unset), else "" for the
// default (X11). `arguments` includes the program name first, as in argv.
std::string chosenPlatform(const std::vector<std::string>& arguments,
                           const char* environmentPlatform);

// False when `platform` is the X11 one (by name, "xcb", optionally followed by ":" and
// options, or "" for the default) and `display` (DISPLAY) is null or empty. Other platforms
// bring their own surfaces or fail later, at the OpenGL check.
bool displayAvailable(const std::string& platform, const char* display);

// Whether `platform` is Qt's X11 one.
bool isX11Platform(const std::string& platform);

// Whether an X server answers at `display`: Qt's X11 platform aborts the process when it
// cannot connect, so a DISPLAY naming a server that is gone is caught here first.
bool x11DisplayReachable(const char* display);

// The one line printed, with its newline, when no display is found, and when the display
// named cannot be reached.
extern const char* const kNoDisplayLine;
extern const char* const kUnreachableDisplayLine;

// Creates and discards an OpenGL context of `format` (the application object must exist);
// false when the platform cannot create one. `major` and `minor` receive the version of the
// context obtained (0.0 without one).
bool openGLContextAvailable(const QSurfaceFormat& format, int* major, int* minor);
