// The adapter that shows a window and the device on it, on Wine's Direct3D.

#include "capture/gpu_adapter_win.h"

#include <gtest/gtest.h>

#include <d3d10.h>

namespace orvelle::clips {
namespace {

class GpuAdapterWin : public testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", L"gpu test", WS_OVERLAPPEDWINDOW, 20, 20, 640, 480,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
  }
  void TearDown() override { DestroyWindow(window); }
  HWND window = nullptr;
};

TEST_F(GpuAdapterWin, OpensAProtectedDeviceOnTheAdapterThatShowsTheWindow) {
  EXPECT_TRUE(adapter_showing(window));
  auto gpu = open_gpu_adapter(window);
  ASSERT_TRUE(gpu) << gpu.error().text();
  ASSERT_TRUE(gpu->device);
  ASSERT_TRUE(gpu->context);
  EXPECT_FALSE(gpu->description.empty());
  EXPECT_NE(gpu->vendor, 0u);
  win::ComPtr<ID3D10Multithread> multithread;
  ASSERT_TRUE(SUCCEEDED(gpu->device.as(multithread)));
  EXPECT_TRUE(multithread->GetMultithreadProtected());
}

TEST_F(GpuAdapterWin, TheCaptureDeviceNeedsTheSystemsExport) {
  auto gpu = open_gpu_adapter(window);
  ASSERT_TRUE(gpu) << gpu.error().text();
  Status made = make_capture_device(*gpu);
  if (GetProcAddress(GetModuleHandleW(L"d3d11.dll"), win::kCreateDirect3D11DeviceFromDXGIDevice)) {
    EXPECT_TRUE(made) << made.error().text();
    EXPECT_TRUE(gpu->capture_device);
  } else {  // Wine, and systems older than the capture API
    ASSERT_FALSE(made);
    EXPECT_EQ(made.error().code, 0x8007007Fu) << made.error().text();  // procedure not found
  }
}

}  // namespace
}  // namespace orvelle::clips
