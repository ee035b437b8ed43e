// The frame's group table and the program of each scene-object kind.
#include "window/frame_groups.h"

#include "gpu/draw_kind_table.h"
#include "gpu/shader_programs.h"

namespace {

// The kinds of one group, in the table's row order.
std::vector<int> kindsOf(zel::DrawGroup group) {
  std::vector<int> kinds;
  for (const zel::DrawKindRow& row : zel::kDrawKinds)
    if (row.group == group) kinds.push_back(row.kind);
  return kinds;
}

}  // namespace

const std::vector<FrameGroup>& frameGroups() {
  using zel::DrawGroup;
  static const std::vector<FrameGroup> groups = {
      {kindsOf(DrawGroup::Legend), GroupCondition::PaletteLegend},
      {kindsOf(DrawGroup::CutPlane), GroupCondition::CutPlaneShown},
      {kindsOf(DrawGroup::CutFaces), GroupCondition::CutPlaneShown},
      {{}, GroupCondition::ClipOn},
      {kindsOf(DrawGroup::Vertices), GroupCondition::VerticesShown},
      {kindsOf(DrawGroup::Corners), GroupCondition::CornersShown},
      {kindsOf(DrawGroup::Edges), GroupCondition::Always},
      {kindsOf(DrawGroup::CurvedEdges), GroupCondition::Always},
      {kindsOf(DrawGroup::Triangles), GroupCondition::Always},
      {kindsOf(DrawGroup::Quadrilaterals), GroupCondition::Always},
      {kindsOf(DrawGroup::UserCutFaces), GroupCondition::Always},
      {kindsOf(DrawGroup::SurfaceFaces), GroupCondition::Always},
      {kindsOf(DrawGroup::Patches), GroupCondition::Always},
      {{}, GroupCondition::ClipOff},
      // Last and without the depth test: the rotation centre usually lies inside the scene.
      {kindsOf(DrawGroup::SceneCentre), GroupCondition::Always, false},
  };
  return groups;
}

const char* programNameOfKind(int kind) { return zel::kindProgram(kind); }

bool programIsTessellated(const char* name) {
  const ZelShaderProgramSources* sources = zelShaderProgram(name);
  return sources && sources->tcs;
}
