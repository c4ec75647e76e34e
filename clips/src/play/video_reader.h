#pragma once
// What the player asks of the platform's video decoder: a source reader on
// the clip, restricted to its first video stream, that decodes (and scales)
// to 32-bit RGB and seeks to the key frame before a time. The storyboard
// reads clips through the same interface.

#include "common/win_error.h"
#include "play/frame_copy.h"
#include "play/output_size.h"
#include "play/video_geometry.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace orvelle::clips {

// One decoded picture, held until it is shown or dropped.
class DecodedPicture {
 public:
  virtual ~DecodedPicture() = default;
  virtual Result<LockedPicture> lock() = 0;
  virtual Status unlock() = 0;
};

// One ReadSample: the flags the platform reports and the sample, if any.
struct VideoRead {
  bool end_of_stream = false;
  bool type_changed = false;
  std::unique_ptr<DecodedPicture> picture;  // may be null: no sample this time
  std::int64_t time = 0;                    // 100 ns
  std::optional<std::int64_t> duration;     // 100 ns
};

class VideoReader {
 public:
  virtual ~VideoReader() = default;
  virtual Result<VideoTypeAttributes> native_type() = 0;
  // RGB32 at size with the given pixel aspect; then, should that fail,
  // RGB32 at the clip's own size.
  virtual Status set_rgb32(PictureSize size, Ratio pixel_aspect) = 0;
  virtual Status set_rgb32_native() = 0;
  virtual Result<VideoTypeAttributes> current_type() = 0;
  // The clip's duration in 100 ns.
  virtual Result<std::uint64_t> duration() = 0;
  virtual Status seek(std::int64_t time) = 0;
  virtual Result<VideoRead> read() = 0;
};

}  // namespace orvelle::clips
