#include "audio/aac_transform_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/owner.h"
#include "mp4/sound_type_win.h"

#include <mfapi.h>
#include <mferror.h>
#include <mftransform.h>

#include <cstring>
#include <vector>

namespace orvelle::clips {
namespace {

using win::ComPtr;
using win::checked;
using win::made;

struct Attribute {
  const GUID& key;
  UINT32 value;
};

Result<ComPtr<IMFMediaType>> audio_type(const GUID& subtype, std::initializer_list<Attribute> numbers) {
  ComPtr<IMFMediaType> type;
  ORVELLE_TRY(made(MFCreateMediaType(type.put()), type));
  ORVELLE_TRY(checked(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)));
  ORVELLE_TRY(checked(type->SetGUID(MF_MT_SUBTYPE, subtype)));
  for (const Attribute& a : numbers) ORVELLE_TRY(checked(type->SetUINT32(a.key, a.value)));
  return type;
}

class MediaFoundationAac final : public AacTransform {
 public:
  explicit MediaFoundationAac(ComPtr<IMFTransform> t) : t_(std::move(t)) {}

  Status set_input_type(std::uint32_t rate) override {
    ORVELLE_ASSIGN_OR_RETURN(auto type, aac_input_type(rate));
    return checked(t_->SetInputType(0, type.get(), 0));
  }
  Status set_output_type(std::uint32_t rate) override {
    ORVELLE_ASSIGN_OR_RETURN(auto type, aac_output_type(rate));
    return checked(t_->SetOutputType(0, type.get(), 0));
  }
  Result<SharedSoundType> current_output_type() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(made(t_->GetOutputCurrentType(0, type.put()), type));
    return SharedSoundType(std::make_shared<MediaFoundationSound>(std::move(type)));
  }
  Result<AacStreamInfo> output_stream_info() override {
    MFT_OUTPUT_STREAM_INFO info{};
    ORVELLE_TRY(checked(t_->GetOutputStreamInfo(0, &info)));
    return AacStreamInfo{info.dwFlags, info.cbSize};
  }
  Status begin_streaming() override {
    ORVELLE_TRY(checked(t_->ProcessMessage(MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, 0)));
    return checked(t_->ProcessMessage(MFT_MESSAGE_NOTIFY_START_OF_STREAM, 0));
  }

  Status process_input(std::span<const std::int16_t> values, Ticks time, Ticks duration) override {
    const DWORD bytes = static_cast<DWORD>(values.size_bytes());
    ORVELLE_ASSIGN_OR_RETURN(auto sample, sample_of(bytes));
    ComPtr<IMFMediaBuffer> buffer;
    ORVELLE_TRY(made(sample->GetBufferByIndex(0, buffer.put()), buffer));
    BYTE* data = nullptr;
    ORVELLE_TRY(checked(buffer->Lock(&data, nullptr, nullptr)));
    std::memcpy(data, values.data(), bytes);
    ORVELLE_TRY(checked(buffer->Unlock()));
    ORVELLE_TRY(checked(buffer->SetCurrentLength(bytes)));
    ORVELLE_TRY(checked(sample->SetSampleTime(time.count())));
    ORVELLE_TRY(checked(sample->SetSampleDuration(duration.count())));
    return checked(t_->ProcessInput(0, sample.get(), 0));
  }

  Result<AacDraw> process_output(bool provides_samples, std::uint32_t buffer_size, AacFrameSink& sink) override {
    ComPtr<IMFSample> given;
    if (!provides_samples) {
      ORVELLE_ASSIGN_OR_RETURN(given, sample_of(buffer_size));
    }
    MFT_OUTPUT_DATA_BUFFER out{};
    out.dwStreamID = 0;
    out.pSample = given.get();
    DWORD status = 0;
    const HRESULT hr = t_->ProcessOutput(0, 1, &out, &status);
    ComPtr<IMFCollection> events = ComPtr<IMFCollection>::attach(out.pEvents);
    // A sample the transform brought is ours to release.
    ComPtr<IMFSample> sample = provides_samples ? ComPtr<IMFSample>::attach(out.pSample) : given;
    if (hr == MF_E_TRANSFORM_NEED_MORE_INPUT) return AacDraw::need_more_input;
    ORVELLE_TRY(checked(hr));
    if (!out.pSample) return AacDraw::no_sample;

    ComPtr<IMFMediaBuffer> buffer;
    ORVELLE_TRY(made(sample->ConvertToContiguousBuffer(buffer.put()), buffer));
    BYTE* data = nullptr;
    DWORD length = 0;
    ORVELLE_TRY(checked(buffer->Lock(&data, nullptr, &length)));
    LONGLONG time = 0, duration = 0;
    const bool timed = SUCCEEDED(sample->GetSampleTime(&time));
    const bool lasts = SUCCEEDED(sample->GetSampleDuration(&duration));
    sink.take({data, length}, timed ? std::optional(Ticks{time}) : std::nullopt,
              lasts ? std::optional(Ticks{duration}) : std::nullopt);
    (void)buffer->Unlock();
    return AacDraw::frame;
  }

