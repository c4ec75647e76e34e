#pragma once
// Timer 1, every 100 ms: the screenshots that are due, then the
// installation's state from the demo curve, the status file or the install
// folder's size.

#include "main/setup_state_win.h"

namespace orvelle::setup {

// True when the status file says "abort": the caller destroys the window
// once it has given the state back.
[[nodiscard]] bool status_tick(SetupState& state);

}  // namespace orvelle::setup
