#pragma once
// The shape of a sound stream as the device describes it: the raw
// WAVEFORMATEX or WAVEFORMATEXTENSIBLE bytes read into the few facts the
// recorder uses. The same reading serves the loopback and the microphone.

#include "common/win_error.h"

#include <array>
#include <cstdint>
#include <span>

namespace orvelle::clips {

enum class SampleKind { f32, i16, i32 };

struct MixFormat {
  std::uint32_t rate = 0;         // frames per second
  std::uint16_t channels = 0;
  std::uint16_t block_align = 0;  // bytes per frame, all channels
  SampleKind kind = SampleKind::f32;
  friend bool operator==(const MixFormat&, const MixFormat&) = default;
};

inline constexpr std::uint32_t sample_bytes(SampleKind kind) { return kind == SampleKind::i16 ? 2 : 4; }

// The formats the recorder can read (16-bit or 32-bit PCM, 32-bit float),
// else 0x88890008 "mix format". A format whose frames could make a read
// leave the packet (no channels, a block smaller than its first two
// channels, an extensible header cut short) is refused the same way.
Result<MixFormat> parse_mix_format(std::span<const std::uint8_t> bytes);

// The bytes of a plain WAVEFORMATEX (18 bytes): 32-bit float, one channel.
std::array<std::uint8_t, 18> float_mono_format(std::uint32_t rate);

}  // namespace orvelle::clips
