// Cover art on Windows, as far as Wine can run it. The Windows Imaging
// Component decodes, scales and cuts real PNG and JPEG covers, made here by
// its own encoders from pixels we know, and the square it gives is the one
// the core's geometry asks for. The product's own decoder
// (Windows.Graphics.Imaging) is missing under Wine: there its thumbnail
// fails cleanly, as an error value the bridge logs.

#include "bridge/art.h"
#include "bridge/art_win.h"
#include "bridge/run_state.h"
#include "common/win/com_object.h"
#include "common/win/imaging.h"
#include "support/fake_platform.h"
#include "support/lines.h"
#include "win/wic_picture.h"

#include <wincodec.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvelle::media {
namespace {

using win::ComPtr;

constexpr UINT kW = 640, kH = 480, kBar = 60;

// Black bars of 60 rows above and below; between them red rising from 0 at
// the left to 255 at the right, green 128, opaque.
std::vector<std::uint8_t> letterboxed() {
  std::vector<std::uint8_t> p(kW * kH * 4, 0);
  for (UINT y = 0; y < kH; ++y)
    for (UINT x = 0; x < kW; ++x) {
      std::uint8_t* px = &p[(y * kW + x) * 4];
      px[3] = 255;
      if (y < kBar || y >= kH - kBar) continue;
      px[0] = static_cast<std::uint8_t>(x * 255 / (kW - 1));
      px[1] = 128;
    }
  return p;
}

ComPtr<IStream> encoded(const GUID& container) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  ComPtr<IWICImagingFactory> factory;
  EXPECT_EQ(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                             __uuidof(IWICImagingFactory), factory.put_void()), S_OK);
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  ComPtr<IWICBitmapEncoder> encoder;
  EXPECT_EQ(factory->CreateEncoder(container, nullptr, encoder.put()), S_OK);
  EXPECT_EQ(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), S_OK);
  ComPtr<IWICBitmapFrameEncode> frame;
  EXPECT_EQ(encoder->CreateNewFrame(frame.put(), nullptr), S_OK);
  EXPECT_EQ(frame->Initialize(nullptr), S_OK);
  EXPECT_EQ(frame->SetSize(kW, kH), S_OK);
  std::vector<std::uint8_t> rgba = letterboxed();
  ComPtr<IWICBitmap> bitmap;
  EXPECT_EQ(factory->CreateBitmapFromMemory(kW, kH, GUID_WICPixelFormat32bppRGBA, kW * 4,
                                            static_cast<UINT>(rgba.size()), rgba.data(), bitmap.put()),
            S_OK);
  EXPECT_EQ(frame->WriteSource(bitmap.get(), nullptr), S_OK);
  EXPECT_EQ(frame->Commit(), S_OK);
  EXPECT_EQ(encoder->Commit(), S_OK);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  return stream;
}

TEST(CoverArtWin, PngAndJpegCoversGiveTheCoreSquare) {
  struct Case {
    const char* what;
    GUID container;
    int tolerance;
    bool exact;  // JPEG's ringing may make a bar's edge row count as content
  } cases[] = {{"png", GUID_ContainerFormatPng, 3, true}, {"jpeg", GUID_ContainerFormatJpeg, 24, false}};
  for (const Case& c : cases) {
    ComPtr<IStream> stream = encoded(c.container);
    auto picture = testing::open_wic_picture(stream.get());
    ASSERT_TRUE(picture) << c.what << " " << picture.error().text();
    auto size = (*picture)->size();
    ASSERT_TRUE(size);
    EXPECT_EQ(*size, (PictureSize{kW, kH}));
    PictureSize a = analysis_size(*size);
    auto reduced = (*picture)->pixels(a, std::nullopt);
    ASSERT_TRUE(reduced);
    ASSERT_EQ(reduced->size(), 256u * 192 * 4);
    ContentBox box = find_content_box(*reduced, a.width, a.height);
    ArtCut cut = art_cut(*size, box, 128);
    if (c.exact) {
      EXPECT_EQ(box, (ContentBox{0, 26, 256, 166})) << c.what;  // between the bars, 2 rows in
      EXPECT_EQ(cut, (ArtCut{{234, 176}, {53, 24, 128, 128}})) << c.what;
    } else {
      EXPECT_NEAR(box.top, 26, 1) << c.what;
      EXPECT_NEAR(box.bottom, 166, 1) << c.what;
    }
    auto square = (*picture)->pixels(cut.scaled, cut.bounds);
    ASSERT_TRUE(square);
    ASSERT_EQ(square->size(), 128u * 128 * 4);
    for (UINT y : {0u, 64u, 127u})
      for (UINT x : {0u, 64u, 127u}) {
        const std::uint8_t* px = &(*square)[(y * 128 + x) * 4];
        // The source column under this pixel of the scaled picture.
        double source_x = (cut.bounds.x + x + 0.5) * kW / cut.scaled.width - 0.5;
        int red = static_cast<int>(source_x * 255 / (kW - 1) + 0.5);
        EXPECT_NEAR(px[0], red, c.tolerance) << c.what << " " << x << "," << y;
        EXPECT_NEAR(px[1], 128, c.tolerance) << c.what << " " << x << "," << y;  // no bar row
        EXPECT_EQ(px[3], 255);
      }
  }
}

