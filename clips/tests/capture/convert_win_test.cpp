// The converter on a real Direct3D 11 device under Wine (feature level 11 on
// llvmpipe). Wine has no video device, so there the video-processor mode can
// only fail cleanly; the BGRA crop runs for real.

#include "capture/convert_win.h"
#include "win/d3d_device.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvelle::clips {
namespace {

using win::ComPtr;

constexpr std::uint32_t kWidth = 64, kHeight = 48;

class Direct3D : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(d3d.device) << "no Direct3D 11 device"; }

  ComPtr<ID3D11Texture2D> source_texture() { return pattern_texture(d3d.device.get(), kWidth, kHeight); }

  D3DDevice d3d = make_d3d_device();
  ID3D11Device* device = d3d.device.get();
  ID3D11DeviceContext* context = d3d.context.get();
};

TEST_F(Direct3D, CopyModeCropsAndTakesTheSlotsInTurn) {
  ConverterSetup setup;
  setup.item = {kWidth, kHeight};
  setup.crop_x = 5;
  setup.crop_y = 7;
  setup.encode = {32, 20};
  setup.mode = ConvertMode::copy;
  auto converter = create_frame_converter(device, context, setup);
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

  std::vector<std::uint32_t> out = read_back(d3d, first->get());
  int wrong = 0;
  for (std::uint32_t y = 0; y < 20; ++y)
    for (std::uint32_t x = 0; x < 32; ++x)
      if (out[y * 32 + x] != pattern_pixel(x + 5, y + 7) && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << out[y * 32 + x]
                      << " wanted " << pattern_pixel(x + 5, y + 7);

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
  if (SUCCEEDED(d3d.device.as(video))) GTEST_SKIP() << "this device has a video processor";
  ConverterSetup setup;
  setup.item = {kWidth, kHeight};
  setup.encode = {32, 20};
  auto converter = create_frame_converter(device, context, setup);
  ASSERT_FALSE(converter.has_value());
  EXPECT_EQ(converter.error().code, static_cast<std::uint32_t>(E_NOINTERFACE));
}

}  // namespace
}  // namespace orvelle::clips
