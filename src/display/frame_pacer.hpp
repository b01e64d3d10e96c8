#pragma once

// How often a window shows a new picture. A fast analysis draws far more
// pictures than a screen can show or an eye can follow; showing each would
// only slow the run. So a frame is shown when enough time has passed since
// the last one, else it is kept pending, and the last frame of an analysis
// is shown whatever the time.

#include <chrono>
#include <optional>

namespace display {

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // About 60 frames a second.
  static constexpr Clock::duration frame_interval = std::chrono::microseconds(16'667);

  // A new frame was drawn at `now`: true when it is to be shown at once (it
  // then counts as shown), false when it waits as the pending frame.
  bool take(Clock::time_point now);
  // A frame drawn since the last one shown.
  bool pending() const { return pending_; }
  // The pending frame was shown at `now` (at the end of an analysis).
  void shown(Clock::time_point now);

 private:
  std::optional<Clock::time_point> last_shown_;
  bool pending_ = false;
};

}  // namespace display
