// The scene-object factory: one creator per row of the draw-kind table, made at compile time.
#include <array>
#include <utility>

#include "meshio/status.h"
#include "scene/ZelDrawKinds.h"

namespace {

using Creator = ZelDrawObject* (*)(int reference);

template <std::size_t Row>
ZelDrawObject* makeObject(int reference) {
  constexpr zel::DrawKindRow row = zel::kDrawKinds[Row];
  if constexpr (row.objectClass == zel::ObjectClass::Patch) {
    return new ZelDrawPatch(reference);
  } else if constexpr (row.objectClass == zel::ObjectClass::Palette) {
    // The palette has constructors of its own.
    (void)reference;
    return nullptr;
  } else {
    return new ZelDrawKind<row.kind>(reference);
  }
}

template <std::size_t... Row>
constexpr std::array<Creator, sizeof...(Row)> creators(std::index_sequence<Row...>) {
  return {&makeObject<Row>...};
}
constexpr auto kCreators = creators(std::make_index_sequence<zel::kDrawKindRowCount>());

}  // namespace

ZelDrawObject* ZelDrawObject::create(int kind, int reference) {
  const zel::DrawKindRow* row = zel::drawKindRow(kind);
  ZelDrawObject* object = row ? kCreators[std::size_t(row - zel::kDrawKinds)](reference) : nullptr;
  if (!object) zel::printMessage("Warning no ZelDrawObject created !\n");
  return object;
}
