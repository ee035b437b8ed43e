// The pace of a scene window's frames while the user moves the view: frames asked for by
// motion input (a drag, wheel or arrow-key bursts, cut-plane drags) are cheap; once the input
// has been quiet for a while, one full frame replaces the last cheap one. Pure bookkeeping on
// a millisecond clock the caller reads (no Qt timers here), so the rules are tested alone.
#pragma once

#include <cstdint>

namespace zel {

class InteractionPace {
 public:
  // Quiet time after the last motion input before the full frame is drawn: long enough to
  // span the gaps of a drag or of a key held down, short enough to pass unnoticed.
  static constexpr std::int64_t kQuietMilliseconds = 150;

  // Cheap frames allowed (the default) or not: when not, every frame is full.
  void setEnabled(bool on) { m_enabled = on; }
  bool enabled() const { return m_enabled; }

  // Motion input at `now` (milliseconds): the frames of the quiet time after it may be cheap.
  void noteMotion(std::int64_t now);
  // Whether a frame drawn at `now` may be cheap: cheap frames enabled and motion input less
  // than the quiet time ago. Callers force full frames where the picture is kept or read.
  bool cheapAt(std::int64_t now) const;
  // Records the quality of the frame just drawn (the picture now on screen).
  void frameDrawn(bool cheap) { m_cheapOnScreen = cheap; }
  bool cheapOnScreen() const { return m_cheapOnScreen; }
  // True when a cheap picture is on screen and a frame at `now` would be full: the full frame
  // is due, once (drawing it clears this).
  bool fullFrameDue(std::int64_t now) const { return m_cheapOnScreen && !cheapAt(now); }
  // Milliseconds from `now` until the quiet time after the last motion has passed (0 when it
  // has, or when there was no motion).
  std::int64_t quietIn(std::int64_t now) const;

 private:
  bool m_enabled = true;
  bool m_moved = false;
  std::int64_t m_lastMotion = 0;
  bool m_cheapOnScreen = false;
};

}  // namespace zel
