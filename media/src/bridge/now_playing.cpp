#include "bridge/now_playing.h"

#include "bridge/art.h"
#include "bridge/output.h"
#include "bridge/titles.h"
#include "common/try.h"

#include <array>
#include <chrono>

#include <fmt/format.h>

namespace orvelle::media {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kTicksPerMs = 10'000;
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;

struct Reading {
  std::string id, title, artist, album;
  std::optional<std::int32_t> status;
  Controls controls;
  double rate = 1.0;
  TimelineTicks timeline;
  TrackProperties props;
};

// The art-and-site step of a new track or a forced refresh.
void refresh_site(RunState& state, const std::string& key, const Reading& r) {
  fetch_cover_art(state, r.props);
  if (is_not_known_player(r.id))
    state.current_site = detect_browser_site(state.site_cache, key, r.title, r.album.empty(),
                                             state.platform.visible_window_titles());
  else
    state.current_site.clear();
}

void handle_track(RunState& state, bool force, const std::string& key, const Reading& r) {
  std::string track = fmt::format("{}\n{}\n{}\n{}", key, r.title, r.artist, r.album);
  if (track != state.track_key) {
    state.track_key = std::move(track);
    Instant now = state.clock.now();
    state.pending_refreshes = {now + 1200ms, now + 3500ms};
    state.art_shown = 0;
    refresh_site(state, key, r);
  } else if (force) {
    refresh_site(state, key, r);
  }
}

// Reads in the order the platform is asked; a failure of a fatal step ends
// the refresh, after the track handling when it comes from the timeline.
Result<Reading> read_session(RunState& state, bool force, const std::string& key,
                             MediaSession& session) {
  Reading r;
  ORVELLE_ASSIGN_OR_RETURN(r.id, session.app_id());
  ORVELLE_ASSIGN_OR_RETURN(TrackProperties props, session.media_properties());
  r.title = props.title.value_or("");
  r.artist = props.artist.value_or("");
  if (r.artist.empty()) r.artist = props.album_artist.value_or("");
  r.album = props.album.value_or("");
  r.props = std::move(props);
  ORVELLE_ASSIGN_OR_RETURN(PlaybackInfo info, session.playback_info(PlaybackReading::all));
  r.status = info.status;
  if (!info.controls) return error(info.controls.error());
  r.controls = *info.controls;
  r.rate = info.rate.value_or(1.0);
  handle_track(state, force, key, r);
  ORVELLE_ASSIGN_OR_RETURN(r.timeline, session.timeline());
  return r;
}

}  // namespace

std::string_view status_word(std::optional<std::int32_t> status) {
  static constexpr std::array<std::string_view, 6> words = {"closed",  "opened",  "changing",
                                                            "stopped", "playing", "paused"};
  if (!status || *status < 0 || *status > 5) return words[0];
  return words[static_cast<std::size_t>(*status)];
}

TimelineSnapshot timeline_snapshot(const TimelineTicks& t,
                                   const std::optional<TimelineSnapshot>& cached,
                                   std::uint64_t unix_now_ms) {
  std::int64_t start = t.start / kTicksPerMs, end = t.end / kTicksPerMs,
               pos = t.position / kTicksPerMs;
  // Each of these is within ±2^63 / 10^4, so the differences cannot overflow.
  std::int64_t duration = std::max<std::int64_t>(end - start, 0);
  std::int64_t position = std::clamp<std::int64_t>(pos - start, 0, duration);
  TimelineSnapshot s{static_cast<std::uint64_t>(position), static_cast<std::uint64_t>(duration), 0};
  if (t.last_updated >= kUnixEpochTicks + kTicksPerMs)
    s.at = (t.last_updated - kUnixEpochTicks) / kTicksPerMs;
  else if (cached && cached->position == s.position && cached->duration == s.duration)
    s.at = cached->at;
  else
    s.at = static_cast<std::int64_t>(std::min<std::uint64_t>(unix_now_ms, INT64_MAX));
  return s;
}

std::string app_display_name(RunState& state, const std::string& app_id) {
  auto it = state.display_names.find(app_id);
  if (it == state.display_names.end())
    it = state.display_names.emplace(app_id, state.platform.app_display_name(app_id)).first;
  return it->second;
}

void publish_now_playing(RunState& state, bool force, const std::string& key,
                         const SessionRef& session) {
  Result<Reading> reading = read_session(state, force, key, *session);
  if (!reading) {
    emit_line(Json{{"type", "log"},
                   {"msg", fmt::format("reading {}: {}", key, error_message(reading.error()))}});
    return;
  }
  const Reading& r = *reading;
  std::optional<TimelineSnapshot> cached;
  if (auto it = state.timeline_cache.find(key); it != state.timeline_cache.end()) cached = it->second;
  TimelineSnapshot tl = timeline_snapshot(r.timeline, cached, state.clock.unix_time_ms());
  state.timeline_cache[key] = tl;
  const Controls& c = r.controls;
  Json message = {
      {"type", "state"},
      {"id", r.id},
      {"app", app_display_name(state, r.id)},
      {"title", r.title},
      {"artist", r.artist},
      {"album", r.album},
      {"status", status_word(r.status)},
      {"position", tl.position},
      {"duration", tl.duration},
      {"at", tl.at},
      {"rate", std::isfinite(r.rate) ? Json(r.rate) : Json(nullptr)},
      {"prev", c.previous},
      {"next", c.next},
      {"toggle", c.toggle.value_or(false) || c.play || c.pause},
      {"art", state.art_shown},
      {"site", state.current_site},
  };
  std::string text = to_json_text(message);
  message["now"] = state.clock.unix_time_ms();
  emit_if_changed(state.last_printed, std::move(text), message);
}

}  // namespace orvelle::media
