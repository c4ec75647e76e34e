#pragma once
// The session's clock on a machine without the performance counter's
// platform: the steady clock for instants, waits and capture times alike.

#include "record/session_ports.h"

namespace orvelle::clips {

class SteadySessionClock final : public SessionClock {
 public:
  Ticks now() override;
  Ticks capture_time() override { return now(); }
  void sleep_for(Ticks wait) override;
  RecvStatus receive_command(Receiver<Command>& commands, std::optional<Command>& out,
                             Ticks wait) override;
};

}  // namespace orvelle::clips
