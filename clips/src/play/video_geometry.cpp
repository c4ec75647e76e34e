#include "play/video_geometry.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips {
namespace {

std::int32_t le_i32(const std::uint8_t* p) {
  std::uint32_t v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                    std::uint32_t{p[3]} << 24;
  return static_cast<std::int32_t>(v);
}
// The integer part of an offset: a 16-bit fraction, then a signed 16-bit value.
std::int16_t offset_integer(const std::uint8_t* p) {
  return static_cast<std::int16_t>(std::uint16_t{p[2]} | std::uint16_t{p[3]} << 8);
}

}  // namespace

std::optional<VisibleArea> aperture_area(std::span<const std::uint8_t> blob, std::uint32_t width,
                                         std::uint32_t height) {
  if (blob.size() != 16) return std::nullopt;
  std::int32_t cx = le_i32(blob.data() + 8), cy = le_i32(blob.data() + 12);
  if (cx <= 0 || cy <= 0) return std::nullopt;
  auto x = static_cast<std::uint32_t>(std::max<int>(offset_integer(blob.data()), 0));
  auto y = static_cast<std::uint32_t>(std::max<int>(offset_integer(blob.data() + 4), 0));
  // An area wholly outside the frame shows nothing of it: like an empty
  // one, it is the whole frame, and the subtraction below cannot wrap.
  if (x >= width || y >= height) return std::nullopt;
  return VisibleArea{x, y, std::min(width - x, static_cast<std::uint32_t>(cx)),
                     std::min(height - y, static_cast<std::uint32_t>(cy))};
}

Result<VideoGeometry> read_video_geometry(const VideoTypeAttributes& type) {
  if (!type.frame_size) return error(fail("the video type has no frame size", hresult::kAttributeNotFound));
  auto width = static_cast<std::uint32_t>(*type.frame_size >> 32);
  auto height = static_cast<std::uint32_t>(*type.frame_size);
  VideoGeometry g;
  g.height = height;
  // A width whose four bytes a pixel overflow has no sensible stride; the
  // bounds check of the copy then refuses the picture.
  g.stride = type.default_stride ? static_cast<std::int32_t>(*type.default_stride)
                                 : static_cast<std::int32_t>(std::min<std::uint64_t>(std::uint64_t{width} * 4, INT32_MAX));
  std::optional<VisibleArea> area;
  if (type.aperture) area = aperture_area(*type.aperture, width, height);
  if (!area) area = VisibleArea{0, 0, width, height};
  g.visible_x = area->x;
  g.visible_y = area->y;
  g.visible_width = area->width;
  g.visible_height = area->height;
  return g;
}

}  // namespace orvelle::clips
