#include "main/window_proc_win.h"

#include "main/page_actions_win.h"
#include "main/setup_state_win.h"
#include "main/status_poll_win.h"
#include "main/window_rule.h"

namespace orvelle::setup {
namespace {

Rect work_area() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{};
  return {r.left, r.top, r.right, r.bottom};
}

void status_timer(HWND window) {
  bool abort = false;
  if (auto state = setup_state_slot().borrow()) abort = status_tick(*state);
  if (abort) DestroyWindow(window);  // no answer is written
}

void close_window(HWND window) {
  if (auto state = setup_state_slot().borrow()) answer_once(*state, "close");
  DestroyWindow(window);
}

// The logo is made again for the new dpi; one that was shown fades in anew.
void follow_dpi(HWND window, const RECT& suggested) {
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  auto state = setup_state_slot().borrow();
  if (!state || !state->overhang) return;
  bool was_visible = state->overhang->visible;
  destroy_overhang(std::move(*state->overhang));
  state->overhang = create_overhang(window, GetDpiForWindow(window));
  if (!was_visible || !state->overhang) return;
  show_overhang(*state->overhang, window);
  (void)step_overhang_fade(*state->overhang);
  SetTimer(window, kFadeTimer, 16, nullptr);
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
      close_window(window);
      return 0;
    case WM_DPICHANGED:
      if (l) follow_dpi(window, *reinterpret_cast<const RECT*>(l));
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
      if (w == kStatusTimer) {
        status_timer(window);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace orvelle::setup
