#pragma once
// The AAC encoder transform on libavcodec's own AAC encoder, behind the
// audio wing's transform interface: 16-bit stereo blocks in, raw AAC frames
// out, each stamped with the capture time of its first sample (the
// encoder's priming frame comes out one frame before the first block).

#include "audio/sound_ports.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace orvelle::clips::sim {

class LibavAac final : public AacTransform {
 public:
  LibavAac() = default;
  ~LibavAac() override;
  LibavAac(const LibavAac&) = delete;
  LibavAac& operator=(const LibavAac&) = delete;

  Status set_input_type(std::uint32_t rate) override;
  Status set_output_type(std::uint32_t rate) override;
  Result<SharedSoundType> current_output_type() override;
  Result<AacStreamInfo> output_stream_info() override { return AacStreamInfo{0, 0}; }
  Status begin_streaming() override;
  Status process_input(std::span<const std::int16_t> values, Ticks time, Ticks duration) override;
  Result<AacDraw> process_output(bool provides_samples, std::uint32_t buffer_size, AacFrameSink& sink) override;

 private:
  Status open();
  Status send_frames();
  Ticks time_of(std::int64_t sample) const;

  std::uint32_t input_rate_ = 0, output_rate_ = 0;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  std::vector<float> left_, right_;  // samples not yet sent
  std::int64_t sent_ = 0;            // samples sent to the encoder
  // The capture time of the sample at an index, one per block.
  struct Anchor {
    std::int64_t sample;
    Ticks time;
  };
  std::deque<Anchor> anchors_;
};

}  // namespace orvelle::clips::sim
