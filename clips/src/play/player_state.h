#pragma once
// The one shared object of the player: the command loop changes it, the
// "video" thread paces and seeks by it, the "audio" thread follows it and
// steers the clock by the sound device.
//
// Lock order: `playback` first, then `clock_mutex`. The clock mutex alone
// may be taken to read the clock. std::mutex is not poisoned by a thread
// that ends while holding it, so an abandoned lock stays usable.

#include "play/commands.h"
#include "play/play_time.h"
#include "shared/options.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

namespace orvelle::clips {

// The 0.3 s the clock holds still after it starts with a sound device open,
// so pictures wait for the sound's start-up latency.
inline constexpr std::int64_t kClockLead = 3'000'000;

struct PlaybackClock {
  double anchor_position = 0;   // seconds, the clip position at anchor_time
  std::int64_t anchor_time = 0; // 100 ns, PlayTime::now_100ns
  bool running = false;
  bool lead = false;
};

struct PlayerState {
  PlayerState(PlayTime& time, const PlayerOptions& options);

  PlayTime& time;

  std::mutex clock_mutex;
  PlaybackClock clock;  // guarded by clock_mutex

  std::mutex playback;  // guards what follows, up to change_counter
  double position = 0;  // the last seek target; the playing position is the clock
  double duration = std::numeric_limits<double>::max();  // until "video" knows it
  std::uint32_t seek_generation = 1;
  float volume = 1;
  bool playing = false;
  bool seeking = true;
  bool ended = false;
  bool stop = false;
  // Notified after every command and every finished seek.
  std::condition_variable change_counter;

  std::atomic<bool> audio_on{false};

  // Whether the clock should run, by the playback fields (playback held).
  bool should_run() const { return playing && !seeking && !ended && !stop; }
};

// The clock's reading in seconds; takes the clock mutex.
double read_play_clock(PlayerState& state);
// The same with the clock mutex already held.
double clock_reading(const PlaybackClock& clock, std::int64_t now);

// Brings running and lead in line with the playback fields; the caller holds
// the playback mutex.
void update_play_clock(PlayerState& state);

void apply_player_command(PlayerState& state, const PlayerCommand& command);

// End of stream reported by "video" for the generation it was playing:
// prints "ended" once per generation.
void finish_playback(PlayerState& state, std::uint32_t generation);

// "video" showed the first picture of the seek to generation.
void complete_seek(PlayerState& state, std::uint32_t generation);

// Waits on change_counter for at most limit (lock holds playback).
void wait_for_change(PlayerState& state, std::unique_lock<std::mutex>& lock,
                     std::chrono::milliseconds limit);

}  // namespace orvelle::clips
