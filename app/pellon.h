// Entry point of pellon: application object, locale, surface format and start-up modes.
#pragma once

#include <QSurfaceFormat>

// The one surface format every window asks for: OpenGL 4.5 core, 24-bit depth, 16 samples.
QSurfaceFormat pellonSurfaceFormat();

// Runs pellon on argv; returns the process exit code.
int runPellon(int argc, char** argv);
