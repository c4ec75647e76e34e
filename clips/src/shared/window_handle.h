#pragma once

namespace orvelle::clips {

// The game window as the core sees it: never used, only handed back to the
// platform, which knows what it is.
using WindowHandle = void*;

}  // namespace orvelle::clips
