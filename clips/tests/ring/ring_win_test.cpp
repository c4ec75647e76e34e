// The ring's clock and window query against the real system (under Wine here).

#include "ring/ring_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

namespace orvelle::clips {
namespace {

TEST(RingPlatformWin, SystemTimeCountsFrom1601) {
  RingPlatform platform = system_ring_platform();
  constexpr std::int64_t kUnixEpochIn1601 = 116'444'736'000'000'000;
  auto unix_100ns = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
  EXPECT_NEAR(double(platform.system_time() - kUnixEpochIn1601), double(unix_100ns), 5e7);
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
