// The shader programs of the suite and the resource files each is built from.
//
// Uniforms beyond the usual set that the renderer must know of:
//  - `CutPlaneOn` (bool): set it together with enabling clip distance 0. The software driver
//    clips by every clip distance a shader writes, enabled or not, so the shaders write the
//    cut-plane distance only while it is true (and a positive distance otherwise).
//  - `BaseElement` (int): set by the buffers for each batch of patches; element numbers of the
//    tessellated programs are BaseElement plus the patch's number within the draw.
// The sources are resources: call zelInitGpuResources() (gpu/gpu_resources.h) once first.
#pragma once

struct ZelShaderProgramSources {
  const char* name;  // program name, e.g. "P2TriSha"
  const char* vs;    // resource paths under ":/glsl/"; null: no such stage
  const char* fs;
  const char* gs;
  const char* tcs;
  const char* tes;
};

// All programs of the suite, in a fixed order; `count` receives their number.
const ZelShaderProgramSources* zelShaderPrograms(int& count);
// The program of that name, or null.
const ZelShaderProgramSources* zelShaderProgram(const char* name);

// Every curved kind's program has a twin named with this suffix, whose tessellation levels come
// from the curvature rule alone: it draws exactly what the program draws wherever the screen
// level is 1 (every element of the object under about a pixel, or straight and not close to
// the eye), at less cost.
constexpr const char* kSubPixelSuffix = "SubPixel";
// The twin of the named program, or null when it has none.
const ZelShaderProgramSources* zelSubPixelProgram(const char* name);
