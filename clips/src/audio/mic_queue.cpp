#include "audio/mic_queue.h"

#include "common/console.h"
#include "audio/samples.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fmt/format.h>

namespace orvelle::clips {

FloatRing::FloatRing(std::size_t reserve) : slots_(std::bit_ceil(std::max<std::size_t>(reserve, 16))) {
  mask_ = slots_.size() - 1;
}

void FloatRing::drop_oldest(std::size_t n) {
  n = std::min(n, size_);
  head_ = (head_ + n) & mask_;
  size_ -= n;
}

void FloatRing::append_bytes(const std::uint8_t* bytes, std::size_t n) {
  if (n == 0) return;  // a silent packet may come without bytes
  const std::size_t tail = (head_ + size_) & mask_;
  const std::size_t first = std::min(n, slots_.size() - tail);
  std::memcpy(slots_.data() + tail, bytes, first * sizeof(float));
  if (first < n) std::memcpy(slots_.data(), bytes + first * sizeof(float), (n - first) * sizeof(float));
  size_ += n;
}

void FloatRing::grow() {
  std::vector<float> bigger(slots_.size() * 2);
  for (std::size_t i = 0; i < size_; ++i) bigger[i] = slots_[(head_ + i) & mask_];
  slots_ = std::move(bigger);
  mask_ = slots_.size() - 1;
  head_ = 0;
}

MicQueue::MicQueue(std::uint32_t game_rate)
    : rate_(game_rate), upper_(game_rate * 200 / 1000), keep_(game_rate * 40 / 1000) {}

void MicQueue::restart() {
  samples_.clear();
  primed_ = false;
}

void MicQueue::take_packet(std::span<const std::uint8_t> bytes, std::uint32_t frames, bool silent,
                           const MixFormat& f) {
  samples_.reserve_more(frames);
  const std::uint32_t align = f.block_align;
  const std::size_t readable = silent || align == 0 ? 0 : std::min<std::size_t>(frames, bytes.size() / align);
  if (f.kind == SampleKind::f32 && f.channels == 1 && align == 4) {
    // The format the microphone is first asked for: the floats as they are.
    samples_.append_bytes(bytes.data(), readable);
  } else {
    for (std::size_t i = 0; i < readable; ++i) samples_.at_back(i) = mono_sample(bytes.data() + i * align, f);
    samples_.grow_by(readable);
  }
  for (std::size_t i = readable; i < frames; ++i) samples_.at_back(i - readable) = 0.0f;
  samples_.grow_by(frames - readable);
}

void MicQueue::bound() {
  const std::size_t length = samples_.size();
  if (length <= upper_) return;
  ++skipped_;
  if (worth_reporting(skipped_) && rate_ != 0)
    write_line(Stream::err, fmt::format("microphone ahead of the game sound: skipped {} ms (#{})",
                                        (length - keep_) * 1000 / rate_, skipped_));
  samples_.drop_oldest(length - keep_);
}

void MicQueue::mix_into(std::span<std::int16_t> values, std::uint32_t volume) {
  if (!primed_) {
    if (samples_.size() < keep_) return;
    primed_ = true;
  }
  const float gain = static_cast<float>(std::min<std::uint32_t>(volume, 200)) / 100.0f * 32767.0f;
  const std::size_t frames = values.size() / 2;
  const std::size_t mixed = std::min(frames, samples_.size());
  // The queue's oldest values lie in at most two runs.
  for (std::size_t done = 0; done < mixed;) {
    const std::span<float> run = samples_.first(mixed - done);
    std::int16_t* lr = values.data() + 2 * done;
    for (std::size_t i = 0; i < run.size(); ++i) {
      // Toward zero, saturating, NaN as 0. Any value past ±65,536 ends at the
      // same 16-bit limit, so saturating there is exact, and as selects
      // without branches the loop runs as vector arithmetic.
      const float v = run[i] * gain;
      float p = v < -65536.0f ? -65536.0f : v;
      p = p > 65536.0f ? 65536.0f : p;
      p = v == v ? p : 0.0f;
      const auto m = static_cast<std::int32_t>(p);
      lr[2 * i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(lr[2 * i] + m, -32768, 32767));
      lr[2 * i + 1] = static_cast<std::int16_t>(std::clamp<std::int32_t>(lr[2 * i + 1] + m, -32768, 32767));
    }
    samples_.drop_oldest(run.size());
    done += run.size();
  }
  if (mixed < frames) {
    primed_ = false;
    ++ran_dry_;
    if (worth_reporting(ran_dry_))
      write_line(Stream::err, fmt::format("microphone behind the game sound: ran dry (#{})", ran_dry_));
  }
}

}  // namespace orvelle::clips
