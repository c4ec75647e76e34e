// The aperture blob, the stride and the lock a decoder reports, against a
// buffer of a given length: the copy into a frames slot either stays inside
// the buffer and the slot or refuses the picture (the sanitizers see any
// read or write outside them).

#include "common/tests/fuzz/fuzz_target.h"

#include "play/frame_copy.h"
#include "play/video_geometry.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::clips;
  // width, height, slot width, slot height, stride (signed), buffer length,
  // lock kind (bit 0: two-dimensional, bit 1: with its packed size) and
  // top-row offset, then the 16-byte aperture.
  if (size < 12 + 16) return 0;
  std::uint32_t width = data[0] % 64, height = data[1] % 64;
  std::uint32_t slot_width = data[2] % 64 + 1, slot_height = data[3] % 64 + 1;
  std::int16_t stride;
  std::memcpy(&stride, data + 4, 2);
  std::uint16_t length;
  std::memcpy(&length, data + 6, 2);
  bool two_d = data[8] & 1;
  std::uint16_t top_offset;
  std::memcpy(&top_offset, data + 9, 2);
  VideoTypeAttributes type;
  type.frame_size = std::uint64_t{width} << 32 | height;
  if (data[11] & 1) type.default_stride = static_cast<std::uint32_t>(static_cast<std::int32_t>(stride));
  type.aperture = std::vector<std::uint8_t>(data + 12, data + 28);
  auto geometry = read_video_geometry(type);
  FUZZ_CHECK(geometry.has_value());

  std::vector<std::uint8_t> buffer(length);
  LockedPicture picture{buffer.data(), buffer.size()};
  if (two_d) {
    picture.top_row = buffer.data() + (buffer.empty() ? 0 : top_offset % buffer.size());
    picture.pitch = stride;
  }
  if (two_d && (data[8] & 2)) {
    // A lock that gives its packed size: the rows it stands for, each the
    // pitch apart and the last one packed, are all the memory there is.
    const std::size_t packed_row = static_cast<std::size_t>(std::abs(geometry->stride));
    const std::size_t rows = packed_row ? length / packed_row : 0;
    const std::size_t pitch = static_cast<std::size_t>(std::abs(stride));
    // Thousands of rows a wide pitch apart would be gigabytes of buffer,
    // which only times the fuzzer out; the bounds are the same with less.
    if (rows > 1 && (rows - 1) * pitch + packed_row > (std::size_t{1} << 20)) return 0;
    buffer.assign(rows ? (rows - 1) * pitch + packed_row : 1, 0);
    picture.top_row = buffer.data() + (stride < 0 && rows ? (rows - 1) * pitch : 0);
    picture.buffer = picture.top_row;
    picture.length = length;
    picture.packed_length = true;
  }
  for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> slot(std::size_t{slot_width} * slot_height * 4);
  (void)copy_picture(picture, *geometry, slot.data(), slot_width, slot_height);
  return 0;
}
