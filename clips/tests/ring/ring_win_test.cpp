// The ring's clock and window query against the real system (under Wine here).

#include "ring/ring_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

namespace orvelle::clips {
namespace {

TEST(RingPlatformWin, SystemTimeCountsFrom1601) {
  RingPlatform platform = system_ring_platform();
  auto unix_now = std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch());
  EXPECT_NEAR(double((platform.system_time() - kUnixEpochInFileTime).count()),
              double(unix_now.count()), 5e7);
}

TEST(RingPlatformWin, SeesAMinimisedWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"game", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  RingPlatform platform = system_ring_platform();
  ShowWindow(window, SW_SHOWNORMAL);
  EXPECT_FALSE(platform.is_minimised(window));
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_TRUE(platform.is_minimised(window));
  DestroyWindow(window);
}

}  // namespace
}  // namespace orvelle::clips
