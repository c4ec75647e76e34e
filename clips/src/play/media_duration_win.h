#pragma once
// The clip's duration as the media source reports it (MF_PD_DURATION).

#include <propidl.h>

#include <cstdint>

namespace orvelle::clips {

// In 100 ns; a value that is not an unsigned 64-bit number counts as 0,
// which leaves the storyboard one picture at 0 and the player no length.
std::uint64_t media_duration(const PROPVARIANT& value);

}  // namespace orvelle::clips
