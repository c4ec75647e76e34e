// The bridge's standard input on any bytes: the reader's lines, each handed
// to the command dispatch of a bridge with one session. Every line is
// answered with at least one JSON object, except "source" and "prefer",
// which publish instead: their forced refresh passes the change filter, so
// a word that changes nothing visible prints nothing. No line ends the
// input early.

#include "common/tests/fuzz/fuzz_target.h"

#include "bridge/commands.h"
#include "bridge/stdin_lines.h"
#include "common/console.h"
#include "common/json_read.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace orvelle;
using namespace orvelle::media;

struct OneSession : MediaSession {
  Result<std::string> app_id() override { return std::string("Spotify.exe"); }
  Result<TrackProperties> media_properties() override { return TrackProperties{"t", "a", "", "b", nullptr}; }
  Result<PlaybackInfo> playback_info(PlaybackReading) override { return PlaybackInfo{kPlaying, Controls{}, 1.0}; }
  Result<TimelineTicks> timeline() override { return TimelineTicks{}; }
  Result<std::unique_ptr<Registration>> subscribe(SessionEvent, EventSink) override {
    return std::unique_ptr<Registration>();
  }
  Result<bool> request(PlaybackRequest) override { return true; }
  Result<bool> seek(std::int64_t position) override {
    FUZZ_CHECK(position >= 0);  // never before the start of the track
    return true;
  }
};

struct OneAudio : AudioSession {
  float at = 0.5f;
  std::uint32_t process_id() override { return 10; }
  std::optional<ProcessIdentity> identity() override { return ProcessIdentity{std::nullopt, "Spotify.exe"}; }
  bool has_volume() override { return true; }
  std::optional<float> level() override { return at; }
  Status set_level(float v) override {
    FUZZ_CHECK(v >= 0 && v <= 1);
    at = v;
    return {};
  }
  Status unmute() override { return {}; }
};

struct OneManager : SessionManager {
  Result<std::vector<SessionRef>> sessions() override { return std::vector<SessionRef>{std::make_shared<OneSession>()}; }
  Result<SessionRef> current_session() override { return SessionRef{}; }
  Status on_current_session_changed(EventSink) override { return {}; }
  Status on_sessions_changed(EventSink) override { return {}; }
};

struct Desk : MediaPlatform {
  Result<std::shared_ptr<SessionManager>> open_manager() override { return std::shared_ptr<SessionManager>(); }
  std::vector<std::string> visible_window_titles() override { return {"x - YouTube Music"}; }
  std::string app_display_name(const std::string&) override { return ""; }
  Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions() override {
    std::vector<std::unique_ptr<AudioSession>> out;
    out.push_back(std::make_unique<OneAudio>());
    return out;
  }
  std::uint32_t own_process_id() override { return 1; }
};

// The command word as the client wrote it: the last "cmd" member of an
// object, when it is a string.
std::string command_word(const std::string& line) {
  auto value = parse_json(line, 127);
  std::string word;
  if (value && value->kind == JsonNode::Kind::object)
    for (const auto& m : value->members)
      if (m.key == "cmd") word = m.value.kind == JsonNode::Kind::string ? m.value.string : "";
  return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::tmpfile();
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::rewind(f);
  auto [sender, receiver] = make_channel<LoopMessage>();
  read_stdin_lines(f, std::move(sender));
  std::fclose(f);

  std::vector<std::string> out;
  set_line_writer([&](Stream, std::string_view text) { out.emplace_back(text); });
  Desk desk;
  SteadyLoopClock clock;
  auto [s2, r2] = make_channel<LoopMessage>();
  RunState state(MediaConfig{}, std::make_shared<OneManager>(), s2, desk, clock);
  state.chosen_session = std::make_shared<OneSession>();  // the playback commands reach it
  std::optional<LoopMessage> m;
  bool ended = false;
  while (receiver.try_receive(m) == RecvStatus::value) {
    FUZZ_CHECK(!ended);  // the end comes last
    if (auto* line = std::get_if<Line>(&*m)) {
      FUZZ_CHECK(!line->text.empty());
      std::size_t before = out.size();
      handle_command(state, line->text);
      std::string word = command_word(line->text);
      FUZZ_CHECK(out.size() > before || word == "source" || word == "prefer");
      for (std::size_t i = before; i < out.size(); ++i) {
        auto value = parse_json(out[i], 8);
        FUZZ_CHECK(value && value->kind == JsonNode::Kind::object);
      }
    } else {
      FUZZ_CHECK(std::holds_alternative<EndOfInput>(*m));
      ended = true;
    }
  }
  FUZZ_CHECK(ended);
  set_line_writer({});
  return 0;
}
