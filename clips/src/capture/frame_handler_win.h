#pragma once
// The frame pool's FrameArrived delegate (Windows only). The pool is
// free-threaded: Invoke runs on the system's capture worker threads, several
// at once at times, and always answers S_OK, whatever became of the frame.
// The object is agile, so the platform calls it from any apartment.

#include "capture/frame_arrival.h"
#include "common/win/capture.h"
#include "common/win/com_object.h"
#include "common/win/com_ptr.h"
#include "common/win_error.h"

#include <d3d11.h>

namespace orvelle::clips {

class FrameArrivedHandler final : public win::ComObject<win::IFrameArrivedHandler, IAgileObject> {
 public:
  // Its reference count starts at 1, held by the returned pointer.
  static win::ComPtr<FrameArrivedHandler> make(FrameHandlerSetup setup);

  // on_frame_arrived for the pool's next frame.
  HRESULT STDMETHODCALLTYPE Invoke(win::IDirect3D11CaptureFramePool* pool,
                                   IInspectable* args) override;

 private:
  explicit FrameArrivedHandler(FrameHandlerSetup setup) : arrival_(std::move(setup)) {}

  FrameArrival arrival_;
};

// The Direct3D 11 texture behind a captured frame's surface.
Result<win::ComPtr<ID3D11Texture2D>> surface_texture(win::IDirect3DSurface* surface);

}  // namespace orvelle::clips
