// The record session's platform on the real desktop (Wine's here): its
// windows, its clock, its start-up, and the capture start that goes as far
// as the platform's capture item factory.

#include "record/session_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

namespace orvelle::clips {
namespace {

class RecordPlatformWin : public testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", kTitle, WS_OVERLAPPEDWINDOW, 30, 30, 700, 500,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    platform = windows_record_platform();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
  }

  static constexpr const wchar_t* kTitle = L"Record \u00e9 \U0001F3AE platform test";
  HWND window = nullptr;
  std::unique_ptr<RecordPlatform> platform;
};

TEST_F(RecordPlatformWin, FollowsTheGameWindow) {
  WindowSystem& windows = platform->windows();
  GameWindowSearch search;
  search.title = "Record \u00e9 \U0001F3AE platform";
  windows.search(search);
  ASSERT_TRUE(search.found);
  EXPECT_EQ(search.window, window);
  EXPECT_EQ(windows.title(window), "Record \u00e9 \U0001F3AE platform test");
  RECT r;
  GetClientRect(window, &r);
  EXPECT_EQ(windows.client_size(window), (Size{std::uint32_t(r.right), std::uint32_t(r.bottom)}));
  EXPECT_TRUE(can_record(windows, window));
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_TRUE(windows.minimised(window));
  EXPECT_FALSE(can_record(windows, window));
  ShowWindow(window, SW_RESTORE);
  EXPECT_FALSE(windows.minimised(window));
  DestroyWindow(window);
  EXPECT_FALSE(windows.exists(window));
  EXPECT_FALSE(windows.client_size(window));
}

TEST_F(RecordPlatformWin, TheClockWaitsForCommands) {
  SessionClock& clock = platform->clock();
  auto [sender, receiver] = make_channel<Command>();
  std::optional<Command> got;
  const Ticks before = clock.now();
  EXPECT_EQ(clock.receive_command(receiver, got, std::chrono::milliseconds(120)), RecvStatus::timeout);
  EXPECT_GE(clock.now() - before, std::chrono::milliseconds(110));
  ASSERT_EQ(sender.send(StopCommand{}), SendResult::sent);
  EXPECT_EQ(clock.receive_command(receiver, got, std::chrono::seconds(5)), RecvStatus::value);
  EXPECT_LT(clock.now() - before, std::chrono::seconds(2));
  EXPECT_LT(std::chrono::abs(clock.capture_time() - clock.now()), std::chrono::milliseconds(50))
      << "both are the performance counter";
}

TEST_F(RecordPlatformWin, StartsUpAndStopsAtTheCaptureItemFactory) {
  Status runtime = platform->start_runtime();
  ASSERT_TRUE(runtime) << runtime.error().text();
  const DWORD priority = GetPriorityClass(GetCurrentProcess());
  platform->lower_priority();
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
  SetPriorityClass(GetCurrentProcess(), priority);

  auto gpu = platform->open_gpu(window);
  ASSERT_TRUE(gpu) << gpu.error().text();
  EXPECT_FALSE(gpu->description.empty());

  RecorderOptions options;
  Recording recording;
  CaptureRoad road = platform->prepare_capture(options, window, recording);
  auto capture = road.factory->start();
  ASSERT_FALSE(capture);
  // Wine has no Windows.Graphics.Capture: its class is not registered.
  EXPECT_EQ(capture.error().code, 0x80040154u) << capture.error().text();
  EXPECT_EQ(road.counters->read().packets, 0u);
}

}  // namespace
}  // namespace orvelle::clips
