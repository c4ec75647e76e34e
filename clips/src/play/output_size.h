#pragma once
// The size the player asks the decoder for, the pixel aspect that keeps the
// picture's shape at that size, and the frame duration a sample without one
// is given.

#include "common/media_time.h"

#include <cstdint>
#include <optional>

namespace orvelle::clips {

struct PictureSize {
  std::uint32_t width = 0, height = 0;
  bool operator==(const PictureSize&) const = default;
};

// requested: the width and the height (0: follow the clip's aspect) from
// the command line; native: the clip's visible size. Never larger than the
// clip, never smaller than 2 × 2; a requested height within a percent (at
// least two rows) of the aspect-kept one is taken as asked.
PictureSize output_size(PictureSize requested, PictureSize native);

// (h × Wn) : (w × Hn), reduced; 1 : 1 reduces nothing when both are 0.
struct Ratio {
  std::uint64_t numerator = 1, denominator = 1;
  bool operator==(const Ratio&) const = default;
};
Ratio pixel_aspect(PictureSize output, PictureSize native);

// 10^7 / fps, truncated and saturating, from the frame rate attribute
// (numerator in the high 32 bits); 60 fps when it is missing or has a 0.
Ticks default_frame_duration(std::optional<std::uint64_t> frame_rate);

}  // namespace orvelle::clips
