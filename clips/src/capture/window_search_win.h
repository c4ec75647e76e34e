#pragma once
// The window search on the real desktop (Windows only).

#include "capture/window_search.h"

#include <windows.h>

#include <string>

namespace orvelle::clips {

// The EnumWindows callback; lparam is the GameWindowSearch. It always
// returns TRUE, so every top-level window is visited.
BOOL CALLBACK enum_windows_pick_game(HWND window, LPARAM lparam);

// What the title buffer of 512 UTF-16 units holds.
std::u16string window_title(HWND window);

// One pass over the top-level windows. A failed EnumWindows is ignored: the
// search then holds what it saw until the failure.
void search_game_window(GameWindowSearch& search);

}  // namespace orvelle::clips
