#pragma once
// The main window's procedure: frameless, fixed in size, the page kept
// filling it, the logo following it.

#include <windows.h>

namespace orvelle::setup {

inline constexpr UINT_PTR kStatusTimer = 1;  // 100 ms, from the loop's start

LRESULT CALLBACK setup_window_proc(HWND window, UINT message, WPARAM w, LPARAM l);

}  // namespace orvelle::setup
