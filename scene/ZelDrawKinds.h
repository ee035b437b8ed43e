// The scene-object classes, one per kind: the kinds differ only in the kind code and in
// whether they carry a palette and entity origins, so one template makes them all; the patch
// and the composite are classes of their own. Every class derives directly from
// ZelDrawObject.
#pragma once

#include <cstdint>
#include <vector>

#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"

// Origin triples of the entities of a face object (first, second, third value of each).
class ZelEntityOrigins {
 public:
  // Copies 3 x count values (entity i at 3i..3i+2); count <= 0 or null origins empties it.
  void assign(const int* origins, int count);
  // Entity index's triple into origin[0..2]; false when index is outside 0..size()-1.
  bool get(int index, int origin[3]) const;
  int size() const { return static_cast<int>(m_first.size()); }

 private:
  std::vector<int32_t> m_first, m_second, m_third;
};

template <int Kind, unsigned Traits>
class ZelDrawKind final : public ZelDrawObject {
 public:
  explicit ZelDrawKind(int reference = 0) : ZelDrawObject(Kind, reference, Traits) {}

  ZelDrawPalette* getPalette() const override { return m_palette; }
  void setPalette(ZelDrawPalette* palette) override {
    if (Traits & ZelDrawTraits::Palette) m_palette = palette;
  }
  void setEntityOrigins(const int* origins) override {
    if (Traits & ZelDrawTraits::Origins) m_origins.assign(origins, entityCount());
  }
  bool getEntityOrigin(int index, int origin[3]) const override {
    return (Traits & ZelDrawTraits::Origins) && m_origins.get(index, origin);
  }

 private:
  ZelDrawPalette* m_palette = nullptr;  // not owned; stays null without the Palette trait
  ZelEntityOrigins m_origins;
};

#define ZEL_DRAW_KIND(Name, Kind, Traits) using Name = ZelDrawKind<DrawKind::Kind, Traits>;
#define ZEL_DRAW_PLAIN(Name, Kind) ZEL_DRAW_KIND(Name, Kind, ZelDrawTraits::Plain)
#define ZEL_DRAW_SURFACE(Name, Kind) ZEL_DRAW_KIND(Name, Kind, ZelDrawTraits::Palette)
#define ZEL_DRAW_FACE(Name, Kind) \
  ZEL_DRAW_KIND(Name, Kind, ZelDrawTraits::Palette | ZelDrawTraits::Origins)

