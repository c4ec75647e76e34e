#include "play/player_state.h"

#include "play/player_events.h"

#include <algorithm>
#include <cmath>

namespace orvelle::clips {
namespace {

std::int64_t elapsed(const PlaybackClock& clock, std::int64_t now) {
  std::int64_t e = now - clock.anchor_time;
  if (clock.lead) e = std::max<std::int64_t>(e - kClockLead, 0);
  return e;
}

}  // namespace

PlayerState::PlayerState(PlayTime& t, const PlayerOptions& options) : time(t) {
  position = std::isfinite(options.start) ? std::max(options.start, 0.0) : 0.0;
  clock.anchor_position = position;
  clock.anchor_time = time.now_100ns();
  // A start volume that is no number is full volume, as the volume command
  // treats one.
  volume = std::isfinite(options.volume) ? std::clamp(options.volume, 0.0f, 1.0f) : 1.0f;
  playing = options.autoplay;
}

double clock_reading(const PlaybackClock& clock, std::int64_t now) {
  if (!clock.running) return clock.anchor_position;
  return clock.anchor_position + static_cast<double>(elapsed(clock, now)) / 1e7;
}

double read_play_clock(PlayerState& state) {
  std::lock_guard lock(state.clock_mutex);
  return clock_reading(state.clock, state.time.now_100ns());
}

void update_play_clock(PlayerState& state) {
  bool run = state.should_run();
  std::lock_guard lock(state.clock_mutex);
  PlaybackClock& clock = state.clock;
  if (run == clock.running) return;
  std::int64_t now = state.time.now_100ns();
  if (clock.running) clock.anchor_position += static_cast<double>(elapsed(clock, now)) / 1e7;
  clock.anchor_time = now;
  clock.running = run;
  clock.lead = run && state.audio_on.load();
}

void apply_player_command(PlayerState& state, const PlayerCommand& command) {
  std::lock_guard lock(state.playback);
  std::visit(
      [&](const auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, PlayCommand>) {
          state.playing = true;
        } else if constexpr (std::is_same_v<C, PauseCommand>) {
          state.playing = false;
        } else if constexpr (std::is_same_v<C, SeekCommand>) {
          ++state.seek_generation;
          state.position =
              std::isfinite(c.t) ? std::min(std::max(state.duration, 0.0), std::max(c.t, 0.0)) : 0.0;
          state.seeking = true;
          state.ended = false;
          std::lock_guard clock_lock(state.clock_mutex);
          state.clock = PlaybackClock{state.position, state.time.now_100ns(), false, false};
        } else if constexpr (std::is_same_v<C, VolumeCommand>) {
          state.volume = std::isfinite(c.v) ? std::clamp(c.v, 0.0f, 1.0f) : 1.0f;
        } else {
          state.stop = true;
        }
      },
      command);
  update_play_clock(state);
  state.change_counter.notify_all();
}

void finish_playback(PlayerState& state, std::uint32_t generation) {
  std::lock_guard lock(state.playback);
  if (generation != state.seek_generation || state.ended) return;
  state.ended = true;
  state.playing = false;
  update_play_clock(state);
  // Printed under the lock, so it cannot overtake a later seek's effects.
  print_json_line(ended_event(generation));
}

void complete_seek(PlayerState& state, std::uint32_t generation) {
  std::lock_guard lock(state.playback);
  if (state.seek_generation != generation) return;
  state.seeking = false;
  update_play_clock(state);
  state.change_counter.notify_all();
}

void wait_for_change(PlayerState& state, std::unique_lock<std::mutex>& lock,
                     std::chrono::milliseconds limit) {
  state.change_counter.wait_for(lock, limit);
}

}  // namespace orvelle::clips
