#include "sim/sim_clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orvelle::clips::sim {

Ticks SteadyClock::now() {
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch());
}

bool SteadyClock::sleep_until(Ticks t, std::stop_token stop) {
  std::mutex mutex;
  std::condition_variable_any woken;
  std::unique_lock lock(mutex);
  const std::chrono::steady_clock::time_point deadline{
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(t)};
  woken.wait_until(lock, stop, deadline, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace orvelle::clips::sim
