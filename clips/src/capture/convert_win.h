#pragma once
// The frame converter on the GPU (Windows only). One per capture session,
// used only by the frame handler, under its mutex.

#include "capture/convert.h"
#include "capture/frame_arrival.h"
#include "common/win/com_ptr.h"
#include "common/win_error.h"

#include <d3d11.h>

#include <array>
#include <memory>
#include <variant>

namespace orvelle::clips {

struct VideoProcessorConversion {
  struct InputView {
    win::ComPtr<ID3D11Texture2D> texture;  // kept so its identity is not reused
    win::ComPtr<ID3D11VideoProcessorInputView> view;
  };
  struct OutputSlot {
    win::ComPtr<ID3D11Texture2D> texture;
    win::ComPtr<ID3D11VideoProcessorOutputView> view;
  };
  win::ComPtr<ID3D11VideoDevice> video_device;
  win::ComPtr<ID3D11VideoContext> video_context;
  win::ComPtr<ID3D11VideoProcessorEnumerator> enumerator;
  win::ComPtr<ID3D11VideoProcessor> processor;
  InputViewCache<InputView> input_views;
  std::array<OutputSlot, kOutputSlots> outputs;
  SlotRing slots;
};

struct CopyConversion {
  win::ComPtr<ID3D11DeviceContext> context;
  std::array<win::ComPtr<ID3D11Texture2D>, kOutputSlots> outputs;
  SlotRing slots;
  D3D11_BOX box = {};
};

struct FrameConverter {
  std::variant<VideoProcessorConversion, CopyConversion> mode;
};

Result<FrameConverter> create_frame_converter(ID3D11Device* device, ID3D11DeviceContext* context,
                                              const ConverterSetup& setup);

// One captured texture into the next output slot; the result is a new
// reference for the caller (it travels on to the encoder).
Result<win::ComPtr<ID3D11Texture2D>> convert_frame(FrameConverter& converter,
                                                   ID3D11Texture2D* source);

// The converter as the frame handler uses it.
std::unique_ptr<FrameConversion> gpu_conversion(FrameConverter converter);

}  // namespace orvelle::clips
