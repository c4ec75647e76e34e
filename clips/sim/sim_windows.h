#pragma once
// The desktop of the simulation: one top-level window, the scripted game's,
// asked at the instant of each question.

#include "record/session_ports.h"
#include "sim/scripted_window.h"
#include "sim/sim_clock.h"

namespace orvelle::clips::sim {

class SimWindows final : public WindowSystem {
 public:
  // start: the clock's reading when the simulation started.
  SimWindows(const ScriptedWindow& window, SimClock& clock, Ticks start)
      : window_(window), clock_(clock), start_(start) {}

  void search(GameWindowSearch& search) override;
  bool exists(WindowHandle window) override;
  bool minimised(WindowHandle window) override;
  std::optional<Size> client_size(WindowHandle window) override;
  std::string title(WindowHandle window) override;

  // The handle the search finds the game's window by.
  WindowHandle handle() const;
  // The window as it is now; not there for any other handle.
  WindowState state(WindowHandle window) const;

 private:
  const ScriptedWindow& window_;
  SimClock& clock_;
  Ticks start_;
};

}  // namespace orvelle::clips::sim
