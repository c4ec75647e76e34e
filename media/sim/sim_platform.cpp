#include "sim/sim_platform.h"

#include "sim/ffmpeg/picture_file.h"
#include "common/threads.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace orvelle::media::sim {

namespace {

constexpr std::int64_t kTicksPerMs = 10'000;
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;

std::uint64_t unix_now_ms() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count());
}

// A session's fields with every default filled in.
SessionFields complete(SessionFields f) {
  f.app = f.app.value_or("");
  f.process = f.process.value_or("");
  f.title = f.title.value_or("");
  f.artist = f.artist.value_or("");
  f.album_artist = f.album_artist.value_or("");
  f.album = f.album.value_or("");
  f.status = f.status.value_or("playing");
  f.art = f.art.value_or("");
  f.pid = f.pid.value_or(0);
  f.position = f.position.value_or(0);
  f.duration = f.duration.value_or(0);
  f.rate = f.rate.value_or(1.0);
  f.volume = f.volume.value_or(1.0);
  f.prev = f.prev.value_or(true);
  f.next = f.next.value_or(true);
  f.toggle = f.toggle.value_or(true);
  return f;
}

void patch(SessionFields& to, const SessionFields& by) {
  auto put = [](auto& slot, const auto& value) {
    if (value) slot = value;
  };
  put(to.app, by.app), put(to.process, by.process), put(to.title, by.title);
  put(to.artist, by.artist), put(to.album_artist, by.album_artist), put(to.album, by.album);
  put(to.status, by.status), put(to.art, by.art), put(to.pid, by.pid);
  put(to.position, by.position), put(to.duration, by.duration), put(to.rate, by.rate);
  put(to.volume, by.volume);
  put(to.prev, by.prev), put(to.next, by.next), put(to.toggle, by.toggle);
}

std::int32_t status_number(const std::string& word) {
  auto it = std::find(std::begin(kStatusWords), std::end(kStatusWords), word);
  return static_cast<std::int32_t>(it - std::begin(kStatusWords));
}

}  // namespace

struct SessionState {
  SessionFields fields;
  std::uint64_t position_at = 0;  // Unix ms when the position was last set
  bool live = true;
  std::map<int, std::pair<SessionEvent, EventSink>> sinks;
};

// Everything behind one lock; sinks are called after it is let go.
struct World {
  std::mutex mutex;
  std::vector<SessionState> sessions;  // by number
  std::optional<std::size_t> current;
  std::vector<std::string> windows;
  EventSink current_changed, sessions_changed;
  int next_sink = 0;
};

namespace {

class SimRegistration final : public Registration {
 public:
  SimRegistration(std::weak_ptr<World> w, std::size_t n, int id) : world_(std::move(w)), n_(n), id_(id) {}
  ~SimRegistration() override {
    if (auto w = world_.lock()) {
      std::lock_guard lock(w->mutex);
      w->sessions[n_].sinks.erase(id_);
    }
  }

 private:
  std::weak_ptr<World> world_;
  std::size_t n_;
  int id_;
};

// The cover picture file a session names (relative to the scenario's
// folder, resolved when the scenario is read).
class FileThumbnail final : public Thumbnail {
 public:
  explicit FileThumbnail(std::string path) : path_(std::move(path)) {}
  Result<std::unique_ptr<Picture>> open() override { return open_picture_file(path_); }

 private:
  std::string path_;
};

// The player's answer to a request: what a player that honours its
// controls does, raising its playback event as a real one would.
bool answer(SessionState& s, PlaybackRequest what) {
  std::string& status = *s.fields.status;
  switch (what) {
    case PlaybackRequest::play: status = "playing"; return true;
    case PlaybackRequest::pause: status = "paused"; return true;
    case PlaybackRequest::toggle:
      if (!*s.fields.toggle) return false;
      status = status == "playing" ? "paused" : "playing";
      return true;
    case PlaybackRequest::next: return *s.fields.next;
    case PlaybackRequest::previous: return *s.fields.prev;
  }
  return false;
}

std::vector<EventSink> sinks_of(const SessionState& s, SessionEvent event) {
  std::vector<EventSink> out;
  for (const auto& [id, sink] : s.sinks)
    if (sink.first == event) out.push_back(sink.second);
  return out;
}

class SimSession final : public MediaSession {
 public:
  SimSession(std::shared_ptr<World> w, std::size_t n) : world_(std::move(w)), n_(n) {}

