// Palette scene object constructors.
#include "scene/ZelDrawPalette.h"

ZelDrawPalette::ZelDrawPalette() : ZelDrawObject(DrawKind::Palette, 0) {}

ZelDrawPalette::ZelDrawPalette(int colourMap, int isoLineCount) : ZelDrawPalette() {
  m_state.colourMap = colourMap;
  m_state.isoLineCount = isoLineCount;
}

ZelDrawPalette::ZelDrawPalette(const float* values, int colourMap, int isoLineCount, bool forced)
    : ZelDrawPalette(colourMap, isoLineCount) {
  if (forced)
    m_state.forceValues(values);
  else
    m_state.setValues(values);
}

ZelDrawPalette::ZelDrawPalette(int colourMap, int userIsoCount, const float* userIso)
    : ZelDrawPalette() {
  m_state.colourMap = colourMap;
  m_state.setUserIsoValues(userIsoCount, userIso);
}

ZelDrawPalette::ZelDrawPalette(const float* values, int userIsoCount, const float* userIso,
                               int colourMap, bool forced)
    : ZelDrawPalette(values, colourMap, zel::kDefaultIsoLineCount, forced) {
  m_state.setUserIsoValues(userIsoCount, userIso);
}
