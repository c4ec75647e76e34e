#pragma once
// The simulation's clock: media time as the platform's performance counter
// gives it (100 ns units since the machine started, never 0, which the ring
// reads as "not started"), and waits that end early when a thread is told
// to stop.

#include "common/media_time.h"

#include <stop_token>

namespace orvelle::clips::sim {

class SimClock {
 public:
  virtual ~SimClock() = default;
  virtual Ticks now() = 0;
  // Returns at t, or sooner with false once stop is requested.
  virtual bool sleep_until(Ticks t, std::stop_token stop) = 0;
};

// The machine's monotonic clock, in real time.
class SteadyClock final : public SimClock {
 public:
  Ticks now() override;
  bool sleep_until(Ticks t, std::stop_token stop) override;
};

}  // namespace orvelle::clips::sim