  Result<bool> request(PlaybackRequest what) override {
    std::vector<EventSink> raised;
    bool ok;
    {
      std::lock_guard lock(world_->mutex);
      SessionState& s = world_->sessions[n_];
      ok = answer(s, what);
      if (ok) raised = sinks_of(s, SessionEvent::playback_info);
    }
    for (const EventSink& sink : raised) sink();
    return ok;
  }
  Result<bool> seek(std::int64_t position) override {
    std::vector<EventSink> raised;
    {
      std::lock_guard lock(world_->mutex);
      SessionState& s = world_->sessions[n_];
      s.fields.position = std::min<std::uint64_t>(static_cast<std::uint64_t>(position / kTicksPerMs),
                                                  *s.fields.duration);
      s.position_at = unix_now_ms();
      raised = sinks_of(s, SessionEvent::timeline);
    }
    for (const EventSink& sink : raised) sink();
    return true;
  }

  Result<std::string> app_id() override { return read().app.value(); }
  Result<TrackProperties> media_properties() override {
    SessionFields f = read();
    std::shared_ptr<Thumbnail> thumbnail;
    if (!f.art->empty()) thumbnail = std::make_shared<FileThumbnail>(*f.art);
    return TrackProperties{f.title, f.artist, f.album_artist, f.album, std::move(thumbnail)};
  }
  // The scenario's values cost nothing to read: all of them, whatever was asked.
  Result<PlaybackInfo> playback_info(PlaybackReading) override {
    SessionFields f = read();
    return PlaybackInfo{status_number(*f.status), Controls{*f.prev, *f.next, *f.toggle, false, false},
                        f.rate};
  }
  Result<TimelineTicks> timeline() override {
    std::lock_guard lock(world_->mutex);
    const SessionState& s = world_->sessions[n_];
    return TimelineTicks{0, static_cast<std::int64_t>(*s.fields.duration) * kTicksPerMs,
                         static_cast<std::int64_t>(*s.fields.position) * kTicksPerMs,
                         kUnixEpochTicks + static_cast<std::int64_t>(s.position_at) * kTicksPerMs};
  }
  Result<std::unique_ptr<Registration>> subscribe(SessionEvent event, EventSink sink) override {
    std::lock_guard lock(world_->mutex);
    int id = world_->next_sink++;
    world_->sessions[n_].sinks.emplace(id, std::pair{event, std::move(sink)});
    return std::unique_ptr<Registration>(new SimRegistration(world_, n_, id));
  }

 private:
  SessionFields read() {
    std::lock_guard lock(world_->mutex);
    return world_->sessions[n_].fields;
  }
  std::shared_ptr<World> world_;
  std::size_t n_;
};

class SimManager final : public SessionManager {
 public:
  explicit SimManager(std::shared_ptr<World> w) : world_(std::move(w)) {}

  Result<std::vector<SessionRef>> sessions() override {
    std::lock_guard lock(world_->mutex);
    std::vector<SessionRef> out;
    for (std::size_t n = 0; n < world_->sessions.size(); ++n)
      if (world_->sessions[n].live) out.push_back(std::make_shared<SimSession>(world_, n));
    return out;
  }
  Result<SessionRef> current_session() override {
    std::lock_guard lock(world_->mutex);
    const auto& c = world_->current;
    if (!c || !world_->sessions[*c].live) return SessionRef{};
    return SessionRef(std::make_shared<SimSession>(world_, *c));
  }
  Status on_current_session_changed(EventSink sink) override {
    std::lock_guard lock(world_->mutex);
    world_->current_changed = std::move(sink);
    return {};
  }
  Status on_sessions_changed(EventSink sink) override {
    std::lock_guard lock(world_->mutex);
    world_->sessions_changed = std::move(sink);
    return {};
  }

