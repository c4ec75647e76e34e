// A small program of real windows for the window-search test: it opens the
// windows below (plain, untitled, owned, tool, hidden, of given sizes),
// titled after the prefix it is given, prints one line
// "<name> <handle>" for each and then "ready", and keeps them until its
// standard input ends (or two minutes pass, should its parent die unseen).
//
// With --game TITLE [--client WxH] [--minimised] [--restore-after MS]
// [--grow-after MS] [--close-after MS] it opens one ordinary game window
// instead (640 x 480 client pixels unless told), prints "game <handle>
// <process id>" and "ready", and restores it, gives it 640 x 480 client
// pixels or closes it when told.

#include "common/win/owner.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Spec {
  const char* name;
  const wchar_t* suffix;  // nullptr: no title at all
  int width, height;  // popups: the window is all client area
  DWORD style, ex_style;
  bool owned = false;
};

const Spec kWindows[] = {
    {"untitled", nullptr, 300, 300, WS_POPUP, 0},
    {"owned", L" Owned", 600, 600, WS_POPUP, 0, true},
    {"tool", L" Tool", 500, 500, WS_POPUP, WS_EX_TOOLWINDOW},
    {"hidden", L" Hidden", 700, 700, WS_POPUP, 0},
    {"exact", L" Exact", 100, 100, WS_POPUP, 0},
    {"small", L" Small", 99, 101, WS_POPUP, 0},
    {"mixed", L" Mixed Case", 200, 100, WS_POPUP, 0},
    {"twin_a", L" Twin A", 150, 150, WS_POPUP, 0},
    {"twin_b", L" Twin B", 150, 150, WS_POPUP, 0},
    {"long", L" Long ", 200, 200, WS_POPUP, 0},
};

DWORD WINAPI watch_stdin(void* main_thread) {
  char buffer[64];
  DWORD n = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &n, nullptr) && n) {
  }
  PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(main_thread)), WM_QUIT,
                     0, 0);
  return 0;
}

constexpr UINT_PTR kRestoreTimer = 1, kGrowTimer = 2, kCloseTimer = 3, kGiveUpTimer = 4;
constexpr DWORD kGameStyle = WS_OVERLAPPEDWINDOW;

// The window size that gives the client area.
SIZE outer(int width, int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, kGameStyle, FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}

int game_window(int argc, wchar_t** argv, HINSTANCE instance, const wchar_t* window_class) {
  const std::wstring title = argv[2];
  bool minimised = false;
  int width = 640, height = 480;
  UINT restore_after = 0, grow_after = 0, close_after = 0;
  for (int i = 3; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool valued = i + 1 < argc;
    if (arg == L"--minimised") minimised = true;
    else if (arg == L"--client" && valued && swscanf(argv[++i], L"%dx%d", &width, &height) == 2) {}
    else if (arg == L"--restore-after" && valued) restore_after = std::stoul(argv[++i]);
    else if (arg == L"--grow-after" && valued) grow_after = std::stoul(argv[++i]);
    else if (arg == L"--close-after" && valued) close_after = std::stoul(argv[++i]);
    else return 2;
  }
  const SIZE size = outer(width, height);
  HWND w = CreateWindowExW(0, window_class, title.c_str(), kGameStyle, 40, 40, size.cx, size.cy,
                           nullptr, nullptr, instance, nullptr);
  if (!w) return 1;
  ShowWindow(w, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
  std::printf("game %llx %lu\nready\n",
              static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(w)),
              GetCurrentProcessId());
  std::fflush(stdout);
  if (restore_after) SetTimer(w, kRestoreTimer, restore_after, nullptr);
  if (grow_after) SetTimer(w, kGrowTimer, grow_after, nullptr);
  if (close_after) SetTimer(w, kCloseTimer, close_after, nullptr);
  SetTimer(w, kGiveUpTimer, 120'000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == w) {
      KillTimer(w, msg.wParam);
      if (msg.wParam == kCloseTimer || msg.wParam == kGiveUpTimer) break;
      if (msg.wParam == kRestoreTimer) ShowWindow(w, SW_RESTORE);
      if (msg.wParam == kGrowTimer) {
        const SIZE grown = outer(640, 480);
        SetWindowPos(w, nullptr, 0, 0, grown.cx, grown.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      continue;
    }
    DispatchMessageW(&msg);
  }
  DestroyWindow(w);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"OrvelleWindowHost";
  if (!RegisterClassW(&wc)) return 1;
  if (argc >= 3 && std::wstring(argv[1]) == L"--game")
    return game_window(argc, argv, instance, wc.lpszClassName);
  if (argc != 2) return 2;
  const std::wstring prefix = argv[1];

  HWND first = nullptr;
  for (const Spec& s : kWindows) {
    std::wstring title;
    if (s.suffix) title = prefix + s.suffix;
    if (std::string(s.name) == "long") title += std::wstring(520, L'x') + L"TAIL";
    HWND w = CreateWindowExW(s.ex_style, wc.lpszClassName, title.c_str(), s.style, 10, 10,
                             s.width, s.height, s.owned ? first : nullptr, nullptr, instance,
                             nullptr);
    if (!w) return 1;
    if (!first) first = w;
    if (std::string(s.name) != "hidden") ShowWindow(w, SW_SHOWNOACTIVATE);
    std::printf("%s %llx\n", s.name,
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(w)));
  }
  std::printf("ready\n");
  std::fflush(stdout);

  orvelle::win::Handle watcher(CreateThread(
      nullptr, 0, watch_stdin,
      reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetCurrentThreadId())), 0, nullptr));
  SetTimer(nullptr, 0, 120'000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageW(&msg);
  }
  return 0;
}
