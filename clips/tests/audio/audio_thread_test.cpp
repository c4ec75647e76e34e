// The "audio" thread on a fake platform: its one reply, the blocks it cuts
// from the loopback's packets, the game track taken before the microphone is
// mixed in, its two ways of ending, and the microphone list.
#include "audio/audio_thread.h"
#include "audio/fake_sound.h"
#include "audio/mic_list.h"
#include "support/captured_lines.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;
using fake::AacScript;
using fake::Bytes;
using fake::DeviceScript;
using fake::endpoint;
using fake::EndpointScript;
using fake::ScriptedPacket;
using fake::wave_format;

// A packet of `frames` stereo float frames, every sample `value`.
ScriptedPacket stereo(std::uint32_t frames, float value, Ticks position, bool silent = false) {
  std::vector<float> samples(2 * frames, value);
  Bytes b(samples.size() * 4);
  std::memcpy(b.data(), samples.data(), b.size());
  return {std::move(b), frames, silent, position};
}

struct Rig {
  Rig() {
    devices.render = endpoint("speakers", wave_format(3, 2, 48000, 32));
  }
  Result<AudioTracks> run(bool game_sound, bool with_mic) {
    Deadline deadline(10s, "audio thread");
    auto [sender, receiver] = make_channel<AudioStartReply>();
    AudioSettings a{stop, ring, std::nullopt, game_sound, std::make_shared<OutputSettings>()};
    if (with_mic) a.mic = MicSettings{std::nullopt, volume, status};
    fake::FakePlatform platform(devices, encoders, stop);
    run_audio_thread(std::move(sender), std::move(a), platform);
    std::optional<AudioStartReply> reply;
    if (receiver.receive(reply) != RecvStatus::value) return error(fail("no reply"));
    return *reply;
  }
  std::shared_ptr<fake::StreamLog> loopback() { return devices.render->stream; }

  DeviceScript devices;
  AacScript mix, game;
  std::vector<AacScript*> encoders{&mix, &game};
  std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<Ring> ring = fake::sound_ring();
  SharedMicVolume volume = std::make_shared<std::atomic<std::uint32_t>>(100);
  SharedMicStatus status = std::make_shared<MicStatus>();
};

