#pragma once
// The player's time source: the performance counter in 100-ns units, and
// the short sleeps of pacing. The sound device reports its clock in the same
// units, which is why the playback clock reads this one and not any other.

#include "common/media_time.h"

#include <cstdint>

namespace orvelle::clips {

class PlayTime {
 public:
  virtual ~PlayTime() = default;
  virtual std::int64_t now_100ns() = 0;
  virtual void sleep(Ticks duration) = 0;
};

// The portable one: the steady clock, for the simulation.
class SteadyPlayTime final : public PlayTime {
 public:
  std::int64_t now_100ns() override;
  void sleep(Ticks duration) override;
};

}  // namespace orvelle::clips
