#include "play/frame_copy.h"

#include "play/pixel_swap.h"

#include <algorithm>

namespace orvelle::clips {

Result<RowSpan> locate_rows(const LockedPicture& picture, const VideoGeometry& geometry,
                            std::uint32_t rows, std::uint32_t columns) {
  // Signed 64-bit offsets from where the rows start: a pitch of either sign
  // and any geometry stay exact.
  std::int64_t end = static_cast<std::int64_t>(picture.length);
  std::int64_t top, pitch;
  std::int64_t origin = 0;  // of picture.buffer from where the rows start
  if (picture.top_row && picture.packed_length) {
    // The rows run from the lowest in memory: the top one of a top-down
    // buffer, the bottom one of a bottom-up buffer.
    pitch = picture.pitch;
    const std::int64_t packed_row = std::abs(std::int64_t{geometry.stride});
    const std::int64_t held = packed_row > 0 ? end / packed_row : 0;
    top = held > 0 && pitch < 0 ? (held - 1) * -pitch : 0;
    end = held > 0 ? (held - 1) * std::abs(pitch) + packed_row : 0;
    origin = top + (picture.buffer - picture.top_row);
  } else if (picture.top_row) {
    top = picture.top_row - picture.buffer;
    pitch = picture.pitch;
  } else {
    pitch = geometry.stride;
    top = pitch < 0 ? (std::int64_t{geometry.height} - 1) * -pitch : 0;
  }
  const std::int64_t first =
      top + std::int64_t{geometry.visible_y} * pitch + std::int64_t{geometry.visible_x} * 4;
  const std::int64_t last = first + (std::int64_t{rows} - 1) * pitch;
  const std::int64_t row_bytes = std::int64_t{columns} * 4;
  if (std::min(first, last) < 0 || std::max(first, last) + row_bytes > end ||
      (rows > 1 && std::abs(pitch) < row_bytes))
    return error(fail("the decoded picture is smaller than its geometry", hresult::kInvalidData));
  return RowSpan{first - origin, pitch};
}

Status copy_picture(const LockedPicture& picture, const VideoGeometry& geometry, std::uint8_t* slot,
                    std::uint32_t width, std::uint32_t height) {
  const std::uint32_t rows = std::min(geometry.visible_height, height);
  const std::uint32_t columns = std::min(geometry.visible_width, width);
  if (rows == 0 || columns == 0) return {};
  auto span = locate_rows(picture, geometry, rows, columns);
  if (!span) return error(span.error());
  for (std::uint32_t r = 0; r < rows; ++r)
    bgrx_to_rgba(picture.buffer + span->first + std::int64_t{r} * span->pitch,
                 slot + std::size_t{r} * width * 4, columns);
  return {};
}

}  // namespace orvelle::clips
