#pragma once
// Keeps the playback device's buffer topped up: decodes only as far as the
// free space needs, drops what lies before a seek target, applies the
// volume per sample and writes silence once the stream has ended.

#include "play/player_state.h"
#include "play/sound_io.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace orvelle::clips {

inline constexpr std::size_t kFeedQueueSamples = 96'000;

struct AudioFeed {
  AudioFeed(SoundReader& reader, SoundDevice& device, SoundFormat format);

  // A seek: samples before target are dropped as they arrive.
  void restart(std::int64_t target);

  SoundReader& reader;
  SoundDevice& device;
  SoundFormat format;  // channels and rate at least 1
  bool seek_pending = false;
  std::int64_t target = 0;
  std::deque<float> queue;
  bool ended = false;
  std::vector<float> decoded;  // the last sample's, reused
};

[[nodiscard]] Status fill_render_buffer(AudioFeed& feed, float volume);

// Moves the clock to the device's reading when the lead is on or the two
// are more than 15 ms apart, and only for the generation the device plays.
// Takes the playback mutex, then the clock mutex.
void reanchor_clock(PlayerState& state, std::uint32_t handled_generation, double base_position,
                    const DevicePosition& device, std::uint64_t frequency);

}  // namespace orvelle::clips
