// orvelle-media-sim driven as the client drives orvelle-media: scenario
// files in, JSON lines out.

#include "tools/e2e/process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvelle::e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

std::string scenario_file(const std::string& name, const std::string& text) {
  auto dir = std::filesystem::temp_directory_path() / ("media-sim-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto path = dir / (name + ".json");
  std::ofstream(path) << text;
  return path.string();
}

struct Bridge {
  std::unique_ptr<Background> process;
  Bridge(const std::string& scenario, std::vector<std::string> args = {}) {
    std::vector<std::string> argv = {ORVELLE_MEDIA_SIM, "--scenario", scenario};
    argv.insert(argv.end(), args.begin(), args.end());
    process = std::make_unique<Background>(argv);
  }
  // The next line, read as JSON; null when none comes in time.
  json next(std::chrono::milliseconds wait = 3000ms) {
    auto line = process->next_line(wait);
    if (!line) return nullptr;
    return json::parse(*line);
  }
  // Every line until the time passes.
  std::vector<json> during(std::chrono::milliseconds wait) {
    std::vector<json> out;
    auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left <= 0ms) return out;
      auto line = process->next_line(left);
      if (!line) return out;
      out.push_back(json::parse(*line));
    }
  }
};

const char* kDocumented = R"({"sessions": [{"app": "Spotify.exe", "pid": 3100, "process": "Spotify.exe",
   "title": "Song", "artist": "Band", "album": "Record", "status": "playing", "position": 12000,
   "duration": 200000, "art": "cover.png"}],
 "current": 0,
 "windows": ["Video - YouTube - Browser"],
 "events": [{"at": 1000, "session": 0, "set": {"title": "Next song", "position": 0}},
            {"at": 1500, "add": {"app": "chrome", "pid": 4200, "process": "chrome.exe", "title": "Video", "status": "paused"}},
            {"at": 2000, "remove": 0}, {"at": 2500, "current": 1},
            {"at": 3000, "windows": ["Video - YouTube Music"]}]})";

// "ready" first, one "state" per change as the scenario plays, nothing for
// repeats, the browser's site read from its window, and exit code 0 once
// standard input ends.
TEST(MediaSim, FollowsTheScenario) {
  Bridge b(scenario_file("documented", kDocumented));
  EXPECT_EQ(b.next(), json({{"type", "ready"}}));
  json first = b.next();
  EXPECT_EQ(first["title"], "Song");
  EXPECT_EQ(first["position"], 12000);
  EXPECT_EQ(first["duration"], 200000);
  EXPECT_EQ(first["id"], "Spotify.exe");
  std::vector<json> lines = b.during(4500ms);
  ASSERT_EQ(lines.size(), 3u) << json(lines).dump();
  EXPECT_EQ(lines[0]["title"], "Next song");
  EXPECT_EQ(lines[0]["position"], 0);
  EXPECT_EQ(lines[1]["id"], "chrome");  // Spotify left; the paused browser is all there is
  EXPECT_EQ(lines[1]["site"], "youtube");
  EXPECT_EQ(lines[1]["status"], "paused");
  EXPECT_EQ(lines[2]["site"], "youtube-music");  // the forced refresh after the change saw the window
  b.process->close_input();
  EXPECT_EQ(b.process->wait(5s), 0);
}

const char* kTwoPlaying = R"({"sessions": [
   {"app": "Spotify.exe", "title": "Song", "album": "Record", "status": "playing"},
   {"app": "chrome", "title": "Clip", "status": "playing"},
   {"app": "msedge", "title": "Tune", "status": "playing"}],
 "windows": ["Clip - YouTube - Browser", "Tune - YouTube Music - Browser"],
 "events": [{"at": 1000, "current": 0}]})";

TEST(MediaSim, ChoiceFollowsSourcePreferAndCurrent) {
  struct Case {
    std::vector<std::string> args;
    std::string first, after_current;
  } cases[] = {
      {{}, "msedge", "Spotify.exe"},                       // the last to start, then the current one
      {{"--source", "YOUTUBE"}, "chrome", "chrome"},       // narrowed to the YouTube browser
      {{"--source", "music"}, "msedge", "Spotify.exe"},    // music players and YouTube Music
      {{"--prefer", "spotify"}, "Spotify.exe", "Spotify.exe"},
      {{"--source", "tidal"}, "msedge", "Spotify.exe"},    // no rule for the word: no narrowing
      {{"--app", "SPOT", "--source", "youtube"}, "", ""},  // a player is never a site: "none"
  };
  for (const Case& c : cases) {
    Bridge b(scenario_file("two", kTwoPlaying), c.args);
    ASSERT_EQ(b.next(), json({{"type", "ready"}}));
    json first = b.next();
    if (c.first.empty()) {
      EXPECT_EQ(first, json({{"type", "none"}}));
      EXPECT_TRUE(b.during(1500ms).empty());
    } else {
      EXPECT_EQ(first["id"], c.first) << testing::PrintToString(c.args);
      std::vector<json> later = b.during(1500ms);
      std::string last = later.empty() ? c.first : later.back()["id"].get<std::string>();
      EXPECT_EQ(last, c.after_current) << testing::PrintToString(c.args);
    }
    b.process->close_input();
    EXPECT_EQ(b.process->wait(5s), 0);
  }
}

