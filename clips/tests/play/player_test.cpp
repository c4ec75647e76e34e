#include "play/player.h"

#include "play/video_thread.h"

#include "play/fake_frames.h"
#include "play/fake_sound.h"
#include "play/fake_video.h"
#include "support/captured_lines.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <thread>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;

// The platform of a test: scripted readers, a memory frames file, a device
// that keeps what it is given, and standard input from a pipe.
class FakePlatform final : public PlayerPlatform {
 public:
  explicit FakePlatform(std::string input) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    // The commands are all written before the player reads them.
    ssize_t written = write(fds[1], input.data(), input.size());
    if (written != static_cast<ssize_t>(input.size())) std::abort();
    close(fds[1]);
    input_ = fdopen(fds[0], "r");
  }
  ~FakePlatform() override { std::fclose(input_); }

  Status start_media() override { return media; }
  PlayTime& time() override { return time_; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    if (path == "missing.mp4") return error(fail("The system cannot find the file specified.", 0x80070002u));
    return std::unique_ptr<VideoReader>(std::make_unique<FakeVideoReader>(video));
  }
  Result<std::optional<std::unique_ptr<SoundReader>>> open_sound(const std::string&) override {
    if (!sound) return std::optional<std::unique_ptr<SoundReader>>();
    return std::optional<std::unique_ptr<SoundReader>>(std::make_unique<FakeSoundReader>(*sound));
  }
  Result<std::unique_ptr<SoundDevice>> open_device(const SoundFormat&) override {
    auto device = std::make_unique<RecordingDevice>();
    device->lost = device_lost;
    return std::unique_ptr<SoundDevice>(std::move(device));
  }
  std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file(std::uint64_t bytes) override {
    if (frames_fail) return std::unexpected(std::string("the frames file: disk full"));
    return std::make_unique<MemoryFramesFile>(bytes);
  }
  std::FILE* input() override { return piped ? piped : input_; }
  std::FILE* piped = nullptr;  // commands written while the player runs

  Status media;
  ScriptedVideo video;
  std::optional<ScriptedSound> sound = ScriptedSound{};
  bool frames_fail = false;
  bool device_lost = false;

 private:
  SteadyPlayTime time_;
  std::FILE* input_;
};

PlayerOptions clip(std::string path = "clip.mp4") {
  PlayerOptions o;
  o.path = std::move(path);
  return o;
}

TEST(PlayerLines, BlankBadAndForeignLines) {
  EXPECT_FALSE(player_command_from_line(" \t\r\n"));
  EXPECT_FALSE(player_command_from_line("\xE3\x80\x80\n"));  // ideographic space
  auto spaced = player_command_from_line("\t {\"cmd\":\"play\"}  \r\n");
  ASSERT_TRUE(spaced && *spaced);
  EXPECT_EQ(**spaced, PlayerCommand(PlayCommand{}));
  auto stop = player_command_from_line(R"({"cmd":"stop","extra":1})");
  ASSERT_TRUE(stop && *stop);
  EXPECT_EQ(**stop, PlayerCommand(PlayerStopCommand{}));
  auto integer = player_command_from_line(R"({"cmd":"volume","v":1})");
  ASSERT_TRUE(integer && *integer);
  EXPECT_EQ(**integer, PlayerCommand(VolumeCommand{1.0f}));

  struct Bad {
    const char* line;
    const char* text;
  } cases[] = {
      {" {\"cmd\":\"seek\"} \n", "unknown command {\"cmd\":\"seek\"}: missing field `t` at line 1 column 14"},
      {R"({"cmd":"volume","v":"1"})",
       "unknown command {\"cmd\":\"volume\",\"v\":\"1\"}: invalid type: string \"1\", expected f32 at line 1 column 24"},
      // Not UTF-8: one bad line, shown as readable text, and the input goes on.
      {"{\"cmd\":\"pl\xFFy\"}\n", "unknown command {\"cmd\":\"pl\xEF\xBF\xBDy\"}: stream did not contain valid UTF-8"},
  };
  for (const auto& c : cases) {
    auto got = player_command_from_line(c.line);
    ASSERT_TRUE(got && !*got) << c.line;
    EXPECT_EQ(got->error(), c.text);
  }
}

