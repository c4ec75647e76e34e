// The Media Foundation AAC transform behind the encoder interface, over a
// synchronous transform of our own written from the documented protocol
// (Wine has no AAC encoder): the media types it is given, the samples it is
// handed or brings itself, and the frames that reach the ring.
#include "audio/aac_encoder.h"
#include "audio/aac_transform_win.h"
#include "common/win/com_object.h"
#include "mp4/sound_type_win.h"
#include "win/media_foundation_up.h"

#include <gtest/gtest.h>

#include <mfapi.h>
#include <mferror.h>

#include <cstring>
#include <optional>
#include <vector>

namespace orvelle::clips {
namespace {

using win::ComPtr;

// Takes its input type only once its output type is set, as some encoders
// do; answers each input with two frames of four bytes, the first stamped
// 10 units after the input, the second without a time.
class FakeAac final : public win::ComObject<IMFTransform> {
 public:
  bool brings_samples = false;
  ComPtr<IMFMediaType> input, output;
  std::vector<LONGLONG> input_times, input_durations;
  std::vector<DWORD> input_lengths;
  std::vector<UINT32> messages;
  int pending = 0;

  HRESULT STDMETHODCALLTYPE GetStreamLimits(DWORD*, DWORD*, DWORD*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStreamCount(DWORD*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStreamIDs(DWORD, DWORD*, DWORD, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInputStreamInfo(DWORD, MFT_INPUT_STREAM_INFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputStreamInfo(DWORD, MFT_OUTPUT_STREAM_INFO* info) override {
    info->dwFlags = brings_samples ? MFT_OUTPUT_STREAM_PROVIDES_SAMPLES : 0;
    info->cbSize = 0;
    info->cbAlignment = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAttributes(IMFAttributes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInputStreamAttributes(DWORD, IMFAttributes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputStreamAttributes(DWORD, IMFAttributes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteInputStream(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddInputStreams(DWORD, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInputAvailableType(DWORD, DWORD, IMFMediaType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputAvailableType(DWORD, DWORD, IMFMediaType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetInputType(DWORD, IMFMediaType* type, DWORD) override {
    if (!output) return MF_E_TRANSFORM_TYPE_NOT_SET;
    input = ComPtr<IMFMediaType>::share(type);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetOutputType(DWORD, IMFMediaType* type, DWORD) override {
    output = ComPtr<IMFMediaType>::share(type);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetInputCurrentType(DWORD, IMFMediaType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputCurrentType(DWORD, IMFMediaType** type) override {
    if (!output) return MF_E_TRANSFORM_TYPE_NOT_SET;
    *type = ComPtr<IMFMediaType>(output).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetInputStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputStatus(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOutputBounds(LONGLONG, LONGLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessEvent(DWORD, IMFMediaEvent*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessMessage(MFT_MESSAGE_TYPE message, ULONG_PTR) override {
    messages.push_back(static_cast<UINT32>(message));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ProcessInput(DWORD, IMFSample* sample, DWORD) override {
    LONGLONG time = 0, duration = 0;
    sample->GetSampleTime(&time);
    sample->GetSampleDuration(&duration);
    DWORD length = 0;
    sample->GetTotalLength(&length);
    input_times.push_back(time);
    input_durations.push_back(duration);
    input_lengths.push_back(length);
    pending = 2;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ProcessOutput(DWORD, DWORD count, MFT_OUTPUT_DATA_BUFFER* out, DWORD* status) override {
    *status = 0;
    if (count != 1) return E_INVALIDARG;
    if (pending == 0) return MF_E_TRANSFORM_NEED_MORE_INPUT;
    ComPtr<IMFSample> sample = ComPtr<IMFSample>::share(out->pSample);
    if (brings_samples) {
      if (out->pSample) return E_INVALIDARG;  // the caller must not give one
      MFCreateSample(sample.put());
      ComPtr<IMFMediaBuffer> buffer;
      MFCreateMemoryBuffer(64, buffer.put());
      sample->AddBuffer(buffer.get());
      out->pSample = ComPtr<IMFSample>(sample).detach();
    } else if (!sample) {
      return E_INVALIDARG;
    }
    ComPtr<IMFMediaBuffer> buffer;
    sample->GetBufferByIndex(0, buffer.put());
    BYTE* data = nullptr;
    DWORD max = 0;
    buffer->Lock(&data, &max, nullptr);
    const BYTE frame[] = {0xFF, 0xF1, static_cast<BYTE>(pending), static_cast<BYTE>(max >> 8)};
    std::memcpy(data, frame, sizeof frame);
    buffer->Unlock();
    buffer->SetCurrentLength(sizeof frame);
    if (pending == 2) sample->SetSampleTime(input_times.back() + 10);
    --pending;
    return S_OK;
  }
};

std::shared_ptr<Ring> sound_ring() {
  auto ring = std::make_shared<Ring>(60, RingPlatform{[] { return Ticks{0}; }, [](WindowHandle) { return false; }});
  start_ring(*ring, Ticks{1});
  (void)time_video_frame(*ring, Ticks{1}, Ticks{1}, WindowHandle{});
  const std::vector<std::uint8_t> key = {0, 0, 0, 1, 0x67, 0x42, 0xC0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE, 0x3C, 0x80,
                                         0, 0, 1, 0x65, 0x88, 0x84};
  append_video_packet(*ring, Packet{share_bytes(key), key.size(), Ticks{0}, Ticks{1}, true});
  return ring;
}

TEST(AacTransformWin, SetsTheTypesInTheOrderTheTransformTakesAndEncodesABlock) {
  start_media_foundation();
  for (bool brings : {false, true}) {
    SCOPED_TRACE(brings ? "the transform brings its samples" : "the samples are given");
    auto* fake = new FakeAac;
    fake->brings_samples = brings;
    auto transform = ComPtr<IMFTransform>::attach(fake);
    auto encoder = create_aac_encoder(aac_transform_over(transform), 44'100);
    ASSERT_TRUE(encoder) << encoder.error().text();
    ASSERT_TRUE(fake->input && fake->output);
    UINT32 rate = 0, bytes = 0;
    fake->input->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
    fake->input->GetUINT32(MF_MT_AUDIO_AVG_BYTES_PER_SECOND, &bytes);
    EXPECT_EQ(rate, 44'100u);
    EXPECT_EQ(bytes, 176'400u);
    EXPECT_EQ(fake->messages, (std::vector<UINT32>{MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, MFT_MESSAGE_NOTIFY_START_OF_STREAM}));
    EXPECT_EQ(encoder->provides_samples, brings);
    EXPECT_EQ(encoder->output_buffer_size, 8192u);
    const auto* type = dynamic_cast<const MediaFoundationSound*>(encoder->output_type.get());
    ASSERT_TRUE(type);
    EXPECT_EQ(type->type.get(), fake->output.get());

    auto ring = sound_ring();
    const std::vector<std::int16_t> block(2050, 7);
    ASSERT_TRUE(encode_audio_block(*encoder, block, Ticks{1'000'001}, 44'100, *ring));
    EXPECT_EQ(fake->input_times, (std::vector<LONGLONG>{1'000'001}));
    EXPECT_EQ(fake->input_durations, (std::vector<LONGLONG>{232'426}));
    EXPECT_EQ(fake->input_lengths, (std::vector<DWORD>{4100}));
    const auto snap = snapshot_ring(*ring);
    ASSERT_TRUE(snap);
    const auto& packets = snap->groups.at(0)->audio;
    ASSERT_EQ(packets.size(), 2u);
    // The transform's time, then the block's for the frame without one.
    EXPECT_EQ(packets[0].time, Ticks{1'000'010});
    EXPECT_EQ(packets[1].time, Ticks{1'000'000});
    EXPECT_EQ(packets[0].len, 4u);
    EXPECT_EQ(packets[0].bytes()[2], 2);
    // A given sample is the 8,192 bytes the encoder asks for.
    if (!brings) {
      EXPECT_EQ(packets[0].bytes()[3], 8192 >> 8);
    }
    encoder = error(fail(""));
    EXPECT_EQ(fake->references(), 1u);  // every sample and type let go
  }
}

}  // namespace
}  // namespace orvelle::clips
