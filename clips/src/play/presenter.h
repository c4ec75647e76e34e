#pragma once
// The presentation loop of the "video" thread: one picture decoded ahead
// and held while early, late ones dropped (unless none was shown for
// 100 ms), seeks to the first picture at or after the target, and the end
// of each generation's stream reported once.

#include "common/media_time.h"
#include "play/frames_writer.h"
#include "play/player_state.h"
#include "play/video_reader.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace orvelle::clips {

class Presenter {
 public:
  Presenter(VideoReader& reader, FramesWriter& writer, PlayerState& state, VideoGeometry geometry,
            Ticks frame_duration);

  // Until stop; a read, seek or copy failure ends it with its error.
  [[nodiscard]] Status run();

  struct Sample {
    std::unique_ptr<DecodedPicture> picture;
    std::int64_t time = 0, duration = 0;
  };
  // One sample, or nothing at the end of the stream (240 empty reads in a
  // row count as the end). A type change replaces the geometry.
  [[nodiscard]] Result<std::optional<Sample>> read_video_sample();

 private:
  [[nodiscard]] Status seek(std::uint32_t generation, double position);
  [[nodiscard]] Status show(Sample& sample, std::uint32_t generation);

  VideoReader& reader_;
  FramesWriter& writer_;
  PlayerState& state_;
  VideoGeometry geometry_;
  Ticks frame_duration_;
  std::uint32_t handled_ = 0;
  std::optional<Sample> held_;
  std::int64_t last_shown_ = 0;
};

}  // namespace orvelle::clips
