// orvelle-media-sim driven as the client drives orvelle-media: scenario
// files in, JSON lines out.

#include "tools/e2e/process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
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
  std::string path = scenario_file("documented", kDocumented);
  auto cover = std::filesystem::path(path).parent_path() / "cover.png";
  ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i color=c=green:s=96x96 -frames:v 1 " +
                         cover.string()).c_str()),
            0);
  Bridge b(path);
  EXPECT_EQ(b.next(), json({{"type", "ready"}}));
  json art = b.next();
  EXPECT_EQ(art["type"], "art");
  json first = b.next();
  EXPECT_EQ(first["art"], 1);
  EXPECT_EQ(first["title"], "Song");
  EXPECT_EQ(first["position"], 12000);
  EXPECT_EQ(first["duration"], 200000);
  EXPECT_EQ(first["id"], "Spotify.exe");
  std::vector<json> lines = b.during(4500ms);
  std::erase_if(lines, [](const json& l) { return l["type"] == "art"; });  // chrome has none
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

// An application named in Greek: its executable's name ends in a capital
// sigma, which inside the application's name lowers to the same letter.
TEST(MediaSim, AGreekPlayerFindsItsAudioSession) {
  Bridge b(scenario_file("greek", R"({"sessions": [
      {"app": "ΟΔΟΣ Player", "pid": 3300, "process": "ΟΔΟΣ.exe", "title": "Τραγούδι",
       "status": "playing", "volume": 0.6}]})"));
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  ASSERT_EQ(b.next()["id"], "ΟΔΟΣ Player");
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume","delta":0.1})"));
  EXPECT_EQ(b.next(), json({{"type", "volume"}, {"sessions", 1}, {"value", 0.7}}));
  b.process->close_input();
  EXPECT_EQ(b.process->wait(5s), 0);
}

// With its standard output closed the bridge loses its lines and goes on
// until its standard input ends.
TEST(MediaSim, AClosedOutputLosesTheLinesAndTheBridgeRunsOn) {
  Bridge b(scenario_file("closed", R"({"sessions": [{"app": "Spotify.exe", "title": "Song"}],
     "events": [{"at": 300, "session": 0, "set": {"title": "Next"}}]})"));
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  b.process->close_output();
  ASSERT_TRUE(b.process->send(R"({"cmd":"play"})"));  // its reply has nowhere to go
  ASSERT_TRUE(b.process->send(R"({"cmd":"volume"})"));
  b.process->close_input();
  EXPECT_EQ(b.process->wait(10s), 0);
}

std::vector<std::uint8_t> from_base64(const std::string& text) {
  std::vector<std::uint8_t> out;
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    bits = bits << 6 | static_cast<std::uint32_t>(std::strchr(alphabet, c) - alphabet);
    if ((count += 6) >= 8) out.push_back(static_cast<std::uint8_t>(bits >> (count -= 8)));
  }
  return out;
}

// Cover pictures made by ffmpeg: a red picture between black bars, and a
// blue one. Each new picture arrives once, square, of the --art size, cut
// from between the bars; the states point at it by serial.
TEST(MediaSim, CoverArtOncePerPicture) {
  auto dir = std::filesystem::path(scenario_file("covers", "{}")).parent_path();
  auto make = [&](const char* name, const char* source, const char* filter) {
    std::string cmd = std::string("ffmpeg -v error -y -f lavfi -i ") + source + " -vf " + filter +
                      " -frames:v 1 " + (dir / name).string();
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  };
  make("barred.png", "color=c=red:s=640x360", "pad=640:480:0:60:black");
  make("blue.jpg", "color=c=blue:s=300x300", "null");
  Bridge b(scenario_file("covers", R"({"sessions": [{"app": "Spotify.exe", "title": "One", "art": "barred.png"}],
     "events": [{"at": 500, "session": 0, "set": {"title": "Two"}},
                {"at": 1000, "session": 0, "set": {"title": "Three", "art": "blue.jpg"}}]})"),
           {"--art", "64"});
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  std::vector<json> lines = b.during(2000ms);
  std::vector<json> arts, states;
  for (json& l : lines) (l["type"] == "art" ? arts : states).push_back(l);
  ASSERT_EQ(arts.size(), 2u) << json(lines).dump().substr(0, 2000);
  for (std::size_t i = 0; i < arts.size(); ++i) {
    EXPECT_EQ(arts[i]["art"], i + 1);
    EXPECT_EQ(arts[i]["size"], 64);
    std::vector<std::uint8_t> rgba = from_base64(arts[i]["rgba"]);
    ASSERT_EQ(rgba.size(), 64u * 64 * 4);
    int red = 0, blue = 0;
    for (std::size_t p = 0; p < rgba.size(); p += 4) {
      red += rgba[p] > 200 && rgba[p + 1] < 60 && rgba[p + 2] < 60 && rgba[p + 3] == 255;
      blue += rgba[p] < 60 && rgba[p + 1] < 60 && rgba[p + 2] > 200 && rgba[p + 3] == 255;
    }
    EXPECT_EQ(i == 0 ? red : blue, 64 * 64) << i;  // no row of the bars in the square
  }
  ASSERT_GE(states.size(), 3u);
  EXPECT_EQ(states[0]["title"], "One");
  EXPECT_EQ(states[0]["art"], 1);
  EXPECT_EQ(states[1]["title"], "Two");
  EXPECT_EQ(states[1]["art"], 1);  // the same picture again: no new "art"
  EXPECT_EQ(states.back()["title"], "Three");
  EXPECT_EQ(states.back()["art"], 2);
  b.process->close_input();
  EXPECT_EQ(b.process->wait(5s), 0);
}

// A cover wider than 16384 pixels is refused with a log line; the state
// goes out without it and the bridge goes on.
TEST(MediaSim, ACoverPastTheLargestSizeIsRefused) {
  auto dir = std::filesystem::path(scenario_file("wide", "{}")).parent_path();
  std::string cmd = "ffmpeg -v error -y -f lavfi -i color=c=red:s=16x8 -vf scale=16385:8 -frames:v 1 " +
                    (dir / "wide.png").string();
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  Bridge b(scenario_file("wide", R"({"sessions": [{"app": "Spotify.exe", "title": "One", "art": "wide.png"}]})"));
  ASSERT_EQ(b.next(), json({{"type", "ready"}}));
  json log = b.next(10s);
  ASSERT_EQ(log["type"], "log") << log;
  EXPECT_NE(log["msg"].get<std::string>().find("wide.png: 16385 x 8 is larger than 16384 x 16384"),
            std::string::npos) << log;
  json state = b.next();
  EXPECT_EQ(state["type"], "state");
  EXPECT_EQ(state["art"], 0);
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