 private:
  static Result<ComPtr<IMFSample>> sample_of(DWORD bytes) {
    ComPtr<IMFSample> sample;
    ORVELLE_TRY(made(MFCreateSample(sample.put()), sample));
    ComPtr<IMFMediaBuffer> buffer;
    ORVELLE_TRY(made(MFCreateMemoryBuffer(bytes, buffer.put()), buffer));
    ORVELLE_TRY(checked(sample->AddBuffer(buffer.get())));
    return sample;
  }

  ComPtr<IMFTransform> t_;
};

}  // namespace

Result<ComPtr<IMFMediaType>> aac_input_type(std::uint32_t rate) {
  return audio_type(MFAudioFormat_PCM, {{MF_MT_AUDIO_BITS_PER_SAMPLE, 16},
                                        {MF_MT_AUDIO_SAMPLES_PER_SECOND, rate},
                                        {MF_MT_AUDIO_NUM_CHANNELS, 2},
                                        {MF_MT_AUDIO_BLOCK_ALIGNMENT, 4},
                                        {MF_MT_AUDIO_AVG_BYTES_PER_SECOND, rate * 4},
                                        {MF_MT_ALL_SAMPLES_INDEPENDENT, 1}});
}

Result<ComPtr<IMFMediaType>> aac_output_type(std::uint32_t rate) {
  return audio_type(MFAudioFormat_AAC, {{MF_MT_AUDIO_BITS_PER_SAMPLE, 16},
                                        {MF_MT_AUDIO_SAMPLES_PER_SECOND, rate},
                                        {MF_MT_AUDIO_NUM_CHANNELS, 2},
                                        {MF_MT_AUDIO_AVG_BYTES_PER_SECOND, 20'000},
                                        {MF_MT_AAC_PAYLOAD_TYPE, 0},
                                        {MF_MT_AAC_AUDIO_PROFILE_LEVEL_INDICATION, 0x29}});
}

Result<std::unique_ptr<AacTransform>> find_aac_transform() {
  MFT_REGISTER_TYPE_INFO input = {MFMediaType_Audio, MFAudioFormat_PCM};
  MFT_REGISTER_TYPE_INFO output = {MFMediaType_Audio, MFAudioFormat_AAC};
  IMFActivate** raw = nullptr;
  UINT32 count = 0;
  const HRESULT hr = MFTEnumEx(MFT_CATEGORY_AUDIO_ENCODER, MFT_ENUM_FLAG_SYNCMFT | MFT_ENUM_FLAG_SORTANDFILTER,
                               &input, &output, &raw, &count);
  win::CoTaskMemory<IMFActivate*> array(raw);
  std::vector<ComPtr<IMFActivate>> all;
  for (UINT32 i = 0; raw && i < count; ++i)
    if (raw[i]) all.push_back(ComPtr<IMFActivate>::attach(raw[i]));
  ORVELLE_TRY(checked(hr));
  if (all.empty()) return error(fail("no AAC encoder", hresult::kNotFound));
  ComPtr<IMFTransform> transform;
  ORVELLE_TRY(made(all.front()->ActivateObject(__uuidof(IMFTransform), transform.put_void()), transform));
  return aac_transform_over(std::move(transform));
}

std::unique_ptr<AacTransform> aac_transform_over(ComPtr<IMFTransform> transform) {
  return std::make_unique<MediaFoundationAac>(std::move(transform));
}

}  // namespace orvelle::clips
