// Table of the shader programs and their source files.
#include "gpu/shader_programs.h"

#include <cstring>
#include <iterator>
#include <string>

namespace {

#define GLSL ":/glsl/"
// One program a line, wider than the column limit.
// clang-format off
const ZelShaderProgramSources kPrograms[] = {
    {"TriSha", GLSL "tri.vs", GLSL "tri.fs", GLSL "tri.gs", nullptr, nullptr},
    {"P2TriSha", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip2.tcs", GLSL "trip2.tes"},
    {"P3TriSha", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip3.tcs", GLSL "trip3.tes"},
    {"P4TriSha", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip4.tcs", GLSL "trip4.tes"},
    {"QuaSha", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "qua.tcs", GLSL "qua.tes"},
    {"Q2QuaSha", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq2.tcs", GLSL "quaq2.tes"},
    {"Q3QuaSha", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq3.tcs", GLSL "quaq3.tes"},
    {"Q4QuaSha", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq4.tcs", GLSL "quaq4.tes"},
    {"EdgSha", GLSL "tri.vs", GLSL "edg.fs", GLSL "edg.gs", nullptr, nullptr},
    {"P2EdgSha", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp2.tcs", GLSL "edgp2.tes"},
    {"P3EdgSha", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp3.tcs", GLSL "edgp3.tes"},
    {"P4EdgSha", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp4.tcs", GLSL "edgp4.tes"},
    {"PntSha", GLSL "pnt.vs", GLSL "pnt.fs", nullptr, nullptr, nullptr},
    {"CrnSha", GLSL "pnt.vs", GLSL "pnt.fs", nullptr, nullptr, nullptr},
    {"PalSha", GLSL "pal.vs", GLSL "pal.fs", GLSL "pal.gs", nullptr, nullptr},
    {"CliPSha", GLSL "tri.vs", GLSL "clip.fs", GLSL "edg.gs", nullptr, nullptr},
    {"PatSha", GLSL "patch.vs", GLSL "patch.fs", nullptr, nullptr, nullptr},
    {"UpscaleSha", GLSL "upscale.vs", GLSL "upscale.fs", nullptr, nullptr, nullptr},
    {"P2TriShaSubPixel", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip2_subpixel.tcs", GLSL "trip2.tes"},
    {"P3TriShaSubPixel", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip3_subpixel.tcs", GLSL "trip3.tes"},
    {"P4TriShaSubPixel", GLSL "tripk.vs", GLSL "tri.fs", GLSL "tripk.gs", GLSL "trip4_subpixel.tcs", GLSL "trip4.tes"},
    {"Q2QuaShaSubPixel", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq2_subpixel.tcs", GLSL "quaq2.tes"},
    {"Q3QuaShaSubPixel", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq3_subpixel.tcs", GLSL "quaq3.tes"},
    {"Q4QuaShaSubPixel", GLSL "quaqk.vs", GLSL "qua.fs", GLSL "quaqk.gs", GLSL "quaq4_subpixel.tcs", GLSL "quaq4.tes"},
    {"P2EdgShaSubPixel", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp2_subpixel.tcs", GLSL "edgp2.tes"},
    {"P3EdgShaSubPixel", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp3_subpixel.tcs", GLSL "edgp3.tes"},
    {"P4EdgShaSubPixel", GLSL "edgpk.vs", GLSL "edg.fs", GLSL "edgpk.gs", GLSL "edgp4_subpixel.tcs", GLSL "edgp4.tes"},
};
// clang-format on
#undef GLSL

}  // namespace

const ZelShaderProgramSources* zelShaderPrograms(int& count) {
  count = static_cast<int>(std::size(kPrograms));
  return kPrograms;
}

const ZelShaderProgramSources* zelShaderProgram(const char* name) {
  if (!name) return nullptr;
  for (const ZelShaderProgramSources& program : kPrograms)
    if (std::strcmp(program.name, name) == 0) return &program;
  return nullptr;
}

const ZelShaderProgramSources* zelSubPixelProgram(const char* name) {
  return name ? zelShaderProgram((std::string(name) + kSubPixelSuffix).c_str()) : nullptr;
}
