#include "win/wic_picture.h"

#include "bridge/art_win.h"
#include "common/try.h"
#include "common/win/checked.h"

#include <wincodec.h>
#include <windows.h>

#include <limits>

namespace orvelle::media::testing {
namespace {

using win::ComPtr;

class WicPicture final : public Picture {
 public:
  WicPicture(ComPtr<IWICImagingFactory> factory, ComPtr<IWICBitmapFrameDecode> frame)
      : factory_(std::move(factory)), frame_(std::move(frame)) {}

  Result<PictureSize> size() override {
    UINT w = 0, h = 0;
    ORVELLE_TRY(win::checked(frame_->GetSize(&w, &h)));
    return PictureSize{w, h};
  }

  Result<std::vector<std::uint8_t>> pixels(PictureSize scaled, std::optional<PictureBounds> bounds) override {
    ORVELLE_ASSIGN_OR_RETURN(PictureBounds b, pixel_request(scaled, bounds));
    // The component's rectangle is signed.
    constexpr std::uint32_t kMaxSide = std::numeric_limits<INT>::max();
    if (scaled.width > kMaxSide || scaled.height > kMaxSide)
      return error(fail("no picture of that size", E_INVALIDARG));
    ComPtr<IWICBitmapScaler> scaler;
    ORVELLE_TRY(win::made(factory_->CreateBitmapScaler(scaler.put()), scaler));
    ORVELLE_TRY(win::checked(
        scaler->Initialize(frame_.get(), scaled.width, scaled.height, WICBitmapInterpolationModeFant)));
    ComPtr<IWICFormatConverter> converter;
    ORVELLE_TRY(win::made(factory_->CreateFormatConverter(converter.put()), converter));
    ORVELLE_TRY(win::checked(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppRGBA,
                                                   WICBitmapDitherTypeNone, nullptr, 0,
                                                   WICBitmapPaletteTypeCustom)));
    std::vector<std::uint8_t> out(static_cast<std::size_t>(b.width) * b.height * 4);
    WICRect rect{static_cast<INT>(b.x), static_cast<INT>(b.y), static_cast<INT>(b.width),
                 static_cast<INT>(b.height)};
    ORVELLE_TRY(win::checked(converter->CopyPixels(&rect, b.width * 4, static_cast<UINT>(out.size()), out.data())));
    return out;
  }

 private:
  ComPtr<IWICImagingFactory> factory_;
  ComPtr<IWICBitmapFrameDecode> frame_;
};

}  // namespace

Result<std::unique_ptr<Picture>> open_wic_picture(IStream* stream) {
  ComPtr<IWICImagingFactory> factory;
  ORVELLE_TRY(win::made(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         __uuidof(IWICImagingFactory), factory.put_void()),
                        factory));
  ComPtr<IWICBitmapDecoder> decoder;
  ORVELLE_TRY(win::made(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                         decoder.put()),
                        decoder));
  ComPtr<IWICBitmapFrameDecode> frame;
  ORVELLE_TRY(win::made(decoder->GetFrame(0, frame.put()), frame));
  return std::unique_ptr<Picture>(std::make_unique<WicPicture>(std::move(factory), std::move(frame)));
}

}  // namespace orvelle::media::testing
