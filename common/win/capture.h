#pragma once
// Our own declarations of the Windows.Graphics.Capture interfaces the
// recorder uses, written from the platform's public documentation (mingw-w64
// has none of them): exact interface ids and vtable order. Methods the
// recorder never calls keep their slot with opaque parameter types.
// Ids of parameterised interfaces come from winrt_iid.h's rule; the
// capture_decl test recomputes them.

#include <asyncinfo.h>
#include <d3d11.h>
#include <dxgi.h>
#include <eventtoken.h>
#include <inspectable.h>

#include <cstdint>

namespace orvelle::win {

// Windows.Foundation.TimeSpan: 100-ns units. (mingw's windows.foundation.h
// has it and IClosable, but does not compile as C++.)
struct TimeSpan {
  std::int64_t Duration;
};

// Windows.Foundation.IClosable: ends a frame pool, session or frame at once
// rather than at its last release.
struct IClosable : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

// Windows.Graphics.SizeInt32
struct SizeInt32 {
  std::int32_t Width;
  std::int32_t Height;
};

// Windows.Graphics.DirectX.DirectXPixelFormat (only the value used): its
// values are DXGI's.
enum class DirectXPixelFormat : std::int32_t {
  B8G8R8A8UIntNormalized = DXGI_FORMAT_B8G8R8A8_UNORM
};

// Windows.Graphics.Capture.GraphicsCaptureAccessKind
enum class GraphicsCaptureAccessKind : std::int32_t { Borderless = 0, Programmatic = 1 };

// Windows.Security.Authorization.AppCapabilityAccess.AppCapabilityAccessStatus
enum class AppCapabilityAccessStatus : std::int32_t {
  DeniedBySystem = 0,
  NotDeclaredByApp = 1,
  DeniedByUser = 2,
  UserPromptRequired = 3,
  Allowed = 4,
};

// Windows.Graphics.DirectX.Direct3D11.Direct3DSurfaceDescription, laid out
// as DXGI_SURFACE_DESC: the size comes before the format.
struct Direct3DSurfaceDescription {
  std::int32_t Width;
  std::int32_t Height;
  DirectXPixelFormat Format;
  std::int32_t MultisampleCount;
  std::int32_t MultisampleQuality;
};

inline constexpr wchar_t kGraphicsCaptureItemClass[] = L"Windows.Graphics.Capture.GraphicsCaptureItem";
inline constexpr wchar_t kFramePoolClass[] = L"Windows.Graphics.Capture.Direct3D11CaptureFramePool";
inline constexpr wchar_t kGraphicsCaptureAccessClass[] = L"Windows.Graphics.Capture.GraphicsCaptureAccess";

struct IDirect3D11CaptureFrame;
struct IDirect3D11CaptureFramePool;
struct IGraphicsCaptureItem;
struct IGraphicsCaptureSession;

// The classic COM interface on the GraphicsCaptureItem activation factory
// that makes an item for a window handle (windows.graphics.capture.interop.h).
struct IGraphicsCaptureItemInterop : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateForWindow(HWND window, REFIID riid, void** result) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateForMonitor(HMONITOR monitor, REFIID riid,
                                                     void** result) = 0;
};

// Reaches the DXGI object behind a WinRT Direct3D device or surface
// (windows.graphics.directx.direct3d11.interop.h).
struct IDirect3DDxgiInterfaceAccess : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInterface(REFIID iid, void** p) = 0;
};

// Windows.Graphics.DirectX.Direct3D11.IDirect3DDevice
struct IDirect3DDevice : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Trim() = 0;
};

// Windows.Graphics.DirectX.Direct3D11.IDirect3DSurface
struct IDirect3DSurface : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Description(Direct3DSurfaceDescription* value) = 0;
};

// TypedEventHandler<Direct3D11CaptureFramePool, Object>: the delegate the
// frame pool calls when a frame arrived.
struct IFrameArrivedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IDirect3D11CaptureFramePool* sender,
                                           IInspectable* args) = 0;
};

// Windows.Graphics.Capture.IGraphicsCaptureItem
struct IGraphicsCaptureItem : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Size(SizeInt32* value) = 0;
  // TypedEventHandler<GraphicsCaptureItem, Object>
  virtual HRESULT STDMETHODCALLTYPE add_Closed(IUnknown* handler,
                                               EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_Closed(EventRegistrationToken token) = 0;
};

