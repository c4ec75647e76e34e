// Holds Wine's desktop for a test run. Wine starts its desktop process with
// the first program that needs it and waits only 10 s for it, and closes it
// again a moment after the last program on it ends; a test that starts while
// the machine is busy can miss it and then has no windows and no Direct3D.
// This program opens a window, says "ready" and keeps the window until it is
// ended, so the desktop is up before the first test and stays up between
// tests. It exits with 1 when it cannot open its window.

#include <windows.h>

#include <cstdio>

int main() {
  HWND window = CreateWindowExW(0, L"STATIC", L"desktop holder", WS_OVERLAPPEDWINDOW, 0, 0, 64,
                                64, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) {
    std::fprintf(stderr, "no window yet (error %lu)\n", GetLastError());
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
