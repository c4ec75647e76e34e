#pragma once
// Finding and setting up the hardware H.264 encoder (Windows only): every
// hardware transform Media Foundation lists from NV12 to H.264, those of the
// GPU's vendor first, each tried until one takes the output type, one of the
// wanted input layouts and the start of streaming.

#include "common/geometry.h"
#include "common/win/com_ptr.h"
#include "common/win_error.h"
#include "encode/encoder_choice.h"
#include "encode/h264_transform_win.h"
#include "shared/options.h"

#include <d3d11.h>
#include <mfobjects.h>

#include <memory>
#include <string>
#include <vector>

namespace orvelle::clips {

struct EncoderRequest {
  std::string gpu_description;
  std::uint32_t gpu_vendor = 0;
  Size encode;
  std::uint32_t bitrate = 0, fps = 60;
  InputFormat input = InputFormat::Automatic;
};

struct ChosenEncoder {
  std::string name;
  InputChoice input;
  std::shared_ptr<MediaFoundationEncoder> transform;
};

// The device manager that hands the capture's device to the encoder.
Result<win::ComPtr<IMFDXGIDeviceManager>> make_device_manager(ID3D11Device* device);

// The listed hardware encoders, in the system's order, empty ones left out.
Result<std::vector<win::ComPtr<IMFActivate>>> hardware_h264_encoders();

// Tries the candidates as the request asks (vendor order, then each in turn).
Result<ChosenEncoder> choose_from(std::vector<win::ComPtr<IMFActivate>> candidates,
                                  const EncoderRequest& request, IMFDXGIDeviceManager* manager);

// The whole search on the system's encoders. Failures before any candidate
// is tried carry the encode size: "{w}x{h}: {error}".
Result<ChosenEncoder> choose_h264_encoder(ID3D11Device* device, const EncoderRequest& request);

}  // namespace orvelle::clips
