// The buffer operations that take scene objects: they copy what the draw needs out of the
// object (and its palette) and hand the drawn counts back. They live with the scene objects so
// that the GPU layer never depends on the layer above it.
#include "gpu/ZelBufferObject.h"
#include "scene/ZelDrawObject.h"
#include "scene/ZelDrawPalette.h"

namespace {

ZelPaletteState shaderStateOf(const ZelDrawPalette& palette) {
  ZelPaletteState state = palette.shaderState();
  state.colourMap = palette.colourMapTexels();
  state.colourMapSize = palette.colourMapSize();
  return state;
}

}  // namespace

ZelBufferObject* ZelBufferObject::create(const ZelDrawObject* object) {
  return object ? create(object->kind()) : nullptr;
}

void ZelBufferObject::setPalette(ZelDrawPalette* palette) {
  if (!palette) {
    setPaletteState(nullptr);
    return;
  }
  const ZelPaletteState state = shaderStateOf(*palette);
  setPaletteState(&state);
  m_palette = palette;
}

int ZelBufferObject::render(QOpenGLFunctions_4_0_Core* gl, ZelDrawObject* object,
                            GLSLProgram* program) {
  return render(gl, object, program, nullptr, nullptr);
}

int ZelBufferObject::render(QOpenGLFunctions_4_0_Core* gl, ZelDrawObject* object,
                            GLSLProgram* program, ZelPickingTable* table, int* runningId) {
  if (!object) return 0;
  // The palette may have changed since it was attached (values, colour map, iso-lines).
  if (m_palette) setPalette(m_palette);
  ZelDrawState state = object->drawState();
  const int drawn =
      table || runningId ? draw(gl, state, program, table, runningId) : draw(gl, state, program);
  object->takeDrawResult(state);
  return drawn;
}
