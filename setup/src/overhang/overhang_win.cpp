#include "overhang/overhang_win.h"

#include "common/win/com_ptr.h"
#include "overhang/fade.h"
#include "overhang/logo_picture.h"
#include "overhang/logo_resource.h"

#include <wincodec.h>

#include <cstring>

namespace orvelle::setup {
namespace {

using win::ComPtr;

// WICBitmapInterpolationModeHighQualityCubic (Windows 10), which mingw-w64's
// header does not name.
constexpr auto kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

struct LogoBytes {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

LogoBytes stored_logo(HINSTANCE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(ORVELLE_LOGO_RESOURCE), RT_RCDATA);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

std::optional<std::vector<std::uint8_t>> decode_logo(LogoBytes png, std::int32_t size) {
  if (!png.data || size <= 0) return std::nullopt;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory2, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.put()))))
    return std::nullopt;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICBitmapScaler> scaler;
  ComPtr<IWICFormatConverter> converter;
  auto size_u = static_cast<UINT>(size);
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data), png.size)) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                              WICDecodeMetadataCacheOnDemand, decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(frame.get(), size_u, size_u,
                                kHighQualityCubic)) ||
      FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(scaler.get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return std::nullopt;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
  if (FAILED(converter->CopyPixels(nullptr, size_u * 4, static_cast<UINT>(pixels.size()),
                                   pixels.data())))
    return std::nullopt;
  return pixels;
}

bool present(Overhang& o, BYTE alpha) {
  SIZE size{o.geometry.canvas, o.geometry.canvas};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  if (!UpdateLayeredWindow(o.window.get(), nullptr, nullptr, &size, o.memory_dc.get(), &source, 0,
                           &blend, ULW_ALPHA))
    return false;
  o.alpha = alpha;
  return true;
}

constexpr wchar_t kClass[] = L"OrvelleSetupMark";

}  // namespace

std::optional<std::vector<std::uint8_t>> decode_stored_logo(std::int32_t size) {
  return decode_logo(stored_logo(GetModuleHandleW(nullptr)), size);
}

LRESULT CALLBACK overhang_window_proc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcW(window, message, w, l);
}

std::optional<Overhang> create_overhang(HWND main_window, UINT dpi) {
  Overhang o;
  o.geometry = logo_geometry(dpi);
  const LogoGeometry& g = o.geometry;
  if (!drawable(g)) return std::nullopt;
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto logo = decode_stored_logo(g.logo);
  if (!logo) return std::nullopt;
  o.pixels = build_logo_picture(*logo, g);
  if (o.pixels.empty()) return std::nullopt;

  WNDCLASSW wc{};
  wc.lpfnWndProc = overhang_window_proc;
  wc.hInstance = module;
  wc.lpszClassName = kClass;
  // A second logo (after a dpi change) finds the class already there.
  RegisterClassW(&wc);
  o.window = win::Owner<WindowTraits>(CreateWindowExW(
      WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, kClass,
      L"Orvelle Client logo", WS_POPUP, 0, 0, g.canvas, g.canvas, main_window, nullptr, module,
      nullptr));
  if (!o.window) return std::nullopt;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = g.canvas;
  info.bmiHeader.biHeight = -g.canvas;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  o.dib = win::Owner<BitmapTraits>(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!o.dib || !bits) return std::nullopt;
  std::memcpy(bits, o.pixels.data(), o.pixels.size());
  o.memory_dc = win::Owner<MemoryDcTraits>(CreateCompatibleDC(nullptr));
  if (!o.memory_dc) return std::nullopt;
  HGDIOBJ previous = SelectObject(o.memory_dc.get(), o.dib.get());
  if (!previous || previous == HGDI_ERROR) return std::nullopt;
  o.selection = Selection(o.memory_dc.get(), previous);

  position_overhang(o, main_window);
  (void)present(o, 0);
  return o;
}

void position_overhang(const Overhang& o, HWND main_window) {
  RECT outer{};
  if (!GetWindowRect(main_window, &outer)) return;
  SetWindowPos(o.window.get(), nullptr, outer.left + o.geometry.window_dx,
               outer.top + o.geometry.window_dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void show_overhang(Overhang& o, HWND main_window) {
  position_overhang(o, main_window);
  ShowWindow(o.window.get(), SW_SHOWNOACTIVATE);
  o.visible = true;
  o.fade_start = std::chrono::steady_clock::now();
  (void)present(o, 0);
}

bool step_overhang_fade(Overhang& o) {
  if (!o.fade_start) return false;
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - *o.fade_start);
  FadeStep step = fade_step(static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed.count(), 0)));
  (void)present(o, step.alpha);
  if (!step.goes_on) o.fade_start.reset();
  return step.goes_on;
}

void destroy_overhang(Overhang&& overhang) {
  Overhang gone = std::move(overhang);
}

}  // namespace orvelle::setup
