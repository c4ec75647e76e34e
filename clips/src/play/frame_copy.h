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
  // A two-dimensional lock that cannot say its own extent: length is then
  // the picture's size in its packed form (rows of the geometry's stride),
  // which says how many rows lie pitch apart from top_row.
  bool packed_length = false;
};

// Where rows × columns pixels of the visible area lie in a locked picture:
// the byte offset of its top-left pixel from the buffer start and the pitch
// from row to row (negative for a bottom-up buffer). An error when any of
// those rows would reach outside the locked buffer, or rows would overlap.
struct RowSpan {
  std::int64_t first = 0, pitch = 0;
};
[[nodiscard]] Result<RowSpan> locate_rows(const LockedPicture& picture,
                                          const VideoGeometry& geometry, std::uint32_t rows,
                                          std::uint32_t columns);

// Copies min(visible, width × height) of the picture into slot (width × 4
// bytes a row); pixels outside the copied rectangle are left. A picture whose
// rows would reach outside the locked buffer is an error and nothing is
// copied.
[[nodiscard]] Status copy_picture(const LockedPicture& picture, const VideoGeometry& geometry,
                                  std::uint8_t* slot, std::uint32_t width, std::uint32_t height);

}  // namespace orvelle::clips
