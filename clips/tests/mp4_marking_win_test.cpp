// Track marking through the Win32 file API, on a path that is not ASCII.

#include "mp4_fixture.h"
#include "mp4_marking.h"
#include "utf.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvelle::clips {
namespace {

namespace fs = std::filesystem;
using namespace fixture;

struct TempFolder {
  TempFolder() {
    path = fs::temp_directory_path() /
           (L"orvelle-\u00e4\U0001F3AE-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

std::string utf8(const fs::path& p) {
  std::wstring w = p.wstring();
  return utf16_to_utf8({reinterpret_cast<const char16_t*>(w.data()), w.size()});
}

void write(const fs::path& p, const Bytes& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes sound() { return trak("soun", tkhd(0, true, 0)); }

TEST(TrackMarkingWin, MarksAFileAtAUnicodePath) {
  TempFolder dir;
  fs::path clip_path = dir.path / L"clip-\u00df.mp4";
  Bytes file = clip({trak("vide", tkhd(0, true, 0)), sound(), sound()});
  write(clip_path, file);
  Status s = mark_alternate_sound_tracks(utf8(clip_path));
  ASSERT_TRUE(s) << s.error().text();
  EXPECT_EQ(read(clip_path), marked(file));
}

TEST(TrackMarkingWin, ErrorsAreTheSystemsOrNoMoov) {
  TempFolder dir;
  Status missing = mark_alternate_sound_tracks(utf8(dir.path / L"none.mp4"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, 0x80070002u);  // the file was not found

  fs::path bad = dir.path / L"bad.mp4";
  Bytes file = join({box("ftyp", {text("isom")}), be32(1), text("mdat"), be64(~0ull - 7)});
  write(bad, file);
  Status no_moov = mark_alternate_sound_tracks(utf8(bad));
  ASSERT_FALSE(no_moov);
  EXPECT_EQ(no_moov.error().code, kInvalidData);
  EXPECT_EQ(no_moov.error().message, "no moov");
  EXPECT_EQ(read(bad), file);
}

}  // namespace
}  // namespace orvelle::clips
