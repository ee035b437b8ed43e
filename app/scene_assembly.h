// Assembly of a viewer's scene from a mesh file and a solution file: one scene object per
// entity type and reference, the boundary surfaces of volume elements, the solution of the
// displayed field, the palette, the cut-plane squares and the scene-centre marker.
#pragma once

#include <string>

class ZelMeshViewer;
struct ZelObject;

// Reads the mesh and the solution into the viewer (which owns the container) and builds the
// scene; reports go to standard output. Returns the viewer's mesh container.
ZelObject* assembleScene(ZelMeshViewer* viewer, const std::string& meshName,
                         const std::string& solutionName);
