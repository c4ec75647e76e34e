#pragma once
// What the page's messages do to the window.

#include "main/setup_state_win.h"

#include <windows.h>

#include <string_view>

namespace orvelle::setup {

inline constexpr UINT_PTR kFadeTimer = 2;  // 16 ms while the logo fades in

// One page message, as its source address and its JSON text. Messages from
// anywhere but the setup page, unreadable ones, and those that arrive while
// no state or no main window is there, are dropped.
void handle_page_message(std::string_view source, std::string_view json);

// The user's first answer that reaches the result file (or the first at all
// without one); later ones write nothing.
void answer_once(SetupState& state, std::string_view answer);

// Shows the logo (made first if need be) with its fade started over.
void show_logo(SetupState& state);

// post_progress: the page's bar, never backwards, small changes skipped.
void post_progress(SetupState& state, double value);

}  // namespace orvelle::setup
