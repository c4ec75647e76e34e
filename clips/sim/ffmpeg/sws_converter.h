#pragma once
// The simulation's frame converter: what the platform's video processor does
// on the GPU, done by libswscale. It crops each captured BGRA picture to the
// client area at the encode size and turns it into NV12 (full-range RGB in,
// limited-range BT.709 out), or in copy mode only crops it, into one of six
// output buffers used in turn.

#include "capture/convert.h"
#include "common/win_error.h"
#include "sim/ffmpeg/video_picture.h"
#include "sim/frame_source.h"

#include <array>
#include <memory>

struct SwsContext;

namespace orvelle::clips::sim {

class SwsConverter {
 public:
  static Result<std::unique_ptr<SwsConverter>> create(const ConverterSetup& setup);
  ~SwsConverter();
  SwsConverter(const SwsConverter&) = delete;
  SwsConverter& operator=(const SwsConverter&) = delete;

  // Fails when the picture does not hold the whole crop.
  Result<VideoPicture> convert(const BgraPicture& source);

  // Output buffers made so far: one a slot at first, and one more each time
  // a slot's buffer was still held by the encoder when its turn came.
  std::uint64_t buffers_made() const { return buffers_made_; }

 private:
  explicit SwsConverter(const ConverterSetup& setup);
  Status take_slot(AVFrame*& slot);

  ConverterSetup setup_;
  CropBox box_;
  SwsContext* sws_ = nullptr;
  std::array<AVFrame*, kOutputSlots> slots_{};
  SlotRing next_;
  std::uint64_t buffers_made_ = 0;
};

}  // namespace orvelle::clips::sim
