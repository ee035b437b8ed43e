// pellon: viewer for curved high-order finite-element meshes and their solutions.
#include "app/pellon.h"

int main(int argc, char** argv) { return runPellon(argc, argv); }
