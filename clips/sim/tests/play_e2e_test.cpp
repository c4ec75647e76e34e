// orvelle-clips-sim --play driven as the desktop client drives the player:
// JSON lines on standard input and output, in real time, and the frames
// file followed from this process by path, keeping the client's side of
// the published word. Clips are made by ffmpeg, and ffmpeg's own decode is
// the judge of the pixels.

#include "sim/tests/event_lines.h"
#include "sim/tests/judge.h"
#include "sim/time_code.h"
#include "support/frames_reader.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

// A clip of testsrc2 pictures (and a 440 Hz tone at an eighth of full
// scale, unless silent) made by ffmpeg.
// more: further output options (another channel count, a container).
std::string make_clip(const TempFolder& dir, const std::string& name, const std::string& size, int fps,
                      double seconds, bool sound, const std::string& more = "") {
  std::string path = dir.file(name);
  std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc2=size=" + size + ":rate=" + std::to_string(fps);
  if (sound) cmd += " -f lavfi -i sine=frequency=440:sample_rate=48000";
  cmd += " -t " + std::to_string(seconds) + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g " +
         std::to_string(fps) + (sound ? " -c:a aac -ac 2" : "") + " " + more + " " + shell_quoted(path);
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return path;
}

// The frames file as the client maps it, by the path "ready" names.
class MappedFrames {
 public:
  explicit MappedFrames(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR);
    if (fd_ < 0) return;
    struct stat st{};
    fstat(fd_, &st);
    size_ = static_cast<std::size_t>(st.st_size);
    void* view = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (view != MAP_FAILED) view_ = static_cast<std::uint8_t*>(view);
  }
  ~MappedFrames() {
    if (view_) munmap(view_, size_);
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return view_ != nullptr; }
  std::span<std::uint8_t> bytes() { return {view_, size_}; }
  std::uint32_t u32(std::size_t offset) const {
    std::uint32_t v;
    std::memcpy(&v, view_ + offset, 4);
    return v;
  }

 private:
  int fd_ = -1;
  std::uint8_t* view_ = nullptr;
  std::size_t size_ = 0;
};

struct Taken {
  double wall;  // seconds since "ready"
  double time;
  std::uint32_t generation;
  std::vector<std::uint8_t> pixels;  // only when asked for
};

// One player run.
class Player {
 public:
  explicit Player(std::vector<std::string> args) {
    std::vector<std::string> argv = {ORVELLE_CLIPS_SIM};
    argv.insert(argv.end(), args.begin(), args.end());
    started = Clock::now();
    process = std::make_unique<e2e::Background>(argv);
  }
  std::optional<json> event(std::string_view name, std::chrono::milliseconds deadline = 20s) {
    return next_event(*process, lines, name, deadline);
  }
  // Reads "ready" and maps the frames file it names. The client's clock
  // starts here: a loaded machine's start-up is not playback.
  std::optional<json> ready() {
    auto r = event("ready");
    if (!r) return r;
    started = Clock::now();
    frames = std::make_unique<MappedFrames>(r->value("map", ""));
    slot_bytes = r->value("slotBytes", 0u);
    reader = FramesReader{frames->bytes()};
    return r;
  }
  // Every picture taken for a while, or until enough were, polled as a
  // client's render loop does.
  std::vector<Taken> follow(std::chrono::milliseconds span, bool keep_pixels = false,
                            std::size_t enough = SIZE_MAX) {
    std::vector<Taken> out;
    const auto until = Clock::now() + span;
    while (Clock::now() < until && out.size() < enough) {
      if (auto slot = reader.take()) {
        Taken t{seconds(), reader.time(*slot), reader.generation(*slot), {}};
        if (keep_pixels) {
          const std::uint8_t* p = reader.pixels(*slot, slot_bytes);
          t.pixels.assign(p, p + slot_bytes);
        }
        out.push_back(std::move(t));
      }
      std::this_thread::sleep_for(2ms);
    }
    return out;
  }
  // The first picture of generation, waited for.
  std::optional<Taken> picture_of(std::uint32_t generation, std::chrono::milliseconds deadline = 10s) {
    const auto until = Clock::now() + deadline;
    while (Clock::now() < until) {
      for (auto& t : follow(20ms))
        if (t.generation == generation) return t;
    }
    return std::nullopt;
  }
  double seconds() const { return std::chrono::duration<double>(Clock::now() - started).count(); }
  void send(const json& command) { process->send(command.dump()); }
  std::string transcript() const {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
  }

