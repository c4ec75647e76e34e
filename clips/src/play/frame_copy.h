#pragma once
// One decoded RGB32 picture into a frames slot: the rows checked against the
// locked buffer first, then B, G, R, X swapped to R, G, B, 255 on whole
// pixels.

#include "play/video_geometry.h"

#include <cstddef>
#include <cstdint>

namespace orvelle::clips {

// A decoded picture as the platform hands it over, locked for reading.
struct LockedPicture {
  const std::uint8_t* buffer = nullptr;  // the locked bytes
  std::size_t length = 0;
  // Set by a two-dimensional lock: the top row and the pitch from it (may be
  // negative). Null for a plain lock, where the geometry's stride says where
  // the top row is.
  const std::uint8_t* top_row = nullptr;
  std::int32_t pitch = 0;
};

// Copies min(visible, width × height) of the picture into slot (width × 4
// bytes a row); pixels outside the copied rectangle are left. A picture whose
// rows would reach outside the locked buffer is an error and nothing is
// copied.
[[nodiscard]] Status copy_picture(const LockedPicture& picture, const VideoGeometry& geometry,
                                  std::uint8_t* slot, std::uint32_t width, std::uint32_t height);

// One row of pixels, BGRX to RGBA.
void bgrx_to_rgba(const std::uint8_t* source, std::uint8_t* destination, std::size_t pixels);

}  // namespace orvelle::clips
