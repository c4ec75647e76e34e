#include "main/page_actions_win.h"

#include "main/answer_files_win.h"
#include "main/host_messages.h"
#include "main/page_action.h"
#include "main/page_address.h"
#include "overhang/overhang_png_win.h"

#include <shellapi.h>

namespace orvelle::setup {
namespace {

void hide_logo(SetupState& state) {
  if (!state.overhang) return;
  ShowWindow(state.overhang->window.get(), SW_HIDE);
  state.overhang->visible = false;
  state.overhang->fade_start.reset();
}

// Acts with the state borrowed; what needs the window procedure again is
// left to the caller, once the state is given back.
PageAction act(SetupState& state, PageAction action) {
  switch (action) {
    case PageAction::Ready:
      if (state.options.ready) (void)write_answer(*state.options.ready, "ready");
      return PageAction::Ignore;
    case PageAction::Close:
      PostMessageW(state.hwnd, WM_CLOSE, 0, 0);
      return PageAction::Ignore;
    case PageAction::Start:
      answer_once(state, "start");
      return action;
    case PageAction::Retry:
      // Only the program the installer named, never one the page names.
      if (state.options.setup)
        ShellExecuteW(nullptr, L"open", wide_path(*state.options.setup).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
      answer_once(state, "close");
      return action;
    case PageAction::ShowLogo:
      show_logo(state);
      if (state.overhang && state.options.shots)
        save_overhang_png(*state.overhang, *state.options.shots);
      return PageAction::Ignore;
    case PageAction::HideLogo:
      hide_logo(state);
      return PageAction::Ignore;
    case PageAction::Drag:
    case PageAction::Minimize:
    case PageAction::Ignore:
      return action;
  }
  return PageAction::Ignore;
}

}  // namespace

void answer_once(SetupState& state, std::string_view answer) {
  if (state.answered) return;
  // Given once a file holds it (or no file was asked for): an answer that
  // reached no file leaves the next one its chance.
  state.answered = !state.options.result || write_answer(*state.options.result, answer);
}

void show_logo(SetupState& state) {
  if (!state.overhang) state.overhang = create_overhang(state.hwnd, GetDpiForWindow(state.hwnd));
  if (!state.overhang) return;
  show_overhang(*state.overhang, state.hwnd);
  SetTimer(state.hwnd, kFadeTimer, 16, nullptr);
}

void post_progress(SetupState& state, double value) {
  if (auto v = progress_to_send(state.last_progress, value); v && state.page)
    state.page->post_json(progress_message(*v));
}

void handle_page_message(std::string_view source, std::string_view json) {
  if (!is_page_source(source)) return;
  auto message = read_page_message(json);
  if (!message) return;
  HWND window = nullptr;
  PageAction after = PageAction::Ignore;
  {
    auto state = setup_state_slot().borrow();
    // A "start" or "retry" earlier in the same dispatch has destroyed the
    // window: what follows it must not act any more.
    if (!state || !IsWindow(state->hwnd)) return;
    window = state->hwnd;
    after = act(*state, page_action(*message));
  }
  // These send messages back into the window procedure (the move loop of a
  // drag, WM_SIZE and WM_MOVE of a minimise, WM_DESTROY), which borrows the
  // state itself.
  switch (after) {
    case PageAction::Drag:
      ReleaseCapture();
      SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      break;
    case PageAction::Minimize:
      ShowWindow(window, SW_MINIMIZE);
      break;
    case PageAction::Start:
    case PageAction::Retry:
      DestroyWindow(window);
      break;
    default:
      break;
  }
}

}  // namespace orvelle::setup
