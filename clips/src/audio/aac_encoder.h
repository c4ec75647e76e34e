#pragma once
// One sound track's AAC encoder: the transform set up for 16-bit stereo at
// the mix rate, and the encoding of one block of the "audio" thread into
// packets for the ring. Used only on the "audio" thread.

#include "audio/sound_ports.h"
#include "ring/ring.h"

#include <cstdint>
#include <memory>
#include <span>

namespace orvelle::clips {

inline constexpr std::uint32_t kMinOutputBuffer = 8192;
// A block of at most a few thousand frames makes a handful of AAC frames; a
// transform still answering without asking for input after this many
// outputs is broken, and the block fails instead of holding the thread.
inline constexpr int kMaxDrawsPerBlock = 64;

struct AacEncoder {
  std::unique_ptr<AacTransform> transform;
  SharedSoundType output_type;
  std::uint32_t output_buffer_size = kMinOutputBuffer;
  bool provides_samples = false;
};

// Sets the input type then the output type, or, when either is refused, the
// output type first; reads the output type and stream info and starts the
// stream.
Result<AacEncoder> create_aac_encoder(std::unique_ptr<AacTransform> transform, std::uint32_t rate);

// frames × 10^7 / rate, in integer division.
Ticks block_duration(std::uint64_t frames, std::uint32_t rate);

// One block of stereo values stamped with its first packet's capture time:
// every AAC frame it gives goes to the ring as a key packet of track 0
// (encode_audio_block) or track 1 (encode_game_audio_block).
Status encode_audio_block(AacEncoder& encoder, std::span<const std::int16_t> values, Ticks block_time,
                          std::uint32_t rate, Ring& ring);
Status encode_game_audio_block(AacEncoder& encoder, std::span<const std::int16_t> values,
                               Ticks block_time, std::uint32_t rate, Ring& ring);

}  // namespace orvelle::clips
