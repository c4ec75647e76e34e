#pragma once
// What the page's messages do to the window.

#include <windows.h>

#include <string_view>

namespace orvelle::setup {

inline constexpr UINT_PTR kFadeTimer = 2;  // 16 ms while the logo fades in

// One page message, as its JSON text. Unreadable messages, and messages that
// arrive while no state is there, are dropped.
void handle_page_message(std::string_view json);

}  // namespace orvelle::setup
