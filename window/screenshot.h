// Screenshots: reads the frame just drawn and writes it as a PNG file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class QOpenGLFunctions_4_0_Core;

// The requested name, or "screenshot_%ld.png" with `now` as a 32-bit count of seconds.
std::string screenshotFileName(const std::string& requested, std::time_t now);

// Writes `rgba` (width x height x 4 bytes, bottom row first) as a PNG stored top row first.
bool writePngBottomUp(const std::string& fileName, int width, int height,
                      const std::vector<uint8_t>& rgba);

// Reads the current frame of the default framebuffer (resolving multisampling first) as RGBA,
// bottom row first.
std::vector<uint8_t> readFramePixels(QOpenGLFunctions_4_0_Core* gl, int width, int height,
                                     bool multisampled);

// Reads the frame, writes the file and prints its report lines.
void takeScreenshot(QOpenGLFunctions_4_0_Core* gl, int width, int height, bool multisampled,
                    const std::string& requestedName);