TEST(AudioThread, BlocksAreAtLeast2048ValuesAtTheirFirstPacketsTime) {
  Rig rig;
  // 480-frame packets: three make a block of 1,440 frames; the last two
  // packets are a partial block, never encoded.
  for (int i = 0; i < 8; ++i) rig.loopback()->packets.push_back(stereo(480, 0.5f, Ticks{100 + 10'000 * i}));
  auto reply = rig.run(true, false);
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->mix);
  EXPECT_FALSE(reply->game);
  ASSERT_EQ(rig.mix.inputs.size(), 2u);
  EXPECT_EQ(rig.mix.inputs[0], (std::pair{Ticks{100}, Ticks{300'000}}));
  EXPECT_EQ(rig.mix.inputs[1], (std::pair{Ticks{30'100}, Ticks{300'000}}));
  EXPECT_EQ(rig.mix.blocks[0], std::vector<std::int16_t>(2880, 16383));
  EXPECT_EQ(rig.loopback()->released, 8u * 480);
  EXPECT_TRUE(rig.loopback()->stopped);  // the stop path stops both streams
  EXPECT_TRUE(rig.devices.silence->stopped);
  EXPECT_EQ(fake::ring_sound(*rig.ring).size(), 2u);
}

TEST(AudioThread, TheGameTrackIsTakenBeforeTheMicrophoneAndMicAloneHasNoGameSound) {
  for (bool game_sound : {true, false}) {
    Rig rig;
    rig.devices.mics = {endpoint("m", wave_format(3, 1, 48000, 32))};
    rig.devices.default_mic = "m";
    std::vector<float> tone(2048, 0.25f);
    Bytes mic(tone.size() * 4);
    std::memcpy(mic.data(), tone.data(), mic.size());
    rig.devices.mics[0].stream->packets = {{mic, 2048}};
    // The microphone is pumped before the loopback is drained.
    rig.loopback()->packets = {stereo(1024, 0.5f, Ticks{7})};
    auto reply = rig.run(game_sound, true);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->game != nullptr, game_sound);
    ASSERT_EQ(rig.mix.blocks.size(), 1u);
    const std::int16_t game = game_sound ? 16383 : 0;
    EXPECT_EQ(rig.mix.blocks[0], std::vector<std::int16_t>(2048, std::int16_t(game + 8191)));
    if (game_sound) {
      ASSERT_EQ(rig.game.blocks.size(), 1u);
      EXPECT_EQ(rig.game.blocks[0], std::vector<std::int16_t>(2048, 16383));
      EXPECT_EQ(rig.game.inputs[0].first, Ticks{7});
    }
    EXPECT_EQ(rig.status->text(), "on");
    EXPECT_TRUE(rig.devices.mics[0].stream->stopped);  // the mixer closes it
  }
}

TEST(AudioThread, SilentPacketsAddZeros) {
  Rig rig;
  rig.loopback()->packets = {stereo(1024, 0.5f, Ticks{7}, true)};
  ASSERT_TRUE(rig.run(true, false));
  ASSERT_EQ(rig.mix.blocks.size(), 1u);
  EXPECT_EQ(rig.mix.blocks[0], std::vector<std::int16_t>(2048, 0));
}

TEST(AudioThread, StartUpFailuresAreTheReply) {
  set_message_lookup([](std::uint32_t) { return std::string(); });
  const struct {
    Bytes format;
    bool render = true;
    std::string text;
  } cases[] = {
      {wave_format(3, 2, 96000, 32), true, "AAC wants 44.1 or 48 kHz (0x88890008)"},
      {wave_format(0xFFFE, 2, 48000, 24, 1), true, "mix format (0x88890008)"},
      {{}, false, "no playback device (0x80070490)"},
  };
  for (const auto& c : cases) {
    Rig rig;
    if (c.render) rig.devices.render->mix_format = c.format;
    else rig.devices.render.reset();
    auto reply = rig.run(true, true);
    ASSERT_FALSE(reply);
    EXPECT_EQ(reply.error().text(), c.text);
  }
  // The game track's encoder is looked for only beside a microphone.
  Rig one;
  one.encoders = {&one.mix};
  EXPECT_TRUE(one.run(true, false));
  Rig scarce;
  scarce.encoders = {&scarce.mix};
  auto reply = scarce.run(true, true);
  ASSERT_FALSE(reply);
  EXPECT_EQ(reply.error().text(), "no AAC encoder (0xC00D36D5)");
  set_message_lookup({});
}

TEST(AudioThread, AFailureAfterTheReplyStopsTheSoundWithOneLogLine) {
  CapturedLines lines;
  Rig rig;
  rig.loopback()->packets = {stereo(1024, 0.5f, Ticks{7})};
  rig.loopback()->fail_next_size = fail("device gone", 0x88890004u);
  ASSERT_TRUE(rig.run(true, false));
  EXPECT_EQ(lines.err(), "sound stopped: device gone (0x88890004)\n");
  EXPECT_FALSE(rig.loopback()->stopped);  // the failure path does not stop the clients
  EXPECT_EQ(rig.mix.blocks.size(), 1u);
}

TEST(AudioThread, StartAudioWaitsForTheReplyOfItsThread) {
  static Rig rig;  // the detached thread may outlive the test
  rig.stop->store(true);  // ends straight after its reply
  AudioSettings a{rig.stop, rig.ring, std::nullopt, true, std::make_shared<OutputSettings>()};
  auto started = start_audio(std::move(a), std::make_unique<fake::FakePlatform>(rig.devices,
                                                                                std::vector<AacScript*>{&rig.mix},
                                                                                rig.stop));
  ASSERT_TRUE(started);
  EXPECT_TRUE(started->mix);
}

TEST(MicList, PrintsTheDevicesInOrderWithTheDefaultsId) {
  DeviceScript s;
  s.mics = {endpoint("b"), endpoint("a")};
  s.default_mic = "a";
  CapturedLines lines;
  EXPECT_EQ(list_microphones([&] { return Result<std::unique_ptr<SoundDevices>>(std::make_unique<fake::FakeDevices>(s)); }), 0);
  EXPECT_EQ(lines.out(), R"({"default":"a","mics":[{"id":"b","name":"b name"},{"id":"a","name":"a name"}]})"
                         "\n");

  lines.clear();
  DeviceScript none;
  EXPECT_EQ(list_microphones([&] { return Result<std::unique_ptr<SoundDevices>>(std::make_unique<fake::FakeDevices>(none)); }), 0);
  EXPECT_EQ(lines.out(), "{\"default\":null,\"mics\":[]}\n");

  lines.clear();
  set_message_lookup([](std::uint32_t) { return std::string(); });
  EXPECT_EQ(list_microphones([] { return Result<std::unique_ptr<SoundDevices>>(error(fail("", 0x80040154u))); }), 1);
  EXPECT_EQ(lines.out(), "{\"error\":\"0x80040154\"}\n");
  EXPECT_EQ(lines.err(), "");
  set_message_lookup({});
}

TEST(MicList, ANameThatCannotBeReadIsTheId) {
  struct Unnamed final : fake::FakeDevices {
    using FakeDevices::FakeDevices;
    Result<std::vector<ListedMicrophone>> active_microphones() override {
      return std::vector<ListedMicrophone>{{"x", std::nullopt}};
    }
  };
  DeviceScript s;
  Unnamed devices(s);
  auto line = microphone_list_line(devices);
  ASSERT_TRUE(line);
  EXPECT_EQ(*line, R"({"default":null,"mics":[{"id":"x","name":"x"}]})");
}

}  // namespace
}  // namespace orvelle::clips
