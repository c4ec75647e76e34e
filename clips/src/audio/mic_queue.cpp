#include "audio/mic_queue.h"

#include "common/console.h"
#include "common/numbers.h"

#include <algorithm>
#include <fmt/format.h>

namespace orvelle::clips {

void FloatRing::drop_oldest(std::size_t n) {
  n = std::min(n, size_);
  head_ = (head_ + n) % slots_.size();
  size_ -= n;
}

void FloatRing::grow() {
  std::vector<float> bigger(std::max<std::size_t>(slots_.size() * 2, 16));
  for (std::size_t i = 0; i < size_; ++i) bigger[i] = slots_[(head_ + i) % slots_.size()];
  slots_ = std::move(bigger);
  head_ = 0;
}

MicQueue::MicQueue(std::uint32_t game_rate)
    : rate_(game_rate), upper_(game_rate * 200 / 1000), keep_(game_rate * 40 / 1000) {}

void MicQueue::restart() {
  samples_.clear();
  primed_ = false;
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
  for (std::size_t i = 0; i < frames; ++i) {
    if (samples_.empty()) {
      primed_ = false;
      ++ran_dry_;
      if (worth_reporting(ran_dry_))
        write_line(Stream::err, fmt::format("microphone behind the game sound: ran dry (#{})", ran_dry_));
      return;
    }
    const std::int64_t m = saturate_cast<std::int32_t>(static_cast<double>(samples_.pop() * gain));
    std::int16_t* lr = values.data() + 2 * i;
    lr[0] = static_cast<std::int16_t>(std::clamp<std::int64_t>(lr[0] + m, -32768, 32767));
    lr[1] = static_cast<std::int16_t>(std::clamp<std::int64_t>(lr[1] + m, -32768, 32767));
  }
}

}  // namespace orvelle::clips
