// Cheap frames while the view moves, one full frame once input is quiet.
#include "window/interaction_pace.h"

#include <algorithm>

namespace zel {

void InteractionPace::noteMotion(std::int64_t now) {
  m_moved = true;
  m_lastMotion = now;
}

std::int64_t InteractionPace::quietIn(std::int64_t now) const {
  if (!m_moved) return 0;
  return std::max<std::int64_t>(0, m_lastMotion + kQuietMilliseconds - now);
}

bool InteractionPace::cheapAt(std::int64_t now) const { return m_enabled && quietIn(now) > 0; }

}  // namespace zel