TEST(Player, ObeysTheCommandsAndEndsWithTheInput) {
  Deadline deadline(20s, "player commands");
  CapturedLines lines;
  FakePlatform platform("\n  \n{\"cmd\":\"pause\"}\n{\"cmd\":\"pause\"}\n\xFF\xFE\n{\"cmd\":\"seek\"}\n"
                        "{\"cmd\":\"volume\",\"v\":0.5}\n{\"cmd\":\"play\"}\n");
  EXPECT_EQ(run_player(clip(), platform), 0);
  auto out = lines.out();
  EXPECT_EQ(out.rfind("{\"duration\":1.0,\"event\":\"ready\",\"h\":4,\"map\":\"memory\",\"slotBytes\":128,"
                      "\"slots\":3,\"w\":8}\n", 0), 0u) << out;
  // The states in order; the bad lines in between changed nothing and did
  // not end the input.
  auto first = out.find("{\"event\":\"state\",\"playing\":false}\n");
  ASSERT_NE(first, std::string::npos);
  auto second = out.find("{\"event\":\"state\",\"playing\":false}\n", first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(out.find("{\"event\":\"state\",\"playing\":true}\n", second), std::string::npos);
  EXPECT_NE(out.find("{\"event\":\"audio\",\"state\":\"on\"}\n"), std::string::npos);
  EXPECT_EQ(lines.err(),
            "unknown command \xEF\xBF\xBD\xEF\xBF\xBD: stream did not contain valid UTF-8\n"
            "unknown command {\"cmd\":\"seek\"}: missing field `t` at line 1 column 14\n");
}

TEST(Player, AClipWithoutSoundSaysNoneAndStopEndsAtOnce) {
  Deadline deadline(20s, "player stop");
  CapturedLines lines;
  FakePlatform platform("{\"cmd\":\"stop\"}\n{\"cmd\":\"play\"}\n");
  platform.sound.reset();
  EXPECT_EQ(run_player(clip(), platform), 0);
  EXPECT_NE(lines.out().find("{\"event\":\"audio\",\"state\":\"none\"}\n"), std::string::npos);
  EXPECT_EQ(lines.out().find("\"event\":\"state\""), std::string::npos);  // the play after stop was not read
}

TEST(Player, StartUpFailuresAreOneErrorLineAndExitCode1) {
  Deadline deadline(20s, "player failures");
  struct Case {
    const char* what;
    std::function<void(FakePlatform&)> set;
    std::string path;
    const char* line;
  } cases[] = {
      {"the media platform", [](FakePlatform& p) { p.media = error(fail("no media", 0xC00D36B0u)); }, "clip.mp4",
       "{\"event\":\"error\",\"message\":\"no media (0xC00D36B0)\"}\n"},
      {"a clip that cannot be opened", [](FakePlatform&) {}, "missing.mp4",
       "{\"event\":\"error\",\"message\":\"The system cannot find the file specified. (0x80070002)\"}\n"},
      {"the frames file", [](FakePlatform& p) { p.frames_fail = true; }, "clip.mp4",
       "{\"event\":\"error\",\"message\":\"the frames file: disk full\"}\n"},
  };
  for (const auto& c : cases) {
    CapturedLines lines;
    FakePlatform platform("");
    c.set(platform);
    EXPECT_EQ(run_player(clip(c.path), platform), 1) << c.what;
    EXPECT_EQ(lines.out(), c.line) << c.what;  // no "audio" line
  }
}

// Plays with autoplay until the player has printed `after`, then pauses and
// ends the input, as a client would; returns what it printed.
std::string pause_after(FakePlatform& platform, const std::string& after) {
  CapturedLines lines;
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  std::FILE* commands = fdopen(fds[0], "r");
  platform.piped = commands;
  PlayerOptions options = clip();
  options.autoplay = true;
  std::thread client([&] {
    for (int i = 0; i < 5000 && lines.out().find(after) == std::string::npos; ++i)
      std::this_thread::sleep_for(1ms);
    std::string pause = "{\"cmd\":\"pause\"}\n";
    EXPECT_EQ(write(fds[1], pause.data(), pause.size()), static_cast<ssize_t>(pause.size()));
    close(fds[1]);
  });
  EXPECT_EQ(run_player(options, platform), 0);
  client.join();
  std::fclose(commands);
  return lines.out();
}

TEST(Player, AFailureAfterReadyIsReportedAndCommandsGoOn) {
  Deadline deadline(20s, "player late failure");
  FakePlatform platform("");
  platform.video.fail_at = 3;
  auto out = pause_after(platform, "decoding failed");
  auto failed = out.find("{\"event\":\"error\",\"message\":\"decoding failed (0x8000FFFF)\"}\n");
  ASSERT_NE(failed, std::string::npos) << out;
  EXPECT_NE(out.find("{\"event\":\"state\",\"playing\":false}\n", failed), std::string::npos);
}

// Whatever the "video" thread meets right after start-up, its line comes
// after "ready": a client takes an "error" before "ready" for a failed start.
// Each case runs many times, since without the order kept the two threads
// race.
TEST(Player, NothingComesBeforeReady) {
  Deadline deadline(60s, "nothing before ready");
  struct Case {
    const char* what;
    std::function<void(ScriptedVideo&)> set;
    const char* line;
  } cases[] = {
      {"the first read fails", [](ScriptedVideo& v) { v.fail_at = 0; },
       "{\"event\":\"error\",\"message\":\"decoding failed (0x8000FFFF)\"}\n"},
      {"an empty video stream", [](ScriptedVideo& v) { v.pictures = 0; }, "{\"event\":\"ended\",\"gen\":1}\n"},
  };
  for (const auto& c : cases) {
    for (int run = 0; run < 40; ++run) {
      FakePlatform platform("");
      platform.sound.reset();
      c.set(platform.video);
      auto out = pause_after(platform, c.line);
      ASSERT_NE(out.find(c.line), std::string::npos) << c.what << "\n" << out;
      ASSERT_EQ(out.find("\"event\":"), out.find("\"event\":\"ready\"")) << c.what << "\n" << out;
    }
  }
}

// A lost device ends the sound with one "error" line; pictures, commands
// and the end go on.
TEST(Player, ALostDeviceEndsTheSoundAloneWithOneLine) {
  Deadline deadline(20s, "player lost device");
  FakePlatform platform("");
  platform.device_lost = true;
  auto out = pause_after(platform, "\"ended\"");
  const std::string lost = "{\"event\":\"audio\",\"state\":\"error: 0x88890004\"}\n";
  auto at = out.find(lost);
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_EQ(out.find(lost, at + 1), std::string::npos);
  EXPECT_NE(out.find("{\"event\":\"ended\",\"gen\":1}\n"), std::string::npos) << out;
  EXPECT_NE(out.find("{\"event\":\"state\",\"playing\":false}\n"), std::string::npos) << out;
}

// A clip whose duration cannot be read: "ready" says 0, and the duration
// stays unknown, so a seek is not clamped to 0.
TEST(VideoThread, AnUnreadableDurationIsReportedAs0AndClampsNothing) {
  Deadline deadline(20s, "unknown duration");
  CapturedLines lines;
  FakePlatform platform("");
  platform.video.duration.reset();
  PlayerOptions options = clip();
  options.start = 0.5;
  PlayerState state(platform.time(), options);
  auto [startup, results] = make_channel<StartupResult>();
  auto [ready_out, printed] = make_channel<bool>();
  std::thread video([&, startup = std::move(startup), printed = std::move(printed)]() mutable {
    run_playback_video(std::move(startup), std::move(printed), platform, "clip.mp4", state, {8, 0});
  });
  std::optional<StartupResult> ready;
  ASSERT_EQ(results.receive(ready), RecvStatus::value);
  (void)ready_out.send(true);
  ASSERT_TRUE(std::holds_alternative<Json>(*ready));
  EXPECT_EQ(std::get<Json>(*ready).at("duration"), 0.0);
  apply_player_command(state, SeekCommand{0.75});
  {
    std::lock_guard lock(state.playback);
    EXPECT_EQ(state.position, 0.75);
  }
  apply_player_command(state, PlayerStopCommand{});
  video.join();
}

}  // namespace
}  // namespace orvelle::clips
