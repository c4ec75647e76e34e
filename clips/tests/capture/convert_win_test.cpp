// The converter on a real Direct3D 11 device under Wine (feature level 11 on
// llvmpipe). Wine has no video device, so there the video-processor mode can
// only fail cleanly; the BGRA crop runs for real.

#include "capture/convert_win.h"
#include "win/pool_texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orvelle::clips {
namespace {

using win::ComPtr;

constexpr std::uint32_t kWidth = 64, kHeight = 48;

std::uint32_t pixel(std::uint32_t x, std::uint32_t y) {
  return 0xFF000000u | (x << 16) | (y << 8) | ((x * 7 + y * 13) & 0xFF);
}

class Direct3D : public testing::Test {
 protected:
  void SetUp() override {
    const D3D_DRIVER_TYPE drivers[] = {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP};
    for (D3D_DRIVER_TYPE driver : drivers) {
      if (SUCCEEDED(D3D11CreateDevice(nullptr, driver, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                                      nullptr, 0, D3D11_SDK_VERSION, device.put(), nullptr,
                                      context.put())))
        break;
    }
    ASSERT_TRUE(device) << "no Direct3D 11 device";
  }

  // A BGRA texture of the pool's kind, with known pixels.
  ComPtr<ID3D11Texture2D> source_texture() {
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    for (std::uint32_t y = 0; y < kHeight; ++y)
      for (std::uint32_t x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = pixel(x, y);
    D3D11_TEXTURE2D_DESC d = pool_texture_desc(kWidth, kHeight);
    D3D11_SUBRESOURCE_DATA init = {pixels.data(), kWidth * 4, 0};
    ComPtr<ID3D11Texture2D> t;
    EXPECT_EQ(device->CreateTexture2D(&d, &init, t.put()), S_OK);
    return t;
  }

  // The texture's pixels, through a staging copy.
  std::vector<std::uint32_t> read_back(ID3D11Texture2D* texture) {
    D3D11_TEXTURE2D_DESC d;
    texture->GetDesc(&d);
    d.Usage = D3D11_USAGE_STAGING;
    d.BindFlags = 0;
    d.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ComPtr<ID3D11Texture2D> staging;
    EXPECT_EQ(device->CreateTexture2D(&d, nullptr, staging.put()), S_OK);
    context->CopyResource(staging.get(), texture);
    D3D11_MAPPED_SUBRESOURCE mapped;
    EXPECT_EQ(context->Map(staging.get(), 0, D3D11_MAP_READ, 0, &mapped), S_OK);
    std::vector<std::uint32_t> out(d.Width * d.Height);
    for (UINT y = 0; y < d.Height; ++y)
      std::memcpy(&out[y * d.Width], static_cast<const char*>(mapped.pData) + y * mapped.RowPitch,
                  d.Width * 4);
    context->Unmap(staging.get(), 0);
    return out;
  }

  ComPtr<ID3D11Device> device;
  ComPtr<ID3D11DeviceContext> context;
};

TEST_F(Direct3D, CopyModeCropsAndTakesTheSlotsInTurn) {
  ConverterSetup setup;
  setup.item = {kWidth, kHeight};
  setup.crop_x = 5;
  setup.crop_y = 7;
  setup.encode = {32, 20};
  setup.mode = ConvertMode::copy;
  auto converter = create_frame_converter(device.get(), context.get(), setup);
  ASSERT_TRUE(converter.has_value()) << converter.error().text();
  ComPtr<ID3D11Texture2D> source = source_texture();

  auto first = convert_frame(*converter, source.get());
  ASSERT_TRUE(first.has_value());
  D3D11_TEXTURE2D_DESC d;
  (*first)->GetDesc(&d);
  EXPECT_EQ(d.Width, 32u);
  EXPECT_EQ(d.Height, 20u);
  EXPECT_EQ(d.Format, DXGI_FORMAT_B8G8R8A8_UNORM);
  EXPECT_EQ(d.BindFlags, UINT{D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET});

  std::vector<std::uint32_t> out = read_back(first->get());
  int wrong = 0;
  for (std::uint32_t y = 0; y < 20; ++y)
    for (std::uint32_t x = 0; x < 32; ++x)
      if (out[y * 32 + x] != pixel(x + 5, y + 7) && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << out[y * 32 + x]
                      << " wanted " << pixel(x + 5, y + 7);

  std::vector<ID3D11Texture2D*> outputs = {first->get()};
  for (int i = 1; i < 7; ++i) {
    auto next = convert_frame(*converter, source.get());
    ASSERT_TRUE(next.has_value());
    outputs.push_back(next->get());
  }
  for (int i = 1; i < 6; ++i) EXPECT_NE(outputs[i], outputs[0]);
  EXPECT_EQ(outputs[6], outputs[0]);  // the seventh frame reuses the first slot
}

TEST_F(Direct3D, VideoProcessorModeFailsCleanlyWithoutAVideoDevice) {
  ComPtr<ID3D11VideoDevice> video;
  if (SUCCEEDED(device.as(video))) GTEST_SKIP() << "this device has a video processor";
  ConverterSetup setup;
  setup.item = {kWidth, kHeight};
  setup.encode = {32, 20};
  auto converter = create_frame_converter(device.get(), context.get(), setup);
  ASSERT_FALSE(converter.has_value());
  EXPECT_EQ(converter.error().code, static_cast<std::uint32_t>(E_NOINTERFACE));
}

}  // namespace
}  // namespace orvelle::clips
