#pragma once
// The platform's source reader for the clip's first video stream, on
// FFmpeg: decoded pictures scaled by libswscale to 32-bit RGB (B, G, R, X)
// at the size asked for, in buffers laid out as the platform's are: the
// coded height rounded up to 16 rows with a minimum display aperture over
// the picture, and rows padded past a 64-byte multiple.

#include "play/video_reader.h"
#include "sim/ffmpeg/av_stream_decoder.h"

#include <memory>
#include <string>

struct SwsContext;

namespace orvelle::clips::sim {

class AvVideoReader final : public VideoReader {
 public:
  static Result<std::unique_ptr<AvVideoReader>> open(const std::string& path);
  ~AvVideoReader() override;

  Result<VideoTypeAttributes> native_type() override;
  Status set_rgb32(PictureSize size, Ratio pixel_aspect) override;
  Status set_rgb32_native() override;
  Result<VideoTypeAttributes> current_type() override;
  Result<std::uint64_t> duration() override;
  Status seek(std::int64_t time) override;
  Result<VideoRead> read() override;

 private:
  explicit AvVideoReader(AvStreamDecoder decoder) : decoder_(std::move(decoder)) {}

  AvStreamDecoder decoder_;
  PictureSize out_{};  // 0 × 0 until an output type is set
  SwsContext* sws_ = nullptr;
};

// The layout of an RGB32 buffer of a visible size: what the reader's
// current type says.
VideoTypeAttributes rgb32_type(PictureSize visible);

}  // namespace orvelle::clips::sim
