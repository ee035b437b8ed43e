// Cheap frames of the scene window while the view moves, and the full frame once input is
// quiet.
#include <algorithm>

#include "window/ZelSceneWindow.h"

void ZelSceneWindow::setCheapFrames(bool on) {
  m_pace.setEnabled(on);
  if (!on && m_pace.cheapOnScreen()) renderLater();
}

std::int64_t ZelSceneWindow::paceNow() const {
  return m_paceNow ? m_paceNow() : m_paceClock.elapsed();
}

void ZelSceneWindow::noteViewMotion() { m_pace.noteMotion(paceNow()); }

// Pictures that are kept or read are always full: screenshots, and the picking pass, whose
// ids must match what a full frame shows.
bool ZelSceneWindow::nextFrameCheap() const {
  return !m_pickingPass && !m_screenshotRequested && m_pace.cheapAt(paceNow());
}

void ZelSceneWindow::cheapFrameBookkeeping(bool cheap) {
  m_lastFrameCheap = cheap;
  // The picking pass draws off screen: the picture shown stays what it was.
  if (m_pickingPass) return;
  m_pace.frameDrawn(cheap);
  if (cheap) m_quietTimer.start(int(std::max<std::int64_t>(1, m_pace.quietIn(paceNow()))));
}

void ZelSceneWindow::drawFullFrameIfDue() {
  const std::int64_t now = paceNow();
  if (m_pace.fullFrameDue(now)) {
    renderLater();
  } else if (m_pace.cheapOnScreen()) {
    // Motion came in after the timer was armed: wait for the rest of the quiet time.
    m_quietTimer.start(int(std::max<std::int64_t>(1, m_pace.quietIn(now))));
  }
}
