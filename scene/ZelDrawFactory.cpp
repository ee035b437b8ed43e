// The scene-object factory: which class each kind builds, as one table.
#include <cstdio>

#include "scene/ZelDrawKinds.h"

namespace {

using Creator = ZelDrawObject* (*)(int reference);

template <typename T>
ZelDrawObject* make(int reference) {
  return new T(reference);
}

struct KindClass {
  int kind;
  Creator create;
};

// Every kind with a class except Palette (its own constructors) and the composite.
constexpr KindClass kClasses[] = {
    {DrawKind::Vertex, make<ZelDrawPoint>},
    {DrawKind::Corner, make<ZelDrawCorner>},
    {DrawKind::Edge, make<ZelDrawEdge>},
    {DrawKind::EdgeP2, make<ZelDrawEdgeP2>},
    {DrawKind::EdgeP3, make<ZelDrawEdgeP3>},
    {DrawKind::EdgeP4, make<ZelDrawEdgeP4>},
    {DrawKind::Triangle, make<ZelDrawTriangle>},
    {DrawKind::TriangleP2, make<ZelDrawTriangleP2>},
    {DrawKind::TriangleP3, make<ZelDrawTriangleP3>},
    {DrawKind::TriangleP4, make<ZelDrawTriangleP4>},
    {DrawKind::Quadrilateral, make<ZelDrawQuad>},
    {DrawKind::QuadrilateralQ2, make<ZelDrawQuadQ2>},
    {DrawKind::QuadrilateralQ3, make<ZelDrawQuadQ3>},
    {DrawKind::QuadrilateralQ4, make<ZelDrawQuadQ4>},
    {DrawKind::CutTriangle, make<ZelDrawCutTriangle>},
    {DrawKind::CutTriangleP2, make<ZelDrawCutTriangleP2>},
    {DrawKind::CutTriangleP3, make<ZelDrawCutTriangleP3>},
    {DrawKind::CutTriangleP4, make<ZelDrawCutTriangleP4>},
    {DrawKind::CutQuadrilateral, make<ZelDrawCutQuad>},
    {DrawKind::CutQuadrilateralQ2, make<ZelDrawCutQuadQ2>},
    {DrawKind::CutQuadrilateralQ3, make<ZelDrawCutQuadQ3>},
    {DrawKind::CutQuadrilateralQ4, make<ZelDrawCutQuadQ4>},
    {DrawKind::UsrCutTriangle, make<ZelDrawUsrCutTriangle>},
    {DrawKind::UsrCutTriangleP2, make<ZelDrawUsrCutTriangleP2>},
    {DrawKind::UsrCutTriangleP3, make<ZelDrawUsrCutTriangleP3>},
    {DrawKind::UsrCutTriangleP4, make<ZelDrawUsrCutTriangleP4>},
    {DrawKind::UsrCutQuadrilateral, make<ZelDrawUsrCutQuad>},
    {DrawKind::UsrCutQuadrilateralQ2, make<ZelDrawUsrCutQuadQ2>},
    {DrawKind::UsrCutQuadrilateralQ3, make<ZelDrawUsrCutQuadQ3>},
    {DrawKind::UsrCutQuadrilateralQ4, make<ZelDrawUsrCutQuadQ4>},
    {DrawKind::SrfTriangle, make<ZelDrawSrfTriangle>},
    {DrawKind::SrfTriangleP2, make<ZelDrawSrfTriangleP2>},
    {DrawKind::SrfTriangleP3, make<ZelDrawSrfTriangleP3>},
    {DrawKind::SrfTriangleP4, make<ZelDrawSrfTriangleP4>},
    {DrawKind::SrfQuadrilateral, make<ZelDrawSrfQuad>},
    {DrawKind::SrfQuadrilateralQ2, make<ZelDrawSrfQuadQ2>},
    {DrawKind::SrfQuadrilateralQ3, make<ZelDrawSrfQuadQ3>},
    {DrawKind::SrfQuadrilateralQ4, make<ZelDrawSrfQuadQ4>},
    {kIsoLineDrawKind, make<ZelDrawIsoLine>},
    {DrawKind::SceneCenter, make<ZelDrawSceneCenter>},
    {DrawKind::CutPlane, make<ZelDrawCutPlane>},
    {DrawKind::Solution, make<ZelDrawSolution>},
    {DrawKind::Patch, make<ZelDrawPatch>},
};

}  // namespace

ZelDrawObject* ZelDrawObject::create(int kind, int reference) {
  for (const KindClass& c : kClasses)
    if (c.kind == kind) return c.create(reference);
  std::printf("Warning no ZelDrawObject created !\n");
  std::fflush(stdout);
  return nullptr;
}
