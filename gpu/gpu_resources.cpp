// Registration of the shader resources. Q_INIT_RESOURCE must not sit inside a namespace, and a
// static library's resources are only linked in when something calls it.
#include "gpu/gpu_resources.h"

#include <QtGlobal>

void zelInitGpuResources() { Q_INIT_RESOURCE(glsl); }