// Windows.Graphics.Capture.IDirect3D11CaptureFrame (the frame also offers IClosable)
struct IDirect3D11CaptureFrame : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Surface(IDirect3DSurface** value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SystemRelativeTime(TimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContentSize(SizeInt32* value) = 0;
};

// Windows.Graphics.Capture.IDirect3D11CaptureFramePool (also IClosable)
struct IDirect3D11CaptureFramePool : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE Recreate(IDirect3DDevice* device,
                                             DirectXPixelFormat pixel_format,
                                             std::int32_t number_of_buffers, SizeInt32 size) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetNextFrame(IDirect3D11CaptureFrame** result) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameArrived(IFrameArrivedHandler* handler,
                                                     EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameArrived(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateCaptureSession(IGraphicsCaptureItem* item,
                                                         IGraphicsCaptureSession** result) = 0;
  // Windows.System.DispatcherQueue
  virtual HRESULT STDMETHODCALLTYPE get_DispatcherQueue(IInspectable** value) = 0;
};

// Windows.Graphics.Capture.IDirect3D11CaptureFramePoolStatics2
struct IDirect3D11CaptureFramePoolStatics2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE CreateFreeThreaded(IDirect3DDevice* device,
                                                       DirectXPixelFormat pixel_format,
                                                       std::int32_t number_of_buffers,
                                                       SizeInt32 size,
                                                       IDirect3D11CaptureFramePool** result) = 0;
};

// Windows.Graphics.Capture.IGraphicsCaptureSession (also IClosable)
struct IGraphicsCaptureSession : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE StartCapture() = 0;
};

// The later session interfaces: each exists only on newer systems, so each
// is asked for on its own.
struct IGraphicsCaptureSession2 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IsCursorCaptureEnabled(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsCursorCaptureEnabled(boolean value) = 0;
};
struct IGraphicsCaptureSession3 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IsBorderRequired(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsBorderRequired(boolean value) = 0;
};
struct IGraphicsCaptureSession5 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_MinUpdateInterval(TimeSpan* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MinUpdateInterval(TimeSpan value) = 0;
};
struct IGraphicsCaptureSession6 : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_IncludeSecondaryWindows(boolean* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IncludeSecondaryWindows(boolean value) = 0;
};

struct IAccessStatusOperation;

// AsyncOperationCompletedHandler<AppCapabilityAccessStatus>
struct IAccessStatusCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(IAccessStatusOperation* operation,
                                           AsyncStatus status) = 0;
};

// IAsyncOperation<AppCapabilityAccessStatus> (also IAsyncInfo). Its
// Completed property is the exception to get-before-put: the platform's
// metadata has put_Completed first.
struct IAccessStatusOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(IAccessStatusCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(IAccessStatusCompletedHandler** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(AppCapabilityAccessStatus* results) = 0;
};

// Windows.Graphics.Capture.IGraphicsCaptureAccessStatics
struct IGraphicsCaptureAccessStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE RequestAccessAsync(GraphicsCaptureAccessKind request,
                                                       IAccessStatusOperation** operation) = 0;
};

// Wraps a DXGI device as a WinRT IDirect3DDevice. A d3d11.dll export that
// older systems lack: resolve it with GetProcAddress.
inline constexpr char kCreateDirect3D11DeviceFromDXGIDevice[] =
    "CreateDirect3D11DeviceFromDXGIDevice";
using CreateDirect3D11DeviceFromDXGIDeviceFn = HRESULT(WINAPI*)(IDXGIDevice* dxgi_device,
                                                               IInspectable** graphics_device);

}  // namespace orvelle::win

__CRT_UUID_DECL(orvelle::win::IClosable, 0x30d5a829, 0x7fa4, 0x4026, 0x83, 0xbb, 0xd7, 0x5b, 0xae,
                0x4e, 0xa9, 0x9e)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureItemInterop, 0x3628e81b, 0x3cac, 0x4c60, 0xb7, 0xf4,
                0x23, 0xce, 0x0e, 0x0c, 0x33, 0x56)
