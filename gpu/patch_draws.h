// How many patches one draw call may hold on the current driver. Drawing every object in one
// call is fastest, but some drivers (the software one among them) restart the tessellation
// stages' primitive numbering every few hundred patches, which silently gives elements the
// solution coefficients and picking ids of others, and lose whole patches in large draws at
// high levels. Those get batches of at most kBatchPatches patches (see ZelBufferObject).
#pragma once

class QOpenGLFunctions_4_0_Core;

enum class ZelPatchDraws {
  Probe,    // decided by probing the driver
  OneCall,  // every object in one call
  Batches,  // batches of kBatchPatches
};

// Largest batch that numbers exactly and loses nothing on the software driver, up to level 32.
constexpr int kBatchPatches = 32;

// The choice forced by the value of the environment variable ZEL_PATCH_DRAWS: "one" for one
// call, "batches" for batches; anything else, or null (unset), leaves it to the probe.
ZelPatchDraws requestedPatchDraws(const char* value);

// Draws 4096 patches of 6 control points in one call into a small framebuffer object of its
// own, each over its own pixel writing its patch number, at tessellation level 1 and then 32,
// and reads them back: true when every pixel holds its own patch's number. `gl` must belong to
// the current context; the bindings, viewport, depth test and blending it changes are
// restored. False when the probe's program cannot be built.
bool patchNumberingIsExact(QOpenGLFunctions_4_0_Core* gl);

// Sets ZelBufferObject's patches per draw for the current driver: the choice forced by
// ZEL_PATCH_DRAWS, else the probe's verdict (probed on the first call only; every window of
// the process shares the driver). Returns the choice applied (OneCall or Batches).
ZelPatchDraws choosePatchDraws(QOpenGLFunctions_4_0_Core* gl);
