// The clip writer's file operations and the writer as a whole through the
// Win32 API, on paths that are not ASCII. Wine has no MP4 sink writer, so
// here every save fails at the writer's creation: what matters is what it
// leaves behind.

#include "mp4/clip_files_win.h"
#include "mp4/clip_writer_win.h"
#include "common/win/error.h"
#include "support/captured_lines.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <mfapi.h>

#include <filesystem>
#include <regex>

namespace orvelle::clips {
namespace {

namespace fs = std::filesystem;

const fs::path kStem = L"orvelle-clip-\u00e4\U0001F3AE-";

void set_read_only(const fs::path& path, bool read_only) {
  SetFileAttributesW(path.c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}
bool read_only(const fs::path& path) {
  return GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY;
}

TEST(ClipFilesWin, SizesMovesAndRemovesOwnFiles) {
  TempFolder dir(kStem);
  Win32ClipFiles files;
  const fs::path clip = dir.path() / L"clip-\u00df.mp4.part";
  const fs::path final_name = dir.path() / L"clip-\u00df.mp4";
  write_whole_file(clip, std::vector<std::uint8_t>(1234, 7));
  write_whole_file(final_name, {1, 2, 3});  // an older clip of that name is replaced

  EXPECT_TRUE(files.exists(utf8_path(clip)));
  EXPECT_FALSE(files.exists(utf8_path(dir.path() / L"none")));
  auto size = files.size(utf8_path(clip));
  ASSERT_TRUE(size) << size.error().text();
  EXPECT_EQ(*size, 1234u);
  EXPECT_EQ(files.size(utf8_path(dir.path() / L"none")).error().code, 0x80070002u);

  Status moved = files.move_replacing(utf8_path(clip), utf8_path(final_name));
  ASSERT_TRUE(moved) << moved.error().text();
  EXPECT_FALSE(fs::exists(clip));
  EXPECT_EQ(fs::file_size(final_name), 1234u);

  // A clip of this save that was made read-only meanwhile still goes.
  set_read_only(final_name, true);
  Status removed = files.remove_own(utf8_path(final_name));
  ASSERT_TRUE(removed) << removed.error().text();
  EXPECT_FALSE(fs::exists(final_name));
}

TEST(ClipFilesWin, AFileHeldOpenCannotBeMovedYet) {
  TempFolder dir(kStem);
  const fs::path clip = dir.path() / L"held.mp4";
  write_whole_file(clip, {1});
  HANDLE held = CreateFileW(clip.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Status moved = Win32ClipFiles().move_replacing(utf8_path(clip), utf8_path(dir.path() / L"to.mp4"));
  CloseHandle(held);
  ASSERT_FALSE(moved);
  EXPECT_EQ(moved.error().code, 0x80070020u) << moved.error().text();  // sharing violation
}

TEST(ClipFilesWin, APathThePlatformCannotNameIsTheSystemsInvalidName) {
  for (std::string path : {std::string("C:\\clips\\a\0b.mp4", 16), std::string("C:\\clips\\\xff.mp4")}) {
    auto wide = windows_path(path);
    ASSERT_FALSE(wide);
    EXPECT_EQ(wide.error().code, 0x8007007Bu) << wide.error().text();
    EXPECT_FALSE(Win32ClipFiles().exists(path));
  }
}

class ClipWriterWin : public testing::Test {
 protected:
  void SetUp() override {
    win::install_system_messages();
    ASSERT_EQ(MFStartup(0x20070, MFSTARTUP_FULL), S_OK);
  }
  void TearDown() override { MFShutdown(); }

  // A job of one picture for path.
  static SaveJob job(std::string path) {
    const std::vector<std::uint8_t> header = {0, 0, 0, 1, 0x67, 0x42, 0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE};
    auto group = std::make_shared<Gop>();
    group->video.push_back({share_bytes(header), header.size(), Ticks{0}, Ticks{166'666}, true});
    SaveJob j;
    j.path = std::move(path);
    j.sequence_header = header;
    j.width = 640;
    j.height = 480;
    j.bitrate = 2'000'000;
    j.groups = {group};
    j.id = "w1";
    j.output = std::make_shared<const OutputSettings>(OutputSettings{true});
    j.saving_flag = std::make_shared<std::atomic<bool>>(true);
    return j;
  }

  std::string save(std::string path) {
    SaveJob j = job(std::move(path));
    SavingFlag flag = j.saving_flag;
    write_clip_win(std::move(j));
    EXPECT_FALSE(flag->load());
    return lines.out();
  }

  CapturedLines lines;
};

TEST_F(ClipWriterWin, AFailedSaveLeavesAnotherFileAtThePathAlone) {
  TempFolder dir(kStem);
  const fs::path theirs = dir.path() / L"theirs.mp4";
  write_whole_file(theirs, {1, 2, 3});
  set_read_only(theirs, true);
  const std::string out = save(utf8_path(theirs));
  EXPECT_TRUE(out.starts_with(R"({"event":"saveFailed","id":"w1","message":")")) << out;
  EXPECT_TRUE(fs::exists(theirs));
  EXPECT_EQ(read_whole_file(theirs), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_TRUE(read_only(theirs)) << "the read-only mark of a file that is not ours stays";
  set_read_only(theirs, false);
}

TEST_F(ClipWriterWin, PathsThatCannotBeWrittenGiveTheSystemsText) {
  TempFolder dir(kStem);
  struct Case {
    const char* name;
    std::string path;
    const char* code;  // empty: whatever the system says
  } cases[] = {
      {"a missing folder", utf8_path(dir.path() / L"missing" / L"clip.mp4"), ""},
      {"a NUL inside", std::string("C:\\clips\\a\0b.mp4", 16), "(0x8007007B)"},
  };
  // The system's text, a blank and its code.
  const std::regex event(R"re(\{"event":"saveFailed","id":"w1","message":"[^"]+ \(0x[0-9A-F]{8}\)"\}\n)re");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lines.clear();
    const std::string out = save(c.path);
    EXPECT_TRUE(std::regex_match(out, event)) << out;
    EXPECT_NE(out.find(c.code), std::string::npos) << out;
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace orvelle::clips
