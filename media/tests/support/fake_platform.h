#pragma once
// A scripted media world for the bridge's core: sessions whose every field a
// test sets, window titles, display names, and a clock that moves only while
// the run loop waits.

#include "bridge/platform.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvelle::media::testing {

struct FakeSession : MediaSession {
  std::string id;
  bool id_fails = false;
  TrackProperties props{std::string("Song"), std::string("Band"), std::string(""), std::string("Record"), nullptr};
  bool props_fail = false;
  std::optional<std::int32_t> status = kPlaying;  // absent: unreadable
  bool info_fails = false;
  Controls controls{true, true, true, true, true};
  std::optional<double> rate = 1.0;
  std::vector<PlaybackReading> readings;  // every playback-info request
  TimelineTicks ticks{0, 2'000'000'000, 120'000'000, 0};
  bool timeline_fails = false;
  int registered = 0;  // live event registrations
  std::map<PlaybackRequest, bool> answers;  // missing: the request fails
  std::vector<PlaybackRequest> requests;
  std::vector<std::int64_t> seeks;

  explicit FakeSession(std::string app) : id(std::move(app)) {}
  Result<std::string> app_id() override;
  Result<TrackProperties> media_properties() override;
  // Fills only what was asked, as the platform does.
  Result<PlaybackInfo> playback_info(PlaybackReading what) override;
  Result<TimelineTicks> timeline() override;
  Result<std::unique_ptr<Registration>> subscribe(SessionEvent event, EventSink sink) override;
  Result<bool> request(PlaybackRequest what) override;
  Result<bool> seek(std::int64_t position) override;
  std::vector<EventSink> sinks;  // every sink handed in
};

struct FakeManager : SessionManager {
  std::vector<std::shared_ptr<FakeSession>> list;
  std::shared_ptr<FakeSession> current;
  EventSink current_changed, sessions_changed;
  Result<std::vector<SessionRef>> sessions() override;
  Result<SessionRef> current_session() override;
  Status on_current_session_changed(EventSink sink) override;
  Status on_sessions_changed(EventSink sink) override;
};

struct FakeAudioSession : AudioSession {
  std::uint32_t pid = 100;
  std::optional<ProcessIdentity> who = ProcessIdentity{std::nullopt, "C:\\Apps\\Spotify.exe"};
  bool volume = true;
  std::optional<float> at = 0.8f;
  bool muted = true;
  bool set_fails = false;
  std::uint32_t process_id() override { return pid; }
  std::optional<ProcessIdentity> identity() override { return who; }
  bool has_volume() override { return volume; }
  std::optional<float> level() override { return at; }
  Status set_level(float v) override;
  Status unmute() override;
};

struct FakePlatform : MediaPlatform {
  std::shared_ptr<FakeManager> manager = std::make_shared<FakeManager>();
  std::optional<WinError> open_error;
  std::vector<std::string> titles;
  int title_queries = 0;
  std::map<std::string, std::string> names;
  int name_queries = 0;
  Result<std::shared_ptr<SessionManager>> open_manager() override;
  std::vector<std::string> visible_window_titles() override;
  std::string app_display_name(const std::string& app_id) override;
  // Handed out anew for each walk; they stay the test's.
  std::vector<std::shared_ptr<FakeAudioSession>> audio;
  std::optional<WinError> audio_error;
  Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() override;
  std::uint32_t own_process_id() override { return 7; }
  std::shared_ptr<FakeSession> add(std::string id);
};

// Time stands still until the loop waits or sleeps; scripted messages are
// sent when the clock reaches them, and the script ends with EndOfInput
// at the given time (so every run ends).
struct FakeClock : LoopClock {
  using Step = std::function<void()>;
  Instant t{};
  std::uint64_t unix_base = 1'700'000'000'000;
  std::multimap<Instant, std::variant<LoopMessage, Step>> script;
  LoopSender sender;

  Instant now() override { return t; }
  std::uint64_t unix_time_ms() override;
  void sleep_for(std::chrono::milliseconds span) override { advance(t + span); }
  RecvStatus receive_until(LoopReceiver& receiver, std::optional<LoopMessage>& out,
                           Instant deadline) override;
  void at(std::chrono::milliseconds when, LoopMessage m) { script.emplace(Instant{} + when, std::move(m)); }
  void at(std::chrono::milliseconds when, Step s) { script.emplace(Instant{} + when, std::move(s)); }
  std::chrono::milliseconds ms() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
  }

 private:
  void advance(Instant to);
};

}  // namespace orvelle::media::testing
