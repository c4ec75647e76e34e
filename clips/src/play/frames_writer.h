#pragma once
// The writer's side of the frames file: the header once, then every shown
// picture into the write slot and published by one exchange.

#include "common/win_error.h"
#include "play/frames_layout.h"
#include "play/video_reader.h"

#include <cstdint>
#include <span>
#include <string>

namespace orvelle::clips {

// The mapped file, as the platform made it: created empty at its size, in
// the temporary folder, gone once the last handle to it closes.
class FramesFile {
 public:
  virtual ~FramesFile() = default;
  virtual std::span<std::uint8_t> bytes() = 0;
  virtual const std::string& path() const = 0;
  // After each publication: wakes whoever waits on the published word.
  virtual void published() {}
};

class FramesWriter {
 public:
  // Writes the header; file holds at least frames_size(width, height).
  FramesWriter(FramesFile& file, std::uint32_t width, std::uint32_t height, FramesSize size);

  // Copies the picture into the write slot, writes its record and
  // publishes it; a failed lock, copy or unlock publishes nothing.
  [[nodiscard]] Status publish_frame(DecodedPicture& picture, const VideoGeometry& geometry,
                                     std::int64_t time, std::uint32_t generation);

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  std::uint32_t write_slot() const { return write_slot_; }

 private:
  FramesFile& file_;
  std::span<std::uint8_t> bytes_;
  std::uint32_t width_, height_;
  FramesSize size_;
  std::uint32_t write_slot_ = 0;
};

}  // namespace orvelle::clips
