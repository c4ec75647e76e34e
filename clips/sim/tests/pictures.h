#pragma once
// Reading the simulated game's pictures as the encoder would see them.

#include "sim/frame_source.h"

#include <vector>

namespace orvelle::clips::sim {

// The limited-range luma of one area of a BGRA picture (BT.709 weights):
// what the converter feeds the encoder, before any compression.
inline std::vector<std::uint8_t> luma_of(const BgraPicture& picture, Rect area) {
  const auto w = static_cast<std::uint32_t>(area.right - area.left);
  const auto h = static_cast<std::uint32_t>(area.bottom - area.top);
  std::vector<std::uint8_t> out(std::size_t{w} * h);
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = picture.data() + (y + static_cast<std::uint32_t>(area.top)) * picture.stride() +
                              (x + static_cast<std::uint32_t>(area.left)) * 4;
      const double rgb = 0.0722 * p[0] + 0.7152 * p[1] + 0.2126 * p[2];
      out[std::size_t{y} * w + x] = static_cast<std::uint8_t>(16 + rgb * 219 / 255 + 0.5);
    }
  return out;
}

}  // namespace orvelle::clips::sim
