#include "main/data_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace orvelle::setup {
namespace {

TEST(DataFolder, PerProcessAndOnlyInAFullTemporaryFolder) {
  EXPECT_EQ(user_data_folder("C:\\Temp\\", 42), "C:\\Temp\\orvelle-setup-webview-42");
  EXPECT_EQ(user_data_folder("C:\\Temp", 42), "C:\\Temp\\orvelle-setup-webview-42");
  EXPECT_EQ(user_data_folder("\\\\server\\share\\t\\", 7), "\\\\server\\share\\t\\orvelle-setup-webview-7");
  EXPECT_NE(user_data_folder("C:\\Temp\\", 42), user_data_folder("C:\\Temp\\", 43));
  // Never a folder relative to wherever the process started.
  for (const char* temp : {"", "Temp\\", "C:Temp\\", "\\Temp\\", "\\\\\\x"})
    EXPECT_EQ(user_data_folder(temp, 42), std::nullopt) << temp;
}

TEST(DataFolder, OnlyTheFoldersOfEndedProcessesAreStale) {
  std::set<std::uint32_t> running = {8, 4294967295u};
  std::vector<std::uint32_t> asked;
  auto may_run = [&](std::uint32_t id) {
    asked.push_back(id);
    return running.contains(id);
  };
  std::vector<FolderEntry> entries = {
      {"orvelle-setup-webview-8", true, false, 0},     // running: kept
      {"orvelle-setup-webview-12", true, false, 0},    // ended
      {"orvelle-setup-webview-4294967295", true, false, 0},
      {"orvelle-setup-webview-0", true, false, 0},     // ended (no process 0 runs a window)
      {"orvelle-setup-webview-16", false, false, 0},   // a file of that name
      {"orvelle-setup-webview-20", true, true, 0},     // a link: its target is not ours
      {"orvelle-setup-webview-40", true, false, 0, true},  // a link without a link's tag
      {"orvelle-setup-webview-012", true, false, 0},   // not a name we make
      {"orvelle-setup-webview-+24", true, false, 0},
      {"orvelle-setup-webview-", true, false, 0},
      {"orvelle-setup-webview-28x", true, false, 0},
      {"orvelle-setup-webview-4294967296", true, false, 0},
      {"Orvelle-setup-webview-32", true, false, 0},
      {"orvelle-setup-webview", true, false, 0},
      {"other-36", true, false, 0},
  };
  EXPECT_EQ(stale_data_folders(entries, may_run),
            (std::vector<std::string>{"orvelle-setup-webview-12", "orvelle-setup-webview-0"}));
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{8, 12, 4294967295u, 0}));
}

TEST(DataFolder, TheProcessIdIsReadBack) {
  for (std::uint32_t id : {0u, 4u, 1234u, 4294967295u})
    EXPECT_EQ(data_folder_process(user_data_folder("C:\\T", id)->substr(5)), id);
}

}  // namespace
}  // namespace orvelle::setup
