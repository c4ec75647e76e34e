#pragma once
// The simulation's failures as the programs' error values. A failure the
// platform would also report (a missing folder, a read-only file, a full
// disk) carries the code the platform gives it, so the lines the simulation
// prints read as the program's would; the text is this system's own.

#include "common/win_error.h"

namespace orvelle::clips::sim {

// An errno value.
WinError system_error(int err);

}  // namespace orvelle::clips::sim
