#pragma once
// The simulation's encoder as the encoder thread drives the platform's
// asynchronous transform: libx264 answers at once, so every event is known
// when it is asked for. It wants input until a picture has come out, then
// offers that picture once; its bytes are the encoder's own until the next
// call into it, which is what the thread's one copy expects.

#include "encode/transform.h"
#include "sim/ffmpeg/x264_encoder.h"

#include <atomic>
#include <memory>
#include <optional>

namespace orvelle::clips::sim {

class X264Transform final : public EncoderTransform {
 public:
  explicit X264Transform(std::unique_ptr<X264Encoder> encoder) : encoder_(std::move(encoder)) {}

  Result<TransformEvent> next_event() override;
  // The frame's texture is one converted_texture made.
  Status give_input(CapturedFrame frame) override;
  Result<OutputOutcome> take_output(EncodedPictureSink& sink) override;
  Status renegotiate() override { return {}; }  // the output never changes
  void shut_down() override { shut_down_.store(true, std::memory_order_release); }

 private:
  std::unique_ptr<X264Encoder> encoder_;
  std::optional<EncodedView> ready_;  // borrowed from the encoder
  std::atomic<bool> shut_down_{false};
};

}  // namespace orvelle::clips::sim
