// The scene-object classes, one per kind: the kinds differ only in the kind code and in
// whether they carry a palette and entity origins (both read from the draw-kind table), so one
// template makes them all; the patch and the composite are classes of their own. Every class
// derives directly from ZelDrawObject.
#pragma once

#include <cstdint>
#include <vector>

#include "gpu/draw_kind_table.h"
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

// What the draw-kind table says the objects of a kind carry.
constexpr unsigned drawTraitsOf(int kind) {
  const zel::DrawKindRow* row = zel::drawKindRow(kind);
  if (!row) return ZelDrawTraits::Plain;
  if (row->objectClass == zel::ObjectClass::Surface) return ZelDrawTraits::Palette;
  if (row->objectClass == zel::ObjectClass::Face)
    return ZelDrawTraits::Palette | ZelDrawTraits::Origins;
  return ZelDrawTraits::Plain;
}

template <int Kind>
class ZelDrawKind final : public ZelDrawObject {
 public:
  static constexpr unsigned kTraits = drawTraitsOf(Kind);

  explicit ZelDrawKind(int reference = 0) : ZelDrawObject(Kind, reference, kTraits) {}

  ZelDrawPalette* getPalette() const override { return m_palette; }
  void setPalette(ZelDrawPalette* palette) override {
    if (kTraits & ZelDrawTraits::Palette) m_palette = palette;
  }
  void setEntityOrigins(const int* origins) override {
    if (kTraits & ZelDrawTraits::Origins) m_origins.assign(origins, entityCount());
  }
  bool getEntityOrigin(int index, int origin[3]) const override {
    return (kTraits & ZelDrawTraits::Origins) && m_origins.get(index, origin);
  }

 private:
  ZelDrawPalette* m_palette = nullptr;  // not owned; stays null without the Palette trait
  ZelEntityOrigins m_origins;
};

using ZelDrawPoint = ZelDrawKind<DrawKind::Vertex>;
using ZelDrawCorner = ZelDrawKind<DrawKind::Corner>;
using ZelDrawEdge = ZelDrawKind<DrawKind::Edge>;
using ZelDrawEdgeP2 = ZelDrawKind<DrawKind::EdgeP2>;
using ZelDrawEdgeP3 = ZelDrawKind<DrawKind::EdgeP3>;
using ZelDrawEdgeP4 = ZelDrawKind<DrawKind::EdgeP4>;
using ZelDrawTriangle = ZelDrawKind<DrawKind::Triangle>;
using ZelDrawTriangleP2 = ZelDrawKind<DrawKind::TriangleP2>;
using ZelDrawTriangleP3 = ZelDrawKind<DrawKind::TriangleP3>;
using ZelDrawTriangleP4 = ZelDrawKind<DrawKind::TriangleP4>;
using ZelDrawQuad = ZelDrawKind<DrawKind::Quadrilateral>;
using ZelDrawQuadQ2 = ZelDrawKind<DrawKind::QuadrilateralQ2>;
using ZelDrawQuadQ3 = ZelDrawKind<DrawKind::QuadrilateralQ3>;
using ZelDrawQuadQ4 = ZelDrawKind<DrawKind::QuadrilateralQ4>;
using ZelDrawCutTriangle = ZelDrawKind<DrawKind::CutTriangle>;
using ZelDrawCutTriangleP2 = ZelDrawKind<DrawKind::CutTriangleP2>;
using ZelDrawCutTriangleP3 = ZelDrawKind<DrawKind::CutTriangleP3>;
using ZelDrawCutTriangleP4 = ZelDrawKind<DrawKind::CutTriangleP4>;
using ZelDrawCutQuad = ZelDrawKind<DrawKind::CutQuadrilateral>;
using ZelDrawCutQuadQ2 = ZelDrawKind<DrawKind::CutQuadrilateralQ2>;
using ZelDrawCutQuadQ3 = ZelDrawKind<DrawKind::CutQuadrilateralQ3>;
using ZelDrawCutQuadQ4 = ZelDrawKind<DrawKind::CutQuadrilateralQ4>;
using ZelDrawUsrCutTriangle = ZelDrawKind<DrawKind::UsrCutTriangle>;
using ZelDrawUsrCutTriangleP2 = ZelDrawKind<DrawKind::UsrCutTriangleP2>;
using ZelDrawUsrCutTriangleP3 = ZelDrawKind<DrawKind::UsrCutTriangleP3>;
using ZelDrawUsrCutTriangleP4 = ZelDrawKind<DrawKind::UsrCutTriangleP4>;
using ZelDrawUsrCutQuad = ZelDrawKind<DrawKind::UsrCutQuadrilateral>;
using ZelDrawUsrCutQuadQ2 = ZelDrawKind<DrawKind::UsrCutQuadrilateralQ2>;
using ZelDrawUsrCutQuadQ3 = ZelDrawKind<DrawKind::UsrCutQuadrilateralQ3>;
using ZelDrawUsrCutQuadQ4 = ZelDrawKind<DrawKind::UsrCutQuadrilateralQ4>;
using ZelDrawSrfTriangle = ZelDrawKind<DrawKind::SrfTriangle>;
using ZelDrawSrfTriangleP2 = ZelDrawKind<DrawKind::SrfTriangleP2>;
using ZelDrawSrfTriangleP3 = ZelDrawKind<DrawKind::SrfTriangleP3>;
using ZelDrawSrfTriangleP4 = ZelDrawKind<DrawKind::SrfTriangleP4>;
using ZelDrawSrfQuad = ZelDrawKind<DrawKind::SrfQuadrilateral>;
using ZelDrawSrfQuadQ2 = ZelDrawKind<DrawKind::SrfQuadrilateralQ2>;
using ZelDrawSrfQuadQ3 = ZelDrawKind<DrawKind::SrfQuadrilateralQ3>;
using ZelDrawSrfQuadQ4 = ZelDrawKind<DrawKind::SrfQuadrilateralQ4>;
using ZelDrawIsoLine = ZelDrawKind<zel::kIsoLineKind>;
using ZelDrawSceneCenter = ZelDrawKind<DrawKind::SceneCenter>;
using ZelDrawCutPlane = ZelDrawKind<DrawKind::CutPlane>;
using ZelDrawSolution = ZelDrawKind<DrawKind::Solution>;

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
