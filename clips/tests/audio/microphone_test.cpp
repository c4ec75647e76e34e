// The microphone: its queue and bound, priming, mixing with its gain, the
// status texts, and how the pump follows, opens and reads the device.
#include "audio/fake_sound.h"
#include "audio/microphone.h"
#include "support/captured_lines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvelle::clips {
namespace {

using fake::Bytes;
using fake::DeviceScript;
using fake::EndpointScript;
using fake::FakeDevices;
using fake::wave_format;

constexpr Ticks kSecond = kTicksPerSecond;

TEST(MicQueue, IsCutToFortyMillisecondsOnceOverTwoHundred) {
  CapturedLines lines;
  MicQueue q(48000);
  for (int i = 0; i < 9600; ++i) q.samples().push(float(i));
  q.bound();
  EXPECT_EQ(q.samples().size(), 9600u);
  q.samples().push(9600.0f);
  q.bound();
  ASSERT_EQ(q.samples().size(), 1920u);
  EXPECT_EQ(q.samples().pop(), 9601.0f - 1920.0f);  // the newest values stay
  EXPECT_EQ(lines.err(), "microphone ahead of the game sound: skipped 160 ms (#1)\n");
  EXPECT_EQ(MicQueue(44100).upper(), 8820u);
  EXPECT_EQ(MicQueue(44100).keep(), 1764u);
}

TEST(MicQueue, LinesForTheFirstFiveAndEveryHundredth) {
  std::vector<std::uint32_t> reported;
  for (std::uint32_t n = 1; n <= 300; ++n)
    if (worth_reporting(n)) reported.push_back(n);
  EXPECT_EQ(reported, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 100, 200, 300}));

  CapturedLines lines;
  MicQueue q(48000);
  std::vector<std::int16_t> values(2);
  for (int i = 0; i < 6; ++i) {
    for (int k = 0; k < 1920; ++k) q.samples().push(0.0f);
    values.assign(2 * 1921, 0);
    q.mix_into(values, 100);  // one frame more than queued: runs dry
  }
  EXPECT_EQ(lines.err(),
            "microphone behind the game sound: ran dry (#1)\nmicrophone behind the game sound: ran dry (#2)\n"
            "microphone behind the game sound: ran dry (#3)\nmicrophone behind the game sound: ran dry (#4)\n"
            "microphone behind the game sound: ran dry (#5)\n");
}

TEST(MicQueue, MixingWaitsForFortyMillisecondsAfterAStartAndAfterRunningDry) {
  CapturedLines lines;
  MicQueue q(48000);
  for (int i = 0; i < 1919; ++i) q.samples().push(0.5f);
  std::vector<std::int16_t> values(4, 0);
  q.mix_into(values, 100);
  EXPECT_EQ(values, (std::vector<std::int16_t>(4, 0)));
  EXPECT_FALSE(q.primed());
  q.samples().push(0.5f);
  q.mix_into(values, 100);
  EXPECT_EQ(values, (std::vector<std::int16_t>{16383, 16383, 16383, 16383}));
  EXPECT_TRUE(q.primed());

  // Running dry part way leaves the rest of the packet alone and unprimes.
  values.assign(2 * 1920, 0);
  q.mix_into(values, 100);
  EXPECT_EQ(values[2 * 1917], 16383);
  EXPECT_EQ(values[2 * 1918], 0);
  EXPECT_FALSE(q.primed());
  for (int i = 0; i < 100; ++i) q.samples().push(0.5f);
  values.assign(2, 0);
  q.mix_into(values, 100);
  EXPECT_EQ(values[0], 0);  // waits for 40 ms again
}

TEST(MicQueue, GainIsCappedAtTwoHundredAndTheSumsSaturate) {
  const struct {
    float mic;
    std::uint32_t volume;
    std::int16_t game, out;
  } cases[] = {{1.0f, 0, 1000, 1000},     {1.0f, 200, -32767, 32767}, {1.0f, 300, -32767, 32767},
               {1.0f, 200, -32768, 32766}, {-1.0f, 200, -5, -32768},   {0.25f, 100, 100, 8291},
               {std::nanf(""), 200, 12, 12}, {1e30f, 100, 0, 32767}};
  for (const auto& c : cases) {
    MicQueue q(1000);  // 40 values prime it
    for (int i = 0; i < 40; ++i) q.samples().push(c.mic);
    std::vector<std::int16_t> values = {c.game, c.game};
    q.mix_into(values, c.volume);
    EXPECT_EQ(values[0], c.out) << c.mic << " at " << c.volume << " over " << c.game;
    EXPECT_EQ(values[1], c.out);
  }
}

