#include "play/audio_thread.h"

#include "common/numbers.h"
#include "common/try.h"
#include "play/audio_feed.h"
#include "play/player_events.h"

namespace orvelle::clips {
namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(50);
constexpr Ticks kTopUpEvery = std::chrono::milliseconds(10);

struct Pass {
  std::uint32_t generation;
  double position;
  bool running, stop;
  float volume;
};

Pass read_pass(PlayerState& state) {
  std::lock_guard lock(state.playback);
  return {state.seek_generation, state.position, state.should_run(), state.stop, state.volume};
}

class AudioLoop {
 public:
  AudioLoop(PlayerState& state, AudioFeed& feed) : state_(state), feed_(feed) {}

  // Until stop (success) or a device or reader failure.
  Status run() {
    for (;;) {
      Pass pass = read_pass(state_);
      if (pass.stop) {
        (void)feed_.device.stop();
        return {};
      }
      if (pass.generation != handled_) {
        if (started_) ORVELLE_TRY(feed_.device.stop());
        started_ = false;
        ORVELLE_TRY(feed_.device.reset());
        std::int64_t target = saturate_cast<std::int64_t>(pass.position * 1e7);
        ORVELLE_TRY(feed_.reader.seek(target));
        feed_.restart(target);
        ORVELLE_TRY(fill_render_buffer(feed_, pass.volume));
        base_position_ = pass.position;
        handled_ = pass.generation;
      }
      if (pass.running) {
        if (!started_) {
          ORVELLE_TRY(fill_render_buffer(feed_, pass.volume));
          ORVELLE_TRY(feed_.device.start());
        }
        ORVELLE_TRY(play_step(pass.volume));
      } else {
        if (started_) ORVELLE_TRY(feed_.device.stop());
        idle_step();
      }
    }
  }

 private:
  Status play_step(float volume) {
    state_.time.sleep(kTopUpEvery);
    ORVELLE_TRY(fill_render_buffer(feed_, volume));
    // A failed clock reading is skipped for this pass.
    if (auto position = feed_.device.position())
      reanchor_clock(state_, handled_, base_position_, *position, feed_.device.frequency());
    started_ = true;
    return {};
  }

  void idle_step() {
    std::unique_lock lock(state_.playback);
    if (!state_.should_run() && state_.seek_generation == handled_ && !state_.stop)
      wait_for_change(state_, lock, kIdleWait);
    started_ = false;
  }

  PlayerState& state_;
  AudioFeed& feed_;
  std::uint32_t handled_ = 0;
  double base_position_ = 0;
  bool started_ = false;
};

// No sound stream: nothing; any failure: its error.
Result<bool> play_sound(PlayerPlatform& platform, const std::string& path, PlayerState& state) {
  ORVELLE_ASSIGN_OR_RETURN(auto reader, platform.open_sound(path));
  if (!reader) {
    print_json_line(audio_event("none"));
    return false;
  }
  ORVELLE_ASSIGN_OR_RETURN(SoundFormat format, (*reader)->set_float_output());
  ORVELLE_ASSIGN_OR_RETURN(auto device, platform.open_device(format));
  AudioFeed feed(**reader, *device, format);
  state.audio_on.store(true);
  print_json_line(audio_event("on"));
  AudioLoop loop(state, feed);
  Status played = loop.run();
  state.audio_on.store(false);
  ORVELLE_TRY(played);
  return true;
}

}  // namespace

void run_playback_audio(PlayerPlatform& platform, const std::string& path, PlayerState& state) {
  auto played = play_sound(platform, path, state);
  if (!played) {
    state.audio_on.store(false);
    print_json_line(audio_event("error: " + played.error().text()));
  }
}

}  // namespace orvelle::clips
