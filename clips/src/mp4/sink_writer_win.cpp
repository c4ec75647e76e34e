#include "mp4/sink_writer_win.h"

#include "common/try.h"
#include "common/win/error.h"
#include "mp4/clip_files_win.h"
#include "mp4/media_sample_win.h"
#include "mp4/sound_type_win.h"

#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;

constexpr UINT32 kProgressive = 2;  // MFVideoInterlace_Progressive
constexpr UINT32 kHighProfile = 100;
static_assert(MFVideoInterlace_Progressive == kProgressive);

Result<ComPtr<IMFMediaType>> video_type(const VideoTrackFormat& f) {
  ComPtr<IMFMediaType> t;
  ORVELLE_TRY(checked(MFCreateMediaType(t.put())));
  ORVELLE_TRY(checked(t->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video)));
  ORVELLE_TRY(checked(t->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_H264)));
  ORVELLE_TRY(checked(MFSetAttributeSize(t.get(), MF_MT_FRAME_SIZE, f.width, f.height)));
  ORVELLE_TRY(checked(MFSetAttributeRatio(t.get(), MF_MT_FRAME_RATE, f.fps, 1)));
  ORVELLE_TRY(checked(MFSetAttributeRatio(t.get(), MF_MT_PIXEL_ASPECT_RATIO, 1, 1)));
  ORVELLE_TRY(checked(t->SetUINT32(MF_MT_INTERLACE_MODE, kProgressive)));
  ORVELLE_TRY(checked(t->SetUINT32(MF_MT_AVG_BITRATE, f.bitrate)));
  ORVELLE_TRY(checked(t->SetUINT32(MF_MT_MPEG2_PROFILE, kHighProfile)));
  ORVELLE_TRY(checked(t->SetBlob(MF_MT_MPEG_SEQUENCE_HEADER, f.sequence_header.data(),
                                 static_cast<UINT32>(f.sequence_header.size()))));
  return t;
}

class SinkWriterMuxer final : public Muxer {
 public:
  explicit SinkWriterMuxer(ComPtr<IMFSinkWriter> writer) : writer_(std::move(writer)) {}

  Result<std::uint32_t> add_video_stream(const VideoTrackFormat& format) override {
    ORVELLE_ASSIGN_OR_RETURN(auto type, video_type(format));
    return add(type.get());
  }

  // The encoder's output type is the stream's type and the samples' type.
  Result<std::uint32_t> add_sound_stream(const SoundTrackType& type) override {
    const auto* sound = dynamic_cast<const MediaFoundationSound*>(&type);
    if (!sound || !sound->type) return error(win::hresult_error(E_INVALIDARG));
    return add(sound->type.get());
  }

  Status begin() override { return checked(writer_->BeginWriting()); }

  Status write_sample(std::uint32_t stream, const Packet& p) override {
    ORVELLE_ASSIGN_OR_RETURN(auto sample, make_media_sample(p));
    return checked(writer_->WriteSample(stream, sample.get()));
  }

  Status finalize() override { return checked(writer_->Finalize()); }

 private:
  Result<std::uint32_t> add(IMFMediaType* type) {
    DWORD index = 0;
    ORVELLE_TRY(checked(writer_->AddStream(type, &index)));
    ORVELLE_TRY(checked(writer_->SetInputMediaType(index, type, nullptr)));
    return static_cast<std::uint32_t>(index);
  }

  ComPtr<IMFSinkWriter> writer_;
};

}  // namespace

Result<std::unique_ptr<Muxer>> open_sink_writer(std::string_view path) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring wide, windows_path(path));
  ComPtr<IMFAttributes> attributes;
  ORVELLE_TRY(checked(MFCreateAttributes(attributes.put(), 2)));
  ORVELLE_TRY(checked(attributes->SetUINT32(MF_SINK_WRITER_DISABLE_THROTTLING, 1)));
  ORVELLE_TRY(checked(attributes->SetGUID(MF_TRANSCODE_CONTAINERTYPE, MFTranscodeContainerType_MPEG4)));
  ComPtr<IMFSinkWriter> writer;
  ORVELLE_TRY(checked(MFCreateSinkWriterFromURL(wide.c_str(), nullptr, attributes.get(), writer.put())));
  if (!writer) return error(win::no_object());
  return std::unique_ptr<Muxer>(std::make_unique<SinkWriterMuxer>(std::move(writer)));
}

}  // namespace orvelle::clips
