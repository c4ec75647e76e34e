#pragma once
// The main window's place and size: 62 % of the work area's width, kept
// between 960 and 1280 logical pixels, in 16:9, centred.

#include "common/geometry.h"

#include <cstdint>

namespace orvelle::setup {

struct WindowBox {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const WindowBox&, const WindowBox&) = default;
};

// The window's physical width and height at a dpi.
Size window_size(const Rect& work_area, std::uint32_t dpi);

// Where the window goes: centred on the work area, or far off the screen.
WindowBox window_box(const Rect& work_area, std::uint32_t dpi, bool offscreen);

}  // namespace orvelle::setup
