#pragma once
// The platform's source reader for the clip's first sound stream, on
// FFmpeg: decoded to interleaved 32-bit float at the stream's own rate and
// channel count.

#include "play/sound_io.h"
#include "sim/ffmpeg/av_stream_decoder.h"

#include <memory>
#include <optional>
#include <string>

namespace orvelle::clips::sim {

class AvSoundReader final : public SoundReader {
 public:
  // Nothing when the clip has no sound stream.
  static Result<std::optional<std::unique_ptr<SoundReader>>> open(const std::string& path);

  Result<SoundFormat> set_float_output() override { return current_format(); }
  Result<SoundFormat> current_format() override;
  Status seek(std::int64_t time) override { return decoder_.seek(time); }
  Result<SoundRead> read(std::vector<float>& samples) override;

 private:
  explicit AvSoundReader(AvStreamDecoder decoder) : decoder_(std::move(decoder)) {}
  AvStreamDecoder decoder_;
  std::optional<SoundFormat> last_;
};

}  // namespace orvelle::clips::sim
