#include "audio/aac_encoder.h"

#include "common/try.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

Status set_types(AacTransform& t, std::uint32_t rate) {
  if (t.set_input_type(rate) && t.set_output_type(rate)) return {};
  // Some encoders take the input type only once the output type is known.
  ORVELLE_TRY(t.set_output_type(rate));
  return t.set_input_type(rate);
}

class RingSink final : public AacFrameSink {
 public:
  RingSink(Ring& ring, bool game_track, Ticks block_time)
      : ring_(ring), game_track_(game_track), block_time_(block_time) {}
  void take(std::span<const std::uint8_t> bytes, std::optional<Ticks> time,
            std::optional<Ticks> duration) override {
    if (bytes.empty()) return;
    push_audio_packet(ring_, game_track_,
                      Packet{share_bytes(bytes), bytes.size(), time.value_or(block_time_),
                             duration.value_or(Ticks{0}), true});
  }

 private:
  Ring& ring_;
  bool game_track_;
  Ticks block_time_;
};

Status encode_block(AacEncoder& e, std::span<const std::int16_t> values, Ticks block_time,
                    std::uint32_t rate, Ring& ring, bool game_track) {
  const Ticks duration = block_duration(values.size() / 2, rate);
  ORVELLE_TRY(e.transform->process_input(values, block_time, duration));
  RingSink sink(ring, game_track, block_time);
  for (int draw = 0; draw < kMaxDrawsPerBlock; ++draw) {
    ORVELLE_ASSIGN_OR_RETURN(const AacDraw outcome,
                             e.transform->process_output(e.provides_samples, e.output_buffer_size, sink));
    if (outcome == AacDraw::need_more_input) return {};
  }
  return error(fail("the AAC encoder never asked for more input"));
}

}  // namespace

Result<AacEncoder> create_aac_encoder(std::unique_ptr<AacTransform> transform, std::uint32_t rate) {
  AacTransform& t = *transform;
  ORVELLE_TRY(set_types(t, rate));
  ORVELLE_ASSIGN_OR_RETURN(SharedSoundType type, t.current_output_type());
  ORVELLE_ASSIGN_OR_RETURN(const AacStreamInfo info, t.output_stream_info());
  ORVELLE_TRY(t.begin_streaming());
  return AacEncoder{std::move(transform), std::move(type), std::max(info.size, kMinOutputBuffer),
                    (info.flags & kProvidesSamples) != 0};
}

Ticks block_duration(std::uint64_t frames, std::uint32_t rate) {
  if (rate == 0) return Ticks{0};
  return Ticks{static_cast<std::int64_t>(frames * 10'000'000 / rate)};
}

Status encode_audio_block(AacEncoder& encoder, std::span<const std::int16_t> values, Ticks block_time,
                          std::uint32_t rate, Ring& ring) {
  return encode_block(encoder, values, block_time, rate, ring, false);
}

Status encode_game_audio_block(AacEncoder& encoder, std::span<const std::int16_t> values,
                               Ticks block_time, std::uint32_t rate, Ring& ring) {
  return encode_block(encoder, values, block_time, rate, ring, true);
}

}  // namespace orvelle::clips
