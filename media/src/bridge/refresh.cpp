#include "bridge/refresh.h"

#include "bridge/choice.h"
#include "bridge/now_playing.h"
#include "bridge/output.h"
#include "bridge/titles.h"
#include "text/unicode.h"

#include <algorithm>

namespace orvelle::media {
namespace {

std::string read_id(MediaSession& session) { return session.app_id().value_or(""); }

// The status pass: every listed key's status, and when it entered and was
// last seen playing. One reading of the clock serves the whole refresh.
void note_statuses(RunState& state, const std::vector<SessionEntry>& entries, Instant now) {
  for (const SessionEntry& e : entries) {
    Result<PlaybackInfo> info = e.session->playback_info(PlaybackReading::status);
    std::int32_t status = info && info->status ? *info->status : kClosed;
    auto [it, fresh] = state.last_status.try_emplace(e.key, status);
    bool was_playing = !fresh && it->second == kPlaying;
    it->second = status;
    if (status == kPlaying) {
      if (!was_playing) state.started_playing[e.key] = now;
      state.seen_playing[e.key] = now;
    }
  }
}

bool playing(const RunState& state, const SessionEntry& e) {
  auto it = state.last_status.find(e.key);
  return it != state.last_status.end() && it->second == kPlaying;
}

// Site of a browser's session for matching: from its media title, or the
// key's last site when the properties cannot be read.
std::string browser_site_of(RunState& state, const SessionEntry& e,
                            const std::vector<std::string>& titles) {
  Result<TrackProperties> props = e.session->media_properties();
  if (!props) {
    auto it = state.site_cache.find(e.key);
    return it == state.site_cache.end() ? "" : it->second;
  }
  return detect_browser_site(state.site_cache, e.key, props->title.value_or(""),
                             props->album.value_or("").empty(), titles);
}

bool matches(RunState& state, const std::string& word, const SessionEntry& e,
             const std::vector<std::string>& titles) {
  std::string id = lower_case(read_id(*e.session));
  return source_matches(word, id, [&] { return browser_site_of(state, e, titles); });
}

// "spotify" needs no window titles.
std::vector<std::string> titles_for(RunState& state, const std::string& word) {
  if (word == "spotify") return {};
  return state.platform.visible_window_titles();
}

void narrow(RunState& state, std::vector<SessionEntry>& candidates) {
  const std::string& source = state.config.source;
  if (!source.empty()) {
    std::vector<std::string> titles = titles_for(state, source);
    std::erase_if(candidates, [&](const SessionEntry& e) { return !matches(state, source, e, titles); });
  }
  const std::string& prefer = state.config.prefer;
  if (prefer.empty() || candidates.empty()) return;
  if (std::count_if(candidates.begin(), candidates.end(),
                    [&](const SessionEntry& e) { return playing(state, e); }) < 2)
    return;
  std::vector<std::string> titles = titles_for(state, prefer);
  std::vector<SessionEntry> preferred;
  for (const SessionEntry& e : candidates)
    if (playing(state, e) && matches(state, prefer, e, titles)) preferred.push_back(e);
  if (!preferred.empty()) candidates = std::move(preferred);
}

std::optional<std::string> current_id(RunState& state) {
  Result<SessionRef> current = state.manager->current_session();
  if (!current || !*current) return std::nullopt;
  Result<std::string> id = (*current)->app_id();
  if (!id) return std::nullopt;
  return *id;
}

template <typename Map>
std::optional<Instant> entry_of(const Map& map, const std::string& key) {
  auto it = map.find(key);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

}  // namespace

std::vector<SessionEntry> list_sessions(RunState& state) {
  Result<std::vector<SessionRef>> sessions = state.manager->sessions();
  if (!sessions) return {};
  std::vector<SessionRef> kept;
  std::vector<std::string> ids;
  for (SessionRef& s : *sessions) {
    if (!s) continue;
    std::string id = read_id(*s);
    if (state.config.app && lower_case(id).find(*state.config.app) == std::string::npos) continue;
    ids.push_back(std::move(id));
    kept.push_back(std::move(s));
  }
  std::vector<std::string> keys = session_keys(ids);
  std::vector<SessionEntry> out;
  for (std::size_t i = 0; i < kept.size(); ++i) out.push_back({std::move(keys[i]), std::move(kept[i])});
  return out;
}

void refresh_and_publish(RunState& state, bool force) {
  Instant now = state.clock.now();
  std::vector<SessionEntry> candidates = list_sessions(state);
  note_statuses(state, candidates, now);
  narrow(state, candidates);
  std::vector<Candidate> ranked;
  for (const SessionEntry& e : candidates)
    ranked.push_back({e.key, state.last_status[e.key], entry_of(state.started_playing, e.key),
                      entry_of(state.seen_playing, e.key)});
  std::optional<std::size_t> chosen =
      candidates.empty() ? std::nullopt : choose_session(ranked, current_id(state));
  if (!chosen) {
    state.chosen_session.reset();
    state.track_key.clear();  // the next track counts as a change
    emit_if_changed(state.last_printed, "none", Json{{"type", "none"}});
    return;
  }
  const SessionEntry& e = candidates[*chosen];
  state.chosen_session = e.session;
  publish_now_playing(state, force, e.key, e.session);
}

void subscribe_sessions(RunState& state) {
  state.subscriptions.clear();  // unregisters the old events
  for (SessionEntry& e : list_sessions(state)) {
    SessionSubscription sub{e.session, {}};
    for (auto [event, force] : {std::pair{SessionEvent::media_properties, true},
                                {SessionEvent::playback_info, false},
                                {SessionEvent::timeline, false}}) {
      LoopSender sender = state.sender;
      auto reg = e.session->subscribe(event, [sender, force]() mutable {
        (void)sender.send(Refresh{force});
      });
      // A failed registration leaves that event to the manager's events and the tick.
      if (reg && *reg) sub.events.push_back(std::move(*reg));
    }
    state.subscriptions.push_back(std::move(sub));
  }
}

}  // namespace orvelle::media
