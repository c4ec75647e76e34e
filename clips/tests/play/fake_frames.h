#pragma once
// A frames file in memory and pictures with known pixels.

#include "play/frames_layout.h"
#include "play/frames_writer.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <cstring>
#include <string>
#include <vector>

namespace orvelle::clips {

class MemoryFramesFile final : public FramesFile {
 public:
  explicit MemoryFramesFile(std::uint64_t size) : bytes_(size / 8 + 1) , size_(size) {}
  std::span<std::uint8_t> bytes() override {
    return {reinterpret_cast<std::uint8_t*>(bytes_.data()), size_};
  }
  const std::string& path() const override { return path_; }
  void published() override { ++publications; }
  std::atomic<int> publications{0};
  std::uint32_t u32(std::size_t offset) {
    std::uint32_t v;
    std::memcpy(&v, bytes().data() + offset, 4);
    return v;
  }
  double slot_time(std::uint32_t slot) {
    double v;
    std::memcpy(&v, bytes().data() + kSlotRecordsOffset + slot * kSlotRecordBytes, 8);
    return v;
  }
  std::uint32_t slot_generation(std::uint32_t slot) { return u32(kSlotRecordsOffset + slot * kSlotRecordBytes + 8); }

 private:
  std::vector<std::uint64_t> bytes_;  // eight-byte aligned, as a mapping is
  std::uint64_t size_;
  std::string path_ = "memory";
};

// A BGRX picture whose pixel (x, y) is B = x, G = y, R = seed. A packed
// two-dimensional lock gives the top row and the pitch with the picture's
// packed size (rows of width × 4 bytes) for its extent.
class TestPicture final : public DecodedPicture {
 public:
  TestPicture(std::uint32_t width, std::uint32_t height, std::int32_t stride, std::uint8_t seed,
              bool two_d = false, bool packed = false)
      : bytes_(std::size_t(std::abs(stride)) * height), stride_(stride), width_(width), height_(height),
        two_d_(two_d), packed_(packed) {
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t x = 0; x < width; ++x) {
        std::uint8_t* p = row(y) + x * 4;
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = seed;
        p[3] = 0x5a;
      }
  }
  // Where row y of the picture lies: a negative stride is a bottom-up buffer.
  std::uint8_t* row(std::uint32_t y) {
    std::size_t r = stride_ < 0 ? height_ - 1 - y : y;
    return bytes_.data() + r * std::abs(stride_);
  }
  Result<LockedPicture> lock() override {
    ++locks;
    LockedPicture l{bytes_.data(), bytes_.size()};
    if (two_d_) {
      l.top_row = row(0);
      l.pitch = stride_;
    }
    if (two_d_ && packed_) {
      l.buffer = row(0);
      l.length = std::size_t{width_} * 4 * height_;
      l.packed_length = true;
    }
    return l;
  }
  Status unlock() override {
    ++unlocks;
    return {};
  }
  void shrink(std::size_t by) { bytes_.resize(bytes_.size() - by); }
  int locks = 0, unlocks = 0;

 private:
  std::vector<std::uint8_t> bytes_;
  std::int32_t stride_;
  std::uint32_t width_, height_;
  bool two_d_, packed_;
};

}  // namespace orvelle::clips
