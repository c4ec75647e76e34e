// A small program of real windows for the window-search test: it opens the
// windows below (plain, untitled, owned, tool, hidden, of given sizes),
// titled after the prefix it is given, prints one line
// "<name> <handle>" for each and then "ready", and keeps them until its
// standard input ends (or two minutes pass, should its parent die unseen).

#include "common/win/owner.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring prefix = argv[1];
  _setmode(_fileno(stdout), _O_BINARY);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"OrvelleWindowHost";
  if (!RegisterClassW(&wc)) return 1;

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
