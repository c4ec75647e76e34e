#include "record/session.h"

#include "common/try.h"
#include "record/main_loop.h"

#include <fmt/format.h>

namespace orvelle::clips {
namespace {

constexpr Ticks kSearchFor = std::chrono::seconds(60);
constexpr Ticks kSearchEvery = std::chrono::milliseconds(500);
constexpr Ticks kWaitEvery = std::chrono::milliseconds(250);

Result<WindowHandle> find_game_window(const RecorderOptions& options, RecordPlatform& platform,
                                      Ticks started) {
  for (;;) {
    GameWindowSearch search;
    search.title = options.title;
    search.process_id = options.pid;
    platform.windows().search(search);
    if (search.found) return search.window;
    if (platform.clock().now() - started >= kSearchFor) return error(fail("no game window"));
    platform.clock().sleep_for(kSearchEvery);
  }
}

// A minimised or tiny window is waited for without a limit; false when it
// closed meanwhile.
bool wait_until_recordable(WindowHandle window, RecordPlatform& platform, bool json) {
  WindowSystem& windows = platform.windows();
  if (can_record(windows, window)) return true;
  emit_event(json, Json{{"event", "waiting"},
                        {"reason", "the game window is minimised or too small to record"}});
  for (;;) {
    if (!windows.exists(window)) return false;
    platform.clock().sleep_for(kWaitEvery);
    if (can_record(windows, window)) return true;
  }
}

Recording new_recording(const RecorderOptions& options, RecordPlatform& platform) {
  return {std::make_shared<const OutputSettings>(OutputSettings{options.json}),
          std::make_shared<std::atomic<bool>>(false),
          std::make_shared<std::atomic<bool>>(false),
          std::make_shared<Ring>(options.seconds, platform.ring_platform()),
          std::make_shared<std::atomic<std::uint32_t>>(options.mic_volume),
          std::make_shared<MicStatus>()};
}

// Sound that does not start is lived with: the recording goes on without it.
SoundTracks start_sound(const RecorderOptions& options, RecordPlatform& platform,
                        const Recording& recording) {
  if (!options.audio && !options.mic) return {};
  auto started = platform.start_sound(options, recording);
  if (!started) {
    emit_log(options.json, fmt::format("no sound: {}", started.error().text()));
    return {};
  }
  SoundTracks sound = *started;
  if (!sound.mix) sound.game.reset();  // a game track exists only beside the mix
  return sound;
}

}  // namespace

Status run_record_session(const RecorderOptions& options, RecordPlatform& platform) {
  const bool json = options.json;
  ORVELLE_TRY(platform.start_runtime());
  platform.lower_priority();
  const Ticks started = platform.clock().now();

  ORVELLE_ASSIGN_OR_RETURN(const WindowHandle window, find_game_window(options, platform, started));
  if (!wait_until_recordable(window, platform, json)) {
    emit_event(json, Json{{"event", "ended"}, {"reason", "the game window closed"}});
    return {};
  }
  std::string title = platform.windows().title(window);
  emit_log(json, fmt::format("window \"{}\"", title));
  ORVELLE_ASSIGN_OR_RETURN(const GpuDescription gpu, platform.open_gpu(window));
  emit_log(json, fmt::format("gpu \"{}\" (vendor {:04x})", gpu.description, gpu.vendor));
  ORVELLE_TRY(platform.make_capture_device());

  Recording recording = new_recording(options, platform);
  CaptureRoad road = platform.prepare_capture(options, window, recording);
  ORVELLE_ASSIGN_OR_RETURN(auto capture, road.factory->start());
  SoundTracks sound = start_sound(options, platform, recording);

  auto [sender, receiver] = make_channel<Command>();
  if (!options.duration) {
    platform.start_command_reader(std::move(sender), recording.output, recording.stop_flag);
  }
  run_main_loop({options, std::move(recording), platform.clock(), platform.windows(), window,
                 std::move(title), std::move(road), std::move(capture), std::move(sound),
                 platform.saves(), std::move(receiver), std::move(sender),
                 platform.clock().now()});
  return {};
}

}  // namespace orvelle::clips
