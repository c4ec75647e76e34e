#pragma once
// The shadow blur's reference: each pass as the plain two-dimensional box
// sum over (2r + 1)² samples, zeros outside, divided by (2r + 1)².

#include "overhang/logo_picture.h"

namespace orvelle::setup::testing {

inline Plane direct_box_pass(const Plane& in, std::int32_t n, std::int32_t r) {
  Plane out(in.size(), 0.0f);
  double area = (2.0 * r + 1) * (2.0 * r + 1);
  for (std::int32_t y = 0; y < n; ++y)
    for (std::int32_t x = 0; x < n; ++x) {
      double sum = 0;
      for (std::int32_t dy = -r; dy <= r; ++dy)
        for (std::int32_t dx = -r; dx <= r; ++dx) {
          std::int32_t sx = x + dx, sy = y + dy;
          if (sx >= 0 && sy >= 0 && sx < n && sy < n) sum += in[std::size_t(sy) * n + sx];
        }
      out[std::size_t(y) * n + x] = static_cast<float>(sum / area);
    }
  return out;
}

}  // namespace orvelle::setup::testing