ZEL_DRAW_PLAIN(ZelDrawPoint, Vertex)
ZEL_DRAW_PLAIN(ZelDrawCorner, Corner)
ZEL_DRAW_PLAIN(ZelDrawEdge, Edge)
ZEL_DRAW_PLAIN(ZelDrawEdgeP2, EdgeP2)
ZEL_DRAW_PLAIN(ZelDrawEdgeP3, EdgeP3)
ZEL_DRAW_PLAIN(ZelDrawEdgeP4, EdgeP4)
ZEL_DRAW_SURFACE(ZelDrawTriangle, Triangle)
ZEL_DRAW_SURFACE(ZelDrawTriangleP2, TriangleP2)
ZEL_DRAW_SURFACE(ZelDrawTriangleP3, TriangleP3)
ZEL_DRAW_SURFACE(ZelDrawTriangleP4, TriangleP4)
ZEL_DRAW_SURFACE(ZelDrawQuad, Quadrilateral)
ZEL_DRAW_SURFACE(ZelDrawQuadQ2, QuadrilateralQ2)
ZEL_DRAW_SURFACE(ZelDrawQuadQ3, QuadrilateralQ3)
ZEL_DRAW_SURFACE(ZelDrawQuadQ4, QuadrilateralQ4)
ZEL_DRAW_FACE(ZelDrawCutTriangle, CutTriangle)
ZEL_DRAW_FACE(ZelDrawCutTriangleP2, CutTriangleP2)
ZEL_DRAW_FACE(ZelDrawCutTriangleP3, CutTriangleP3)
ZEL_DRAW_FACE(ZelDrawCutTriangleP4, CutTriangleP4)
ZEL_DRAW_FACE(ZelDrawCutQuad, CutQuadrilateral)
ZEL_DRAW_FACE(ZelDrawCutQuadQ2, CutQuadrilateralQ2)
ZEL_DRAW_FACE(ZelDrawCutQuadQ3, CutQuadrilateralQ3)
ZEL_DRAW_FACE(ZelDrawCutQuadQ4, CutQuadrilateralQ4)
ZEL_DRAW_FACE(ZelDrawUsrCutTriangle, UsrCutTriangle)
ZEL_DRAW_FACE(ZelDrawUsrCutTriangleP2, UsrCutTriangleP2)
ZEL_DRAW_FACE(ZelDrawUsrCutTriangleP3, UsrCutTriangleP3)
ZEL_DRAW_FACE(ZelDrawUsrCutTriangleP4, UsrCutTriangleP4)
ZEL_DRAW_FACE(ZelDrawUsrCutQuad, UsrCutQuadrilateral)
ZEL_DRAW_FACE(ZelDrawUsrCutQuadQ2, UsrCutQuadrilateralQ2)
ZEL_DRAW_FACE(ZelDrawUsrCutQuadQ3, UsrCutQuadrilateralQ3)
ZEL_DRAW_FACE(ZelDrawUsrCutQuadQ4, UsrCutQuadrilateralQ4)
ZEL_DRAW_FACE(ZelDrawSrfTriangle, SrfTriangle)
ZEL_DRAW_FACE(ZelDrawSrfTriangleP2, SrfTriangleP2)
ZEL_DRAW_FACE(ZelDrawSrfTriangleP3, SrfTriangleP3)
ZEL_DRAW_FACE(ZelDrawSrfTriangleP4, SrfTriangleP4)
ZEL_DRAW_FACE(ZelDrawSrfQuad, SrfQuadrilateral)
ZEL_DRAW_FACE(ZelDrawSrfQuadQ2, SrfQuadrilateralQ2)
ZEL_DRAW_FACE(ZelDrawSrfQuadQ3, SrfQuadrilateralQ3)
ZEL_DRAW_FACE(ZelDrawSrfQuadQ4, SrfQuadrilateralQ4)
ZEL_DRAW_PLAIN(ZelDrawSceneCenter, SceneCenter)
ZEL_DRAW_PLAIN(ZelDrawCutPlane, CutPlane)
ZEL_DRAW_PLAIN(ZelDrawSolution, Solution)

#undef ZEL_DRAW_FACE
#undef ZEL_DRAW_SURFACE
#undef ZEL_DRAW_PLAIN
#undef ZEL_DRAW_KIND

// Iso-line objects use kind 9, which has no name of its own (printed "Unknown ").
constexpr int kIsoLineDrawKind = 9;
using ZelDrawIsoLine = ZelDrawKind<kIsoLineDrawKind, ZelDrawTraits::Plain>;

// Smooth-shaded surface pieces sharing one patch buffer: each member (not owned) draws its
// own range of triangles of the shared buffer.
class ZelDrawPatch final : public ZelDrawObject {
 public:
  explicit ZelDrawPatch(int reference = 0) : ZelDrawObject(DrawKind::Patch, reference) {}

  int memberCount() const override { return static_cast<int>(m_members.size()); }
  ZelDrawObject* const* members() const override {
    return m_members.empty() ? nullptr : m_members.data();
  }
  // Itself without members; with members the members are drawn instead.
  ZelDrawObject* drawableSelf() override { return m_members.empty() ? this : nullptr; }

  // Replaces the members (null entries are kept; the draw skips them).
  void setMembers(std::vector<ZelDrawObject*> members) { m_members = std::move(members); }
  void addMember(ZelDrawObject* member) { m_members.push_back(member); }

 private:
  std::vector<ZelDrawObject*> m_members;
};

// A scene object assembled by the caller under a kind it chooses; no behaviour of its own and
// never built by the factory.
class ZelDrawComposite final : public ZelDrawObject {
 public:
  ZelDrawComposite(int kind, int reference) : ZelDrawObject(kind, reference) {}
};
