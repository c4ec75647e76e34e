#include "encode/h264_transform_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "encode/frame_texture_win.h"

#include <mfapi.h>
#include <mferror.h>

#include <span>

namespace orvelle::clips {
namespace {

using win::ComPtr;
using win::checked;
using win::hresult_error;
using win::made;

// Some encoders take a surface buffer only with its length set; a buffer
// that cannot say keeps the length it has.
void set_picture_length(IMFMediaBuffer* buffer) {
  ComPtr<IMFMediaBuffer> b = ComPtr<IMFMediaBuffer>::share(buffer);
  ComPtr<IMF2DBuffer> two_d;
  DWORD length = 0;
  if (SUCCEEDED(b.as(two_d)) && SUCCEEDED(two_d->GetContiguousLength(&length)))
    buffer->SetCurrentLength(length);
}

}  // namespace

MediaFoundationEncoder::MediaFoundationEncoder(MediaFoundationParts parts)
    : parts_(std::move(parts)) {
  if (FAILED(parts_.transform.as(shutdown_))) shutdown_.reset();
}

Result<TransformEvent> MediaFoundationEncoder::next_event() {
  ComPtr<IMFMediaEvent> event;
  ORVELLE_TRY(made(parts_.events->GetEvent(0, event.put()), event));
  MediaEventType type = MEUnknown;
  ORVELLE_TRY(checked(event->GetType(&type)));
  switch (type) {
    case METransformNeedInput: return TransformEvent{TransformEventKind::need_input};
    case METransformHaveOutput: return TransformEvent{TransformEventKind::have_output};
    case MEError: {
      HRESULT status = E_FAIL;
      event->GetStatus(&status);
      return TransformEvent{TransformEventKind::error, static_cast<std::uint32_t>(status)};
    }
    default: return TransformEvent{};
  }
}

Status MediaFoundationEncoder::give_input(CapturedFrame frame) {
  ComPtr<IMFSample> sample;
  ORVELLE_TRY(made(MFCreateSample(sample.put()), sample));
  ComPtr<IMFMediaBuffer> buffer;
  ORVELLE_TRY(made(MFCreateDXGISurfaceBuffer(__uuidof(ID3D11Texture2D), d3d_texture(frame.texture), 0,
                                             FALSE, buffer.put()),
                   buffer));
  set_picture_length(buffer.get());
  ORVELLE_TRY(checked(sample->AddBuffer(buffer.get())));
  ORVELLE_TRY(checked(sample->SetSampleTime(frame.time.count())));
  ORVELLE_TRY(checked(sample->SetSampleDuration(frame.duration.count())));
  return checked(parts_.transform->ProcessInput(parts_.input_stream, sample.get(), 0));
}

Result<OutputOutcome> MediaFoundationEncoder::take_output(EncodedPictureSink& sink) {
  // The transform provides the sample; the returned event collection is let go unread.
  MFT_OUTPUT_DATA_BUFFER output = {};
  output.dwStreamID = parts_.output_stream;
  DWORD status = 0;
  HRESULT hr = parts_.transform->ProcessOutput(0, 1, &output, &status);
  ComPtr<IMFSample> sample = ComPtr<IMFSample>::attach(output.pSample);
  ComPtr<IMFCollection> events = ComPtr<IMFCollection>::attach(output.pEvents);
  if (hr == MF_E_TRANSFORM_STREAM_CHANGE) return OutputOutcome::stream_change;
  if (FAILED(hr)) return error(hresult_error(hr));
  if (!sample) return OutputOutcome::none;

  UINT32 clean_point = 0;
  if (FAILED(sample->GetUINT32(MFSampleExtension_CleanPoint, &clean_point))) clean_point = 0;
  LONGLONG time = 0, duration = 0;
  if (FAILED(sample->GetSampleTime(&time))) time = 0;
  if (FAILED(sample->GetSampleDuration(&duration))) duration = 0;

  ComPtr<IMFMediaBuffer> buffer;
  ORVELLE_TRY(made(sample->ConvertToContiguousBuffer(buffer.put()), buffer));
  BYTE* data = nullptr;
  DWORD length = 0;
  ORVELLE_TRY(checked(buffer->Lock(&data, nullptr, &length)));
  struct Unlock {
    IMFMediaBuffer* buffer;
    ~Unlock() { buffer->Unlock(); }
  } unlock{buffer.get()};
  sink.take({std::span<const std::uint8_t>(data, length), Ticks{time}, Ticks{duration},
             clean_point != 0});
  return OutputOutcome::picture;
}

Status MediaFoundationEncoder::renegotiate() {
  ComPtr<IMFMediaType> type;
  ORVELLE_TRY(made(parts_.transform->GetOutputAvailableType(parts_.output_stream, 0, type.put()), type));
  return checked(parts_.transform->SetOutputType(parts_.output_stream, type.get(), 0));
}

void MediaFoundationEncoder::shut_down() {
  if (shutdown_ && !shut_.exchange(true)) shutdown_->Shutdown();
}

}  // namespace orvelle::clips
