// The browser's data folders under Wine: which processes still run, and the
// sweep of the folders that ended runs left behind.

#include "common/tests/support/unix_link_win.h"
#include "common/utf.h"
#include "common/win/owner.h"
#include "main/answer_files_win.h"
#include "main/data_folder_win.h"
#include "main/folder_removal_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

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
  auto data = prepare_data_folder(temp_folder());
  ASSERT_TRUE(data) << data.error().text();
  EXPECT_EQ(native(*data), own);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(own / "EBWebView" / "Local State"));
  EXPECT_TRUE(fs::exists(other));
  remove_folder_patiently(*data);
  EXPECT_FALSE(fs::exists(own));
  fs::remove_all(other);
}

// What is left below a folder, links not followed.
std::set<std::string> left_in(const fs::path& folder) {
  std::set<std::string> left;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    std::u16string w = it->path().lexically_relative(folder).u16string();
    left.insert(utf16_to_utf8(w));
    if (it->is_symlink() || (GetFileAttributesW(it->path().c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
      it.disable_recursion_pending();
  }
  return left;
}

// A folder and a file that links point to, and what they hold.
struct Targets {
  fs::path root, folder, file;
  explicit Targets(const fs::path& temp)
      : root(temp / ("orvelle-setup-test-targets-" + std::to_string(GetCurrentProcessId()))),
        folder(root / "victim"), file(root / "victim.txt") {
    fs::create_directories(folder / "deep");
    std::ofstream(folder / "precious.txt") << "precious";
    std::ofstream(folder / "deep" / "also.txt") << "also";
    std::ofstream(file) << "file";
  }
  ~Targets() { test::unix_remove(root); }
  bool whole() const {
    auto text = [](const fs::path& p) {
      std::ifstream in(p);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    return text(folder / "precious.txt") == "precious" && text(folder / "deep" / "also.txt") == "also" &&
           text(file) == "file";
  }
};

TEST(DataFolderWin, TheSweepRemovesLinksAsLinksAndNeverWhatTheyLeadTo) {
  auto temp = temp_folder();
  ASSERT_TRUE(temp);
  fs::path root = native(*temp);
  Targets targets(root);
  EndedProcess ended;
  ASSERT_TRUE(ended.process);
  fs::path stale = root / ("orvelle-setup-webview-" + std::to_string(ended.info.dwProcessId));
  fs::create_directories(stale / "EBWebView" / "nested" / "deeper");
  std::ofstream(stale / "EBWebView" / "nested" / "deeper" / "x.txt") << "x";
  std::ofstream(stale / "EBWebView" / "read-only.txt") << "r";
  ASSERT_TRUE(SetFileAttributesW((stale / "EBWebView" / "read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(test::unix_link(targets.folder, stale / "EBWebView" / "inner"));
  ASSERT_TRUE(test::unix_link(targets.file, stale / "file-link"));
  ASSERT_EQ(GetFileAttributesW((stale / "EBWebView" / "inner").c_str()),
            DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT});

  auto data = prepare_data_folder(temp_folder());
  ASSERT_TRUE(data) << data.error().text();
  EXPECT_TRUE(targets.whole());
  // Everything but the links went. Wine opens what a link points to, never
  // the link itself, so nothing there can remove one: the links stay, and
  // the folders that hold them; where links open as themselves they go too.
  std::set<std::string> left = left_in(stale);
  if (!left.empty()) {
    EXPECT_EQ(left, (std::set<std::string>{"EBWebView", "EBWebView\\inner", "file-link"}));
  }
  test::unix_remove(stale);
}

TEST(DataFolderWin, ARemovalEndsAtOnceUnlessSomethingIsStillHeld) {
  auto temp = temp_folder();
  ASSERT_TRUE(temp);
  fs::path root = native(*temp);
  Targets targets(root);
  auto utf8 = [](const fs::path& p) { return utf16_to_utf8(p.u16string()); };
  fs::path folder = targets.root / "held";
  fs::create_directories(folder / "sub");
  {
    // A file the browser still holds, without delete sharing: held, then gone.
    win::Handle open(CreateFileW((folder / "sub" / "Cookies").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(open);
    EXPECT_EQ(remove_folder_tree(utf8(folder)), RemovalOutcome::Held);
    EXPECT_TRUE(fs::exists(folder / "sub" / "Cookies"));
  }
  EXPECT_EQ(remove_folder_tree(utf8(folder)), RemovalOutcome::Removed);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(remove_folder_tree(utf8(folder)), RemovalOutcome::Gone);

  // A top folder that is a link or a file is never walked nor removed.
  ASSERT_TRUE(test::unix_link(targets.folder, targets.root / "top-link"));
  EXPECT_EQ(remove_folder_tree(utf8(targets.root / "top-link")), RemovalOutcome::Refused);
  EXPECT_EQ(remove_folder_tree(utf8(targets.file)), RemovalOutcome::Refused);
  EXPECT_TRUE(targets.whole());

  // Refused inside: the patience does not wait for what will not change.
  fs::path with_link = targets.root / "with-link";
  fs::create_directories(with_link);
  ASSERT_TRUE(test::unix_link(targets.folder, with_link / "inner"));
  auto start = std::chrono::steady_clock::now();
  remove_folder_patiently(utf8(with_link));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kRemovalTries * kRemovalGap);
  EXPECT_TRUE(targets.whole());
}

}  // namespace
}  // namespace orvelle::setup
