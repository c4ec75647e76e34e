#pragma once
// AAC sound for the muxer's tests, made by libavcodec's own AAC encoder: a
// tone, its AudioSpecificConfig and its packets timed from 0.

#include "ring/ring.h"
#include "sim/ffmpeg/mp4_muxer.h"

#include <vector>

namespace orvelle::clips::sim {

struct SoundFixture {
  SoundTrack track;
  std::vector<Packet> packets;  // 1024 samples each
};

SoundFixture aac_tone(Ticks length, double frequency, std::uint32_t sample_rate = 48'000,
                      std::uint32_t channels = 2);

}  // namespace orvelle::clips::sim
