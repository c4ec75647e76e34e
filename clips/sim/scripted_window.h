#pragma once
// The simulated game window: it appears, minimises, restores, resizes and
// closes as its scenario says, as a pure function of the time since the
// simulation started, so every thread may ask it without a lock.

#include "sim/scenario.h"

#include <utility>
#include <vector>

namespace orvelle::clips::sim {

// What the platform would report of the window at one instant.
struct WindowState {
  bool exists = false;
  bool minimised = false;
  Size client;       // the client area's size: 0 × 0 while minimised, as the platform has it
  Rect frame;        // the visible frame on the screen
  Rect client_area;  // the client area on the screen
  Rect restored;     // the frame a restore brings back (the frame itself when shown)
  // A capture of the window sees its whole visible frame.
  Size item() const {
    return {static_cast<std::uint32_t>(frame.right - frame.left),
            static_cast<std::uint32_t>(frame.bottom - frame.top)};
  }
  friend bool operator==(const WindowState&, const WindowState&) = default;
};

// Where a restored window's frame sits on the screen; a minimised one is
// parked far off it, as the platform parks it.
inline constexpr std::int32_t kWindowLeft = 100, kWindowTop = 80;
inline constexpr std::int32_t kParked = -32000;

class ScriptedWindow {
 public:
  explicit ScriptedWindow(const Scenario& scenario);

  WindowState at(Ticks since_start) const;
  const WindowScript& script() const { return script_; }

 private:
  WindowScript script_;
  // Each change of state from its instant on, oldest first.
  std::vector<std::pair<Ticks, WindowState>> changes_;
};

}  // namespace orvelle::clips::sim
