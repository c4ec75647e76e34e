#pragma once
// The microphone's samples between its device and the game sound: a queue of
// mono floats at the game rate, kept between 40 ms and 200 ms long, and their
// mixing into the game's 16-bit stereo. The loopback is the clock: the queue
// is consumed at the game's pace, cut back when the microphone runs ahead,
// and mixing waits for 40 ms again whenever it runs dry.

#include "audio/mix_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvelle::clips {

// A ring of floats that grows only when it must, so that a steady stream
// allocates nothing per packet. Its size is a power of two.
class FloatRing {
 public:
  explicit FloatRing(std::size_t reserve);
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void push(float v) {
    if (size_ == slots_.size()) grow();
    slots_[(head_ + size_) & mask_] = v;
    ++size_;
  }
  float pop() {
    const float v = slots_[head_];
    head_ = (head_ + 1) & mask_;
    --size_;
    return v;
  }
  // Room for n more, so a packet is written without a check per value.
  void reserve_more(std::size_t n) {
    while (slots_.size() - size_ < n) grow();
  }
  // The oldest values in at most two runs: first, then second.
  std::span<float> first(std::size_t n) { return {slots_.data() + head_, std::min(n, slots_.size() - head_)}; }
  float& at_back(std::size_t i) { return slots_[(head_ + size_ + i) & mask_]; }
  void grow_by(std::size_t n) { size_ += n; }
  // n floats as they lie in bytes (native order), after reserve_more(n).
  void append_bytes(const std::uint8_t* bytes, std::size_t n);
  void drop_oldest(std::size_t n);
  void clear() { head_ = size_ = 0; }
  std::size_t capacity() const { return slots_.size(); }

 private:
  void grow();
  std::vector<float> slots_;
  std::size_t mask_;
  std::size_t head_ = 0, size_ = 0;
};

inline constexpr std::size_t kMicQueueReserve = 16'384;

class MicQueue {
 public:
  explicit MicQueue(std::uint32_t game_rate);

  FloatRing& samples() { return samples_; }
  const FloatRing& samples() const { return samples_; }
  // A newly opened microphone: nothing queued, mixing waits for 40 ms.
  void restart();
  // One packet of the open stream as mono floats; a silent one as zeros.
  void take_packet(std::span<const std::uint8_t> bytes, std::uint32_t frames, bool silent,
                   const MixFormat& format);
  // Over 200 ms queued: cut to the newest 40 ms, with a line on standard
  // error for the first five times and every hundredth.
  void bound();
  // Adds the oldest samples to the frames of stereo values (left, right) at
  // volume percent (at most 200 counts), saturating.
  void mix_into(std::span<std::int16_t> values, std::uint32_t volume);

  bool primed() const { return primed_; }
  std::uint32_t upper() const { return upper_; }
  std::uint32_t keep() const { return keep_; }

 private:
  FloatRing samples_{kMicQueueReserve};
  std::uint32_t rate_;
  std::uint32_t upper_;  // 200 ms of values
  std::uint32_t keep_;   // 40 ms of values
  std::uint32_t ran_dry_ = 0;
  std::uint32_t skipped_ = 0;
  bool primed_ = false;
};

// The first five occurrences and every hundredth are worth a line.
inline bool worth_reporting(std::uint32_t count) { return (count >= 1 && count <= 5) || count % 100 == 0; }

}  // namespace orvelle::clips
