#pragma once
// The body of a "writer" thread on Windows (Windows only).

#include "mp4/clip_files_win.h"
#include "mp4/clip_writer.h"

namespace orvelle::clips {

// The sink writer, the Win32 files and the system's sleep.
class MediaFoundationClips final : public ClipPlatform {
 public:
  Result<std::unique_ptr<Muxer>> open_muxer(std::string_view path) override;
  ClipFiles& files() override;
  void sleep_for(Ticks wait) override;

 private:
  Win32ClipFiles files_;
};

// Joins the multithreaded apartment (Media Foundation was started by the
// record session) and writes the clip.
void write_clip_win(SaveJob job);

}  // namespace orvelle::clips
