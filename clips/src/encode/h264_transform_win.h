#pragma once
// The hardware H.264 encoder as the encoder thread drives it (Windows only):
// an asynchronous Media Foundation transform, its event generator, its
// stream ids and the device manager that shares the capture's GPU with it.

#include "common/win/com_ptr.h"
#include "encode/transform.h"

#include <mfidl.h>
#include <mftransform.h>

#include <atomic>

namespace orvelle::clips {

struct MediaFoundationParts {
  win::ComPtr<IMFTransform> transform;
  win::ComPtr<IMFMediaEventGenerator> events;
  DWORD input_stream = 0, output_stream = 0;
  win::ComPtr<IMFDXGIDeviceManager> device_manager;
};

class MediaFoundationEncoder final : public EncoderTransform {
 public:
  explicit MediaFoundationEncoder(MediaFoundationParts parts);
  // An asynchronous transform keeps itself alive through its event queue
  // until it is shut down.
  ~MediaFoundationEncoder() override { shut_down(); }

  Result<TransformEvent> next_event() override;
  Status give_input(CapturedFrame frame) override;
  Result<OutputOutcome> take_output(EncodedPictureSink& sink) override;
  Status renegotiate() override;
  // IMFShutdown: a GetEvent that waits returns MF_E_SHUTDOWN.
  void shut_down() override;

 private:
  MediaFoundationParts parts_;
  win::ComPtr<IMFShutdown> shutdown_;  // absent when the transform has none
  std::atomic<bool> shut_{false};
};

}  // namespace orvelle::clips
