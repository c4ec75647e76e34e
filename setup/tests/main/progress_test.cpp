#include "main/host_messages.h"
#include "main/progress.h"
#include "main/status_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace orvelle::setup {
namespace {

TEST(HostMessages, Texts) {
  EXPECT_EQ(progress_message(0.5), R"({"type":"progress","value":0.5000})");
  EXPECT_EQ(progress_message(0), R"({"type":"progress","value":0.0000})");
  EXPECT_EQ(progress_message(0.30254), R"({"type":"progress","value":0.3025})");
  EXPECT_EQ(kInstalledMessage.size(), 20u);
  EXPECT_EQ(failed_message("disk \"full\"\tnow", "C:\\l\xC3\xB3g"),
            R"({"type":"failed","message":"disk \"full\"\tnow","log":"C:\\l)"
            "\xC3\xB3" R"(g"})");
  EXPECT_EQ(failed_message("", ""), R"({"type":"failed","message":"","log":""})");
}

TEST(HostMessages, ProgressGate) {
  double last = -1.0;
  std::vector<std::optional<double>> sent;
  for (double v : {0.3, 0.2, 0.301, 0.3025, 1.0, 1.5, -4.0})
    sent.push_back(progress_to_send(last, v));
  std::vector<std::optional<double>> wanted = {0.3, std::nullopt, std::nullopt, 0.3025, 1.0,
                                               1.5, std::nullopt};
  EXPECT_EQ(sent, wanted);
  last = -1.0;
  EXPECT_EQ(progress_to_send(last, 0.0), 0.0);  // the first always goes
  last = -1.0;
  EXPECT_EQ(progress_to_send(last, -0.5), 0.0);  // never below 0
  EXPECT_EQ(progress_to_send(last, std::nan("")), std::nullopt);
}

TEST(StatusFile, Words) {
  using K = StatusWord::Kind;
  struct Case {
    const char* text;
    K kind;
    const char* message;
  } cases[] = {
      {"done", K::Done, ""},
      {"done\r\n", K::Done, ""},
      {"  done \n", K::Done, ""},
      {"Done", K::Nothing, ""},
      {"done.", K::Nothing, ""},
      {"", K::Nothing, ""},
      {"don", K::Nothing, ""},  // a file being rewritten
      {"abort\n", K::Abort, ""},
      {"failed", K::Failed, ""},
      {"failed\ndisk full\n\ncode 5", K::Failed, "disk full  code 5"},
      {"failed\r\ndisk full\r\n\r\ncode 5\r\n", K::Failed, "disk full  code 5"},
      {"failed\n  \"quoted\"\ttab \n", K::Failed, "\"quoted\"\ttab"},
      {"running\nfailed", K::Nothing, ""},
      // One byte-order mark is dropped, as Windows tools write it; a second is text.
      {"\xEF\xBB\xBF" "done\r\n", K::Done, ""},
      {"\xEF\xBB\xBF" "failed\n\xEF\xBB\xBFx", K::Failed, "\xEF\xBB\xBFx"},
      {"\xEF\xBB\xBF\xEF\xBB\xBF" "done", K::Nothing, ""},
  };
  for (const auto& c : cases) {
    StatusWord s = read_status(c.text);
    EXPECT_EQ(s.kind, c.kind) << c.text;
    EXPECT_EQ(s.message, c.message) << c.text;
  }
}

TEST(Progress, DemoCurve) {
  EXPECT_NEAR(*demo_progress(100), 0.0300, 0.0005);
  EXPECT_NEAR(*demo_progress(8500), 0.86, 1e-12);
  EXPECT_NEAR(*demo_progress(8499.999), 0.86, 1e-6);
  EXPECT_NEAR(*demo_progress(9999), 1.0, 0.001);
  EXPECT_LT(*demo_progress(9999), 1.0);
  EXPECT_EQ(demo_progress(10000), std::nullopt);
  double before = 0;
  for (double t = 0; t < 10000; t += 97) {
    double v = *demo_progress(t);
    EXPECT_GE(v, before) << t;
    before = v;
  }
}

TEST(Progress, DiskNeverPassesTheCap) {
  EXPECT_DOUBLE_EQ(disk_progress(0, 1), 0.0);
  EXPECT_DOUBLE_EQ(disk_progress(512, 1), 0.5);
  EXPECT_DOUBLE_EQ(disk_progress(2048, 1), 0.98);
  EXPECT_DOUBLE_EQ(disk_progress(UINT64_MAX, 1), 0.98);
  EXPECT_DOUBLE_EQ(disk_progress(UINT64_MAX, UINT64_MAX), 1.0 / 1024);
}

// A tree of folders by path; a folder not in it cannot be listed.
class FakeLister : public FolderLister {
 public:
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::optional<std::vector<FolderEntry>> list(const std::string& folder) override {
    auto it = folders.find(folder);
    if (it == folders.end()) return std::nullopt;
    return it->second;
  }
};

TEST(Progress, FolderWalk) {
  FakeLister fs;
  fs.folders["C:\\X"] = {{".", true, false, 0},
                         {"..", true, false, 0},
                         {"a.bin", false, false, 100},
                         {"sub", true, false, 0},
                         {"loop", true, true, 7},  // a junction back to C:\X
                         {"locked", true, false, 0},
                         {"link.txt", false, true, 3}};
  fs.folders["C:\\X\\sub"] = {{".", true, false, 0}, {"b.bin", false, false, 1000}};
  fs.folders["C:\\X\\loop"] = fs.folders["C:\\X"];
  EXPECT_EQ(folder_size("C:\\X", fs), 100u + 1000 + 7 + 3);
  fs.folders[""] = fs.folders["C:\\X"];  // what listing "" would find: the current folder
  EXPECT_EQ(folder_size("", fs), 0u);
  fs.folders["C:\\Y"] = {{"huge", false, false, UINT64_MAX}, {"more", false, false, 5}};
  EXPECT_EQ(folder_size("C:\\Y", fs), UINT64_MAX);
}

TEST(Progress, TheWalkUsesTheLongPathForm) {
  struct Case {
    const char* full;
    const char* long_form;
  } cases[] = {
      {"C:\\Program Files\\X", "\\\\?\\C:\\Program Files\\X"},
      {"\\\\server\\share\\X", "\\\\?\\UNC\\server\\share\\X"},
      {"\\\\?\\C:\\X", "\\\\?\\C:\\X"},
      {"\\\\?\\UNC\\server\\share", "\\\\?\\UNC\\server\\share"},
      {"\\\\.\\C:\\X", "\\\\.\\C:\\X"},
  };
  for (const auto& c : cases) EXPECT_EQ(long_path_form(c.full), c.long_form) << c.full;
}

TEST(Progress, ScreenshotSchedule) {
  std::vector<std::uint64_t> pending = {0, 1500, 0, 700, 1500};
  EXPECT_EQ(due_shots(pending, 100), (std::vector<std::uint64_t>{0, 0}));
  EXPECT_EQ(pending, (std::vector<std::uint64_t>{1500, 700, 1500}));
  EXPECT_EQ(due_shots(pending, 1499), (std::vector<std::uint64_t>{700}));
  EXPECT_EQ(due_shots(pending, 1600), (std::vector<std::uint64_t>{1500, 1500}));
  EXPECT_TRUE(pending.empty());
  EXPECT_TRUE(due_shots(pending, 99999).empty());
}

}  // namespace
}  // namespace orvelle::setup