  Clock::time_point started;
  std::unique_ptr<e2e::Background> process;
  std::vector<std::string> lines;
  std::unique_ptr<MappedFrames> frames;
  FramesReader reader;
  std::uint32_t slot_bytes = 0;
};

TEST(SimPlayer, ReadyNamesTheClipTheFramesFileAndTheSizeAndTheHeaderIsExact) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "clip.mp4", "640x360", 30, 2, true);
  struct Case {
    const char* width;
    std::uint32_t w, h;
  } cases[] = {{"320", 320, 180}, {"320x179", 320, 179}, {"320x170", 320, 180}, {"1280", 640, 360}};
  for (const auto& c : cases) {
    Player player({"--play", clip, "--width", c.width});
    auto ready = player.ready();
    ASSERT_TRUE(ready) << player.transcript();
    EXPECT_EQ(ready->value("w", 0u), c.w) << c.width;
    EXPECT_EQ(ready->value("h", 0u), c.h) << c.width;
    EXPECT_NEAR(ready->value("duration", 0.0), 2.0, 0.05);
    EXPECT_EQ(ready->value("slots", 0u), 3u);
    EXPECT_EQ(ready->value("slotBytes", 0u), c.w * c.h * 4);
    std::string map = ready->value("map", "");
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    EXPECT_EQ(std::filesystem::path(map),
              std::filesystem::path(folder) / ("orvelle-play-" + std::to_string(player.process->pid()) + ".bin"));
    ASSERT_TRUE(player.frames->ok());
    auto bytes = player.frames->bytes();
    ASSERT_EQ(bytes.size(), 128 + 3ull * c.w * c.h * 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.data()), 4), "QVRM");
    EXPECT_EQ(player.frames->u32(4), 1u);
    EXPECT_EQ(player.frames->u32(8), 3u);
    EXPECT_EQ(player.frames->u32(12), c.w * c.h * 4);
    EXPECT_EQ(player.frames->u32(20), c.w);
    EXPECT_EQ(player.frames->u32(24), c.h);
    EXPECT_EQ(player.frames->u32(28), 0u);
    for (std::size_t i = 80; i < 128; ++i) EXPECT_EQ(bytes[i], 0) << i;
    player.send({{"cmd", "stop"}});
    EXPECT_EQ(player.process->wait(10s), 0);
  }
}

// ffmpeg's own RGBA decode of picture n at the clip's size.
std::vector<std::uint8_t> ffmpeg_picture(const TempFolder& dir, const std::string& clip, int n) {
  std::string out = dir.file("picture.rgba");
  std::string cmd = "ffmpeg -v error -y -i " + shell_quoted(clip) + " -vf 'select=eq(n\\," + std::to_string(n) +
                    ")' -frames:v 1 -f rawvideo -pix_fmt rgba " + shell_quoted(out);
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return read_whole_file(out);
}

