// The real search over real windows under Wine: window_host.exe, another
// process, opens titled, sized, owned, tool and hidden windows, and
// enum_windows_pick_game must pick the right one for each filter.

#include "capture/window_search_win.h"
#include "common/win/owner.h"
#include "win/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

namespace orvelle::clips {
namespace {

using win::Handle;

class WindowHost : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = "orvelle-search-" + std::to_string(GetCurrentProcessId());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out_read, out_write, in_read, in_write;
    ASSERT_TRUE(CreatePipe(&out_read, &out_write, &inherit, 0));
    ASSERT_TRUE(CreatePipe(&in_read, &in_write, &inherit, 0));
    Handle child_out(out_write), child_in(in_read);
    out_ = Handle(out_read);
    in_ = Handle(in_write);
    SetHandleInformation(out_.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(in_.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = child_in.get();
    si.hStdOutput = child_out.get();
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring exe = beside_this_program(L"window_host.exe");
    std::wstring line = L"\"" + exe + L"\" " + std::wstring(prefix_.begin(), prefix_.end());
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &si, &pi))
        << GetLastError();
    process_ = Handle(pi.hProcess);
    Handle thread(pi.hThread);
    pid_ = pi.dwProcessId;

    // The host's lines, until "ready" or a deadline.
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (text.find("ready\n") == std::string::npos) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << text;
      DWORD code = 0;
      ASSERT_TRUE(GetExitCodeProcess(process_.get(), &code) && code == STILL_ACTIVE)
          << "window_host.exe ended with " << code << ": " << text;
      DWORD avail = 0;
      ASSERT_TRUE(PeekNamedPipe(out_.get(), nullptr, 0, nullptr, &avail, nullptr)) << text;
      if (!avail) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      char buffer[4096];
      DWORD n = 0;
      ASSERT_TRUE(ReadFile(out_.get(), buffer, sizeof buffer, &n, nullptr));
      text.append(buffer, n);
    }
    std::istringstream lines(text);
    std::string name;
    unsigned long long handle;
    while (lines >> name >> std::hex >> handle)
      windows_[name] = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
  }

  static void TearDownTestSuite() {
    in_.reset();  // the host ends when its input does
    if (process_) WaitForSingleObject(process_.get(), 10'000);
    process_.reset();
    out_.reset();
  }

  static HWND window(const std::string& name) {
    auto it = windows_.find(name);
    return it == windows_.end() ? nullptr : it->second;
  }

  // The chosen window's name, "none" when nothing was found.
  static std::string pick(std::optional<std::string> title, std::uint32_t pid) {
    GameWindowSearch search;
    search.title = std::move(title);
    search.process_id = pid;
    search_game_window(search);
    if (!search.found) return "none";
    for (const auto& [name, handle] : windows_)
      if (handle == search.window) return name;
    return "another window";
  }

  static inline std::string prefix_;
  static inline std::uint32_t pid_ = 0;
  static inline std::map<std::string, HWND> windows_;
  static inline Handle process_, in_, out_;
};

TEST_F(WindowHost, PicksTheRightWindow) {
  ASSERT_EQ(windows_.size(), 10u);
  const std::string p = prefix_;
  struct Case {
    std::optional<std::string> title;
    std::uint32_t pid;
    std::string picked;
  } cases[] = {
      // By process id alone: the largest plain window, which has no title;
      // the owned, tool and hidden windows are larger still.
      {std::nullopt, pid_, "untitled"},
      {"", pid_, "untitled"},
      {p + " Exact", 0, "exact"},
      {p + " Exact", pid_, "exact"},
      {p + " Exact", GetCurrentProcessId(), "none"},
      {p + " Small", 0, "none"},
      {p + " Mixed Case", 0, "mixed"},
      {p + " mixed case", 0, "none"},
      {p + " Owned", 0, "none"},
      {p + " Tool", 0, "none"},
      {p + " Hidden", 0, "none"},
      {p + " Long xxx", 0, "long"},
      {"xTAIL", pid_, "none"},  // beyond the 511 units the title buffer keeps
  };
  for (const auto& c : cases)
    EXPECT_EQ(pick(c.title, c.pid), c.picked) << c.title.value_or("(no title)") << " " << c.pid;
}

// Wine answers GetWindowPlacement for another process's window with its
// current rectangle, so the minimised window is one of this process.
TEST_F(WindowHost, MinimisedWindowIsMeasuredByItsRestoredRectangle) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OrvelleSearchTest";
  ASSERT_TRUE(RegisterClassW(&wc));
  std::wstring title(prefix_.begin(), prefix_.end());
  title += L" Minimised";
  HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 320,
                           240, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  ShowWindow(w, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(w));
  GameWindowSearch search;
  search.title = prefix_ + " Minimised";
  search.process_id = GetCurrentProcessId();
  search_game_window(search);
  EXPECT_TRUE(search.found);
  EXPECT_EQ(search.window, w);
  EXPECT_EQ(search.area, 320u * 240u);  // the frame included
  DestroyWindow(w);
}

TEST_F(WindowHost, EqualAreasKeepTheFirstEnumerated) {
  std::vector<HWND> order;
  EnumWindows(
      [](HWND w, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&order));
  auto at = [&](HWND w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
  std::string first = at(window("twin_a")) < at(window("twin_b")) ? "twin_a" : "twin_b";
  EXPECT_EQ(pick(prefix_ + " Twin", pid_), first);
}

}  // namespace
}  // namespace orvelle::clips
