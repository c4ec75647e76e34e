#pragma once
// Everything the bridge knows about the media sessions, owned by the main
// thread alone (no lock): built once the manager is obtained, dropped when
// standard input ends, which unregisters every session's events.

#include "bridge/config.h"
#include "bridge/platform.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvelle::media {

struct SessionSubscription {
  SessionRef session;
  std::vector<std::unique_ptr<Registration>> events;  // those that were registered
};

struct TimelineSnapshot {
  std::uint64_t position = 0, duration = 0;  // ms
  std::int64_t at = 0;                       // Unix ms
};

struct RunState {
  RunState(MediaConfig c, std::shared_ptr<SessionManager> m, LoopSender s, MediaPlatform& p,
           LoopClock& k)
      : sender(std::move(s)), config(std::move(c)), manager(std::move(m)), platform(p), clock(k) {}

  LoopSender sender;  // cloned into every event handler
  MediaConfig config;
  std::vector<SessionSubscription> subscriptions;
  std::string track_key;
  std::vector<Instant> pending_refreshes;
  std::string last_printed;
  std::shared_ptr<SessionManager> manager;
  // Per session key; never pruned, so a later session with the same key
  // inherits its entries.
  std::map<std::string, std::int32_t> last_status;
  std::map<std::string, Instant> started_playing, seen_playing;
  std::map<std::string, TimelineSnapshot> timeline_cache;
  std::map<std::string, std::string> site_cache;
  std::map<std::string, std::string> display_names;  // per raw app id
  std::string current_site;
  SessionRef chosen_session;
  std::uint64_t last_art_hash = 0, art_serial = 0, art_shown = 0;

  MediaPlatform& platform;
  LoopClock& clock;
};

}  // namespace orvelle::media
