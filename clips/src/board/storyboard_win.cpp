#include "board/storyboard_win.h"

#include "board/board_files_win.h"
#include "board/jpeg_encoder_win.h"
#include "board/storyboard.h"
#include "common/win/error.h"
#include "play/media_reader_win.h"

#include <windows.h>

#include <mfapi.h>
#include <objbase.h>

namespace orvelle::clips {
namespace {

class WinBoardPlatform final : public BoardPlatform {
 public:
  void lower_priority() override {
    static_cast<void>(SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS));
  }
  Status start_media() override {
    static_cast<void>(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    return win::checked(MFStartup(MF_VERSION, MFSTARTUP_FULL));
  }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    return open_video_reader_win(path);
  }
  Result<std::unique_ptr<ThumbnailEncoder>> make_encoder() override { return make_wic_jpeg_encoder(); }
  BoardFiles& files() override { return files_; }

 private:
  Win32BoardFiles files_;
};

}  // namespace

int run_storyboard_win(const RecorderOptions& options) {
  WinBoardPlatform platform;
  return run_storyboard(options, platform);
}

}  // namespace orvelle::clips
