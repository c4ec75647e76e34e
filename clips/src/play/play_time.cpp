#include "play/play_time.h"

#include <chrono>
#include <thread>

namespace orvelle::clips {

std::int64_t SteadyPlayTime::now_100ns() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<Ticks>(since).count();
}

void SteadyPlayTime::sleep(Ticks duration) { std::this_thread::sleep_for(duration); }

}  // namespace orvelle::clips
