#pragma once
// Where the picture lies in a decoded buffer and how far apart its rows
// are, from a video media type's attributes. The player and the storyboard
// read clips with it.

#include "common/win_error.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvelle::clips {

struct VideoGeometry {
  std::uint32_t height = 0;  // full frame rows, to find the top row of a bottom-up buffer
  std::uint32_t visible_x = 0, visible_y = 0;
  std::uint32_t visible_width = 0, visible_height = 0;
  std::int32_t stride = 0;  // negative for a bottom-up buffer
  bool operator==(const VideoGeometry&) const = default;
};

// The attributes of a video media type the player reads, as the platform
// hands them over: the frame size with the width in the high 32 bits, the
// default stride's bit pattern, the minimum display aperture's 16-byte
// blob and the frame rate with the numerator in the high 32 bits. Each is
// missing when the type does not carry it.
struct VideoTypeAttributes {
  std::optional<std::uint64_t> frame_size;
  std::optional<std::uint32_t> default_stride;
  std::optional<std::vector<std::uint8_t>> aperture;
  std::optional<std::uint64_t> frame_rate;
};

// Only a missing frame size is an error; a missing stride is four bytes a
// pixel, a missing or empty aperture, or one wholly outside the frame, the
// whole frame.
[[nodiscard]] Result<VideoGeometry> read_video_geometry(const VideoTypeAttributes& type);

// The aperture blob's visible area in a width × height frame; nothing when
// the blob is not 16 bytes or its area is empty or wholly outside the frame.
struct VisibleArea {
  std::uint32_t x, y, width, height;
};
std::optional<VisibleArea> aperture_area(std::span<const std::uint8_t> blob, std::uint32_t width,
                                         std::uint32_t height);

}  // namespace orvelle::clips
