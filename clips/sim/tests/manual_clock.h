#pragma once
// A clock for the tests: time stands still until someone waits, and a wait
// returns at once with the clock moved to its deadline, so a thread paced by
// it runs through a whole scenario as fast as it can and always the same way.

#include "sim/sim_clock.h"

#include <algorithm>
#include <atomic>

namespace orvelle::clips::sim {

class ManualClock final : public SimClock {
 public:
  explicit ManualClock(Ticks start) : now_(start.count()) {}
  Ticks now() override { return Ticks{now_.load()}; }
  bool sleep_until(Ticks t, std::stop_token stop) override {
    if (stop.stop_requested()) return false;
    std::int64_t seen = now_.load();
    while (seen < t.count() && !now_.compare_exchange_weak(seen, t.count())) {
    }
    return true;
  }
  void advance(Ticks by) { now_ += by.count(); }

 private:
  std::atomic<std::int64_t> now_;
};

}  // namespace orvelle::clips::sim
