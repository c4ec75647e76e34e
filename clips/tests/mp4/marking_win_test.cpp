// Track marking through the Win32 file API, on a path that is not ASCII.

#include "support/mp4_fixture.h"
#include "mp4/marking.h"
#include "mp4/random_access_file_win.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvelle::clips {
namespace {

namespace fs = std::filesystem;
using namespace fixture;

// The marking as the clip writer runs it: open the clip, then mark it.
Status mark_at(const fs::path& path) {
  auto file = open_file_for_update(utf8_path(path));
  if (!file) return error(file.error());
  return mark_alternate_sound_tracks(**file);
}

Bytes sound() { return trak("soun", tkhd(0, true, 0)); }

TEST(TrackMarkingWin, MarksAFileAtAUnicodePath) {
  TempFolder dir(L"orvelle-\u00e4\U0001F3AE-");
  fs::path clip_path = dir.path() / L"clip-\u00df.mp4";
  Bytes file = clip({trak("vide", tkhd(0, true, 0)), sound(), sound()});
  write_whole_file(clip_path, file);
  Status s = mark_at(clip_path);
  ASSERT_TRUE(s) << s.error().text();
  EXPECT_EQ(read_whole_file(clip_path), marked(file));
}

TEST(TrackMarkingWin, ErrorsAreTheSystemsOrNoMoov) {
  TempFolder dir(L"orvelle-\u00e4\U0001F3AE-");
  Status missing = mark_at(dir.path() / L"none.mp4");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, 0x80070002u);  // the file was not found

  fs::path bad = dir.path() / L"bad.mp4";
  Bytes file = join({box("ftyp", {text("isom")}), be32(1), text("mdat"), be64(~0ull - 7)});
  write_whole_file(bad, file);
  Status no_moov = mark_at(bad);
  ASSERT_FALSE(no_moov);
  EXPECT_EQ(no_moov.error().code, hresult::kInvalidData);
  EXPECT_EQ(no_moov.error().message, "no moov");
  EXPECT_EQ(read_whole_file(bad), file);
}

}  // namespace
}  // namespace orvelle::clips
