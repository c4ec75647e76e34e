#include "record/steady_session_clock.h"

#include <thread>

namespace orvelle::clips {

Ticks SteadySessionClock::now() {
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch());
}

void SteadySessionClock::sleep_for(Ticks wait) { std::this_thread::sleep_for(wait); }

RecvStatus SteadySessionClock::receive_command(Receiver<Command>& commands,
                                               std::optional<Command>& out, Ticks wait) {
  return commands.receive_for(out, wait);
}

}  // namespace orvelle::clips
