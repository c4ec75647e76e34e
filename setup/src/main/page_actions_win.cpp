#include "main/page_actions_win.h"

#include "main/page_message.h"
#include "main/setup_state_win.h"

namespace orvelle::setup {
namespace {

void show_logo(SetupState& state) {
  if (!state.overhang) state.overhang = create_overhang(state.hwnd, GetDpiForWindow(state.hwnd));
  if (!state.overhang) return;
  show_overhang(*state.overhang, state.hwnd);
  SetTimer(state.hwnd, kFadeTimer, 16, nullptr);
}

void hide_logo(SetupState& state) {
  if (!state.overhang) return;
  ShowWindow(state.overhang->window.get(), SW_HIDE);
  state.overhang->visible = false;
  state.overhang->fade_start.reset();
}

}  // namespace

void handle_page_message(std::string_view json) {
  auto message = read_page_message(json);
  if (!message) return;
  auto state = setup_state_slot().borrow();
  if (!state) return;
  if (message->type == "overhang") {
    if (message->show) show_logo(*state);
    else hide_logo(*state);
  }
}

}  // namespace orvelle::setup
