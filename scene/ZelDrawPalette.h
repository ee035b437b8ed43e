// Palette scene object: the five palette values of a solution display with their set and
// forced flags, the colour map, and the regular or user iso-lines; drawn as the legend.
#pragma once

#include "gpu/ZelBufferObject.h"
#include "gpu/colour_maps.h"
#include "gpu/palette.h"
#include "meshio/entity_types.h"
#include "scene/ZelDrawObject.h"

class ZelDrawPalette final : public ZelDrawObject {
 public:
  // Reference 0, not set, not forced, five zero values, colour map 2, 9 regular iso-lines,
  // no user iso-values.
  ZelDrawPalette();
  // The same with this colour map and number of regular iso-lines per interval.
  ZelDrawPalette(int colourMap, int isoLineCount);
  // values[0..4] held by setPaletteValues, or by forcePaletteValues when forced (both end
  // the process on a null or decreasing palette).
  ZelDrawPalette(const float* values, int colourMap, int isoLineCount, bool forced);
  // Palette not set; min(n, 9) user iso-values copied from userIso.
  ZelDrawPalette(int colourMap, int userIsoCount, const float* userIso);
  // Values as in the third form, then the user iso-values.
  ZelDrawPalette(const float* values, int userIsoCount, const float* userIso, int colourMap,
                 bool forced);

  // The palette operations (see gpu/palette.h for the rules and fatal messages).
  void setPaletteValues(const float* values) { m_state.setValues(values); }
  void forcePaletteValues(const float* values) { m_state.forceValues(values); }
  bool setPaletteFrom(int n, const float* values) { return m_state.setValuesFrom(n, values); }
  bool setPaletteFrom(int n, const double* values) { return m_state.setValuesFrom(n, values); }
  void resetPalette() { m_state.reset(); }

  bool isSet() const { return m_state.set; }
  bool isForced() const { return m_state.forced; }
  const zel::PaletteValues& values() const { return m_state.values; }
  int colourMap() const { return m_state.colourMap; }
  void setColourMap(int index) { m_state.colourMap = index; }
  int isoLineCount() const { return m_state.isoLineCount; }
  void setIsoLineCount(int count) { m_state.isoLineCount = count; }
  int userIsoCount() const { return m_state.userIsoCount; }
  const float* userIso() const { return m_state.userIso.data(); }
  void setUserIsoValues(int n, const float* values) { m_state.setUserIsoValues(n, values); }
  const zel::PaletteState& paletteState() const { return m_state; }

  // What a buffer sends for this palette: its values, its colour map's texels and size, and
  // its iso-line settings.
  ZelPaletteState shaderState() const {
    ZelPaletteState s;
    for (int i = 0; i < zel::kPaletteValueCount; ++i) s.values[i] = m_state.values[i];
    s.colourMap = colourMapTexels();
    s.colourMapSize = colourMapSize();
    s.nbrIso = m_state.isoLineCount;
    s.nbrUsrIso = m_state.userIsoCount;
    for (int i = 0; i < zel::kMaxUserIsoValues; ++i) s.usrIso[i] = m_state.userIso[i];
    return s;
  }
  // The texels of its colour map: colourMapSize() RGB triples.
  const float* colourMapTexels() const { return zel::colourMap(m_state.colourMap).rgb; }
  int colourMapSize() const { return zel::colourMapSize(m_state.colourMap); }

 private:
  zel::PaletteState m_state;
};