TEST(CoverArtWin, RefusesWhatItCannotHold) {
  ComPtr<IStream> stream = encoded(GUID_ContainerFormatPng);
  auto picture = testing::open_wic_picture(stream.get());
  ASSERT_TRUE(picture);
  EXPECT_FALSE((*picture)->pixels({4'000'000'000u, 10}, std::nullopt));
  EXPECT_FALSE((*picture)->pixels({100, 100}, PictureBounds{90, 0, 20, 20}));
  ComPtr<IStream> empty;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, empty.put()), S_OK);
  EXPECT_FALSE(testing::open_wic_picture(empty.get()));
}

// A thumbnail whose opening answers with open_result, and when it succeeds
// gives a stream that is only a stream.
class FakeStream final : public win::ComObject<win::IRandomAccessStream> {};

class FakeOpen final : public win::ComObject<win::IStreamOperation, IAsyncInfo> {
 public:
  explicit FakeOpen(HRESULT results) : results_(results) {}
  HRESULT STDMETHODCALLTYPE put_Completed(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Completed(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetResults(IInspectable** stream) override {
    *stream = nullptr;
    if (FAILED(results_)) return results_;
    *stream = static_cast<win::IRandomAccessStream*>(win::make_com<FakeStream>().detach());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Id(unsigned* id) override {
    *id = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
    *status = FAILED(results_) ? AsyncStatus::Error : AsyncStatus::Completed;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
    *code = results_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  HRESULT results_;
};

class FakeReference final : public win::ComObject<win::IRandomAccessStreamReference> {
 public:
  explicit FakeReference(HRESULT open_result) : open_result_(open_result) {}
  HRESULT STDMETHODCALLTYPE OpenReadAsync(win::IStreamOperation** op) override {
    *op = win::make_com<FakeOpen>(open_result_).detach();
    return S_OK;
  }

 private:
  HRESULT open_result_;
};

TEST(CoverArtWin, WithoutTheImagingRuntimeTheThumbnailFailsAsAValue) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  struct Case {
    const char* what;
    HRESULT open, error;
  } cases[] = {{"the stream cannot be opened", E_ACCESSDENIED, E_ACCESSDENIED},
               // Past the stream: Wine registers no decoder class.
               {"the stream opens, the decoder is missing", S_OK, REGDB_E_CLASSNOTREG}};
  for (const Case& c : cases) {
    auto thumbnail = thumbnail_of(win::make_com<FakeReference>(c.open));
    ASSERT_TRUE(thumbnail);
    auto picture = thumbnail->open();
    ASSERT_FALSE(picture) << c.what;
    EXPECT_EQ(picture.error().code, static_cast<std::uint32_t>(c.error)) << c.what;

    testing::FakePlatform platform;
    testing::FakeClock clock;
    LoopSender sender;
    MediaConfig config;
    RunState state(config, platform.manager, sender, platform, clock);
    testing::CapturedLines lines;
    TrackProperties props;
    props.thumbnail = thumbnail;
    fetch_cover_art(state, props);
    ASSERT_EQ(lines.out.size(), 1u) << c.what;
    EXPECT_EQ(lines.out[0].rfind(R"({"msg":"cover: )", 0), 0u) << lines.out[0];
    EXPECT_EQ(state.art_serial, 0u);
    EXPECT_EQ(state.art_shown, 0u);
  }
  EXPECT_FALSE(thumbnail_of(nullptr));
}

}  // namespace
}  // namespace orvelle::media
