#include "main/window_proc_win.h"

#include "main/page_actions_win.h"
#include "main/setup_state_win.h"
#include "main/window_rule.h"

namespace orvelle::setup {
namespace {

Rect work_area() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{};
  return {r.left, r.top, r.right, r.bottom};
}

void fade_tick(HWND window) {
  auto state = setup_state_slot().borrow();
  if (state && state->overhang && step_overhang_fade(*state->overhang)) return;
  KillTimer(window, kFadeTimer);
}

}  // namespace

LRESULT CALLBACK setup_window_proc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_MOVE:
      if (auto state = setup_state_slot().borrow(); state && state->overhang)
        position_overhang(*state->overhang, window);
      return 0;
    case WM_SIZE:
      if (auto state = setup_state_slot().borrow(); state && state->page) {
        RECT client{};
        if (!GetClientRect(window, &client)) client = RECT{};
        state->page->set_bounds(client);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_GETMINMAXINFO:
      if (l) {
        Size size = window_size(work_area(), GetDpiForWindow(window));
        auto* info = reinterpret_cast<MINMAXINFO*>(l);
        POINT fixed{static_cast<LONG>(size.width), static_cast<LONG>(size.height)};
        info->ptMinTrackSize = fixed;
        info->ptMaxTrackSize = fixed;
      }
      return 0;
    case WM_NCCALCSIZE:
      return 0;  // the whole window is client area: the page draws its own frame
    case WM_NCHITTEST:
      return HTCLIENT;  // no resizing by the border; the page's "drag" moves it
    case WM_TIMER:
      if (w == kFadeTimer) {
        fade_tick(window);
        return 0;
      }
      if (w == kStatusTimer) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace orvelle::setup