TEST(SimPlayer, AutoplayPublishesPicturesOnTheWallClockWithTheClipsPixels) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "clip.mp4", "320x180", 30, 6, true);
  Player player({"--play", clip, "--autoplay", "--width", "320"});
  ASSERT_TRUE(player.ready()) << player.transcript();
  auto taken = player.follow(3800ms, true);
  ASSERT_GT(taken.size(), 60u) << player.transcript();
  // From half a second in (after the sound's start-up lead) over 3 s.
  const Taken* first = nullptr;
  const Taken* last = nullptr;
  for (const auto& t : taken) {
    if (!first && t.time >= 0.5) first = &t;
    if (first && t.wall - first->wall <= 3.0) last = &t;
  }
  ASSERT_TRUE(first && last);
  double played = last->time - first->time, waited = last->wall - first->wall;
  EXPECT_GT(waited, 2.9);
  EXPECT_NEAR(played, waited, 2.0 / 30) << "pictures " << first->time << " to " << last->time;
  for (std::size_t i = 1; i < taken.size(); ++i) EXPECT_GT(taken[i].time, taken[i - 1].time);

  // A picture's pixels against ffmpeg's decode of the same time.
  const Taken& judged = *last;
  int n = static_cast<int>(std::lround(judged.time * 30));
  auto expected = ffmpeg_picture(dir, clip, n);
  ASSERT_EQ(expected.size(), judged.pixels.size());
  double total = 0;
  int worst = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    int d = std::abs(int(expected[i]) - int(judged.pixels[i]));
    total += d;
    worst = std::max(worst, d);
    if (i % 4 == 3) {
      ASSERT_EQ(judged.pixels[i], 255);
    }
  }
  EXPECT_LT(total / static_cast<double>(expected.size()), 3.0) << "picture " << n;
  EXPECT_LT(worst, 64) << "picture " << n;
  player.process->close_input();
  EXPECT_EQ(player.process->wait(10s), 0);
}

TEST(SimPlayer, SeekPauseAndTheEndFollowTheCommands) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "clip.mp4", "320x180", 30, 4, true);
  Player player({"--play", clip, "--width", "320"});
  ASSERT_TRUE(player.ready()) << player.transcript();
  auto start = player.picture_of(1);
  ASSERT_TRUE(start);
  EXPECT_EQ(start->time, 0.0);

  player.send({{"cmd", "seek"}, {"t", 2.0}});
  auto sought = player.picture_of(2);
  ASSERT_TRUE(sought) << player.transcript();
  EXPECT_NEAR(sought->time, 2.0, 1.0 / 30 + 1e-6);

  // Playing moves on; a pause stops the pictures.
  player.send({{"cmd", "play"}});
  ASSERT_TRUE(player.event("state"));
  auto playing = player.follow(800ms);
  ASSERT_FALSE(playing.empty());
  EXPECT_GT(playing.back().time, 2.3);
  player.send({{"cmd", "pause"}});
  auto paused = player.event("state");
  ASSERT_TRUE(paused);
  EXPECT_EQ(*paused, (json{{"event", "state"}, {"playing", false}}));
  player.follow(150ms);  // one may have been on its way
  EXPECT_TRUE(player.follow(700ms).empty());

  // Past the end: the last picture, then "ended" of that generation.
  player.send({{"cmd", "seek"}, {"t", 100}});
  auto last = player.picture_of(3);
  ASSERT_TRUE(last) << player.transcript();
  EXPECT_NEAR(last->time, 4.0 - 1.0 / 30, 1e-3);
  player.send({{"cmd", "play"}});
  auto ended = player.event("ended");
  ASSERT_TRUE(ended) << player.transcript();
  EXPECT_EQ(*ended, (json{{"event", "ended"}, {"gen", 3}}));
  player.send({{"cmd", "stop"}});
  EXPECT_EQ(player.process->wait(10s), 0);
}

// Peak of the samples between two times of a stereo 48 kHz log.
float peak(const std::vector<float>& samples, double from, double to) {
  float top = 0;
  auto a = static_cast<std::size_t>(from * 96'000), b = std::min(samples.size(), static_cast<std::size_t>(to * 96'000));
  for (std::size_t i = a; i < b; ++i) top = std::max(top, std::abs(samples[i]));
  return top;
}

