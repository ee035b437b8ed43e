// The parameter file of a mesh ("NAME.zelmor", else "DEFAULT.zelmor", else "Default.zelmor"):
// colour map, palette, iso-lines, displayed field, bounding box, user cut planes, and whether
// frames stay full while the view moves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Display parameters with their defaults; the file overrides those it names. Reals are read
// as doubles and stored rounded to single precision.
struct DisplayParameters {
  int Pal = 0;  // 1 when five palette values were read
  float usrPal[5] = {0, 0, 0, 0, 0};
  int NbrUsrCut = 0;  // user cut planes: centres and normals
  std::vector<std::array<double, 3>> ctr, nor;
  int nbrIso = 9;       // regular iso-values per palette interval
  double IsoWid = 1.0;  // iso-line width
  int cm = 0;           // colour map number
  double bbox[6] = {0, 0, 0, 0, 0, 0};
  int NbrUsrIso = 0;  // user iso-values
  std::vector<float> UsrIsoVal;
  int displayField = 0;     // 0: not given; else the field asked for (at least 1)
  bool fullFrames = false;  // "fullframes": full frames even while the view moves
};

// "run.meshb" -> "run.zelmor": the mesh name cut at its first ".mesh", plus ".zelmor".
std::string parameterFileName(const std::string& meshName);

// Finds and reads the parameter file of `meshName`, printing its messages on `out`. The first
// name that exists is read if it is a regular file of at most kMaximumParameterFileSize bytes
// (opened without blocking, so a FIFO or a device is refused at once, with
// "  ## ERROR: ZELMOR: %s: <reason> \n"). Returns false when no parameter file was read (the
// defaults stay). Values out of their range are clamped with a message.
constexpr size_t kMaximumParameterFileSize = 16 << 20;
bool readParameterFile(const std::string& meshName, DisplayParameters* parameters, std::FILE* out);

// Reads the keywords of an open parameter file.
void readParameterKeywords(std::FILE* in, DisplayParameters* parameters, std::FILE* out);
