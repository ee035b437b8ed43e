// What the frame draws, in which order and with which shader program: the fixed group table
// of the scene window and the program of every scene-object kind.
#pragma once

#include <vector>

// When a group is drawn (besides having objects).
enum class GroupCondition {
  Always,
  PaletteLegend,  // palette present and shown, solution or iso-lines on
  CutPlaneShown,
  VerticesShown,
  CornersShown,
  ClipOn,   // not a group: enable clip distance 0 when the cut plane is shown
  ClipOff,  // not a group: disable it again
};

struct FrameGroup {
  std::vector<int> kinds;
  GroupCondition condition;
  // Off for markers that must show wherever they lie, even inside a volume or in the plane
  // of a face.
  bool depthTest = true;
};

// The groups in drawing order, with the clip-distance switches between them.
const std::vector<FrameGroup>& frameGroups();

// Name of the shader program that draws a kind ("TriSha", "P2TriSha", ...); null for kinds
// that are not drawn.
const char* programNameOfKind(int kind);

// Whether a program has tessellation stages (it then receives "tess_level").
bool programIsTessellated(const char* name);
