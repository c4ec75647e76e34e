#include "board/jpeg_encoder_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/com_ptr.h"
#include "common/win/error.h"

#include <windows.h>

#include <ocidl.h>
#include <wincodec.h>

#include <limits>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;
using win::made;

constexpr float kQuality = 0.78f;

// The whole stream, as many bytes as a read gives back.
Result<std::vector<std::uint8_t>> stream_bytes(IStream* stream) {
  ULARGE_INTEGER end{};
  ORVELLE_TRY(checked(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_END, &end)));
  ORVELLE_TRY(checked(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr)));
  if (end.QuadPart > std::numeric_limits<ULONG>::max())
    return error(win::hresult_error(E_OUTOFMEMORY));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end.QuadPart));
  ULONG read = 0;
  ORVELLE_TRY(checked(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)));
  bytes.resize(read);
  return bytes;
}

// Asked only to try: a frame without a quality setting keeps its own.
void ask_quality(IPropertyBag2* bag) {
  PROPBAG2 option{};
  option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_R4;
  value.fltVal = kQuality;
  static_cast<void>(bag->Write(1, &option, &value));
}

class WicJpegEncoder final : public ThumbnailEncoder {
 public:
  explicit WicJpegEncoder(ComPtr<IWICImagingFactory> factory) : factory_(std::move(factory)) {}

  Result<std::vector<std::uint8_t>> encode(std::span<const std::uint8_t> bgra, std::uint32_t width,
                                           std::uint32_t height, BoardSize out) override {
    const std::uint64_t stride = std::uint64_t{width} * 4;
    const std::uint64_t size = stride * height;
    if (size > std::numeric_limits<UINT>::max() || bgra.size() < size)
      return error(win::hresult_error(E_INVALIDARG));
    ComPtr<IWICBitmap> bitmap;
    ORVELLE_TRY(made(factory_->CreateBitmapFromMemory(
                         width, height, GUID_WICPixelFormat32bppBGRA, static_cast<UINT>(stride),
                         static_cast<UINT>(size), const_cast<BYTE*>(bgra.data()), bitmap.put()),
                     bitmap));
    ComPtr<IWICBitmapScaler> scaler;
    ORVELLE_TRY(made(factory_->CreateBitmapScaler(scaler.put()), scaler));
    ORVELLE_TRY(checked(scaler->Initialize(bitmap.get(), out.width, out.height,
                                           WICBitmapInterpolationModeFant)));

    ComPtr<IStream> stream;
    ORVELLE_TRY(made(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), stream));
    ComPtr<IWICBitmapEncoder> encoder;
    ORVELLE_TRY(made(factory_->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put()), encoder));
    ORVELLE_TRY(checked(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)));
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> bag;
    ORVELLE_TRY(checked(encoder->CreateNewFrame(frame.put(), bag.put())));
    if (!frame) return error(fail("no JPEG frame"));
    if (bag) ask_quality(bag.get());
    ORVELLE_TRY(checked(frame->Initialize(bag.get())));
    ORVELLE_TRY(checked(frame->SetSize(out.width, out.height)));
    // The encoder may settle on a format of its own; WriteSource converts.
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    ORVELLE_TRY(checked(frame->SetPixelFormat(&format)));
    ORVELLE_TRY(checked(frame->WriteSource(scaler.get(), nullptr)));
    ORVELLE_TRY(checked(frame->Commit()));
    ORVELLE_TRY(checked(encoder->Commit()));
    return stream_bytes(stream.get());
  }

 private:
  ComPtr<IWICImagingFactory> factory_;
};

}  // namespace

Result<std::unique_ptr<ThumbnailEncoder>> make_wic_jpeg_encoder() {
  ComPtr<IWICImagingFactory> factory;
  ORVELLE_TRY(made(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory.put())),
                   factory));
  return std::unique_ptr<ThumbnailEncoder>(std::make_unique<WicJpegEncoder>(std::move(factory)));
}

}  // namespace orvelle::clips
