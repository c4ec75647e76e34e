// The Windows sound layer under Wine: the AAC encoder's media types as the
// transform is asked for them, and what Wine's audio stack answers the
// device enumerator, the AAC encoder search and the audio thread's start.
#include "audio/aac_transform_win.h"
#include "audio/audio_thread.h"
#include "audio/sound_devices_win.h"
#include "common/win/com_object.h"
#include "win/media_foundation_up.h"

#include <gtest/gtest.h>

#include <audioclient.h>
#include <mfapi.h>

#include <cstdlib>
#include <thread>


namespace orvelle::clips {
namespace {

UINT32 number(IMFMediaType* type, const GUID& key) {
  UINT32 v = 0;
  EXPECT_TRUE(SUCCEEDED(type->GetUINT32(key, &v)));
  return v;
}

GUID guid(IMFMediaType* type, const GUID& key) {
  GUID v{};
  EXPECT_TRUE(SUCCEEDED(type->GetGUID(key, &v)));
  return v;
}

TEST(AacTypes, AskForStereoPcmInAndRawAacOutAtTheMixRate) {
  start_media_foundation();
  for (std::uint32_t rate : {44'100u, 48'000u}) {
    auto in = aac_input_type(rate);
    auto out = aac_output_type(rate);
    ASSERT_TRUE(in && out);
    EXPECT_TRUE(guid(in->get(), MF_MT_MAJOR_TYPE) == MFMediaType_Audio);
    EXPECT_TRUE(guid(in->get(), MF_MT_SUBTYPE) == MFAudioFormat_PCM);
    EXPECT_EQ(number(in->get(), MF_MT_AUDIO_SAMPLES_PER_SECOND), rate);
    EXPECT_EQ(number(in->get(), MF_MT_AUDIO_AVG_BYTES_PER_SECOND), rate * 4);
    EXPECT_EQ(number(in->get(), MF_MT_AUDIO_BLOCK_ALIGNMENT), 4u);
    EXPECT_EQ(number(in->get(), MF_MT_AUDIO_NUM_CHANNELS), 2u);
    EXPECT_EQ(number(in->get(), MF_MT_AUDIO_BITS_PER_SAMPLE), 16u);
    EXPECT_EQ(number(in->get(), MF_MT_ALL_SAMPLES_INDEPENDENT), 1u);
    EXPECT_TRUE(guid(out->get(), MF_MT_SUBTYPE) == MFAudioFormat_AAC);
    EXPECT_EQ(number(out->get(), MF_MT_AUDIO_SAMPLES_PER_SECOND), rate);
    EXPECT_EQ(number(out->get(), MF_MT_AUDIO_AVG_BYTES_PER_SECOND), 20'000u);
    EXPECT_EQ(number(out->get(), MF_MT_AUDIO_NUM_CHANNELS), 2u);
    EXPECT_EQ(number(out->get(), MF_MT_AAC_PAYLOAD_TYPE), 0u);
    EXPECT_EQ(number(out->get(), MF_MT_AAC_AUDIO_PROFILE_LEVEL_INDICATION), 0x29u);
  }
}

// Run a second time with ALSA's null device (the clips_win_null_sound test),
// Wine has a microphone and a playback device.
bool null_sound() { return std::getenv("ALSA_CONFIG_PATH") != nullptr; }

// A capture service that says which positions each packet was asked for.
class PositionsAsked final : public win::ComObject<IAudioCaptureClient> {
 public:
  HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64* device_position,
                                      UINT64* counter_position) override {
    static BYTE packet[16] = {};
    *data = packet;
    *frames = 2;
    *flags = 0;
    device_asked = device_position != nullptr;
    counter_asked = counter_position != nullptr;
    if (counter_position) *counter_position = 123'456;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32* frames) override {
    *frames = 2;
    return S_OK;
  }
  bool device_asked = false, counter_asked = false;
};

// The loopback's packets are stamped with their performance-counter
// position; a microphone's are read without asking for any position.
TEST(WasapiStream, OnlyTheLoopbackAsksForItsPacketsPositions) {
  const struct {
    std::uint32_t flags;
    bool counter;
    Ticks position;
  } cases[] = {{kStreamLoopback, true, Ticks{123'456}}, {kStreamAutoConvert, false, Ticks{0}}, {0, false, Ticks{0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    auto capture = win::make_com<PositionsAsked>();
    auto stream = wasapi_capture_stream(nullptr, capture, 8, c.flags);
    auto packet = stream->get_packet();
    ASSERT_TRUE(packet) << packet.error().text();
    EXPECT_EQ(packet->frames, 2u);
    EXPECT_EQ(packet->position, c.position);
    EXPECT_FALSE(capture->device_asked);
    EXPECT_EQ(capture->counter_asked, c.counter);
    EXPECT_TRUE(stream->release_packet(2));
  }
}

// Wine has no AAC encoder and, without a sound server, no audio endpoint:
// the enumerator answers, lists nothing, and the sound start fails where
// the platform has no playback device, so the recording goes on silent.
TEST(WineSound, NoEncoderAndNoDevicesButAnEnumeratorThatAnswers) {
  if (null_sound()) GTEST_SKIP() << "ALSA's null device is configured";
  start_media_foundation();
  auto aac = find_aac_transform();
  ASSERT_FALSE(aac);
  EXPECT_EQ(aac.error().code, 0xC00D36D5u);
  EXPECT_EQ(aac.error().message, "no AAC encoder");

  auto devices = open_wasapi_devices();
  ASSERT_TRUE(devices) << devices.error().text();
  auto mics = (*devices)->active_microphones();
  ASSERT_TRUE(mics) << mics.error().text();
  EXPECT_TRUE(mics->empty());
  EXPECT_FALSE((*devices)->default_capture_endpoint_id());
  auto render = (*devices)->default_render();
  ASSERT_FALSE(render);
  EXPECT_EQ(render.error().code, 0x80070490u);  // element not found

  auto stop = std::make_shared<std::atomic<bool>>(true);
  auto ring = std::make_shared<Ring>(60, RingPlatform{[] { return Ticks{0}; }, [](WindowHandle) { return false; }});
  auto started = start_audio(AudioSettings{stop, ring, std::nullopt, true, std::make_shared<OutputSettings>()},
                             windows_sound_platform());
  ASSERT_FALSE(started);
  EXPECT_EQ(started.error().code, 0x80070490u);

  // No default microphone is "missing". An id Wine does not know it calls
  // an invalid argument, where the system says not found ("missing").
  const struct {
    std::optional<std::string> id;
    const char* status;
  } cases[] = {{std::nullopt, "missing"},
               {"{0.0.1.00000000}.{8b9c1b55-5c8d-4a57-9d4c-3e1f4a0b2c6d}", "error: 0x80070057"}};
  for (const auto& c : cases) {
    auto status = std::make_shared<MicStatus>();
    auto mixer = new_mic_mixer(48'000, MicSettings{c.id, std::make_shared<std::atomic<std::uint32_t>>(100), status},
                               Ticks{0});
    pump_microphone(*mixer, **devices, Ticks{0});
    EXPECT_EQ(status->text(), c.status) << c.id.value_or("default");
  }
}

// On ALSA's null device Wine lists one microphone, which records silence,
// and one playback device, whose loopback it refuses: the sound start fails
// there and the recording goes on without sound.
TEST(WineNullSound, AMicrophoneThatRecordsSilenceAndAPlaybackDeviceWithoutLoopback) {
  if (!null_sound()) GTEST_SKIP() << "needs ALSA's null device";
  start_media_foundation();
  auto devices = open_wasapi_devices();
  ASSERT_TRUE(devices) << devices.error().text();
  auto mics = (*devices)->active_microphones();
  ASSERT_TRUE(mics) << mics.error().text();
  ASSERT_EQ(mics->size(), 1u);
  EXPECT_EQ((*mics)[0].name, "In: default");
  EXPECT_TRUE((*mics)[0].id.starts_with("{0.0.1.00000000}.{")) << (*mics)[0].id;
  EXPECT_EQ((*devices)->default_capture_endpoint_id(), (*mics)[0].id);

  // Opened by the default and by its id, the microphone is "on" and what it
  // hears reaches the queue.
  for (std::optional<std::string> id : {std::optional<std::string>{}, std::optional<std::string>{(*mics)[0].id}}) {
    auto status = std::make_shared<MicStatus>();
    auto mixer = new_mic_mixer(48'000, MicSettings{id, std::make_shared<std::atomic<std::uint32_t>>(100), status},
                               Ticks{0});
    pump_microphone(*mixer, **devices, Ticks{0});
    EXPECT_EQ(status->text(), "on");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pump_microphone(*mixer, **devices, Ticks{1});
    EXPECT_GT(mixer->queue.samples().size(), 0u);
    EXPECT_EQ(mixer->queue.samples().pop(), 0.0f);
  }

  auto render = (*devices)->default_render();
  ASSERT_TRUE(render) << render.error().text();
  auto client = (*render)->activate();
  ASSERT_TRUE(client);
  auto format = (*client)->mix_format();
  ASSERT_TRUE(format);
  auto parsed = parse_mix_format(*format);
  ASSERT_TRUE(parsed) << parsed.error().text();
  auto silence = (*render)->open_silence(*format);
  ASSERT_TRUE(silence) << silence.error().text();
  ASSERT_TRUE((*silence)->start());
  (*silence)->top_up();
  (*silence)->stop();

  auto stop = std::make_shared<std::atomic<bool>>(true);
  auto ring = std::make_shared<Ring>(60, RingPlatform{[] { return Ticks{0}; }, [](WindowHandle) { return false; }});
  auto started = start_audio(AudioSettings{stop, ring, std::nullopt, true, std::make_shared<OutputSettings>()},
                             windows_sound_platform());
  ASSERT_FALSE(started);
  EXPECT_EQ(started.error().code, 0x88890003u);  // AUDCLNT_E_WRONG_ENDPOINT_TYPE: no loopback
}

}  // namespace
}  // namespace orvelle::clips
