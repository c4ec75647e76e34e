#include "bridge/platform.h"

#include <thread>

namespace orvelle::media {

Instant SteadyLoopClock::now() { return std::chrono::steady_clock::now(); }

std::uint64_t SteadyLoopClock::unix_time_ms() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return ms.count() < 0 ? 0 : static_cast<std::uint64_t>(ms.count());
}

void SteadyLoopClock::sleep_for(std::chrono::milliseconds span) { std::this_thread::sleep_for(span); }

RecvStatus SteadyLoopClock::receive_until(LoopReceiver& receiver, std::optional<LoopMessage>& out,
                                          Instant deadline) {
  return receiver.receive_until(out, deadline);
}

}  // namespace orvelle::media
