#pragma once
// The graphics adapter that shows the game window, and the Direct3D 11
// device every capture of a recording runs on (Windows only).

#include "common/win/capture.h"
#include "common/win/com_ptr.h"
#include "common/win_error.h"

#include <d3d11.h>
#include <dxgi.h>

#include <cstdint>
#include <string>

namespace orvelle::clips {

struct GpuAdapter {
  std::string description;  // the adapter's own text, for the log
  std::uint32_t vendor = 0;  // PCI vendor id; 0 when unknown
  win::ComPtr<ID3D11Device> device;
  win::ComPtr<ID3D11DeviceContext> context;
  win::ComPtr<IDXGIDevice> dxgi_device;
  // The same device as the capture frame pool takes it.
  win::ComPtr<win::IDirect3DDevice> capture_device;
};

// The first adapter with an output on the window's monitor; none when there
// is no such output or no factory.
win::ComPtr<IDXGIAdapter1> adapter_showing(HWND window);

// The device on the adapter that shows the window (on the system's default
// hardware adapter when none does), protected for use from many threads.
Result<GpuAdapter> open_gpu_adapter(HWND window);

// Wraps the device for the capture frame pool. Older systems lack the
// export that does it; their failure is the system's.
Status make_capture_device(GpuAdapter& gpu);

}  // namespace orvelle::clips
