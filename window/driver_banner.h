// Texts printed when a scene window starts: the product banner, the driver information and the
// refusal of contexts older than OpenGL 4.
#pragma once

#include <cstdio>
#include <string>

struct DriverInformation {
  std::string vendor, renderer, version, glslVersion;
  int major = 0, minor = 0;
  int depthBits = 0;
  double devicePixelRatio = 1.0;
};

// Width of the boxes in characters, frame included.
constexpr int kBannerBoxWidth = 73;

// One box line: "|" + text indented by `indent` blanks, padded to the box width + "|".
std::string bannerBoxLine(const std::string& text, int indent = 0, const char* colour = nullptr);

void printBanner(std::FILE* out);
void printDriverInformation(std::FILE* out, const DriverInformation& info);
void printSetupTime(std::FILE* out, double seconds);
void printOpenGLTooOld(std::FILE* out, int major, int minor);
