#pragma once
// The scenario of one simulated desktop: its media sessions, the visible
// windows' titles, and what changes at given milliseconds. Read from a JSON
// file given with --scenario; every key may be left out ("{}" is a desktop
// without sessions or windows).

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::media::sim {

// What a session shows; also the changes of a "set" event, where only the
// keys given count.
struct SessionFields {
  std::optional<std::string> app, process, title, artist, album_artist, album, status, art;
  std::optional<std::uint32_t> pid;
  std::optional<std::uint64_t> position, duration;  // ms
  std::optional<double> rate;
  std::optional<double> volume;  // the audio session's level, 0..1
  std::optional<bool> prev, next, toggle;
  friend bool operator==(const SessionFields&, const SessionFields&) = default;
};

enum class EventKind { set, add, remove, current, windows };

struct ScenarioEvent {
  std::uint64_t at = 0;  // ms since the start
  EventKind kind = EventKind::set;
  std::size_t session = 0;  // set, remove, current: the session's number
  SessionFields fields;     // set: the changes; add: the new session
  bool no_current = false;  // current: null, no session is current
  std::vector<std::string> windows;
  friend bool operator==(const ScenarioEvent&, const ScenarioEvent&) = default;
};

// Sessions are numbered in the order they come into being: those of
// "sessions" from 0, then each "add" the next number.
struct Scenario {
  std::vector<SessionFields> sessions;
  std::optional<std::size_t> current;
  std::vector<std::string> windows;
  std::vector<ScenarioEvent> events;  // in time order
  friend bool operator==(const Scenario&, const Scenario&) = default;
};

inline constexpr std::uint64_t kMaxMilliseconds = 86'400'000;
inline constexpr std::size_t kMaxSessions = 1000;

// The status words a session may take.
inline constexpr std::string_view kStatusWords[] = {"closed",  "opened",  "changing",
                                                    "stopped", "playing", "paused"};

// The error names the key that is wrong and its line and column.
std::expected<Scenario, std::string> parse_scenario(std::string_view text);
std::expected<Scenario, std::string> load_scenario(const std::string& path);

}  // namespace orvelle::media::sim
