#pragma once
// The ring's clock and window query on Windows.

#include "ring/ring.h"

namespace orvelle::clips {

// The precise system time and IsIconic.
RingPlatform system_ring_platform();

}  // namespace orvelle::clips
