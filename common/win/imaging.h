#pragma once
// Our own declarations of the Windows.Graphics.Imaging interfaces the media
// bridge decodes cover pictures with, written from the platform's public
// documentation (mingw-w64 has none of them): exact interface ids and vtable
// order. Slots before the ones called keep their place with opaque parameter
// types; slots after the last one called are left out. Ids of parameterised
// interfaces come from winrt_iid.h's rule; the imaging_decl test recomputes
// them.

#include "common/win/async_operation.h"

#include <inspectable.h>

#include <cstdint>

namespace orvelle::win {

inline constexpr wchar_t kBitmapDecoderClass[] = L"Windows.Graphics.Imaging.BitmapDecoder";
inline constexpr wchar_t kBitmapTransformClass[] = L"Windows.Graphics.Imaging.BitmapTransform";

// The enumeration values the decode asks for (each enumeration is 32 bits).
inline constexpr std::int32_t kBitmapPixelFormatRgba8 = 30;
inline constexpr std::int32_t kBitmapAlphaModeStraight = 1;
inline constexpr std::int32_t kExifOrientationIgnore = 0;     // IgnoreExifOrientation
inline constexpr std::int32_t kColorManagementNone = 0;       // DoNotColorManage
inline constexpr std::int32_t kBitmapInterpolationFant = 3;

// Windows.Graphics.Imaging.BitmapBounds
struct BitmapBounds {
  std::uint32_t X, Y, Width, Height;
};

// Windows.Storage.Streams.IRandomAccessStream: only handed to the decoder.
struct IRandomAccessStream : IInspectable {};

// Windows.Graphics.Imaging.IBitmapDecoder, the decoder's default interface:
// only asked for its IBitmapFrame.
struct IBitmapDecoder : IInspectable {};

// Windows.Graphics.Imaging.IPixelDataProvider
struct IPixelDataProvider : IInspectable {
  // The platform's buffer, CoTaskMemAlloc'd, becomes the caller's.
  virtual HRESULT STDMETHODCALLTYPE DetachPixelData(std::uint32_t* length, std::uint8_t** value) = 0;
};

using IBitmapDecoderOperation = IAsyncOperationOf<IBitmapDecoder*>;
using IPixelDataOperation = IAsyncOperationOf<IPixelDataProvider*>;

// Windows.Graphics.Imaging.IBitmapDecoderStatics
struct IBitmapDecoderStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_BmpDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_JpegDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PngDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TiffDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_GifDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_JpegXRDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IcoDecoderId(GUID* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDecoderInformationEnumerator(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateAsync(IRandomAccessStream* stream,
                                                IBitmapDecoderOperation** operation) = 0;
};

// Windows.Graphics.Imaging.IBitmapTransform
struct IBitmapTransform : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_ScaledWidth(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ScaledWidth(std::uint32_t value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ScaledHeight(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ScaledHeight(std::uint32_t value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InterpolationMode(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_InterpolationMode(std::int32_t value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Flip(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Flip(std::int32_t value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Rotation(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Rotation(std::int32_t value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Bounds(BitmapBounds* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Bounds(BitmapBounds value) = 0;
};

// Windows.Graphics.Imaging.IBitmapFrame
struct IBitmapFrame : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetThumbnailAsync(IInspectable** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BitmapProperties(IInspectable** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BitmapPixelFormat(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BitmapAlphaMode(std::int32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DpiX(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DpiY(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PixelWidth(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PixelHeight(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_OrientedPixelWidth(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_OrientedPixelHeight(std::uint32_t* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPixelDataAsync(IPixelDataOperation** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPixelDataTransformedAsync(
      std::int32_t pixel_format, std::int32_t alpha_mode, IBitmapTransform* transform,
      std::int32_t exif_orientation_mode, std::int32_t color_management_mode,
      IPixelDataOperation** operation) = 0;
};

}  // namespace orvelle::win

__CRT_UUID_DECL(orvelle::win::IRandomAccessStream, 0x905a0fe1, 0xbc53, 0x11df, 0x8c, 0x49, 0x00, 0x1e,
                0x4f, 0xc6, 0x86, 0xda)
__CRT_UUID_DECL(orvelle::win::IBitmapDecoder, 0xacef22ba, 0x1d74, 0x4c91, 0x9d, 0xfc, 0x96, 0x20, 0x74,
                0x52, 0x33, 0xe6)
__CRT_UUID_DECL(orvelle::win::IBitmapDecoderStatics, 0x438ccb26, 0xbcef, 0x4e95, 0xba, 0xd6, 0x23, 0xa8,
                0x22, 0xe5, 0x8d, 0x01)
__CRT_UUID_DECL(orvelle::win::IBitmapFrame, 0x72a49a1c, 0x8081, 0x438d, 0x91, 0xbc, 0x94, 0xec, 0xfc,
                0x81, 0x85, 0xc6)
__CRT_UUID_DECL(orvelle::win::IBitmapTransform, 0xae755344, 0xe268, 0x4d35, 0xad, 0xcf, 0xe9, 0x95, 0xd3,
                0x1a, 0x8d, 0x34)
__CRT_UUID_DECL(orvelle::win::IPixelDataProvider, 0xdd831f25, 0x185c, 0x4595, 0x9f, 0xb9, 0xcc, 0xbe,
                0x6e, 0xc1, 0x8a, 0x6f)
// Parameterised: the rule's ids for their type signatures (see the test).
// IAsyncOperation<BitmapDecoder>
__CRT_UUID_DECL(orvelle::win::IBitmapDecoderOperation, 0xaa94d8e9, 0xcaef, 0x53f6, 0x82, 0x3d, 0x91,
                0xb6, 0xe8, 0x34, 0x05, 0x10)
// IAsyncOperation<PixelDataProvider>
__CRT_UUID_DECL(orvelle::win::IPixelDataOperation, 0x8c2dfeb0, 0x6c22, 0x5863, 0x88, 0xd8, 0x85, 0xc1,
                0xfb, 0xc7, 0x56, 0x97)
