#include "play/media_reader_win.h"

#include "common/try.h"
#include "common/utf.h"
#include "common/win/checked.h"
#include "common/win/com_ptr.h"
#include "common/win/owner.h"
#include "play/decoded_picture_win.h"
#include "play/media_duration_win.h"
#include "play/video_geometry_win.h"

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <cstring>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;

constexpr DWORD kVideo = static_cast<DWORD>(MF_SOURCE_READER_FIRST_VIDEO_STREAM);
constexpr DWORD kSound = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

std::wstring wide(const std::string& utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

// selection: what selecting the stream answered; a clip without such a
// stream fails it.
Result<ComPtr<IMFSourceReader>> open_reader(const std::string& path, IMFAttributes* attributes, DWORD stream,
                                            HRESULT& selection) {
  // Each reader is used on the thread that opens it, in the multithreaded
  // apartment; a thread already initialised keeps what it has.
  (void)CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  ComPtr<IMFSourceReader> reader;
  ORVELLE_TRY(win::made(MFCreateSourceReaderFromURL(wide(path).c_str(), attributes, reader.put()), reader));
  ORVELLE_TRY(checked(reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE)));
  selection = reader->SetStreamSelection(stream, TRUE);
  return reader;
}

Status seek_reader(IMFSourceReader* reader, std::int64_t time) {
  win::PropVariant at;
  PROPVARIANT* value = at.put();
  value->vt = VT_I8;
  value->hVal.QuadPart = time;
  return checked(reader->SetCurrentPosition(GUID_NULL, at.get()));
}

// One ReadSample of a stream: its flags, its time and the sample's buffer
// made contiguous (null when no sample came).
struct ReadOne {
  bool end_of_stream = false, type_changed = false;
  LONGLONG time = 0;
  ComPtr<IMFSample> sample;
  ComPtr<IMFMediaBuffer> buffer;
};
Result<ReadOne> read_one(IMFSourceReader* reader, DWORD stream) {
  ReadOne r;
  DWORD flags = 0;
  ORVELLE_TRY(checked(reader->ReadSample(stream, 0, nullptr, &flags, &r.time, r.sample.put())));
  r.end_of_stream = flags & MF_SOURCE_READERF_ENDOFSTREAM;
  r.type_changed = flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED;
  if (!r.end_of_stream && r.sample)
    ORVELLE_TRY(win::made(r.sample->ConvertToContiguousBuffer(r.buffer.put()), r.buffer));
  return r;
}

class MfVideoReader final : public VideoReader {
 public:
  explicit MfVideoReader(ComPtr<IMFSourceReader> reader) : reader_(std::move(reader)) {}

  Result<VideoTypeAttributes> native_type() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(win::made(reader_->GetNativeMediaType(kVideo, 0, type.put()), type));
    return video_type_attributes(type.get());
  }
  Status set_rgb32(PictureSize size, Ratio aspect) override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(rgb32(type));
    ORVELLE_TRY(checked(MFSetAttributeSize(type.get(), MF_MT_FRAME_SIZE, size.width, size.height)));
    ORVELLE_TRY(checked(MFSetAttributeRatio(type.get(), MF_MT_PIXEL_ASPECT_RATIO, narrow(aspect.numerator),
                                            narrow(aspect.denominator))));
    return checked(reader_->SetCurrentMediaType(kVideo, nullptr, type.get()));
  }
  Status set_rgb32_native() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(rgb32(type));
    return checked(reader_->SetCurrentMediaType(kVideo, nullptr, type.get()));
  }
  Result<VideoTypeAttributes> current_type() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(win::made(reader_->GetCurrentMediaType(kVideo, type.put()), type));
    return video_type_attributes(type.get());
  }
  Result<std::uint64_t> duration() override {
    win::PropVariant value;
    ORVELLE_TRY(checked(reader_->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                          MF_PD_DURATION, value.put())));
    return media_duration(value.get());
  }
  Status seek(std::int64_t time) override { return seek_reader(reader_.get(), time); }
  Result<VideoRead> read() override {
    ORVELLE_ASSIGN_OR_RETURN(ReadOne one, read_one(reader_.get(), kVideo));
    VideoRead r;
    r.end_of_stream = one.end_of_stream;
    r.type_changed = one.type_changed;
    if (!one.buffer) return r;
    r.picture = decoded_picture_win(std::move(one.buffer));
    r.time = one.time;
    LONGLONG duration = 0;
    if (SUCCEEDED(one.sample->GetSampleDuration(&duration))) r.duration = duration;
    return r;
  }

 private:
  static Status rgb32(ComPtr<IMFMediaType>& type) {
    ORVELLE_TRY(win::made(MFCreateMediaType(type.put()), type));
    ORVELLE_TRY(checked(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video)));
    return checked(type->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_RGB32));
  }
  static UINT32 narrow(std::uint64_t v) { return static_cast<UINT32>(std::min<std::uint64_t>(v, UINT32_MAX)); }

  ComPtr<IMFSourceReader> reader_;
};

