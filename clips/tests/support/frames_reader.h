#pragma once
// The client's side of the frames file's published word, as the player
// expects it: a fresh picture is taken by exchanging in the slot the reader
// holds, and only the slot it got back is read until the next take.

#include "play/frames_layout.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace orvelle::clips {

struct FramesReader {
  std::span<std::uint8_t> file;
  std::uint32_t held = 2;  // the reader's slot at the start

  // The slot now held, when a fresh picture was there to take.
  std::optional<std::uint32_t> take() {
    auto* word = reinterpret_cast<std::uint32_t*>(file.data() + kPublishedWordOffset);
    std::atomic_ref<std::uint32_t> published(*word);
    if ((published.load(std::memory_order_acquire) & kFreshPicture) == 0) return std::nullopt;
    held = published.exchange(held, std::memory_order_acq_rel) & 0xff;
    return held;
  }
  double time(std::uint32_t slot) const {
    double v;
    std::memcpy(&v, file.data() + kSlotRecordsOffset + slot * kSlotRecordBytes, 8);
    return v;
  }
  std::uint32_t generation(std::uint32_t slot) const {
    std::uint32_t v;
    std::memcpy(&v, file.data() + kSlotRecordsOffset + slot * kSlotRecordBytes + 8, 4);
    return v;
  }
  const std::uint8_t* pixels(std::uint32_t slot, std::uint32_t slot_bytes) const {
    return file.data() + kFramesHeaderBytes + std::size_t{slot} * slot_bytes;
  }
};

}  // namespace orvelle::clips
