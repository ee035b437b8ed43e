// The frame's group table and the program of each scene-object kind.
#include "window/frame_groups.h"

#include "gpu/shader_programs.h"
#include "meshio/entity_types.h"

namespace {

// Triangle and quadrilateral kinds of one family, in degree order (the family's base kind
// first: plain, cut, user cut or surface).
std::vector<int> faceKinds(int triangle, int quadrilateral) {
  std::vector<int> kinds;
  for (int degree = 0; degree < 4; ++degree) kinds.push_back(triangle + degree);
  for (int degree = 0; degree < 4; ++degree) kinds.push_back(quadrilateral + degree);
  return kinds;
}

}  // namespace

const std::vector<FrameGroup>& frameGroups() {
  using namespace DrawKind;
  static const std::vector<FrameGroup> groups = {
      {{Palette}, GroupCondition::PaletteLegend},
      {{CutPlane}, GroupCondition::CutPlaneShown},
      {faceKinds(CutTriangle, CutQuadrilateral), GroupCondition::CutPlaneShown},
      {{}, GroupCondition::ClipOn},
      {{Vertex}, GroupCondition::VerticesShown},
      {{Corner}, GroupCondition::CornersShown},
      {{Edge}, GroupCondition::Always},
      {{EdgeP2, EdgeP3, EdgeP4}, GroupCondition::Always},
      {{Triangle, TriangleP2, TriangleP3, TriangleP4}, GroupCondition::Always},
      {{Quadrilateral, QuadrilateralQ2, QuadrilateralQ3, QuadrilateralQ4}, GroupCondition::Always},
      {faceKinds(UsrCutTriangle, UsrCutQuadrilateral), GroupCondition::Always},
      {faceKinds(SrfTriangle, SrfQuadrilateral), GroupCondition::Always},
      {{Patch}, GroupCondition::Always},
      {{}, GroupCondition::ClipOff},
      // Last and without the depth test: the rotation centre usually lies inside the scene.
      {{SceneCenter}, GroupCondition::Always, false},
  };
  return groups;
}

const char* programNameOfKind(int kind) {
  using namespace DrawKind;
  struct KindProgram {
    int kinds[4];  // one kind per degree 1..4 (or the same kind repeated)
    const char* programs[4];
  };
  static const KindProgram table[] = {
      {{Triangle, TriangleP2, TriangleP3, TriangleP4},
       {"TriSha", "P2TriSha", "P3TriSha", "P4TriSha"}},
      {{CutTriangle, CutTriangleP2, CutTriangleP3, CutTriangleP4},
       {"TriSha", "P2TriSha", "P3TriSha", "P4TriSha"}},
      {{UsrCutTriangle, UsrCutTriangleP2, UsrCutTriangleP3, UsrCutTriangleP4},
       {"TriSha", "P2TriSha", "P3TriSha", "P4TriSha"}},
      {{SrfTriangle, SrfTriangleP2, SrfTriangleP3, SrfTriangleP4},
       {"TriSha", "P2TriSha", "P3TriSha", "P4TriSha"}},
      {{Quadrilateral, QuadrilateralQ2, QuadrilateralQ3, QuadrilateralQ4},
       {"QuaSha", "Q2QuaSha", "Q3QuaSha", "Q4QuaSha"}},
      {{CutQuadrilateral, CutQuadrilateralQ2, CutQuadrilateralQ3, CutQuadrilateralQ4},
       {"QuaSha", "Q2QuaSha", "Q3QuaSha", "Q4QuaSha"}},
      {{UsrCutQuadrilateral, UsrCutQuadrilateralQ2, UsrCutQuadrilateralQ3, UsrCutQuadrilateralQ4},
       {"QuaSha", "Q2QuaSha", "Q3QuaSha", "Q4QuaSha"}},
      {{SrfQuadrilateral, SrfQuadrilateralQ2, SrfQuadrilateralQ3, SrfQuadrilateralQ4},
       {"QuaSha", "Q2QuaSha", "Q3QuaSha", "Q4QuaSha"}},
      {{Edge, EdgeP2, EdgeP3, EdgeP4}, {"EdgSha", "P2EdgSha", "P3EdgSha", "P4EdgSha"}},
      {{Vertex, SceneCenter, Vertex, Vertex}, {"PntSha", "PntSha", "PntSha", "PntSha"}},
      {{Corner, Corner, Corner, Corner}, {"CrnSha", "CrnSha", "CrnSha", "CrnSha"}},
      {{Palette, Palette, Palette, Palette}, {"PalSha", "PalSha", "PalSha", "PalSha"}},
      {{CutPlane, CutPlane, CutPlane, CutPlane}, {"CliPSha", "CliPSha", "CliPSha", "CliPSha"}},
      {{Patch, Patch, Patch, Patch}, {"PatSha", "PatSha", "PatSha", "PatSha"}},
  };
  for (const KindProgram& row : table)
    for (int degree = 0; degree < 4; ++degree)
      if (row.kinds[degree] == kind) return row.programs[degree];
  return nullptr;
}

bool programIsTessellated(const char* name) {
  const ZelShaderProgramSources* sources = zelShaderProgram(name);
  return sources && sources->tcs;
}
