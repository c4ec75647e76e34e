#include "capture/window_search_win.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

constexpr int kTitleUnits = 512;

Rect from(const RECT& r) {
  return {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
          static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
}

class User32Window final : public WindowFacts {
 public:
  explicit User32Window(HWND window) : window_(window) {}

  bool visible() const override { return IsWindowVisible(window_); }
  std::uint32_t process_id() const override {
    DWORD pid = 0;
    GetWindowThreadProcessId(window_, &pid);
    return pid;
  }
  bool has_owner() const override { return GetWindow(window_, GW_OWNER) != nullptr; }
  std::uint32_t extended_style() const override {
    return static_cast<std::uint32_t>(GetWindowLongW(window_, GWL_EXSTYLE));
  }
  std::u16string title() const override { return window_title(window_); }
  bool minimised() const override { return IsIconic(window_); }
  std::optional<Rect> restored_rect() const override {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window_, &placement)) return std::nullopt;
    return from(placement.rcNormalPosition);
  }
  std::optional<Rect> client_rect() const override {
    RECT r;
    if (!GetClientRect(window_, &r)) return std::nullopt;
    return from(r);
  }

 private:
  HWND window_;
};

static_assert(sizeof(WINDOWPLACEMENT) == 44);
static_assert(WS_EX_TOOLWINDOW == kToolWindowStyle);

}  // namespace

std::u16string window_title(HWND window) {
  wchar_t buffer[kTitleUnits] = {};
  int n = std::clamp(GetWindowTextW(window, buffer, kTitleUnits), 0, kTitleUnits);
  return {reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(n)};
}

BOOL CALLBACK enum_windows_pick_game(HWND window, LPARAM lparam) {
  consider_window(*reinterpret_cast<GameWindowSearch*>(lparam), window, User32Window(window));
  return TRUE;
}

void search_game_window(GameWindowSearch& search) {
  // The callback never stops the pass, so a FALSE here is the system's own
  // failure; its last error is read and dropped, and the next attempt retries.
  if (!EnumWindows(enum_windows_pick_game, reinterpret_cast<LPARAM>(&search))) GetLastError();
}

}  // namespace orvelle::clips
