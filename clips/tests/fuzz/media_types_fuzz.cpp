// A video media type's attributes as the platform hands them over, into the
// geometry, the output size, the pixel aspect, the frame duration and the
// frames file's sizes: the visible area lies inside the frame, the output
// is never larger than the clip nor smaller than 2 × 2, and a size either
// fits the frames file's header or is refused.

#include "common/tests/fuzz/fuzz_target.h"

#include "play/frames_layout.h"
#include "play/output_size.h"
#include "play/video_geometry.h"

#include <cstring>

namespace {

template <typename T>
bool take(const std::uint8_t*& data, std::size_t& size, T& out) {
  if (size < sizeof(T)) return false;
  std::memcpy(&out, data, sizeof(T));
  data += sizeof(T);
  size -= sizeof(T);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::clips;
  std::uint8_t present = 0;
  std::uint64_t frame_size = 0, frame_rate = 0;
  std::uint32_t stride = 0, requested_w = 0, requested_h = 0;
  if (!take(data, size, present) || !take(data, size, frame_size) || !take(data, size, stride) ||
      !take(data, size, frame_rate) || !take(data, size, requested_w) || !take(data, size, requested_h))
    return 0;
  VideoTypeAttributes type;
  if (present & 1) type.frame_size = frame_size;
  if (present & 2) type.default_stride = stride;
  if (present & 4) type.frame_rate = frame_rate;
  if (present & 8) type.aperture = std::vector<std::uint8_t>(data, data + size);
  auto geometry = read_video_geometry(type);
  FUZZ_CHECK(geometry.has_value() == type.frame_size.has_value());
  if (!geometry) return 0;
  auto width = static_cast<std::uint32_t>(frame_size >> 32);
  FUZZ_CHECK(std::uint64_t{geometry->visible_x} + geometry->visible_width <= width);
  FUZZ_CHECK(std::uint64_t{geometry->visible_y} + geometry->visible_height <= geometry->height);
  FUZZ_CHECK(default_frame_duration(type.frame_rate).count() >= 0);

  PictureSize native{geometry->visible_width, geometry->visible_height};
  PictureSize out = output_size({requested_w, requested_h}, native);
  if (out != native) {
    FUZZ_CHECK(out.width < native.width);
    FUZZ_CHECK(out.width >= 2 && out.height >= 2);
  }
  Ratio aspect = pixel_aspect(out, native);
  (void)aspect;
  auto frames = frames_size(out.width, out.height);
  if (frames) FUZZ_CHECK(frames->file_bytes == 128 + 3 * std::uint64_t{frames->slot_bytes});
  else FUZZ_CHECK(std::uint64_t{out.width} * out.height * 4 > UINT32_MAX);
  return 0;
}
