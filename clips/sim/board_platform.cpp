#include "sim/board_platform.h"

#include "sim/ffmpeg/av_video_reader.h"
#include "sim/ffmpeg/jpeg_encoder.h"
#include "sim/posix_board_files.h"

#include <sys/resource.h>

namespace orvelle::clips::sim {
namespace {

// Below normal, as the platform's BELOW_NORMAL_PRIORITY_CLASS is.
constexpr int kBelowNormal = 5;

class SimBoardPlatform final : public BoardPlatform {
 public:
  void lower_priority() override { static_cast<void>(::setpriority(PRIO_PROCESS, 0, kBelowNormal)); }
  Status start_media() override { return {}; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    auto reader = AvVideoReader::open(path);
    if (!reader) return error(reader.error());
    return std::unique_ptr<VideoReader>(std::move(*reader));
  }
  Result<std::unique_ptr<ThumbnailEncoder>> make_encoder() override {
    return std::unique_ptr<ThumbnailEncoder>(std::make_unique<JpegEncoder>());
  }
  BoardFiles& files() override { return files_; }

 private:
  PosixBoardFiles files_;
};

}  // namespace

std::unique_ptr<BoardPlatform> sim_board_platform() { return std::make_unique<SimBoardPlatform>(); }

}  // namespace orvelle::clips::sim