TEST(SimPlayer, VolumeScalesTheSoundThatReachesTheDevice) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "clip.mp4", "160x90", 30, 5, true);
  std::string log = dir.file("sound.f32");
  Player player({"--sound-log", log, "--play", clip, "--autoplay", "--width", "160"});
  ASSERT_TRUE(player.ready()) << player.transcript();
  auto on = player.event("audio");
  ASSERT_TRUE(on);
  EXPECT_EQ(*on, (json{{"event", "audio"}, {"state", "on"}}));
  std::this_thread::sleep_for(1500ms);
  player.send({{"cmd", "volume"}, {"v", 0.25}});
  std::this_thread::sleep_for(1500ms);
  player.send({{"cmd", "stop"}});
  EXPECT_EQ(player.process->wait(10s), 0);
  auto bytes = read_whole_file(log);
  std::vector<float> samples(bytes.size() / 4);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
  ASSERT_GT(samples.size(), 96'000u * 2) << "seconds played: " << samples.size() / 96'000.0;
  double played = static_cast<double>(samples.size()) / 96'000;
  float loud = peak(samples, 0.3, 1.2), quiet = peak(samples, played - 1.0, played - 0.1);
  EXPECT_GT(loud, 0.05);  // the tone, at an eighth of full scale less the mono-to-stereo mix
  EXPECT_NEAR(quiet / loud, 0.25, 0.03);
}

TEST(SimPlayer, AClipWithoutSoundPlaysOnTheCounterAndEndsCleanly) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "silent.mp4", "160x90", 30, 1.5, false);
  for (bool by_stop : {true, false}) {
    Player player({"--play", clip, "--autoplay", "--width", "160"});
    auto ready = player.ready();
    ASSERT_TRUE(ready) << player.transcript();
    auto audio = player.event("audio");
    ASSERT_TRUE(audio);
    EXPECT_EQ(*audio, (json{{"event", "audio"}, {"state", "none"}}));
    auto ended = player.event("ended", 10s);
    ASSERT_TRUE(ended) << player.transcript();
    EXPECT_EQ(*ended, (json{{"event", "ended"}, {"gen", 1}}));
    // The clip's 1.5 s on the counter from "ready", and what a loaded
    // machine adds before the last picture.
    EXPECT_GE(player.seconds(), 1.4);
    EXPECT_LE(player.seconds(), 2.5);
    if (by_stop)
      player.send({{"cmd", "stop"}});
    else
      player.process->close_input();
    EXPECT_EQ(player.process->wait(10s), 0);
    player.frames.reset();
    EXPECT_FALSE(std::filesystem::exists(ready->value("map", ""))) << "by stop: " << by_stop;
  }
}

// A 5.1 AAC clip: the device takes its six channels with their speakers,
// and its sound reaches the speaker.
TEST(SimPlayer, AFivePointOneClipPlaysWithSound) {
  TempFolder dir("orvelle-play-");
  std::string clip = make_clip(dir, "surround.mp4", "160x90", 30, 3, true, "-ac 6");
  std::string log = dir.file("sound.f32");
  Player player({"--sound-log", log, "--play", clip, "--autoplay", "--width", "160"});
  ASSERT_TRUE(player.ready()) << player.transcript();
  auto audio = player.event("audio");
  ASSERT_TRUE(audio) << player.transcript();
  EXPECT_EQ(*audio, (json{{"event", "audio"}, {"state", "on"}})) << player.transcript();
  // Half a second of the clip on screen, then stop.
  bool shown = false;
  for (int i = 0; i < 100 && !shown; ++i)
    for (const auto& t : player.follow(100ms)) shown = shown || t.time >= 0.5;
  ASSERT_TRUE(shown) << player.transcript();
  player.send({{"cmd", "stop"}});
  EXPECT_EQ(player.process->wait(10s), 0);
  auto bytes = read_whole_file(log);
  std::vector<float> samples(bytes.size() / 4);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
  EXPECT_EQ(samples.size() % 6, 0u);
  float top = 0;
  for (float v : samples) top = std::max(top, std::abs(v));
  EXPECT_GT(top, 0.02f);
}

