#pragma once
// A Direct3D 11 device with a video processor, as far as the frame converter
// uses one. Wine has neither a video device nor NV12 render targets, so the
// video-processor mode is tried against this: it records what the converter
// asks for and hands out objects whose failures the test chooses. Every
// object it makes is counted in `live`, so a test can see that the converter
// released all it held.

#include "common/win/com_ptr.h"

#include <d3d11_1.h>

#include <string>
#include <vector>

namespace orvelle::clips::fake {

struct Gpu {
  // What is offered.
  bool video_device = true;    // the device answers for ID3D11VideoDevice
  bool video_context1 = true;  // the video context answers for ID3D11VideoContext1
  HRESULT enumerator_result = S_OK;
  // false: the call succeeds but hands back no object.
  bool enumerator_object = true, processor_object = true, texture_object = true,
       output_view_object = true, input_view_object = true;
  HRESULT input_view_result = S_OK;
  HRESULT blt_result = S_OK;

  // What was asked for.
  std::vector<D3D11_TEXTURE2D_DESC> textures;  // every CreateTexture2D
  std::vector<D3D11_VIDEO_PROCESSOR_CONTENT_DESC> contents;
  std::vector<UINT> rate_conversion_indices;
  // The processor's settings in call order, as text ("stream 0 frame format
  // 0"); a call on a processor or enumerator this device did not make adds
  // "another processor".
  std::vector<std::string> settings;
  struct OutputView {
    ID3D11Resource* resource;
    D3D11_VIDEO_PROCESSOR_OUTPUT_VIEW_DESC desc;
  };
  std::vector<OutputView> output_views;
  struct InputView {
    ID3D11Resource* resource;
    D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC desc;
  };
  std::vector<InputView> input_views;
  struct Blt {
    ID3D11VideoProcessorOutputView* target;
    UINT output_frame, stream_count;
    D3D11_VIDEO_PROCESSOR_STREAM stream;  // the first
  };
  std::vector<Blt> blts;

  int live = 0;                                          // objects made and not yet released
  ID3D11VideoProcessorEnumerator* enumerator = nullptr;  // the last made
  ID3D11VideoProcessor* processor = nullptr;             // the last made

  win::ComPtr<ID3D11Device> device();
  win::ComPtr<ID3D11DeviceContext> context();
  // A BGRA texture of the capture pool's kind.
  win::ComPtr<ID3D11Texture2D> source_texture();
};

// The resource a view of this device was made for.
ID3D11Resource* resource_of(ID3D11VideoProcessorOutputView* view);
ID3D11Resource* resource_of(ID3D11VideoProcessorInputView* view);

// The object's reference count, as AddRef and Release report it.
ULONG references(IUnknown* object);

}  // namespace orvelle::clips::fake