 private:
  std::shared_ptr<World> world_;
};

// Applies one event and gathers the events the platform raises for it.
std::vector<EventSink> apply(World& w, const ScenarioEvent& e) {
  std::vector<EventSink> raised;
  auto raise = [&](const EventSink& s) {
    if (s) raised.push_back(s);
  };
  switch (e.kind) {
    case EventKind::set: {
      SessionState& s = w.sessions[e.session];
      patch(s.fields, e.fields);
      if (e.fields.position) s.position_at = unix_now_ms();
      if (s.live)
        for (auto& [id, sink] : s.sinks) raise(sink.second);
      break;
    }
    case EventKind::add:
      w.sessions.push_back(SessionState{complete(e.fields), unix_now_ms(), true, {}});
      raise(w.sessions_changed);
      break;
    case EventKind::remove:
      w.sessions[e.session].live = false;
      raise(w.sessions_changed);
      if (w.current == e.session) raise(w.current_changed);
      break;
    case EventKind::current:
      w.current = e.no_current ? std::nullopt : std::optional(e.session);
      raise(w.current_changed);
      break;
    case EventKind::windows:
      w.windows = e.windows;
      break;
  }
  return raised;
}

}  // namespace

SimPlatform::SimPlatform(Scenario scenario) : world_(std::make_shared<World>()) {
  std::uint64_t now = unix_now_ms();
  for (auto& f : scenario.sessions) world_->sessions.push_back(SessionState{complete(std::move(f)), now, true, {}});
  world_->current = scenario.current;
  world_->windows = std::move(scenario.windows);
  events_ = std::move(scenario.events);
}

SimPlatform::~SimPlatform() = default;

void SimPlatform::start() {
  auto start = std::chrono::steady_clock::now();
  spawn_detached("scenario", [world = world_, events = events_, start] {
    for (const ScenarioEvent& e : events) {
      std::this_thread::sleep_until(start + std::chrono::milliseconds(e.at));
      std::vector<EventSink> raised;
      {
        std::lock_guard lock(world->mutex);
        raised = apply(*world, e);
      }
      for (const EventSink& s : raised) s();
    }
  }, "cannot start the scenario");
}

Result<std::shared_ptr<SessionManager>> SimPlatform::open_manager() {
  return std::shared_ptr<SessionManager>(std::make_shared<SimManager>(world_));
}

std::vector<std::string> SimPlatform::visible_window_titles() {
  std::lock_guard lock(world_->mutex);
  return world_->windows;
}

// One audio session for each live session that names a process.
class SimAudioSession final : public AudioSession {
 public:
  SimAudioSession(std::shared_ptr<World> w, std::size_t n) : world_(std::move(w)), n_(n) {}
  std::uint32_t process_id() override { return *fields().pid; }
  std::optional<ProcessIdentity> identity() override {
    return ProcessIdentity{std::nullopt, "C:\\Program Files\\" + *fields().process};
  }
  bool has_volume() override { return true; }
  std::optional<float> level() override { return static_cast<float>(*fields().volume); }
  Status set_level(float level) override {
    std::lock_guard lock(world_->mutex);
    world_->sessions[n_].fields.volume = level;
    return {};
  }
  Status unmute() override { return {}; }

 private:
  SessionFields fields() {
    std::lock_guard lock(world_->mutex);
    return world_->sessions[n_].fields;
  }
  std::shared_ptr<World> world_;
  std::size_t n_;
};

Result<std::vector<std::unique_ptr<AudioSession>>> SimPlatform::audio_sessions() {
  std::lock_guard lock(world_->mutex);
  std::vector<std::unique_ptr<AudioSession>> out;
  for (std::size_t n = 0; n < world_->sessions.size(); ++n)
    if (world_->sessions[n].live && !world_->sessions[n].fields.process->empty())
      out.push_back(std::make_unique<SimAudioSession>(world_, n));
  return out;
}

std::uint32_t SimPlatform::own_process_id() { return 1; }

// Desktop programs have no app entry to look a name up in.
std::string SimPlatform::app_display_name(const std::string&) { return ""; }

}  // namespace orvelle::media::sim
