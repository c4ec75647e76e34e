#pragma once
// The game window's facts for the capture plan (Windows only), in physical
// pixels: the program's manifest declares per-monitor DPI awareness, so the
// frame bounds, the client rectangle and the capture item agree.

#include "capture/capture_plan.h"

#include <windows.h>

#include <cstdint>

namespace orvelle::clips {

// The frame bounds (the DWM's extended frame, else the window rectangle),
// the client rectangle and its origin on the screen, beside the item's size.
WindowGeometry window_geometry(HWND window, Size item);

// The refresh rate of the monitor nearest the window; 0 when unknown.
std::uint32_t monitor_refresh_rate(HWND window);

}  // namespace orvelle::clips
