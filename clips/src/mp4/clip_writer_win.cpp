#include "mp4/clip_writer_win.h"

#include "mp4/sink_writer_win.h"

#include <objbase.h>

#include <thread>

namespace orvelle::clips {

Result<std::unique_ptr<Muxer>> MediaFoundationClips::open_muxer(std::string_view path) {
  return open_sink_writer(path);
}

ClipFiles& MediaFoundationClips::files() { return files_; }

void MediaFoundationClips::sleep_for(Ticks wait) { std::this_thread::sleep_for(wait); }

void write_clip_win(SaveJob job) {
  // Already in the apartment, or in another one: the writer goes on either way.
  static_cast<void>(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  MediaFoundationClips platform;
  write_clip(std::move(job), platform);
}

}  // namespace orvelle::clips
