// Banner, driver information and the "OpenGL 4 required" box of the scene window.
#include "window/driver_banner.h"

namespace {

const char* const kRed = "\033[31m";
const char* const kColourOff = "\033[0m";
const char* const kWebSite = "https://zelmor.example.org";

std::string dashLine() { return " " + std::string(kBannerBoxWidth - 2, '-') + " "; }

void printWebSiteLines(std::FILE* out) {
  std::fprintf(out, "  For more information on ZELMOR, please visit\n");
  std::fprintf(out, "  %s\n", kWebSite);
}

}  // namespace

std::string bannerBoxLine(const std::string& text, int indent, const char* colour) {
  const int inner = kBannerBoxWidth - 2;
  std::string body = std::string(indent, ' ') + text;
  if (static_cast<int>(body.size()) < inner) body += std::string(inner - body.size(), ' ');
  if (colour) {
    // Colour only the text, so that the frame stays aligned in the terminal.
    std::string pad = body.substr(indent + text.size());
    body = std::string(indent, ' ') + colour + text + kColourOff + pad;
  }
  return "|" + body + "|";
}

void printBanner(std::FILE* out) {
  std::fprintf(out, " \n \n \n");
  std::fprintf(out, "%s\n", dashLine().c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("").c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("ZELMOR, Release 4", 9).c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("Owner   : the ZELMOR developers", 9).c_str());
  std::fprintf(out, "%s\n", bannerBoxLine(std::string("Web     : ") + kWebSite, 9).c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("Contact : zelmor@example.org", 9).c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("").c_str());
  std::fprintf(out, "%s\n", dashLine().c_str());
  std::fprintf(out, " \n \n");
}

void printDriverInformation(std::FILE* out, const DriverInformation& info) {
  std::fprintf(out, "  GL   Vendor        : %s\n", info.vendor.c_str());
  std::fprintf(out, "  GL   Renderer      : %s\n", info.renderer.c_str());
  std::fprintf(out, "  GL   Version       : %s\n", info.version.c_str());
  std::fprintf(out, "  GL   Version       : %d.%d\n", info.major, info.minor);
  std::fprintf(out, "  GLSL Version       : %s\n", info.glslVersion.c_str());
  std::fprintf(out, "  Depth buffer       : %d bits\n", info.depthBits);
  std::fprintf(out, "  Retina pixel ratio : %3.1f \n", info.devicePixelRatio);
}

void printSetupTime(std::FILE* out, double seconds) {
  std::fprintf(out, "\n  setting up the scene %5.2f s \n\n", seconds);
}

void printOpenGLTooOld(std::FILE* out, int major, int minor) {
  char version[64];
  std::snprintf(version, sizeof version, "The openGL context is %d.%d", major, minor);
  std::fprintf(out, " \n \n \n");
  std::fprintf(out, "%s\n", dashLine().c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("").c_str());
  std::fprintf(out, "%s\n",
               bannerBoxLine(
                   "You cannot use zelmor 4 on your host as openGL 4 is required, sorry !", 0, kRed)
                   .c_str());
  std::fprintf(out, "%s\n", bannerBoxLine(version, 0, kRed).c_str());
  std::fprintf(out, "%s\n", bannerBoxLine("").c_str());
  std::fprintf(out, "%s\n", dashLine().c_str());
  std::fprintf(out, " \n \n \n");
  printWebSiteLines(out);
  std::fprintf(out, " \n\n");
  std::fprintf(out, "  The window won't display anything !\n\n");
  std::fflush(out);
}
