#include "overhang/overhang_png_win.h"

#include "common/path_join.h"
#include "common/utf.h"
#include "common/win/com_ptr.h"

#include <wincodec.h>

namespace orvelle::setup {

void save_overhang_png(const Overhang& o, const std::string& folder) {
  using win::ComPtr;
  std::u16string path = utf8_to_utf16(join_path(folder, "overhang.png"));
  auto size = static_cast<UINT>(o.geometry.canvas);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.put()))) ||
      FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromFilename(reinterpret_cast<const wchar_t*>(path.c_str()),
                                            GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), options.put())) ||
      FAILED(frame->Initialize(options.get())) || FAILED(frame->SetSize(size, size)) ||
      FAILED(frame->SetPixelFormat(&format)) ||
      FAILED(frame->WritePixels(size, size * 4, static_cast<UINT>(o.pixels.size()),
                                const_cast<BYTE*>(o.pixels.data()))) ||
      FAILED(frame->Commit()))
    return;
  (void)encoder->Commit();
}

}  // namespace orvelle::setup
