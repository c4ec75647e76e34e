// The real frame handler, called as the free-threaded frame pool calls it,
// on frames of real textures of known pixels, with the real converter on a
// real Direct3D 11 device.

#include "capture/convert_win.h"
#include "capture/frame_handler_win.h"
#include "encode/frame_texture_win.h"
#include "win/d3d_device.h"
#include "win/fake_capture.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

using win::ComPtr;

constexpr std::uint32_t kItemWidth = 64, kItemHeight = 48;
constexpr Ticks kInterval{124'999};
constexpr std::int64_t kT0 = 10'000'000'000;

class FrameHandler : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d3d.device) << "no Direct3D 11 device";
    ConverterSetup cs;
    cs.item = {kItemWidth, kItemHeight};
    cs.crop_x = 6;
    cs.crop_y = 10;
    cs.encode = {40, 30};
    cs.mode = ConvertMode::copy;
    auto converter = create_frame_converter(d3d.device.get(), d3d.context.get(), cs);
    ASSERT_TRUE(converter) << converter.error().text();
    auto [tx, rx] = make_frame_channel();
    receiver = std::move(rx);
    handler = FrameArrivedHandler::make(FrameHandlerSetup{
        .sender = std::move(tx), .stats = stats, .in_flight = std::make_shared<InFlight>(),
        .ring = ring, .interval = kInterval, .converter = gpu_conversion(std::move(*converter)),
        .expected = {kItemWidth, kItemHeight}, .send = true});
  }

  ComPtr<fake::Frame> frame(std::int64_t time, win::SizeInt32 size = {kItemWidth, kItemHeight}) {
    return win::make_com<fake::Frame>(pattern_texture(d3d.device.get(), kItemWidth, kItemHeight), time,
                                   size);
  }
  HRESULT arrive(ComPtr<fake::Frame> f) {
    pool->queue(std::move(f));
    return handler->Invoke(pool.get(), nullptr);
  }

  D3DDevice d3d = make_d3d_device();
  std::shared_ptr<CaptureStats> stats = std::make_shared<CaptureStats>();
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(
      60, RingPlatform{[] { return kUnixEpochInFileTime; }, [](WindowHandle) { return false; }});
  FrameReceiver receiver;
  ComPtr<FrameArrivedHandler> handler;
  ComPtr<fake::FramePool> pool = win::make_com<fake::FramePool>();
};

TEST_F(FrameHandler, AFrameReachesTheEncoderCroppedOnTheGpu) {
  EXPECT_EQ(arrive(frame(kT0)), S_OK);
  std::optional<CapturedFrame> sent;
  ASSERT_EQ(receiver.try_receive(sent), RecvStatus::value);
  EXPECT_EQ(sent->time, Ticks{0});
  EXPECT_EQ(sent->duration, kInterval);
  ID3D11Texture2D* texture = d3d_texture(sent->texture);
  D3D11_TEXTURE2D_DESC desc;
  texture->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 40u);
  EXPECT_EQ(desc.Height, 30u);
  // The picture stays on the GPU: nothing of it can be read by the CPU.
  EXPECT_EQ(desc.Usage, D3D11_USAGE_DEFAULT);
  EXPECT_EQ(desc.CPUAccessFlags, 0u);
  std::vector<std::uint32_t> pixels = read_back(d3d, texture);
  int wrong = 0;
  for (std::uint32_t y = 0; y < 30; ++y)
    for (std::uint32_t x = 0; x < 40; ++x)
      if (pixels[y * 40 + x] != pattern_pixel(x + 6, y + 10) && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y;
  EXPECT_EQ(reading(stats->captured), 1u);
  EXPECT_EQ(reading(stats->sent), 1u);
}

TEST_F(FrameHandler, InvokeAnswersOkWhateverBecomesOfTheFrame) {
  EXPECT_EQ(handler->Invoke(nullptr, nullptr), S_OK);       // no pool
  EXPECT_EQ(handler->Invoke(pool.get(), nullptr), S_OK);    // no frame waiting
  pool->next_frame_result = E_FAIL;
  EXPECT_EQ(handler->Invoke(pool.get(), nullptr), S_OK);    // the pool failed
  pool->next_frame_result = S_OK;
  EXPECT_EQ(reading(stats->captured), 0u);

  EXPECT_EQ(arrive(frame(kT0 + 1, {kItemWidth - 2, kItemHeight})), S_OK);  // resized
  EXPECT_EQ(reading(stats->size_skip), 1u);
  auto no_surface = frame(kT0 + 2);
  no_surface->surface_fails = true;
  EXPECT_EQ(arrive(no_surface), S_OK);
  EXPECT_EQ(reading(stats->captured), 2u);
  EXPECT_EQ(reading(stats->sent), 0u);
}

TEST_F(FrameHandler, IsAnAgileDelegate) {
  ComPtr<IAgileObject> agile;
  EXPECT_EQ(ComPtr<FrameArrivedHandler>(handler).as(agile), S_OK);
  ComPtr<win::IFrameArrivedHandler> delegate;
  EXPECT_EQ(ComPtr<FrameArrivedHandler>(handler).as(delegate), S_OK);
  ComPtr<IMarshal> marshal;
  EXPECT_EQ(ComPtr<FrameArrivedHandler>(handler).as(marshal), E_NOINTERFACE);
}

}  // namespace
}  // namespace orvelle::clips
