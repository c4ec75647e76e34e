#include "bridge/art_win.h"

#include "bridge/activation_win.h"
#include "bridge/wait_async_win.h"
#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/imaging.h"
#include "common/win/owner.h"

#include <windows.h>

#include <cstring>

namespace orvelle::media {
namespace {

using win::ComPtr;

// The frame's pixels in the one form the core reads, whatever the file holds.
Result<ComPtr<win::IPixelDataOperation>> get_pixel_data_rgba(win::IBitmapFrame& frame,
                                                            win::IBitmapTransform& transform) {
  ComPtr<win::IPixelDataOperation> op;
  ORVELLE_TRY(win::made(frame.GetPixelDataTransformedAsync(
                            win::kBitmapPixelFormatRgba8, win::kBitmapAlphaModeStraight, &transform,
                            win::kExifOrientationIgnore, win::kColorManagementNone, op.put()),
                        op));
  return op;
}

Result<std::vector<std::uint8_t>> transform_pixels(win::IBitmapFrame& frame, PictureSize scaled,
                                                   std::optional<PictureBounds> bounds) {
  ORVELLE_ASSIGN_OR_RETURN(ComPtr<win::IBitmapTransform> transform,
                           activate_instance<win::IBitmapTransform>(win::kBitmapTransformClass));
  ORVELLE_TRY(win::checked(transform->put_ScaledWidth(scaled.width)));
  ORVELLE_TRY(win::checked(transform->put_ScaledHeight(scaled.height)));
  ORVELLE_TRY(win::checked(transform->put_InterpolationMode(win::kBitmapInterpolationFant)));
  if (bounds)
    ORVELLE_TRY(win::checked(
        transform->put_Bounds(win::BitmapBounds{bounds->x, bounds->y, bounds->width, bounds->height})));
  ORVELLE_ASSIGN_OR_RETURN(ComPtr<win::IPixelDataOperation> op, get_pixel_data_rgba(frame, *transform.get()));
  ComPtr<win::IPixelDataProvider> provider;
  ORVELLE_TRY(wait_async(op.get(), provider.put()));
  if (!provider) return error(win::no_object());
  std::uint32_t length = 0;
  std::uint8_t* raw = nullptr;
  HRESULT hr = provider->DetachPixelData(&length, &raw);
  win::CoTaskMemory<std::uint8_t> data(raw);  // ours from here, whatever the outcome
  ORVELLE_TRY(win::checked(hr));
  if (length && !data) return error(win::no_object());
  std::vector<std::uint8_t> out(length);
  if (length) std::memcpy(out.data(), data.get(), length);
  return out;
}

class WinRtPicture final : public Picture {
 public:
  explicit WinRtPicture(ComPtr<win::IBitmapFrame> frame) : frame_(std::move(frame)) {}

  Result<PictureSize> size() override {
    PictureSize s;
    ORVELLE_TRY(win::checked(frame_->get_PixelWidth(&s.width)));
    ORVELLE_TRY(win::checked(frame_->get_PixelHeight(&s.height)));
    return s;
  }

  Result<std::vector<std::uint8_t>> pixels(PictureSize scaled, std::optional<PictureBounds> bounds) override {
    ORVELLE_TRY(pixel_request(scaled, bounds));
    return transform_pixels(*frame_.get(), scaled, bounds);
  }

 private:
  ComPtr<win::IBitmapFrame> frame_;
};

class WinThumbnail final : public Thumbnail {
 public:
  explicit WinThumbnail(ComPtr<win::IRandomAccessStreamReference> r) : reference_(std::move(r)) {}

  Result<std::unique_ptr<Picture>> open() override {
    ComPtr<win::IStreamOperation> op;
    ORVELLE_TRY(win::made(reference_->OpenReadAsync(op.put()), op));
    ComPtr<IInspectable> opened;
    ORVELLE_TRY(wait_async(op.get(), opened.put()));
    if (!opened) return error(win::no_object());
    ComPtr<win::IRandomAccessStream> stream;
    ORVELLE_TRY(win::made(opened.as(stream), stream));
    ORVELLE_ASSIGN_OR_RETURN(ComPtr<win::IBitmapDecoderStatics> decoders,
                             activation_factory<win::IBitmapDecoderStatics>(win::kBitmapDecoderClass));
    ComPtr<win::IBitmapDecoderOperation> decoding;
    ORVELLE_TRY(win::made(decoders->CreateAsync(stream.get(), decoding.put()), decoding));
    ComPtr<win::IBitmapDecoder> decoder;
    ORVELLE_TRY(wait_async(decoding.get(), decoder.put()));
    if (!decoder) return error(win::no_object());
    ComPtr<win::IBitmapFrame> frame;
    ORVELLE_TRY(win::made(decoder.as(frame), frame));
    return std::unique_ptr<Picture>(std::make_unique<WinRtPicture>(std::move(frame)));
  }

 private:
  ComPtr<win::IRandomAccessStreamReference> reference_;
};

}  // namespace

Result<PictureBounds> pixel_request(PictureSize scaled, std::optional<PictureBounds> bounds) {
  PictureBounds b = bounds.value_or(PictureBounds{0, 0, scaled.width, scaled.height});
  constexpr std::uint64_t kMaxBytes = 1ull << 28;
  if (scaled.width == 0 || scaled.height == 0 || b.width == 0 || b.height == 0 ||
      static_cast<std::uint64_t>(b.x) + b.width > scaled.width ||
      static_cast<std::uint64_t>(b.y) + b.height > scaled.height ||
      static_cast<std::uint64_t>(b.width) * b.height * 4 > kMaxBytes)
    return error(fail("no picture of that size", E_INVALIDARG));
  return b;
}

std::shared_ptr<Thumbnail> thumbnail_of(ComPtr<win::IRandomAccessStreamReference> reference) {
  if (!reference) return nullptr;
  return std::make_shared<WinThumbnail>(std::move(reference));
}

}  // namespace orvelle::media
