#include "play/video_thread.h"

#include "common/try.h"
#include "play/player_events.h"
#include "play/presenter.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

struct Opened {
  std::unique_ptr<VideoReader> reader;
  std::unique_ptr<FramesFile> file;
  VideoGeometry geometry;
  Ticks frame_duration{};
  PictureSize size;
  FramesSize frames;
  std::optional<double> duration;  // seconds; nothing when unreadable
};

// Start-up up to the frames file; the error is the text to report.
std::expected<Opened, std::string> open_clip(PlayerPlatform& platform, const std::string& path,
                                             PictureSize requested) {
  auto text = [](const WinError& e) { return std::unexpected(e.text()); };
  Opened o;
  auto reader = platform.open_video(path);
  if (!reader) return text(reader.error());
  o.reader = std::move(*reader);
  auto native = o.reader->native_type();
  if (!native) return text(native.error());
  auto native_geometry = read_video_geometry(*native);
  if (!native_geometry) return text(native_geometry.error());
  o.frame_duration = default_frame_duration(native->frame_rate);
  PictureSize clip{native_geometry->visible_width, native_geometry->visible_height};
  PictureSize size = output_size(requested, clip);
  if (!o.reader->set_rgb32(size, pixel_aspect(size, clip))) {
    if (auto plain = o.reader->set_rgb32_native(); !plain) return text(plain.error());
  }
  auto current = o.reader->current_type();
  if (!current) return text(current.error());
  auto geometry = read_video_geometry(*current);
  if (!geometry) return text(geometry.error());
  o.geometry = *geometry;
  o.size = {geometry->visible_width, geometry->visible_height};
  if (auto d = o.reader->duration()) o.duration = static_cast<double>(*d) / 1e7;
  auto frames = frames_size(o.size.width, o.size.height);
  if (!frames) return text(frames.error());
  o.frames = *frames;
  auto file = platform.create_frames_file(frames->file_bytes);
  if (!file) return std::unexpected(file.error());
  o.file = std::move(*file);
  return o;
}

}  // namespace

void run_playback_video(Sender<StartupResult> startup, Receiver<bool> printed, PlayerPlatform& platform,
                        const std::string& path, PlayerState& state, PictureSize requested) {
  auto opened = open_clip(platform, path, requested);
  if (!opened) {
    if (startup.send(opened.error()) != SendResult::sent) print_json_line(error_event(opened.error()));
    return;
  }
  FramesWriter writer(*opened->file, opened->size.width, opened->size.height, opened->frames);
  {
    std::lock_guard lock(state.playback);
    // An unreadable duration stays unknown, so seeks are not all clamped
    // to 0; "ready" then says 0.
    if (opened->duration) {
      state.duration = *opened->duration;
      state.position = std::min(state.position, state.duration);
    }
  }
  ReadyFacts facts{opened->size.width, opened->size.height, opened->duration.value_or(0),
                   opened->file->path()};
  // A failed send means the main thread is gone; playing on costs nothing.
  (void)startup.send(ready_event(facts));
  // The main thread gone without its word means playback never started.
  std::optional<bool> go;
  if (printed.receive(go) != RecvStatus::value) return;
  Presenter presenter(*opened->reader, writer, state, opened->geometry, opened->frame_duration);
  Status shown = presenter.run();
  // After "ready" nobody reads the start-up channel any more: the failure
  // is printed here, or the client would wait for pictures that never come.
  if (!shown) print_json_line(error_event(shown.error().text()));
}

}  // namespace orvelle::clips
