// The video-processor mode against a fake video device (win/fake_gpu.h):
// what the processor is told at creation, the output ring, the input views
// cached by texture, failures returned and calls that succeed without their
// object.

#include "capture/convert_win.h"
#include "capture/converter_setup.h"
#include "win/fake_gpu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvelle::clips {
namespace {

using fake::references;
using fake::resource_of;
using win::ComPtr;

ConverterSetup setup() { return windowed_setup(ConvertMode::video_processor); }

class VideoProcessor : public testing::Test {
 protected:
  Result<FrameConverter> create() {
    return create_frame_converter(device.get(), context.get(), setup());
  }
  static VideoProcessorConversion& processor(FrameConverter& c) {
    return std::get<VideoProcessorConversion>(c.mode);
  }

  // Everything the converter made is released with it.
  void TearDown() override {
    device.reset();
    context.reset();
    EXPECT_EQ(gpu.live, 0);
  }

  fake::Gpu gpu;
  ComPtr<ID3D11Device> device = gpu.device();
  ComPtr<ID3D11DeviceContext> context = gpu.context();
};

const std::vector<std::string> kStreamState = {
    "stream 0 auto processing 0",  // off
    "stream 0 frame format 0",     // progressive
    "stream 0 source 1 {8, 31, 1288, 751}",
    "stream 0 destination 1 {0, 0, 1280, 720}",
    "output target 1 {0, 0, 1280, 720}",
};

TEST_F(VideoProcessor, CreationDescribesTheProcessorAndItsOutputs) {
  auto converter = create();
  ASSERT_TRUE(converter.has_value()) << converter.error().text();

  ASSERT_EQ(gpu.contents.size(), 1u);
  const D3D11_VIDEO_PROCESSOR_CONTENT_DESC& c = gpu.contents[0];
  EXPECT_EQ(c.InputFrameFormat, D3D11_VIDEO_FRAME_FORMAT_PROGRESSIVE);
  EXPECT_EQ(c.InputFrameRate.Numerator, 60u);
  EXPECT_EQ(c.InputFrameRate.Denominator, 1u);
  EXPECT_EQ(c.InputWidth, 1296u);
  EXPECT_EQ(c.InputHeight, 759u);
  EXPECT_EQ(c.OutputFrameRate.Numerator, 60u);
  EXPECT_EQ(c.OutputFrameRate.Denominator, 1u);
  EXPECT_EQ(c.OutputWidth, 1280u);
  EXPECT_EQ(c.OutputHeight, 720u);
  EXPECT_EQ(c.Usage, D3D11_VIDEO_USAGE_PLAYBACK_NORMAL);
  EXPECT_EQ(gpu.rate_conversion_indices, std::vector<UINT>{0});

  std::vector<std::string> settings = {"stream 0 colour space 0", "output colour space 8"};
  settings.insert(settings.end(), kStreamState.begin(), kStreamState.end());
  EXPECT_EQ(gpu.settings, settings);

  ASSERT_EQ(gpu.textures.size(), kOutputSlots);
  for (const D3D11_TEXTURE2D_DESC& t : gpu.textures) {
    EXPECT_EQ(t.Width, 1280u);
    EXPECT_EQ(t.Height, 720u);
    EXPECT_EQ(t.MipLevels, 1u);
    EXPECT_EQ(t.ArraySize, 1u);
    EXPECT_EQ(t.Format, DXGI_FORMAT_NV12);
    EXPECT_EQ(t.SampleDesc.Count, 1u);
    EXPECT_EQ(t.SampleDesc.Quality, 0u);
    EXPECT_EQ(t.Usage, D3D11_USAGE_DEFAULT);
    EXPECT_EQ(t.BindFlags, 0x28u);
    EXPECT_EQ(t.CPUAccessFlags, 0u);
    EXPECT_EQ(t.MiscFlags, 0u);
  }
  // One view for each slot's own texture.
  ASSERT_EQ(gpu.output_views.size(), kOutputSlots);
  for (std::size_t i = 0; i < kOutputSlots; ++i) {
    const auto& slot = processor(*converter).outputs[i];
    EXPECT_EQ(gpu.output_views[i].resource, slot.texture.get());
    EXPECT_EQ(resource_of(slot.view.get()), slot.texture.get());
    EXPECT_EQ(gpu.output_views[i].desc.ViewDimension, D3D11_VPOV_DIMENSION_TEXTURE2D);
    EXPECT_EQ(gpu.output_views[i].desc.Texture2D.MipSlice, 0u);
  }
  EXPECT_TRUE(gpu.input_views.empty());
}

TEST_F(VideoProcessor, WithoutVideoContext1TheDriversColourSpacesStay) {
  gpu.video_context1 = false;
  auto converter = create();
  ASSERT_TRUE(converter.has_value()) << converter.error().text();
  EXPECT_EQ(gpu.settings, kStreamState);
}

TEST_F(VideoProcessor, FramesGoThroughTheSixSlotsInTurn) {
  ComPtr<ID3D11Texture2D> kept;
  {
    auto converter = create();
    ASSERT_TRUE(converter.has_value()) << converter.error().text();
    ComPtr<ID3D11Texture2D> source = gpu.source_texture();

    std::vector<ComPtr<ID3D11Texture2D>> out;
    for (int i = 0; i < 7; ++i) {
      auto t = convert_frame(*converter, source.get());
      ASSERT_TRUE(t.has_value()) << t.error().text();
      out.push_back(std::move(*t));
    }
    ASSERT_EQ(gpu.blts.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
      const fake::Gpu::Blt& b = gpu.blts[i];
      EXPECT_EQ(resource_of(b.target), out[i].get()) << i;  // written, then handed out
      EXPECT_EQ(b.output_frame, 0u);
      EXPECT_EQ(b.stream_count, 1u);
      EXPECT_TRUE(b.stream.Enable);
      EXPECT_EQ(b.stream.OutputIndex, 0u);
      EXPECT_EQ(b.stream.InputFrameOrField, 0u);
      EXPECT_EQ(b.stream.PastFrames, 0u);
      EXPECT_EQ(b.stream.FutureFrames, 0u);
      EXPECT_EQ(b.stream.ppPastSurfaces, nullptr);
      EXPECT_EQ(b.stream.ppFutureSurfaces, nullptr);
      EXPECT_EQ(resource_of(b.stream.pInputSurface), source.get());
    }
    for (std::size_t i = 1; i < kOutputSlots; ++i) EXPECT_NE(out[i].get(), out[0].get());
    EXPECT_EQ(out[6].get(), out[0].get());  // the seventh frame reuses the first slot

    // One input view for the one source, made as wanted.
    ASSERT_EQ(gpu.input_views.size(), 1u);
    const D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC& d = gpu.input_views[0].desc;
    EXPECT_EQ(d.FourCC, 0u);
    EXPECT_EQ(d.ViewDimension, D3D11_VPIV_DIMENSION_TEXTURE2D);
    EXPECT_EQ(d.Texture2D.MipSlice, 0u);
    EXPECT_EQ(d.Texture2D.ArraySlice, 0u);

    kept = out[1];
  }
  // What is handed out is the caller's own: it outlives the converter.
  EXPECT_EQ(references(kept.get()), 1u);
}

TEST_F(VideoProcessor, InputViewsAreCachedByTextureAndStartOverAtTheNinth) {
  auto converter = create();
  ASSERT_TRUE(converter.has_value()) << converter.error().text();
  std::vector<ComPtr<ID3D11Texture2D>> sources;
  for (int i = 0; i < 9; ++i) sources.push_back(gpu.source_texture());
  auto convert = [&](int i) {
    auto t = convert_frame(*converter, sources[i].get());
    ASSERT_TRUE(t.has_value()) << t.error().text();
  };

  for (int i = 0; i < 8; ++i) convert(i);
  convert(3);
  EXPECT_EQ(gpu.input_views.size(), 8u);  // found again, not made again
  EXPECT_EQ(processor(*converter).input_views.size(), 8u);
  EXPECT_EQ(references(sources[0].get()), 3u);  // here, in the cache and under its view

  convert(8);
  EXPECT_EQ(processor(*converter).input_views.size(), 1u);
  EXPECT_EQ(references(sources[0].get()), 1u);  // the cache let go of it and of its view
  EXPECT_EQ(references(sources[8].get()), 3u);
  convert(8);
  EXPECT_EQ(gpu.input_views.size(), 9u);
  convert(0);  // forgotten: a new view
  EXPECT_EQ(gpu.input_views.size(), 10u);
  EXPECT_EQ(processor(*converter).input_views.size(), 2u);
}

TEST_F(VideoProcessor, ConversionFailuresAreReturned) {
  auto converter = create();
  ASSERT_TRUE(converter.has_value()) << converter.error().text();
  ComPtr<ID3D11Texture2D> source = gpu.source_texture();

  gpu.input_view_result = E_INVALIDARG;
  auto t = convert_frame(*converter, source.get());
  ASSERT_FALSE(t.has_value());
  EXPECT_EQ(t.error().code, static_cast<std::uint32_t>(E_INVALIDARG));
  EXPECT_TRUE(gpu.blts.empty());
  EXPECT_EQ(processor(*converter).input_views.size(), 0u);

  gpu.input_view_result = S_OK;
  gpu.blt_result = DXGI_ERROR_DEVICE_REMOVED;
  t = convert_frame(*converter, source.get());
  ASSERT_FALSE(t.has_value());
  EXPECT_EQ(t.error().code, static_cast<std::uint32_t>(DXGI_ERROR_DEVICE_REMOVED));
  // The failed view took no slot: this first blit went to slot 0.
  ASSERT_EQ(gpu.blts.size(), 1u);
  EXPECT_EQ(gpu.blts[0].target, processor(*converter).outputs[0].view.get());
}

TEST_F(VideoProcessor, CreationFailuresAreReturned) {
  struct Case {
    const char* what;
    void (*arrange)(fake::Gpu&);
    std::uint32_t code;
  } cases[] = {
      {"no video device", [](fake::Gpu& g) { g.video_device = false; },
       static_cast<std::uint32_t>(E_NOINTERFACE)},
      {"enumerator fails", [](fake::Gpu& g) { g.enumerator_result = E_INVALIDARG; },
       static_cast<std::uint32_t>(E_INVALIDARG)},
      // A call that succeeded without its object fails with code 0.
      {"no enumerator", [](fake::Gpu& g) { g.enumerator_object = false; }, 0},
      {"no processor", [](fake::Gpu& g) { g.processor_object = false; }, 0},
  };
  for (const Case& c : cases) {
    fake::Gpu g;
    c.arrange(g);
    {
      auto converter = create_frame_converter(g.device().get(), g.context().get(), setup());
      ASSERT_FALSE(converter.has_value()) << c.what;
      EXPECT_EQ(converter.error().code, c.code) << c.what;
    }
    EXPECT_EQ(g.live, 0) << c.what;
  }
}

// A texture or view call that succeeds without its object is a broken
// invariant: the process ends, naming the call.
TEST_F(VideoProcessor, CallsWithoutTheirObjectEndTheProcess) {
  EXPECT_DEATH(
      {
        gpu.texture_object = false;
        (void)create();
      },
      "texture");
  EXPECT_DEATH(
      {
        gpu.output_view_object = false;
        (void)create();
      },
      "output view");
  EXPECT_DEATH(
      {
        auto converter = create();
        gpu.input_view_object = false;
        (void)convert_frame(*converter, gpu.source_texture().get());
      },
      "input view");
}

}  // namespace
}  // namespace orvelle::clips
