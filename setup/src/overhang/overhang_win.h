#pragma once
// The logo window: a small click-through layered popup over the main
// window's top-left corner that carries the part of the logo overhanging the
// window's edges, with its shadow, and fades in.

#include "common/win/owner.h"
#include "overhang/logo_geometry.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvelle::setup {

struct WindowTraits : win::PointerTraits<HWND> {
  static void close(HWND w) { DestroyWindow(w); }
};
struct MemoryDcTraits : win::PointerTraits<HDC> {
  static void close(HDC dc) { DeleteDC(dc); }
};
struct BitmapTraits : win::PointerTraits<HBITMAP> {
  static void close(HBITMAP b) { DeleteObject(b); }
};

// What a memory DC held before the DIB, put back before either is deleted.
class Selection {
 public:
  Selection() = default;
  Selection(HDC dc, HGDIOBJ previous) : dc_(dc), previous_(previous) {}
  Selection(Selection&& o) noexcept
      : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
  Selection& operator=(Selection o) noexcept {
    std::swap(dc_, o.dc_);
    std::swap(previous_, o.previous_);
    return *this;
  }
  ~Selection() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Members go in reverse: the selection is undone, then the DIB, the DC and
// the window go, in that order.
struct Overhang {
  std::vector<std::uint8_t> pixels;  // premultiplied BGRA, W x W, top-down
  std::optional<std::chrono::steady_clock::time_point> fade_start;
  win::Owner<WindowTraits> window;
  win::Owner<MemoryDcTraits> memory_dc;
  win::Owner<BitmapTraits> dib;
  Selection selection;
  LogoGeometry geometry;  // its canvas is the window's width and height
  bool visible = false;
  std::uint8_t alpha = 0;  // the constant alpha last presented
};

// The stored mark decoded by WIC, scaled to size x size and made
// premultiplied BGRA; nothing when any step fails.
std::optional<std::vector<std::uint8_t>> decode_stored_logo(std::int32_t size);

// Positioned but hidden, at alpha 0; nothing when any step fails.
std::optional<Overhang> create_overhang(HWND main_window, UINT dpi);
// Beside the main window's outer top-left corner; the result is ignored.
void position_overhang(const Overhang& overhang, HWND main_window);
// Shown without activation, its fade started over at alpha 0.
void show_overhang(Overhang& overhang, HWND main_window);
// One step of the fade; true while it goes on.
bool step_overhang_fade(Overhang& overhang);
void destroy_overhang(Overhang&& overhang);

LRESULT CALLBACK overhang_window_proc(HWND window, UINT message, WPARAM w, LPARAM l);

}  // namespace orvelle::setup
