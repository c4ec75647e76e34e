#include "support/fake_platform.h"

namespace orvelle::media::testing {
namespace {

struct FakeRegistration : Registration {
  explicit FakeRegistration(int& n) : count(n) { ++count; }
  ~FakeRegistration() override { --count; }
  int& count;
};

}  // namespace

Result<std::string> FakeSession::app_id() {
  if (id_fails) return error(fail("no id"));
  return id;
}
Result<TrackProperties> FakeSession::media_properties() {
  if (props_fail) return error(fail("properties"));
  return props;
}
Result<PlaybackInfo> FakeSession::playback_info(PlaybackReading what) {
  readings.push_back(what);
  if (info_fails) return error(fail("info"));
  switch (what) {
    case PlaybackReading::status: return PlaybackInfo{status, Controls{}, std::nullopt};
    case PlaybackReading::toggle: {
      Controls c;
      c.toggle = controls.toggle;
      return PlaybackInfo{c.toggle == false ? std::optional(status) : std::nullopt, c, std::nullopt};
    }
    case PlaybackReading::all: break;
  }
  return PlaybackInfo{status, controls, rate};
}
Result<TimelineTicks> FakeSession::timeline() {
  if (timeline_fails) return error(fail("timeline"));
  return ticks;
}
Result<std::unique_ptr<Registration>> FakeSession::subscribe(SessionEvent, EventSink sink) {
  sinks.push_back(std::move(sink));
  return std::unique_ptr<Registration>(new FakeRegistration(registered));
}

Result<bool> FakeSession::request(PlaybackRequest what) {
  requests.push_back(what);
  auto it = answers.find(what);
  if (it == answers.end()) return error(fail("refused"));
  return it->second;
}
Result<bool> FakeSession::seek(std::int64_t position) {
  seeks.push_back(position);
  return true;
}

Status FakeAudioSession::set_level(float v) {
  if (set_fails) return error(fail("cannot set"));
  at = v;
  return {};
}
Status FakeAudioSession::unmute() {
  muted = false;
  return {};
}

namespace {
// Hands one of the test's sessions to the walk without giving it away.
struct Borrowed : AudioSession {
  explicit Borrowed(std::shared_ptr<FakeAudioSession> s) : s(std::move(s)) {}
  std::shared_ptr<FakeAudioSession> s;
  std::uint32_t process_id() override { return s->process_id(); }
  std::optional<ProcessIdentity> identity() override { return s->identity(); }
  bool has_volume() override { return s->has_volume(); }
  std::optional<float> level() override { return s->level(); }
  Status set_level(float v) override { return s->set_level(v); }
  Status unmute() override { return s->unmute(); }
};
}  // namespace

Result<std::vector<std::unique_ptr<AudioSession>>> FakePlatform::audio_sessions() {
  if (audio_error) return error(*audio_error);
  std::vector<std::unique_ptr<AudioSession>> out;
  for (auto& s : audio) out.push_back(std::make_unique<Borrowed>(s));
  return out;
}

Result<std::vector<SessionRef>> FakeManager::sessions() {
  return std::vector<SessionRef>(list.begin(), list.end());
}
Result<SessionRef> FakeManager::current_session() { return SessionRef(current); }
Status FakeManager::on_current_session_changed(EventSink sink) {
  current_changed = std::move(sink);
  return {};
}
Status FakeManager::on_sessions_changed(EventSink sink) {
  sessions_changed = std::move(sink);
  return {};
}

Result<std::shared_ptr<SessionManager>> FakePlatform::open_manager() {
  if (open_error) return error(*open_error);
  return std::shared_ptr<SessionManager>(manager);
}
std::vector<std::string> FakePlatform::visible_window_titles() {
  ++title_queries;
  return titles;
}
std::string FakePlatform::app_display_name(const std::string& app_id) {
  ++name_queries;
  auto it = names.find(app_id);
  return it == names.end() ? "" : it->second;
}
std::shared_ptr<FakeSession> FakePlatform::add(std::string id) {
  auto s = std::make_shared<FakeSession>(std::move(id));
  manager->list.push_back(s);
  return s;
}

std::uint64_t FakeClock::unix_time_ms() {
  return unix_base + static_cast<std::uint64_t>(ms().count());
}

void FakeClock::advance(Instant to) {
  // Scripted things due on the way happen at their time.
  while (!script.empty() && script.begin()->first <= to) {
    auto node = script.extract(script.begin());
    t = std::max(t, node.key());
    if (auto* m = std::get_if<LoopMessage>(&node.mapped()))
      (void)sender.send(std::move(*m));
    else
      std::get<Step>(node.mapped())();
  }
  t = std::max(t, to);
}

RecvStatus FakeClock::receive_until(LoopReceiver& receiver, std::optional<LoopMessage>& out,
                                    Instant deadline) {
  for (;;) {
    if (receiver.try_receive(out) == RecvStatus::value) return RecvStatus::value;
    if (script.empty() || script.begin()->first > deadline) break;
    advance(script.begin()->first);
  }
  if (script.empty()) return RecvStatus::disconnected;  // the test forgot its end
  t = std::max(t, deadline);
  return RecvStatus::timeout;
}

}  // namespace orvelle::media::testing
