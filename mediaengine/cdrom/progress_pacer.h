#pragma once
// Decides which rip percentages become events. Each event ends in a window
// update on the player's thread, which shares the processor with the
// encoders; a track encodes in well under a second on a fast machine, so a
// report of every percent kept that thread busy for the whole rip and slowed
// the encoders down. A track's first report always goes out, later ones at
// most once per interval; the finished status is not paced.
#include <chrono>

namespace mediaengine {

class ProgressPacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ProgressPacer(Clock::duration interval) : interval_(interval) {}

  // Whether a report of `track` at `now` is to be shown; when it is,
  // the next one of the same track waits for the interval.
  bool Admit(int track, Clock::time_point now) {
    if (track == track_ && now - shown_ < interval_) return false;
    track_ = track;
    shown_ = now;
    return true;
  }

 private:
  const Clock::duration interval_;
  int track_ = 0;
  Clock::time_point shown_{};
};

}  // namespace mediaengine
