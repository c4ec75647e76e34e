// The Windows Imaging Component decodes, scales and cuts real PNG and JPEG
// covers, made here by its own encoders from pixels we know, and the square
// it gives is the one the core's geometry asks for.

#include "bridge/art.h"
#include "bridge/art_win.h"

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
    auto picture = open_picture_stream(stream.get());
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
  auto picture = open_picture_stream(stream.get());
  ASSERT_TRUE(picture);
  EXPECT_FALSE((*picture)->pixels({4'000'000'000u, 10}, std::nullopt));
  EXPECT_FALSE((*picture)->pixels({100, 100}, PictureBounds{90, 0, 20, 20}));
  ComPtr<IStream> empty;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, empty.put()), S_OK);
  EXPECT_FALSE(open_picture_stream(empty.get()));
}

}  // namespace
}  // namespace orvelle::media
