// orvelle-setup.exe itself, under Wine: what the installer sees of it where
// no WebView2 runtime exists.

#include "tools/e2e/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>

namespace orvelle::e2e {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the build tree, visible to Wine as Z:.
struct Scratch {
  fs::path path;
  Scratch() {
    path = fs::path(ORVELLE_SETUP_SCRATCH) / ("run-" + std::to_string(std::random_device{}()));
    fs::create_directories(path);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string windows(const std::string& name) const {
    std::string p = "Z:" + (path / name).string();
    for (char& c : p)
      if (c == '/') c = '\\';
    return p;
  }
};

// The browser data folders of every run, in Wine's temporary folder.
std::vector<fs::path> data_folders() {
  std::vector<fs::path> found;
  const char* prefix = std::getenv("WINEPREFIX");
  fs::path users = fs::path(prefix ? prefix : ORVELLE_WINEPREFIX) / "drive_c" / "users";
  std::error_code ec;
  for (const auto& user : fs::directory_iterator(users, ec)) {
    fs::path temp = user.path() / "AppData" / "Local" / "Temp";
    std::error_code none;
    for (const auto& entry : fs::directory_iterator(temp, none))
      if (entry.path().filename().string().starts_with("orvelle-setup-webview"))
        found.push_back(entry.path());
  }
  return found;
}

TEST(SetupExe, WithoutWebView2ItFailsWithOneLineAndWritesNothing) {
  ASSERT_TRUE(fs::exists(ORVELLE_SETUP_EXE));
  Scratch scratch;
  auto before = data_folders();
  Outcome o = run_windows(ORVELLE_SETUP_EXE,
                          {"--ui", scratch.windows("ui"), "--ready", scratch.windows("ready"),
                           "--result", scratch.windows("result"), "--status",
                           scratch.windows("status"), "--shots", scratch.windows("shots"),
                           "--shot-at", "0", "--offscreen"});
  EXPECT_EQ(o.exit_code, 2);
  EXPECT_EQ(o.out, "");
  static const std::regex kLine(
      R"(orvelle-setup: WebView2 environment: WebView2Loader\.dll: [^\n]+ \(0x8007007E\) \(0x80004003\)\n)");
  EXPECT_TRUE(std::regex_match(o.err, kLine)) << o.err;
  EXPECT_TRUE(fs::is_empty(scratch.path));
  EXPECT_EQ(data_folders(), before);
}

}  // namespace
}  // namespace orvelle::e2e