class MfSoundReader final : public SoundReader {
 public:
  explicit MfSoundReader(ComPtr<IMFSourceReader> reader) : reader_(std::move(reader)) {}

  Result<SoundFormat> set_float_output() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(win::made(MFCreateMediaType(type.put()), type));
    ORVELLE_TRY(checked(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)));
    ORVELLE_TRY(checked(type->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_Float)));
    ORVELLE_TRY(checked(reader_->SetCurrentMediaType(kSound, nullptr, type.get())));
    return current_format();
  }
  Result<SoundFormat> current_format() override {
    ComPtr<IMFMediaType> type;
    ORVELLE_TRY(win::made(reader_->GetCurrentMediaType(kSound, type.put()), type));
    // Past two channels only the extensible form says which speaker each
    // channel feeds; not every platform picks it by itself.
    UINT32 channels = 0;
    (void)type->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
    UINT32 flags = channels > 2 ? MFWaveFormatExConvertFlag_ForceExtensible : MFWaveFormatExConvertFlag_Normal;
    WAVEFORMATEX* raw = nullptr;
    UINT32 bytes = 0;
    ORVELLE_TRY(checked(MFCreateWaveFormatExFromMFMediaType(type.get(), &raw, &bytes, flags)));
    win::CoTaskMemory<WAVEFORMATEX> format(raw);
    if (!format) return error(win::no_object());
    GUID subtype{};
    bool is_float = SUCCEEDED(type->GetGUID(MF_MT_SUBTYPE, &subtype)) && subtype == MFAudioFormat_Float &&
                    format.get()->wBitsPerSample == 32;
    SoundFormat sound{format.get()->nChannels, format.get()->nSamplesPerSec, is_float};
    if (format.get()->wFormatTag == WAVE_FORMAT_EXTENSIBLE && bytes >= sizeof(WAVEFORMATEXTENSIBLE)) {
      auto* extensible = reinterpret_cast<WAVEFORMATEXTENSIBLE*>(format.get());
      // Wine's conversion names every extensible format PCM; the samples
      // are what the type says they are (the float subtype is the same GUID
      // as the extensible form's float subformat).
      if (is_float) extensible->SubFormat = MFAudioFormat_Float;
      sound.channel_mask = extensible->dwChannelMask;
    }
    const auto* block = reinterpret_cast<const std::uint8_t*>(format.get());
    sound.description.assign(block, block + bytes);
    return sound;
  }
  Status seek(std::int64_t time) override { return seek_reader(reader_.get(), time); }
  Result<SoundRead> read(std::vector<float>& samples) override {
    ORVELLE_ASSIGN_OR_RETURN(ReadOne one, read_one(reader_.get(), kSound));
    SoundRead r;
    r.end_of_stream = one.end_of_stream;
    r.type_changed = one.type_changed;
    if (!one.buffer) return r;
    BYTE* data = nullptr;
    DWORD length = 0;
    ORVELLE_TRY(checked(one.buffer->Lock(&data, nullptr, &length)));
    samples.resize(length / 4);
    std::memcpy(samples.data(), data, samples.size() * 4);
    ORVELLE_TRY(checked(one.buffer->Unlock()));
    r.has_sample = true;
    r.time = one.time;
    return r;
  }

 private:
  ComPtr<IMFSourceReader> reader_;
};

}  // namespace

Status attribute_store_made(HRESULT hr, const ComPtr<IMFAttributes>& store) {
  if (FAILED(hr)) return error(win::hresult_error(hr));
  if (!store) return error(fail("no attributes"));
  return {};
}

std::unique_ptr<VideoReader> video_reader_win(ComPtr<IMFSourceReader> reader) {
  return std::make_unique<MfVideoReader>(std::move(reader));
}

Result<std::unique_ptr<VideoReader>> open_video_reader_win(const std::string& path, MakeAttributes make_attributes) {
  ComPtr<IMFAttributes> attributes;
  HRESULT created = make_attributes(attributes.put(), 1);
  ORVELLE_TRY(attribute_store_made(created, attributes));
  ORVELLE_TRY(checked(attributes->SetUINT32(MF_SOURCE_READER_ENABLE_ADVANCED_VIDEO_PROCESSING, TRUE)));
  HRESULT selection = S_OK;
  ORVELLE_ASSIGN_OR_RETURN(auto reader, open_reader(path, attributes.get(), kVideo, selection));
  ORVELLE_TRY(checked(selection));
  return video_reader_win(std::move(reader));
}

Result<std::optional<std::unique_ptr<SoundReader>>> open_sound_reader_win(const std::string& path) {
  HRESULT selection = S_OK;
  ORVELLE_ASSIGN_OR_RETURN(auto reader, open_reader(path, nullptr, kSound, selection));
  if (FAILED(selection)) return std::optional<std::unique_ptr<SoundReader>>();
  return std::optional<std::unique_ptr<SoundReader>>(std::make_unique<MfSoundReader>(std::move(reader)));
}

}  // namespace orvelle::clips
