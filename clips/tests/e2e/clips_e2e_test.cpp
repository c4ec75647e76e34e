// orvelle-clips.exe itself, under Wine: what the client sees of it.

#include "tools/e2e/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

namespace orvelle::e2e {
namespace {

constexpr const char* kUsage =
    "usage: orvelle-clips --pid <pid> | --title <substring> [--fps N] [--bitrate N] "
    "[--seconds N] [--audio] [--mic [--mic-device ID] [--mic-volume %]] "
    "(--json | --duration S [--quiet]) | --list-mics\n";

Outcome clips(const std::vector<std::string>& args, const std::string& input = "") {
  return run_windows(ORVELLE_CLIPS_EXE, args, input);
}

void expect_no_cr(const Outcome& o) {
  EXPECT_EQ(o.out.find('\r'), std::string::npos) << o.out;
  EXPECT_EQ(o.err.find('\r'), std::string::npos) << o.err;
}

TEST(ClipsExe, Exists) { ASSERT_TRUE(std::filesystem::exists(ORVELLE_CLIPS_EXE)); }

TEST(ClipsExe, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{}, kUsage},
      {{"--pid", "0"}, kUsage},
      {{"--pid", "abc", "--json"}, kUsage},
      {{"--pid=5"}, "unknown argument --pid=5\n"},
      {{"--list-mics", "--bogus"}, "unknown argument --bogus\n"},
      {{"--pid", "5", "game.exe"}, "unknown argument game.exe\n"},
      {{"--fps", "30", "C:\\path with space\\x"}, "unknown argument C:\\path with space\\x\n"},
  };
  for (const auto& c : cases) {
    Outcome o = clips(c.args);
    EXPECT_EQ(o.exit_code, 2) << testing::PrintToString(c.args);
    EXPECT_EQ(o.err, c.err) << testing::PrintToString(c.args);
    EXPECT_EQ(o.out, "");
  }
}

// Wine's audio stack without a sound server has no capture endpoint and no
// default one; --json changes nothing.
TEST(ClipsExe, ListsWhatWinesAudioStackHas) {
  for (const auto& args : {std::vector<std::string>{"--list-mics"}, std::vector<std::string>{"--list-mics", "--json"}}) {
    Outcome mics = clips(args);
    EXPECT_EQ(mics.exit_code, 0);
    EXPECT_EQ(mics.out, "{\"default\":null,\"mics\":[]}\n");
    expect_no_cr(mics);
  }
}

