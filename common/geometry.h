#pragma once
// One rectangle and one size for every picture, window and texture.

#include <cstdint>

namespace orvelle {

// Edges in pixels, right and bottom exclusive, as the platform's RECT.
struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  std::uint32_t width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

}  // namespace orvelle
