// The browser's data folders under Wine: which processes still run, and the
// sweep of the folders that ended runs left behind.

#include "common/utf.h"
#include "common/win/owner.h"
#include "main/answer_files_win.h"
#include "main/data_folder_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvelle::setup {
namespace {

namespace fs = std::filesystem;

// A process that has already ended, its handle still held (as an installer
// that started it would).
struct EndedProcess {
  PROCESS_INFORMATION info{};
  win::Handle process, thread;
  EndedProcess() {
    wchar_t line[] = L"cmd.exe /c exit 0";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &start, &info))
      return;
    process = win::Handle(info.hProcess);
    thread = win::Handle(info.hThread);
    WaitForSingleObject(info.hProcess, 30000);
  }
};

fs::path native(const std::string& utf8) { return fs::path(wide_path(utf8)); }

TEST(DataFolderWin, OnlyAnEndedProcessIsGone) {
  EXPECT_TRUE(process_may_run(GetCurrentProcessId()));
  EndedProcess ended;
  ASSERT_TRUE(ended.process);
  DWORD id = ended.info.dwProcessId;
  EXPECT_FALSE(process_may_run(id));  // ended, its handle still open
  ended.process.reset();
  ended.thread.reset();
  EXPECT_FALSE(process_may_run(id));  // no such process any more
}

TEST(DataFolderWin, TheStartSweepsEndedRunsAndKeepsRunningOnes) {
  auto temp = temp_folder();
  ASSERT_TRUE(temp);
  EndedProcess ended;
  ASSERT_TRUE(ended.process);
  fs::path root = native(*temp);
  fs::path stale = root / ("orvelle-setup-webview-" + std::to_string(ended.info.dwProcessId));
  fs::path own = root / ("orvelle-setup-webview-" + std::to_string(GetCurrentProcessId()));
  fs::path other = root / ("orvelle-setup-webview-" + std::to_string(ended.info.dwProcessId) + "x");
  for (const fs::path& p : {stale, own, other}) {
    fs::create_directories(p / "EBWebView");
    std::ofstream(p / "EBWebView" / "Local State") << "{}";
  }
  auto data = prepare_data_folder();
  ASSERT_TRUE(data) << data.error().text();
  EXPECT_EQ(native(*data), own);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(own / "EBWebView" / "Local State"));
  EXPECT_TRUE(fs::exists(other));
  remove_folder_patiently(*data);
  EXPECT_FALSE(fs::exists(own));
  fs::remove_all(other);
}

}  // namespace
}  // namespace orvelle::setup
