#pragma once
// The frames file through which the client sees the pictures: a 128-byte
// header, then three RGBA slots used as a triple buffer. One slot is the
// writer's, one is named in the published word, one is the reader's; the
// published word is the only thing both sides change, and only by atomic
// exchange, which also orders the pixels before the publication.

#include "common/win_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvelle::clips {

inline constexpr std::uint32_t kFrameSlots = 3;
inline constexpr std::size_t kFramesHeaderBytes = 128;
inline constexpr std::size_t kPublishedWordOffset = 16;
inline constexpr std::size_t kSlotRecordsOffset = 32;
inline constexpr std::size_t kSlotRecordBytes = 16;
// In the published word: a picture was published since the reader took one.
inline constexpr std::uint32_t kFreshPicture = 0x100;

struct FramesSize {
  std::uint32_t slot_bytes = 0;  // W × H × 4
  std::uint64_t file_bytes = 0;  // the header and three slots
};
// Every size in 64 bits; a slot that does not fit the header's 32-bit field
// is refused rather than written wrapped.
[[nodiscard]] Result<FramesSize> frames_size(std::uint32_t width, std::uint32_t height);

// Writes magic, version, slot count, sizes and the published word 1 into a
// zeroed mapping of at least the header's size.
void write_frames_header(std::span<std::uint8_t> file, std::uint32_t width, std::uint32_t height,
                         std::uint32_t slot_bytes);

// The published word, exchanged atomically in the mapping.
std::uint32_t exchange_published_word(std::span<std::uint8_t> file, std::uint32_t value);

}  // namespace orvelle::clips
