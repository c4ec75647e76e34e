#include "play/audio_feed.h"

#include "common/try.h"
#include "play/video_thread.h"

#include <algorithm>
#include <cmath>

namespace orvelle::clips {
namespace {

constexpr std::int64_t kReanchorApart = 150'001;  // more than 15 ms, in 100 ns

}  // namespace

AudioFeed::AudioFeed(SoundReader& r, SoundDevice& d, SoundFormat f)
    : reader(r), device(d), format(f) {
  format.channels = std::max<std::uint32_t>(format.channels, 1);
  format.rate = std::max<std::uint32_t>(format.rate, 1);
}

void AudioFeed::restart(std::int64_t t) {
  seek_pending = true;
  target = t;
  queue.clear();
  ended = false;
}

namespace {

// One ReadSample's worth into the queue; false when nothing came.
Result<bool> decode_some(AudioFeed& feed) {
  ORVELLE_ASSIGN_OR_RETURN(SoundRead got, feed.reader.read(feed.decoded));
  if (got.end_of_stream) {
    feed.ended = true;
    return true;
  }
  if (got.type_changed) {
    // Samples of another layout read as this one would be noise at the
    // wrong speed; the device was opened for one format only.
    ORVELLE_ASSIGN_OR_RETURN(SoundFormat now, feed.reader.current_format());
    if (now.channels != feed.format.channels || now.rate != feed.format.rate || !now.is_float)
      return error(fail("the sound's format changed while playing", hresult::kUnsupportedFormat));
  }
  if (!got.has_sample) return false;
  const std::uint64_t channels = feed.format.channels;
  const double rate = feed.format.rate;
  std::uint64_t n = feed.decoded.size();
  std::uint64_t drop = 0;
  if (feed.seek_pending) {
    // In floating point, exact for any time a clip has: a target far past
    // the end (the largest i64) less a priming sample's negative time would
    // overflow.
    const double target = static_cast<double>(feed.target), time = static_cast<double>(got.time);
    const double frames = std::trunc((target - time) * rate / 1e7);
    if (frames > 0)
      drop = frames >= static_cast<double>(n / channels) ? n : static_cast<std::uint64_t>(frames) * channels;
    const double span = std::trunc(static_cast<double>(n / channels) * 1e7 / rate);
    if (time + span >= target) feed.seek_pending = false;
  }
  drop = std::min(drop, n);
  feed.queue.insert(feed.queue.end(), feed.decoded.begin() + static_cast<std::ptrdiff_t>(drop),
                    feed.decoded.end());
  return true;
}

}  // namespace

Status fill_render_buffer(AudioFeed& feed, float volume) {
  ORVELLE_ASSIGN_OR_RETURN(std::uint32_t padding, feed.device.padding());
  std::uint32_t size = feed.device.buffer_frames();
  if (padding >= size) return {};
  std::uint32_t free = size - padding;
  std::size_t need = std::size_t{free} * feed.format.channels;
  // Empty reads are bounded like the video side's, so a reader that never
  // delivers cannot keep this thread from seeing stop.
  int empty = 0;
  while (feed.queue.size() < need && !feed.ended) {
    ORVELLE_ASSIGN_OR_RETURN(bool got, decode_some(feed));
    if (got) {
      empty = 0;
    } else if (++empty >= kMaxEmptyReads) {
      feed.ended = true;
    }
  }
  ORVELLE_ASSIGN_OR_RETURN(std::span<float> out, feed.device.get_buffer(free));
  if (out.size() < need) return error(fail("the device's buffer is too small", hresult::kInvalidData));
  std::size_t from_queue = std::min(need, feed.queue.size());
  for (std::size_t i = 0; i < from_queue; ++i) out[i] = feed.queue[i] * volume;
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(from_queue), out.begin() + static_cast<std::ptrdiff_t>(need), 0.0f);
  feed.queue.erase(feed.queue.begin(), feed.queue.begin() + static_cast<std::ptrdiff_t>(from_queue));
  return feed.device.release_buffer(free);
}

void reanchor_clock(PlayerState& state, std::uint32_t handled, double base_position,
                    const DevicePosition& device, std::uint64_t frequency) {
  if (device.counter == 0 || frequency == 0) return;
  std::lock_guard lock(state.playback);
  std::lock_guard clock_lock(state.clock_mutex);
  PlaybackClock& clock = state.clock;
  if (state.seek_generation != handled || !clock.running) return;
  double d = base_position + static_cast<double>(device.position) / static_cast<double>(frequency);
  double at_q = clock.anchor_position + static_cast<double>(device.counter - clock.anchor_time) / 1e7;
  if (clock.lead || std::trunc(std::abs(at_q - d) * 1e7) >= kReanchorApart) {
    clock.anchor_position = d;
    clock.anchor_time = device.counter;
    clock.lead = false;
  }
}

}  // namespace orvelle::clips