// The playback commands reach the scenario's player, whose own change
// events bring the new state; the volume reaches its audio session.
TEST(MediaSim, CommandsReachThePlayer) {
  Bridge b(scenario_file("player", R"({"sessions": [
      {"app": "SpotifyAB.SpotifyMusic_zpdnekdrzrea0!Spotify", "pid": 3100, "process": "Spotify.exe",
       "title": "Song", "status": "playing", "duration": 200000, "volume": 0.8, "prev": false},
      {"app": "chrome", "pid": 4200, "process": "chrome.exe", "title": "Clip", "status": "paused"}],
     "current": 0})"));
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  ASSERT_EQ(b.next()["status"], "playing");
  auto done = [](const char* cmd, bool ok) { return json({{"type", "done"}, {"cmd", cmd}, {"ok", ok}}); };
  ASSERT_TRUE(b.process->send(R"({"cmd":"pause"})"));
  EXPECT_EQ(b.next(), done("pause", true));
  json paused = b.next();
  EXPECT_EQ(paused["status"], "paused");
  EXPECT_EQ(paused["id"], "SpotifyAB.SpotifyMusic_zpdnekdrzrea0!Spotify");  // it played last
  ASSERT_TRUE(b.process->send(R"({"cmd":"toggle"})"));
  EXPECT_EQ(b.next(), done("toggle", true));
  EXPECT_EQ(b.next()["status"], "playing");
  ASSERT_TRUE(b.process->send(R"({"cmd":"seek","position":90000})"));
  EXPECT_EQ(b.next(), done("seek", true));
  EXPECT_EQ(b.next()["position"], 90000);
  ASSERT_TRUE(b.process->send(R"({"cmd":"next"})"));
  EXPECT_EQ(b.next(), done("next", true));
  ASSERT_TRUE(b.process->send(R"({"cmd":"previous"})"));
  EXPECT_EQ(b.next(), done("previous", false));  // the player offers no skipping back
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume"})"));
  EXPECT_EQ(b.next(), json({{"type", "volume"}, {"sessions", 1}, {"value", 0.8}}));
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume","set":0.25})"));
  EXPECT_EQ(b.next(), json({{"type", "volume"}, {"sessions", 1}, {"value", 0.25}}));
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume","delta":-0.05})"));
  EXPECT_EQ(b.next(), json({{"type", "volume"}, {"sessions", 1}, {"value", 0.2}}));
  b.process->close_input();
  EXPECT_EQ(b.process->wait(5s), 0);
}

// A line that is not UTF-8 is answered like any line that does not parse,
// and the bridge goes on; a command word is answered as it stood.
TEST(MediaSim, BadLinesAreAnsweredAndTheBridgeGoesOn) {
  Bridge b(scenario_file("one", R"({"sessions": [{"app": "Spotify.exe", "title": "Song"}]})"));
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  ASSERT_EQ(b.next()["type"], "state");
  ASSERT_TRUE(b.process->send("\xff\xfe not text"));
  EXPECT_EQ(b.next(), json({{"type", "done"}, {"cmd", ""}, {"ok", false}}));
  ASSERT_TRUE(b.process->send("   "));
  ASSERT_TRUE(b.process->send(R"({"cmd":"Play"})"));
  EXPECT_EQ(b.next(), json({{"type", "done"}, {"cmd", "Play"}, {"ok", false}}));
  ASSERT_TRUE(b.process->send(R"({"cmd":"source","source":"vlc"})"));
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume"})"));  // the session names no process
  EXPECT_EQ(b.next(), json({{"type", "volume"}, {"sessions", 0}, {"value", -1.0}}));
  b.process->close_input();
  EXPECT_EQ(b.process->wait(5s), 0);
}

TEST(MediaSim, ScenarioErrorsNameTheirPlace) {
  Outcome o = run_process({ORVELLE_MEDIA_SIM, "--scenario",
                           scenario_file("bad", R"({"sessions": [{"app": "a", "status": "asleep"}]})")},
                          "");
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_NE(o.err.find("sessions[0].status: unknown status \"asleep\" at line 1"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace orvelle::e2e
