#pragma once
// The pacing grid of the captured frames. The pool delivers frames as the
// game draws them; the clip keeps one per interval on a fixed grid, so a game
// that draws faster than the wanted rate is thinned to it. A frame up to half
// an interval early still takes its slot, and after a stall longer than one
// interval the grid starts again at the late frame.

#include "common/media_time.h"

namespace orvelle::clips {

class Pacer {
 public:
  explicit Pacer(Ticks interval) : interval_(interval) {}

  // The first frame of a capture starts the grid at its time t; true for
  // that frame only.
  bool starts(Ticks t) {
    if (started_) return false;
    started_ = true;
    next_due_ = t;
    return true;
  }
  // Before its slot by more than half an interval.
  bool early(Ticks t) const { return t + interval_ / 2 < next_due_; }
  // A frame that entered the clip moves the next slot on.
  void advance(Ticks t) {
    next_due_ = t <= next_due_ + interval_ ? next_due_ + interval_ : t + interval_;
  }

  Ticks interval() const { return interval_; }
  Ticks next_due() const { return next_due_; }

 private:
  Ticks interval_;
  Ticks next_due_{0};
  bool started_ = false;
};

}  // namespace orvelle::clips