__CRT_UUID_DECL(orvelle::win::IDirect3DDxgiInterfaceAccess, 0xa9b3d012, 0x3df2, 0x4ee3, 0xb8, 0xd1,
                0x86, 0x95, 0xf4, 0x57, 0xd3, 0xc1)
__CRT_UUID_DECL(orvelle::win::IDirect3DDevice, 0xa37624ab, 0x8d5f, 0x4650, 0x9d, 0x3e, 0x9e, 0xae,
                0x3d, 0x9b, 0xc6, 0x70)
__CRT_UUID_DECL(orvelle::win::IDirect3DSurface, 0x0bf4a146, 0x13c1, 0x4694, 0xbe, 0xe3, 0x7a, 0xbf,
                0x15, 0xea, 0xf5, 0x86)
// pinterface({9de1c534-6ae1-11e0-84e1-18a905bcc53f};
//   rc(Windows.Graphics.Capture.Direct3D11CaptureFramePool;{24eb6d22-...});cinterface(IInspectable))
__CRT_UUID_DECL(orvelle::win::IFrameArrivedHandler, 0x51a947f7, 0x79cf, 0x5a3e, 0xa3, 0xa5, 0x12,
                0x89, 0xcf, 0xa6, 0xdf, 0xe8)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureItem, 0x79c3f95b, 0x31f7, 0x4ec2, 0xa4, 0x64, 0x63,
                0x2e, 0xf5, 0xd3, 0x07, 0x60)
__CRT_UUID_DECL(orvelle::win::IDirect3D11CaptureFrame, 0xfa50c623, 0x38da, 0x4b32, 0xac, 0xf3, 0xfa,
                0x97, 0x34, 0xad, 0x80, 0x0e)
__CRT_UUID_DECL(orvelle::win::IDirect3D11CaptureFramePool, 0x24eb6d22, 0x1975, 0x422e, 0x82, 0xe7,
                0x78, 0x0d, 0xbd, 0x8d, 0xdf, 0x24)
__CRT_UUID_DECL(orvelle::win::IDirect3D11CaptureFramePoolStatics2, 0x589b103f, 0x6bbc, 0x5df5, 0xa9,
                0x91, 0x02, 0xe2, 0x8b, 0x3b, 0x66, 0xd5)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureSession, 0x814e42a9, 0xf70f, 0x4ad7, 0x93, 0x9b, 0xfd,
                0xdc, 0xc6, 0xeb, 0x88, 0x0d)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureSession2, 0x2c39ae40, 0x7d2e, 0x5044, 0x80, 0x4e, 0x8b,
                0x67, 0x99, 0xd4, 0xcf, 0x9e)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureSession3, 0xf2cdd966, 0x22ae, 0x5ea1, 0x95, 0x96, 0x3a,
                0x28, 0x93, 0x44, 0xc3, 0xbe)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureSession5, 0x67c0ea62, 0x1f85, 0x5061, 0x92, 0x5a, 0x23,
                0x9b, 0xe0, 0xac, 0x09, 0xcb)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureSession6, 0xd7419236, 0xbe20, 0x5e9f, 0xbc, 0xd6, 0xc4,
                0xe9, 0x8f, 0xd6, 0xaf, 0xdc)
// pinterface({fcdcf02c-e5d8-4478-915a-4d90b74b83a5};
//   enum(Windows.Security.Authorization.AppCapabilityAccess.AppCapabilityAccessStatus;i4))
__CRT_UUID_DECL(orvelle::win::IAccessStatusCompletedHandler, 0x6ea0f2e9, 0xbc97, 0x58e8, 0xa3, 0xa6,
                0xc8, 0x29, 0xb9, 0xe5, 0xf2, 0xaa)
// pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};enum(...AppCapabilityAccessStatus;i4))
__CRT_UUID_DECL(orvelle::win::IAccessStatusOperation, 0x827caf42, 0x5fe6, 0x5b5b, 0x84, 0xce, 0xc4,
                0x48, 0x34, 0x13, 0x4d, 0x3d)
__CRT_UUID_DECL(orvelle::win::IGraphicsCaptureAccessStatics, 0x743ed370, 0x06ec, 0x5040, 0xa5, 0x8a,
                0x90, 0x1f, 0x0f, 0x75, 0x70, 0x95)