TEST(Microphone, StatusTexts) {
  set_message_lookup([](std::uint32_t) { return std::string(); });
  EXPECT_EQ(mic_status_text(fail("", 0x80070002u)), "missing");
  EXPECT_EQ(mic_status_text(fail("", 0x80070490u)), "missing");
  EXPECT_EQ(mic_status_text(fail("", 0x88890004u)), "missing");
  EXPECT_EQ(mic_status_text(fail("", 0x80070005u)), "blocked");
  EXPECT_EQ(mic_status_text(fail("the microphone's rate", 0x88890008u)),
            "error: the microphone's rate (0x88890008)");
  set_message_lookup({});
}

Bytes floats(std::initializer_list<float> v) {
  Bytes b(v.size() * 4);
  std::memcpy(b.data(), std::data(v), b.size());
  return b;
}

EndpointScript mic(std::string id) {
  return fake::endpoint(std::move(id), wave_format(3, 1, 48000, 32));
}

struct MicRig {
  explicit MicRig(std::optional<std::string> configured = {}) {
    mixer = new_mic_mixer(48000, MicSettings{std::move(configured), volume, status}, Ticks{0});
  }
  void pump(Ticks at) { pump_microphone(*mixer, devices, at); }
  DeviceScript script;
  FakeDevices devices{script};
  SharedMicVolume volume = std::make_shared<std::atomic<std::uint32_t>>(100);
  SharedMicStatus status = std::make_shared<MicStatus>();
  std::unique_ptr<MicrophoneMixer> mixer;
};

TEST(Microphone, OpensFloatMonoAtTheGameRateAndReadsItsPackets) {
  MicRig rig;
  rig.script.mics = {mic("a")};
  rig.script.default_mic = "a";
  rig.script.mics[0].stream->packets = {{floats({0.25f, 0.5f}), 2}, {{}, 3, true}};
  rig.pump(Ticks{0});
  EXPECT_EQ(rig.status->text(), "on");
  EXPECT_EQ(rig.script.mics[0].initialised, (std::vector<std::uint32_t>{0x88000000u}));
  const auto wanted = float_mono_format(48000);
  EXPECT_EQ(rig.script.mics[0].formats[0], Bytes(wanted.begin(), wanted.end()));
  EXPECT_EQ(rig.script.mics[0].ducking_opt_outs, 1);
  EXPECT_TRUE(rig.script.mics[0].stream->started);
  ASSERT_EQ(rig.mixer->queue.samples().size(), 5u);
  EXPECT_EQ(rig.mixer->queue.samples().pop(), 0.25f);
  EXPECT_EQ(rig.script.mics[0].stream->released, 5u);
}

TEST(Microphone, TheSecondAttemptTakesTheDevicesOwnFormatAtTheGameRate) {
  MicRig rig;
  rig.script.mics = {mic("a")};
  rig.script.default_mic = "a";
  EndpointScript& m = rig.script.mics[0];
  m.refused[0x88000000u] = fail("", 0x88890008u);
  m.mix_format = wave_format(3, 2, 48000, 32);
  m.stream->packets = {{floats({0.5f, -0.5f, 0.5f, 0.25f}), 2}};
  rig.pump(Ticks{0});
  EXPECT_EQ(rig.status->text(), "on");
  EXPECT_EQ(m.initialised, (std::vector<std::uint32_t>{0x88000000u, 0}));
  EXPECT_EQ(m.formats[1], m.mix_format);
  ASSERT_EQ(rig.mixer->queue.samples().size(), 2u);
  EXPECT_EQ(rig.mixer->queue.samples().pop(), 0.0f);
  EXPECT_EQ(rig.mixer->queue.samples().pop(), 0.375f);

  // A device at another rate cannot be mixed; nothing stays open.
  MicRig other;
  other.script.mics = {mic("b")};
  other.script.default_mic = "b";
  other.script.mics[0].refused[0x88000000u] = fail("", 0x88890008u);
  other.script.mics[0].mix_format = wave_format(3, 1, 44100, 32);
  set_message_lookup([](std::uint32_t) { return std::string(); });
  other.pump(Ticks{0});
  EXPECT_EQ(other.status->text(), "error: the microphone's rate (0x88890008)");
  EXPECT_FALSE(other.mixer->open_id);

  // Six channels in a block of two: averaging them would read past the frame.
  other.script.mics[0].mix_format = wave_format(3, 6, 48000, 32);
  other.script.mics[0].mix_format[12] = 8;
  other.pump(3 * kTicksPerSecond);
  EXPECT_EQ(other.status->text(), "error: mix format (0x88890008)");
  set_message_lookup({});
}

