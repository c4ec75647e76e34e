#pragma once
// The scenario of one simulated game: its window, the rate at which it
// presents pictures, and what happens to the window over time. Read from a
// JSON file given with --scenario; every key has a default, so "{}" is a
// game window "Game" of 1280 × 720 that appears at once and stays.

#include "common/geometry.h"
#include "common/media_time.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips::sim {

// The visible frame around the client area: borders and title bar, in pixels.
struct FrameInsets {
  std::uint32_t left = 1, top = 31, right = 1, bottom = 1;
  friend bool operator==(const FrameInsets&, const FrameInsets&) = default;
};

struct WindowScript {
  std::string title = "Game";
  std::uint32_t pid = 4242;
  Size client{1280, 720};
  std::uint32_t refresh = 60;  // the monitor's rate in Hz; 0: unknown
  Ticks appear{0};             // since the simulation started
  FrameInsets frame;
  friend bool operator==(const WindowScript&, const WindowScript&) = default;
};

enum class WindowAction { minimise, restore, resize, close };

struct WindowEvent {
  Ticks at{0};  // since the simulation started
  WindowAction action = WindowAction::minimise;
  Size size;  // resize only: the new client area
  friend bool operator==(const WindowEvent&, const WindowEvent&) = default;
};

// The sample layout of a sound device's stream; i24 is one the recorder
// cannot read.
enum class SoundKind { f32, i16, i32, i24 };

struct SoundFormat {
  std::uint32_t rate = 48'000;
  std::uint32_t channels = 2;
  SoundKind kind = SoundKind::f32;
  friend bool operator==(const SoundFormat&, const SoundFormat&) = default;
};

// A capture device; it hears a steady 440 Hz tone.
struct MicDevice {
  std::string id;
  std::string name;  // the id when not given
  SoundFormat format{48'000, 1, SoundKind::f32};
  bool is_default = false;
  friend bool operator==(const MicDevice&, const MicDevice&) = default;
};

enum class MicState { on, missing, blocked };

struct MicEvent {
  Ticks at{0};
  std::string id;  // one of the scenario's microphones
  MicState state = MicState::on;
  friend bool operator==(const MicEvent&, const MicEvent&) = default;
};

struct Scenario {
  WindowScript window;
  std::uint32_t fps = 60;  // the game's own rate of presenting
  std::vector<WindowEvent> events;  // in time order; none after "close"
  // The playback device the game's sound comes out of; none: the machine
  // has none.
  std::optional<SoundFormat> sound = SoundFormat{};
  std::vector<MicDevice> mics;      // in the system's order; ids differ
  std::vector<MicEvent> mic_events;  // in time order with the window's events
  // When the playback device is lost, as one unplugged: from then on its
  // loopback fails as a removed device does.
  std::optional<Ticks> sound_lost;
  friend bool operator==(const Scenario&, const Scenario&) = default;
};

// Limits that keep a simulation within one machine's memory and one day.
inline constexpr std::uint32_t kMaxSide = 7680;
inline constexpr std::uint32_t kMaxInset = 256;
inline constexpr std::uint32_t kMaxRate = 1000;
inline constexpr std::uint64_t kMaxMilliseconds = 86'400'000;
inline constexpr std::uint32_t kMaxSoundRate = 384'000;
inline constexpr std::uint32_t kMaxChannels = 32;

// The error names the key that is wrong and its line and column.
std::expected<Scenario, std::string> parse_scenario(std::string_view text);
// The file's text, read whole and parsed; an unreadable file is an error
// that names it.
std::expected<Scenario, std::string> load_scenario(const std::string& path);

// The JSON text of a scenario, every key written; parse_scenario reads it
// back to the same scenario.
std::string scenario_json(const Scenario& scenario);

std::string_view action_name(WindowAction action);
std::string_view sound_kind_name(SoundKind kind);
std::string_view mic_state_name(MicState state);

}  // namespace orvelle::clips::sim
