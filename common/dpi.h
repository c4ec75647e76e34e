#pragma once
// Pixels per logical pixel at a monitor's dots per inch. A dpi of 0 is what
// the platform's queries answer when they fail; it counts as the standard
// 96, so no size is ever divided by zero or shrunk to nothing.

#include <cstdint>

namespace orvelle {

inline float dpi_scale(std::uint32_t dpi) {
  return dpi == 0 ? 1.0f : static_cast<float>(dpi) / 96.0f;
}

}  // namespace orvelle
