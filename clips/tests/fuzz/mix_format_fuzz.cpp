// The wave format bytes a sound device describes its stream with. A format
// that is accepted must let every conversion of a packet in that format
// stay inside the packet: the input itself, copied to storage of its exact
// size, is read as such a packet.
//
// The seeds of corpus/mix_format/ are the formats the recorder accepts and a
// few it refuses (24-bit, a cut extensible header, 6 channels, mono).

#include "common/tests/fuzz/fuzz_target.h"

#include "audio/mix_format.h"
#include "audio/samples.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle::clips;
  const std::vector<std::uint8_t> bytes(data, data + size);
  auto format = parse_mix_format(bytes);
  if (!format) {
    FUZZ_CHECK(format.error().code == 0x88890008u && format.error().message == "mix format");
    return 0;
  }
  FUZZ_CHECK(format->channels > 0);
  FUZZ_CHECK(format->block_align >= std::min<std::uint32_t>(format->channels, 2) * sample_bytes(format->kind));

  const std::uint32_t frames = static_cast<std::uint32_t>(bytes.size() / format->block_align);
  std::vector<std::int16_t> out;
  // One frame more than the bytes hold: it is not read, and comes out silent.
  game_sound_to_stereo_i16(bytes, frames + 1, *format, false, out);
  FUZZ_CHECK(out.size() == 2 * (std::size_t{frames} + 1));
  FUZZ_CHECK(out[2 * frames] == 0 && out[2 * frames + 1] == 0);
  // The microphone reads every channel of each frame.
  if (format->block_align >= format->channels * sample_bytes(format->kind))
    for (std::uint32_t i = 0; i < frames; ++i) (void)mono_sample(bytes.data() + i * format->block_align, *format);
  return 0;
}
