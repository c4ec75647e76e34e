#pragma once
// The modes not yet built: each says so in the form its caller reads, a
// JSON "error" line and exit code 1.

#include "app/run_clips.h"

namespace orvelle::clips {

// Fills the microphone list.
void add_unbuilt_modes(Modes& modes);

}  // namespace orvelle::clips
