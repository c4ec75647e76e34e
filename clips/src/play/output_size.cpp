#include "play/output_size.h"

#include "common/numbers.h"

#include <algorithm>
#include <numeric>

namespace orvelle::clips {

PictureSize output_size(PictureSize requested, PictureSize native) {
  std::uint32_t w = std::max<std::uint32_t>(requested.width, 2);
  if (w >= native.width) return native;
  // 64 bits: a width times a height does not fit 32.
  auto hc = static_cast<std::uint32_t>(std::uint64_t{w} * native.height / native.width);
  std::uint32_t tolerance = std::max<std::uint32_t>(hc / 100, 2);
  std::uint32_t h = hc;
  if (requested.height != 0) {
    std::uint32_t apart = requested.height > hc ? requested.height - hc : hc - requested.height;
    if (apart <= tolerance) h = requested.height;
  }
  return {w, std::max<std::uint32_t>(h, 2)};
}

Ratio pixel_aspect(PictureSize output, PictureSize native) {
  std::uint64_t n = std::uint64_t{output.height} * native.width;
  std::uint64_t d = std::uint64_t{output.width} * native.height;
  std::uint64_t g = std::gcd(n, d);
  if (g == 0) g = 1;
  return {n / g, d / g};
}

Ticks default_frame_duration(std::optional<std::uint64_t> frame_rate) {
  double fps = 60.0;
  if (frame_rate) {
    auto num = static_cast<std::uint32_t>(*frame_rate >> 32);
    auto den = static_cast<std::uint32_t>(*frame_rate);
    if (num != 0 && den != 0) fps = static_cast<double>(num) / den;
  }
  return Ticks{saturate_cast<std::int64_t>(1e7 / fps)};
}

}  // namespace orvelle::clips