TEST(Microphone, RefusedAccessIsBlockedWithoutASecondAttemptAndRetriedEveryThreeSeconds) {
  MicRig rig;
  rig.script.mics = {mic("a")};
  rig.script.default_mic = "a";
  rig.script.mics[0].refused[0x88000000u] = fail("", 0x80070005u);
  rig.pump(Ticks{0});
  EXPECT_EQ(rig.status->text(), "blocked");
  EXPECT_EQ(rig.script.mics[0].initialised.size(), 1u);
  rig.status->set("");
  rig.pump(3 * kSecond - Ticks{1});
  EXPECT_EQ(rig.status->text(), "");
  rig.pump(3 * kSecond);
  EXPECT_EQ(rig.status->text(), "blocked");  // written again at each attempt
  EXPECT_EQ(rig.script.mics[0].initialised.size(), 2u);
}

TEST(Microphone, FollowsTheDefaultDeviceButKeepsAConfiguredOne) {
  MicRig follow;
  follow.script.mics = {mic("a"), mic("b")};
  follow.script.default_mic = "a";
  follow.pump(Ticks{0});
  EXPECT_EQ(follow.mixer->open_id, "a");
  follow.script.default_mic = "b";
  follow.pump(2 * kSecond);
  EXPECT_EQ(follow.mixer->open_id, "a");
  follow.pump(3 * kSecond);
  EXPECT_EQ(follow.mixer->open_id, "b");
  EXPECT_TRUE(follow.script.mics[0].stream->stopped);

  MicRig kept("a");
  kept.script.mics = {mic("a"), mic("b")};
  kept.script.default_mic = "b";
  kept.pump(Ticks{0});
  EXPECT_EQ(kept.mixer->open_id, "a");
  kept.pump(3 * kSecond);
  EXPECT_EQ(kept.mixer->open_id, "a");
}

TEST(Microphone, AnUnpluggedDeviceIsMissingUntilItComesBack) {
  MicRig rig;
  rig.script.mics = {mic("a")};
  rig.script.default_mic = "a";
  rig.pump(Ticks{0});
  ASSERT_EQ(rig.status->text(), "on");
  rig.script.mics[0].stream->fail_next_size = fail("", 0x88890004u);
  rig.script.mics[0].open_error = fail("", 0x80070490u);
  rig.pump(kSecond);
  EXPECT_EQ(rig.status->text(), "missing");
  EXPECT_FALSE(rig.mixer->open_id);
  rig.script.mics[0].open_error.reset();
  rig.pump(Ticks{35'000'000});  // the next check is 3 s after the failure
  EXPECT_EQ(rig.status->text(), "missing");
  rig.pump(4 * kSecond);
  EXPECT_EQ(rig.status->text(), "on");
}

TEST(Microphone, NoCaptureDeviceIsMissing) {
  MicRig rig;
  rig.pump(Ticks{0});
  EXPECT_EQ(rig.status->text(), "missing");
}

TEST(Microphone, SettingsCopyTheDeviceAndShareVolumeAndStatus) {
  RecorderOptions o;
  o.mic_device = "{0.0.1.00000000}.{abc}";
  auto volume = std::make_shared<std::atomic<std::uint32_t>>(50);
  auto status = std::make_shared<MicStatus>();
  const MicSettings s = make_mic_settings(o, volume, status);
  EXPECT_EQ(s.device_id, o.mic_device);
  EXPECT_EQ(s.volume, volume);
  EXPECT_EQ(s.status, status);
  EXPECT_FALSE(make_mic_settings(RecorderOptions{}, volume, status).device_id);
}

}  // namespace
}  // namespace orvelle::clips