// Wine's source reader opens an H.264/AAC MP4 of ffmpeg's and decodes it,
// but cannot give RGB32 (MF_E_TOPO_CODEC_NOT_FOUND, for which Wine has no
// text): --play takes its start-up error path, one "error" line and exit
// code 1, with no "ready" and no "audio" line. A clip that is not there
// fails the same way with the system's error.
TEST(ClipsPlayer, UnderWineStartUpFailsWithOneErrorLine) {
  auto dir = std::filesystem::temp_directory_path() / ("orvelle-play-e2e-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  const std::string clip = (dir / "clip.mp4").string();
  const std::string make = "ffmpeg -v error -y -f lavfi -i testsrc2=size=320x180:rate=30 -f lavfi -i "
                           "sine=frequency=440:sample_rate=48000 -t 2 -c:v libx264 -preset ultrafast "
                           "-pix_fmt yuv420p -c:a aac -ac 2 '" + clip + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  Outcome played = clips({"--play", "Z:" + clip, "--autoplay"}, "{\"cmd\":\"stop\"}\n");
  EXPECT_EQ(played.exit_code, 1);
  EXPECT_EQ(played.out, "{\"event\":\"error\",\"message\":\"0xC00D5212\"}\n");
  expect_no_cr(played);

  Outcome missing = clips({"--play", "Z:" + (dir / "missing.mp4").string()});
  EXPECT_EQ(missing.exit_code, 1);
  static const std::regex error(R"re(\{"event":"error","message":"[^"]*\(?0x[0-9A-F]{8}\)?"\}\n)re");
  EXPECT_TRUE(std::regex_match(missing.out, error)) << missing.out;
  std::filesystem::remove_all(dir);
}

// The storyboard reads clips through the same source reader, so under Wine
// it stops where the player does: one {"error": …} line on standard output,
// exit code 1, and neither file written. A clip that is not there gives the
// system's text.
TEST(ClipsStoryboard, UnderWineTheReaderStopsItWithOneErrorLine) {
  auto dir = std::filesystem::temp_directory_path() / ("orvelle-board-e2e-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  const std::string clip = (dir / "game.mp4").string();
  const std::string make = "ffmpeg -v error -y -f lavfi -i testsrc2=size=320x180:rate=30 -t 3 "
                           "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 30 '" + clip + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  Outcome board = clips({"--storyboard", "Z:" + clip, "--json"});
  EXPECT_EQ(board.exit_code, 1);
  EXPECT_EQ(board.out, "{\"error\":\"0xC00D5212\"}\n");
  EXPECT_EQ(board.err, "");
  expect_no_cr(board);
  EXPECT_FALSE(std::filesystem::exists(dir / "game.frames"));
  EXPECT_FALSE(std::filesystem::exists(dir / "game.json"));

  Outcome missing = clips({"--storyboard", "Z:" + (dir / "missing.mp4").string()});
  EXPECT_EQ(missing.exit_code, 1);
  static const std::regex error(R"re(\{"error":"[^"]+ \(0x80070002\)"\}\n)re");
  EXPECT_TRUE(std::regex_match(missing.out, error)) << missing.out;
  std::filesystem::remove_all(dir);
}

// A game window of the window host, titled uniquely for the test.
struct GameWindow {
  std::string title;
  std::string process_id;  // as Windows numbers it
  std::unique_ptr<Background> host;
};

GameWindow game_window(const std::vector<std::string>& options = {}) {
  GameWindow game;
  game.title = "Orvelle Game " + std::to_string(std::random_device{}());
  std::vector<std::string> args = {"--game", game.title};
  args.insert(args.end(), options.begin(), options.end());
  game.host = start_windows(ORVELLE_WINDOW_HOST_EXE, args);
  auto lines = game.host->lines_until("ready", std::chrono::seconds(60));
  EXPECT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "ready");
  if (!lines.empty()) {
    std::istringstream first(lines.front());
    std::string word, handle;
    first >> word >> handle >> game.process_id;
  }
  return game;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The status error a failed recording ends with carries the system's text.
void expect_system_error(const std::string& line) {
  static const std::regex status(R"re(\{"event":"status","message":"[^"]+ \(0x[0-9A-F]{8}\)","state":"error"\})re");
  EXPECT_TRUE(std::regex_match(line, status)) << line;
}

const char* kWaiting =
    R"({"event":"waiting","reason":"the game window is minimised or too small to record"})";

// Wine has no window capture: the session runs for real up to it, finding
// the window, naming it and the GPU that shows it, and ends there.
TEST(ClipsRecording, StartsForRealUpToTheCapture) {
  GameWindow game = game_window();
  struct Case {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"by title", {"--title", game.title, "--json"}},
      {"by process id", {"--json", "--pid", game.process_id}},
      // A value option at the end takes an empty value: the title is
      // present and matches every window.
      {"an empty title", {"--pid", game.process_id, "--json", "--title"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = clips(c.args);
    EXPECT_EQ(o.exit_code, 1);
    auto lines = split_lines(o.out);
    ASSERT_EQ(lines.size(), 3u) << o.out << o.err;
    EXPECT_EQ(lines[0], R"({"event":"log","message":"window \")" + game.title + R"(\""})");
    static const std::regex gpu(R"re(\{"event":"log","message":"gpu \\".*\\" \(vendor [0-9a-f]{4}\)"\})re");
    EXPECT_TRUE(std::regex_match(lines[1], gpu)) << lines[1];
    expect_system_error(lines[2]);
    EXPECT_EQ(o.err, "");
    expect_no_cr(o);
  }
}

TEST(ClipsRecording, WithoutJsonEverythingGoesToStandardError) {
  GameWindow game = game_window();
  Outcome o = clips({"--title", game.title});
  EXPECT_EQ(o.exit_code, 1);
  EXPECT_EQ(o.out, "");
  auto lines = split_lines(o.err);
  ASSERT_EQ(lines.size(), 3u) << o.err;
  EXPECT_EQ(lines[0], "window \"" + game.title + "\"");
  EXPECT_TRUE(lines[1].starts_with("gpu \"")) << lines[1];
  expect_system_error(lines[2]);
}

TEST(ClipsRecording, WaitsForAWindowTooSmallToRecord) {
  GameWindow game = game_window({"--client", "400x60", "--grow-after", "5000"});
  Outcome o = clips({"--title", game.title, "--json"});
  EXPECT_EQ(o.exit_code, 1);
  auto lines = split_lines(o.out);
  ASSERT_EQ(lines.size(), 4u) << o.out;
  EXPECT_EQ(lines[0], kWaiting);
  EXPECT_EQ(lines[1], R"({"event":"log","message":"window \")" + game.title + R"(\""})");
  expect_system_error(lines[3]);
}

TEST(ClipsRecording, AWindowClosedWhileWaitedForEndsTheRecording) {
  GameWindow game = game_window({"--client", "400x60", "--close-after", "5000"});
  Outcome o = clips({"--title", game.title, "--json"});
  EXPECT_EQ(o.exit_code, 0);
  EXPECT_EQ(o.out, std::string(kWaiting) + "\n" +
                       R"({"event":"ended","reason":"the game window closed"})" "\n");
  EXPECT_EQ(o.err, "");
}

// Wine hands other processes a minimised window's icon rectangle as its
// restored one, too small to be a game, so under Wine the search finds the
// window once it is restored (the wait itself is shown above).
TEST(ClipsRecording, AMinimisedWindowIsRecordedOnceRestored) {
  GameWindow game = game_window({"--minimised", "--restore-after", "5000"});
  Outcome o = clips({"--title", game.title, "--json"});
  EXPECT_EQ(o.exit_code, 1);
  auto lines = split_lines(o.out);
  ASSERT_GE(lines.size(), 3u) << o.out;
  EXPECT_EQ(lines[lines.size() - 3], R"({"event":"log","message":"window \")" + game.title + R"(\""})");
  expect_system_error(lines.back());
}

}  // namespace
}  // namespace orvelle::e2e
