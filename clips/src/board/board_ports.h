#pragma once
// What the storyboard asks of the platform: the media platform's start, the
// clip's decoder (the player's reader), a JPEG encoder that scales, and the
// files. The Windows program answers with Media Foundation, the imaging
// component and its files; the simulation with FFmpeg and this system's
// files.

#include "board/board_plan.h"
#include "common/win_error.h"
#include "play/video_reader.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvelle::clips {

class ThumbnailEncoder {
 public:
  virtual ~ThumbnailEncoder() = default;
  // A packed B, G, R, A picture of width × height, scaled to out and
  // encoded as one JPEG file.
  virtual Result<std::vector<std::uint8_t>> encode(std::span<const std::uint8_t> bgra,
                                                   std::uint32_t width, std::uint32_t height,
                                                   BoardSize out) = 0;
};

class BoardFiles {
 public:
  virtual ~BoardFiles() = default;
  // target + ".part" written whole, then moved over target.
  virtual Status write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) = 0;
  // Gone, or never there: success.
  virtual Status remove(const std::string& path) = 0;
  // Zeros when the metadata cannot be read.
  virtual BoardSource facts(const std::string& path) = 0;
};

class BoardPlatform {
 public:
  virtual ~BoardPlatform() = default;
  // Failures are ignored: the storyboard only yields the machine.
  virtual void lower_priority() = 0;
  virtual Status start_media() = 0;
  virtual Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) = 0;
  virtual Result<std::unique_ptr<ThumbnailEncoder>> make_encoder() = 0;
  virtual BoardFiles& files() = 0;
};

}  // namespace orvelle::clips
