// Scene object base: OpenGL table, usability warning, draw-state exchange, entity origins.
#include "scene/ZelDrawObject.h"

#include <algorithm>
#include <cstdio>

#include "meshio/entity_catalogue.h"
#include "meshio/status.h"
#include "scene/ZelDrawKinds.h"

ZelDrawObject::ZelDrawObject(int kind, int reference, unsigned traits)
    : m_kind(kind), m_reference(reference), m_traits(traits) {}

ZelDrawObject::~ZelDrawObject() = default;

const char* ZelDrawObject::kindName(int kind) { return zel_DrawKindName(kind); }

void ZelDrawObject::setGLfunc(QOpenGLFunctions_4_0_Core* gl) {
  m_gl = gl;
  if (!gl) {
    zel::printMessage(
        "  ## warning : openGL context is not active (recall setGLfunc after initialization "
        "of the graphics window) \n");
  }
}

bool ZelDrawObject::usableForDisplay() const {
  if (m_gl) return true;
  if (m_warnWhenUnusable) {
    zel::printMessage("  ## warning: ZelDrawObject: openGL functions are unset ==> no display !\n");
  }
  return false;
}

ZelDrawState ZelDrawObject::drawState() {
  ZelDrawState state;
  state.object = this;
  state.visible = m_visible;
  state.reference = m_reference;
  state.highlight = m_highlight;
  state.highlightAll = m_highlightAll;
  state.pointSize = m_display.pointSize;
  state.firstTriangle = m_firstTriangle;
  state.triangleCount = m_entityCount;
  state.displayed = m_displayedCount;
  const int n = memberCount();
  ZelDrawObject* const* list = members();
  for (int i = 0; i < n && list; ++i) {
    if (list[i]) {
      state.members.push_back(list[i]->drawState());
    } else {
      ZelDrawState absent;  // a missing member: nothing to draw, nothing to report back
      absent.object = nullptr;
      absent.visible = false;
      state.members.push_back(absent);
    }
  }
  return state;
}

void ZelDrawObject::takeDrawResult(const ZelDrawState& state) {
  m_displayedCount = state.displayed;
  // Members come back in the order drawState gave them.
  const int n = std::min(memberCount(), static_cast<int>(state.members.size()));
  ZelDrawObject* const* list = members();
  for (int i = 0; i < n && list; ++i)
    if (list[i] && state.members[i].object == list[i]) list[i]->takeDrawResult(state.members[i]);
}

void ZelEntityOrigins::assign(const int* origins, int count) {
  m_first.clear();
  m_second.clear();
  m_third.clear();
  if (!origins || count <= 0) return;
  m_first.resize(count);
  m_second.resize(count);
  m_third.resize(count);
  for (int i = 0; i < count; ++i) {
    m_first[i] = origins[3 * static_cast<size_t>(i)];
    m_second[i] = origins[3 * static_cast<size_t>(i) + 1];
    m_third[i] = origins[3 * static_cast<size_t>(i) + 2];
  }
}

bool ZelEntityOrigins::get(int index, int origin[3]) const {
  if (index < 0 || index >= size() || !origin) return false;
  origin[0] = m_first[index];
  origin[1] = m_second[index];
  origin[2] = m_third[index];
  return true;
}