// A clip that does not say how long it is (a live Matroska file): "ready"
// says 0, a seek far past the end is not clamped, and it ends cleanly, with
// sound and without.
TEST(SimPlayer, ASeekFarPastTheEndOfAClipOfUnknownLengthEndsCleanly) {
  TempFolder dir("orvelle-play-");
  for (bool sound : {true, false}) {
    std::string clip = make_clip(dir, sound ? "live.mkv" : "silent-live.mkv", "160x90", 30, 2, sound,
                                 "-live 1 -f matroska");
    for (double far : {1e5, 1e300}) {
      Player player({"--play", clip, "--width", "160"});
      auto ready = player.ready();
      ASSERT_TRUE(ready) << player.transcript();
      EXPECT_EQ(ready->value("duration", -1.0), 0.0);
      player.send({{"cmd", "seek"}, {"t", far}});
      auto last = player.picture_of(2);
      ASSERT_TRUE(last) << player.transcript();
      // The last picture (Matroska's millisecond times move it a little
      // after the sound's priming).
      EXPECT_NEAR(last->time, 2.0 - 1.0 / 30, 0.03);
      player.send({{"cmd", "play"}});
      auto ended = player.event("ended", 10s);
      ASSERT_TRUE(ended) << "sound " << sound << ", seek to " << far << "\n" << player.transcript();
      EXPECT_EQ(*ended, (json{{"event", "ended"}, {"gen", 2}}));
      player.send({{"cmd", "stop"}});
      EXPECT_EQ(player.process->wait(10s), 0);
      EXPECT_EQ(player.transcript().find("\"error\""), std::string::npos) << player.transcript();
    }
  }
}

TEST(SimPlayer, AClipThatCannotBeOpenedIsOneErrorLine) {
  TempFolder dir("orvelle-play-");
  auto outcome = e2e::run_process({ORVELLE_CLIPS_SIM, "--play", dir.file("missing.mp4")}, "");
  EXPECT_EQ(outcome.exit_code, 1);
  json line = json::parse(outcome.out, nullptr, false);
  ASSERT_FALSE(line.is_discarded()) << outcome.out;
  EXPECT_EQ(line.value("event", ""), "error");
  EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1);
}

// A clip the recorder's simulation saved plays back with every picture's
// time code going forward.
TEST(SimPlayer, ARecordedClipPlaysBackInOrder) {
  TempFolder dir("orvelle-play-");
  std::ofstream(dir.file("scenario.json"))
      << R"({"window": {"title": "Game", "width": 320, "height": 180, "refresh": 60}, "fps": 30})";
  e2e::Background recorder({ORVELLE_CLIPS_SIM, "--scenario", dir.file("scenario.json"), "--title", "Game",
                            "--json", "--fps", "30"});
  std::vector<std::string> lines;
  ASSERT_TRUE(next_event(recorder, lines, "status", 20s));
  std::this_thread::sleep_for(3s);
  recorder.send(json{{"cmd", "save"}, {"id", "a"}, {"path", dir.file("rec.mp4")}}.dump());
  bool saved = false;
  for (int i = 0; i < 200 && !saved; ++i) {
    auto line = recorder.next_line(100ms);
    if (line && line->find("\"event\":\"save\"") != std::string::npos) saved = true;
  }
  ASSERT_TRUE(saved);
  recorder.send(R"({"cmd":"stop"})");
  recorder.wait(20s);

  Player player({"--play", dir.file("rec.mp4"), "--autoplay", "--width", "320"});
  auto ready = player.ready();
  ASSERT_TRUE(ready) << player.transcript();
  ASSERT_EQ(ready->value("w", 0u), 320u);
  ASSERT_EQ(ready->value("h", 0u), 180u);
  // Pictures a starved machine shows late are dropped, so wait for enough
  // of them rather than for a time.
  auto taken = player.follow(20s, true, 21);
  ASSERT_GT(taken.size(), 20u) << player.transcript();
  std::vector<std::uint8_t> luma(320 * 180);
  std::optional<std::uint64_t> previous;
  int read = 0;
  for (const auto& t : taken) {
    for (std::size_t i = 0; i < luma.size(); ++i) luma[i] = t.pixels[i * 4 + 1];
    auto code = read_time_code(luma.data(), 320, Size{320, 180});
    ASSERT_TRUE(code) << "picture at " << t.time;
    ++read;
    if (previous) {
      EXPECT_GT(*code, *previous) << "picture at " << t.time;
    }
    previous = code;
  }
  EXPECT_EQ(read, static_cast<int>(taken.size()));
  player.send({{"cmd", "stop"}});
  EXPECT_EQ(player.process->wait(10s), 0);
}

}  // namespace
}  // namespace orvelle::clips::sim
