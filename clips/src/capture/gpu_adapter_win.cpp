#include "capture/gpu_adapter_win.h"

#include "common/try.h"
#include "common/utf.h"
#include "common/win/error.h"

#include <d3d10.h>

namespace orvelle::clips {
namespace {

using win::ComPtr;

// BGRA textures for the capture pool, and the video processor.
constexpr UINT kDeviceFlags = D3D11_CREATE_DEVICE_BGRA_SUPPORT | D3D11_CREATE_DEVICE_VIDEO_SUPPORT;
static_assert(kDeviceFlags == 0x820);
static_assert(D3D11_SDK_VERSION == 7);
// The capture's GPU work goes ahead of the game's own a little.
constexpr INT kGpuThreadPriority = -7;

bool shows_monitor(IDXGIAdapter1* adapter, HMONITOR monitor) {
  for (UINT i = 0;; ++i) {
    ComPtr<IDXGIOutput> output;
    if (FAILED(adapter->EnumOutputs(i, output.put()))) return false;
    DXGI_OUTPUT_DESC desc = {};
    if (SUCCEEDED(output->GetDesc(&desc)) && desc.Monitor == monitor) return true;
  }
}

// The adapter's own description (up to its first NUL) and vendor, for the log.
void describe(GpuAdapter& gpu) {
  ComPtr<IDXGIAdapter> adapter;
  DXGI_ADAPTER_DESC desc = {};
  if (!gpu.dxgi_device || FAILED(gpu.dxgi_device->GetAdapter(adapter.put())) ||
      FAILED(adapter->GetDesc(&desc)))
    return;
  const auto* text = reinterpret_cast<const char16_t*>(desc.Description);
  std::size_t n = 0;
  while (n < std::size(desc.Description) && text[n] != 0) ++n;
  gpu.description = utf16_to_utf8({text, n});
  gpu.vendor = desc.VendorId;
}

}  // namespace

ComPtr<IDXGIAdapter1> adapter_showing(HWND window) {
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  ComPtr<IDXGIFactory1> factory;
  if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory1), factory.put_void()))) return nullptr;
  for (UINT i = 0;; ++i) {
    ComPtr<IDXGIAdapter1> adapter;
    if (FAILED(factory->EnumAdapters1(i, adapter.put()))) return nullptr;
    if (shows_monitor(adapter.get(), monitor)) return adapter;
  }
}

Result<GpuAdapter> open_gpu_adapter(HWND window) {
  GpuAdapter gpu;
  ComPtr<IDXGIAdapter1> adapter = adapter_showing(window);
  ORVELLE_TRY(win::checked(D3D11CreateDevice(
      adapter.get(), adapter ? D3D_DRIVER_TYPE_UNKNOWN : D3D_DRIVER_TYPE_HARDWARE, nullptr,
      kDeviceFlags, nullptr, 0, D3D11_SDK_VERSION, gpu.device.put(), nullptr,
      gpu.context.put())));
  if (!gpu.device || !gpu.context) return error(win::no_object());
  // The capture callbacks, the encoder and the converter use the device
  // from their own threads.
  ComPtr<ID3D10Multithread> multithread;
  ORVELLE_TRY(win::checked(gpu.device.as(multithread)));
  multithread->SetMultithreadProtected(TRUE);
  if (SUCCEEDED(gpu.device.as(gpu.dxgi_device)))
    static_cast<void>(gpu.dxgi_device->SetGPUThreadPriority(kGpuThreadPriority));
  describe(gpu);
  return gpu;
}

Status make_capture_device(GpuAdapter& gpu) {
  if (!gpu.dxgi_device) return error(win::no_object());
  auto create = reinterpret_cast<win::CreateDirect3D11DeviceFromDXGIDeviceFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"d3d11.dll"), win::kCreateDirect3D11DeviceFromDXGIDevice)));
  if (!create) return error(win::last_error());
  ComPtr<IInspectable> inspectable;
  ORVELLE_TRY(win::checked(create(gpu.dxgi_device.get(), inspectable.put())));
  if (!inspectable) return error(win::no_object());
  return win::checked(inspectable.as(gpu.capture_device));
}

}  // namespace orvelle::clips
