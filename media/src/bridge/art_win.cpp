#include "bridge/art_win.h"

#include "bridge/wait_async_win.h"
#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/owner.h"

#include <wincodec.h>
#include <windows.h>

#include <limits>

namespace orvelle::media {
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
    PictureBounds b = bounds.value_or(PictureBounds{0, 0, scaled.width, scaled.height});
    // A scale or a cut the imaging component cannot express, or a buffer
    // beyond reason, is refused rather than truncated.
    constexpr std::uint64_t kMaxBytes = 1ull << 28;
    constexpr std::uint32_t kMaxSide = std::numeric_limits<INT>::max();
    if (scaled.width == 0 || scaled.height == 0 || scaled.width > kMaxSide || scaled.height > kMaxSide ||
        static_cast<std::uint64_t>(b.x) + b.width > scaled.width ||
        static_cast<std::uint64_t>(b.y) + b.height > scaled.height ||
        static_cast<std::uint64_t>(b.width) * b.height * 4 > kMaxBytes)
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

// shcore's bridge from a WinRT stream to a classic one, found at run time
// so that the program still starts where it is missing.
using StreamBridge = HRESULT(WINAPI*)(IUnknown* stream, REFIID iid, void** out);

Result<ComPtr<IStream>> classic_stream(IInspectable* stream) {
  static StreamBridge bridge = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");  // kept for the life of the process
    return shcore ? reinterpret_cast<StreamBridge>(reinterpret_cast<void*>(
                        GetProcAddress(shcore, "CreateStreamOverRandomAccessStream")))
                  : nullptr;
  }();
  if (!bridge) return error(fail("no stream bridge", E_NOTIMPL));
  ComPtr<IStream> out;
  ORVELLE_TRY(win::made(bridge(stream, __uuidof(IStream), out.put_void()), out));
  return out;
}

class WinThumbnail final : public Thumbnail {
 public:
  explicit WinThumbnail(ComPtr<win::IRandomAccessStreamReference> r) : reference_(std::move(r)) {}
  Result<std::unique_ptr<Picture>> open() override {
    ComPtr<win::IStreamOperation> op;
    ORVELLE_TRY(win::made(reference_->OpenReadAsync(op.put()), op));
    ComPtr<IInspectable> stream;
    ORVELLE_TRY(wait_async(op.get(), stream.put()));
    if (!stream) return error(win::no_object());
    ORVELLE_ASSIGN_OR_RETURN(ComPtr<IStream> classic, classic_stream(stream.get()));
    return open_picture_stream(classic.get());
  }

 private:
  ComPtr<win::IRandomAccessStreamReference> reference_;
};

}  // namespace

Result<std::unique_ptr<Picture>> open_picture_stream(IStream* stream) {
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

std::shared_ptr<Thumbnail> thumbnail_of(ComPtr<win::IRandomAccessStreamReference> reference) {
  if (!reference) return nullptr;
  return std::make_shared<WinThumbnail>(std::move(reference));
}

}  // namespace orvelle::media
