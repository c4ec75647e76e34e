#pragma once
// The performance counter, the clock the sound device reports in.

#include "play/play_time.h"

namespace orvelle::clips {

class CounterPlayTime final : public PlayTime {
 public:
  std::int64_t now_100ns() override;
  void sleep(Ticks duration) override;
};

}  // namespace orvelle::clips
