#pragma once
// Sample conversions of the sound road: a captured packet of the game's
// stream to the 16-bit stereo the encoder takes, and a microphone packet to
// mono floats. Every read stays inside the packet's frames; a float that is
// not a number gives silence and every float-to-integer step saturates.

#include "audio/mix_format.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvelle::clips {

// One sample of the frame at `frame` as a signed 16-bit value; channels past
// the last read the last, so mono gives the same value on both sides.
std::int16_t read_sample_i16(const std::uint8_t* frame, std::uint16_t channel, const MixFormat& format);

// Appends `frames` frames as stereo values (left first): zeros for a silent
// packet, else the first two channels of each frame. Frames beyond the
// bytes given are not read.
void game_sound_to_stereo_i16(std::span<const std::uint8_t> bytes, std::uint32_t frames,
                              const MixFormat& format, bool silent, std::vector<std::int16_t>& out);

// One frame as a mono float: the mean of all its channels, integers scaled
// to [-1, 1).
float mono_sample(const std::uint8_t* frame, const MixFormat& format);

// The float a 16-bit value is written with: clamped to [-1, 1] × 32767,
// toward zero; NaN gives 0.
// Written as selects without branches, so a packet's loop runs as vector
// arithmetic; once clamped, the product is within range of the cast.
inline std::int16_t float_to_i16(float x) {
  double d = x;
  d = d < -1.0 ? -1.0 : d;
  d = d > 1.0 ? 1.0 : d;
  d = x == x ? d : 0.0;
  return static_cast<std::int16_t>(static_cast<std::int32_t>(d * 32767.0));
}

}  // namespace orvelle::clips
