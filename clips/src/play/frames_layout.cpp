#include "play/frames_layout.h"

#include <atomic>
#include <cstring>

namespace orvelle::clips {
namespace {

void put_u32(std::span<std::uint8_t> file, std::size_t offset, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

Result<FramesSize> frames_size(std::uint32_t width, std::uint32_t height) {
  std::uint64_t slot = std::uint64_t{width} * height * 4;
  if (slot > UINT32_MAX)
    return error(fail("a picture of " + std::to_string(width) + "x" + std::to_string(height) +
                      " does not fit a frames slot", hresult::kInvalidArg));
  return FramesSize{static_cast<std::uint32_t>(slot), kFramesHeaderBytes + kFrameSlots * slot};
}

void write_frames_header(std::span<std::uint8_t> file, std::uint32_t width, std::uint32_t height,
                         std::uint32_t slot_bytes) {
  std::memcpy(file.data(), "QVRM", 4);
  put_u32(file, 4, 1);
  put_u32(file, 8, kFrameSlots);
  put_u32(file, 12, slot_bytes);
  put_u32(file, 20, width);
  put_u32(file, 24, height);
  exchange_published_word(file, 1);
}

std::uint32_t exchange_published_word(std::span<std::uint8_t> file, std::uint32_t value) {
  // The mapping starts on a page, so the word at offset 16 is aligned.
  auto* word = reinterpret_cast<std::uint32_t*>(file.data() + kPublishedWordOffset);
  return std::atomic_ref<std::uint32_t>(*word).exchange(value, std::memory_order_acq_rel);
}

}  // namespace orvelle::clips
