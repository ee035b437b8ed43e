// Registers the compiled-in shader sources (":/glsl/...") of the gpu library.
#pragma once

// Call once after the Qt application exists and before the first shader program is built;
// further calls are harmless.
void zelInitGpuResources();
