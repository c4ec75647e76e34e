// The simulation's playback device refuses what the platform's shared-mode
// client refuses, and the "audio" thread never asks it for that.

#include "sim/sim_sound_device.h"

#include "play/audio_thread.h"
#include "play/fake_sound.h"
#include "play/player_state.h"
#include "support/captured_lines.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <mutex>
#include <thread>

namespace orvelle::clips::sim {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kNotStopped = 0x88890005u;  // AUDCLNT_E_NOT_STOPPED

TEST(SimSoundDevice, RefusesWhatTheSharedModeClientRefuses) {
  SteadyPlayTime time;
  auto device = SimSoundDevice::open(time, SoundFormat{2, 48'000, true}, "");
  ASSERT_TRUE(device) << device.error().text();
  SoundDevice& d = **device;
  ASSERT_TRUE(d.reset());
  ASSERT_TRUE(d.start());
  auto again = d.start();
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().code, kNotStopped);
  auto reset = d.reset();
  ASSERT_FALSE(reset);
  EXPECT_EQ(reset.error().code, kNotStopped);
  ASSERT_TRUE(d.stop());
  EXPECT_TRUE(d.stop());  // stopping a stopped stream is no fault
  EXPECT_TRUE(d.reset());
  EXPECT_TRUE(d.start());

  // More than two channels need their speakers.
  SoundFormat surround{6, 48'000, true};
  auto bare = SimSoundDevice::open(time, surround, "");
  ASSERT_FALSE(bare);
  EXPECT_EQ(bare.error().code, hresult::kUnsupportedFormat);
  surround.channel_mask = 0x3F;
  EXPECT_TRUE(SimSoundDevice::open(time, surround, ""));
}

// The stand-in device with every call it answers written down in order.
struct DeviceCalls {
  std::mutex mutex;
  std::vector<std::string> calls;
  void add(std::string call) {
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
  }
  std::vector<std::string> get() {
    std::lock_guard lock(mutex);
    return calls;
  }
};

class CallingDevice final : public SoundDevice {
 public:
  CallingDevice(std::unique_ptr<SoundDevice> device, DeviceCalls& calls) : d_(std::move(device)), calls_(calls) {}
  std::uint32_t buffer_frames() const override { return d_->buffer_frames(); }
  std::uint64_t frequency() const override { return d_->frequency(); }
  Result<std::uint32_t> padding() override { return d_->padding(); }
  Result<std::span<float>> get_buffer(std::uint32_t frames) override { return d_->get_buffer(frames); }
  Status release_buffer(std::uint32_t frames) override { return d_->release_buffer(frames); }
  Status start() override { return noted("start", d_->start()); }
  Status stop() override { return noted("stop", d_->stop()); }
  Status reset() override { return noted("reset", d_->reset()); }
  Result<DevicePosition> position() override { return d_->position(); }

 private:
  Status noted(const char* call, Status s) {
    calls_.add(s ? call : fmt::format("{} refused: {}", call, s.error().text()));
    return s;
  }
  std::unique_ptr<SoundDevice> d_;
  DeviceCalls& calls_;
};

class SoundOnlyPlatform final : public PlayerPlatform {
 public:
  explicit SoundOnlyPlatform(DeviceCalls& calls) : calls_(calls) {}
  Status start_media() override { return {}; }
  PlayTime& time() override { return time_; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string&) override { return error(fail("no video")); }
  Result<std::optional<std::unique_ptr<SoundReader>>> open_sound(const std::string&) override {
    ScriptedSound sound;
    sound.samples = 500;  // ten seconds
    return std::optional<std::unique_ptr<SoundReader>>(std::make_unique<FakeSoundReader>(sound));
  }
  Result<std::unique_ptr<SoundDevice>> open_device(const SoundFormat& format) override {
    auto device = SimSoundDevice::open(time_, format, "");
    if (!device) return error(device.error());
    return std::unique_ptr<SoundDevice>(std::make_unique<CallingDevice>(std::move(*device), calls_));
  }
  std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file(std::uint64_t) override {
    return std::unexpected(std::string("none"));
  }
  std::FILE* input() override { return nullptr; }

 private:
  SteadyPlayTime time_;
  DeviceCalls& calls_;
};

// Play, pause, a seek while paused, play and stop, each step once the
// device has answered the one before: the device is stopped before every
// reset and started only while stopped.
TEST(SimSoundDevice, ThePlayersCallsAcrossPlayPauseSeekPlayStop) {
  Deadline deadline(60s, "device calls");
  CapturedLines lines;
  DeviceCalls calls;
  SoundOnlyPlatform platform(calls);
  PlayerState state(platform.time(), PlayerOptions{});
  std::thread audio([&] { run_playback_audio(platform, "clip.mp4", state); });
  auto reach = [&](std::vector<std::string> expected) {
    for (int i = 0; i < 20'000 && calls.get().size() < expected.size(); ++i) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(calls.get(), expected) << lines.out();
  };
  reach({"reset"});
  complete_seek(state, 1);  // the "video" thread's part
  apply_player_command(state, PlayCommand{});
  reach({"reset", "start"});
  apply_player_command(state, PauseCommand{});
  reach({"reset", "start", "stop"});
  apply_player_command(state, SeekCommand{2.0});
  reach({"reset", "start", "stop", "reset"});
  complete_seek(state, 2);
  apply_player_command(state, PlayCommand{});
  reach({"reset", "start", "stop", "reset", "start"});
  apply_player_command(state, PlayerStopCommand{});
  audio.join();
  EXPECT_EQ(calls.get(), (std::vector<std::string>{"reset", "start", "stop", "reset", "start", "stop"}));
  EXPECT_EQ(lines.out(), "{\"event\":\"audio\",\"state\":\"on\"}\n");
}

}  // namespace
}  // namespace orvelle::clips::sim
