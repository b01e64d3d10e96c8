#include "display/frame_pacer.hpp"

namespace display {

bool FramePacer::take(Clock::time_point now) {
  if (last_shown_ && now - *last_shown_ < frame_interval) {
    pending_ = true;
    return false;
  }
  shown(now);
  return true;
}

void FramePacer::shown(Clock::time_point now) {
  last_shown_ = now;
  pending_ = false;
}

}  // namespace display
