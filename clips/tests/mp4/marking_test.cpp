// Box walking and track marking on hand-made files.

#include "mp4/boxes.h"
#include "support/mp4_fixture.h"
#include "mp4/marking.h"
#include "support/posix_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

using namespace fixture;

struct Marked {
  Status status;
  Bytes after;
  int writes = 0;
};

Marked mark(const Bytes& file) {
  TempFolder dir;
  std::string path = dir.file("clip.mp4");
  write_whole_file(path, file);
  auto f = PosixFile::open(path);
  if (!f) return {error(f.error()), {}, 0};
  Status status = mark_alternate_sound_tracks(**f);
  int writes = (*f)->writes;
  f->reset();
  return {status, read_whole_file(path), writes};
}

Bytes video() { return trak("vide", tkhd(0, true, 0)); }
Bytes sound(std::uint8_t version = 0) { return trak("soun", tkhd(version, true, 0)); }

TEST(BoxList, StopsAtTheFirstBoxThatDoesNotFit) {
  const Bytes two = join({box("free", {Bytes(4)}), box("skip")});
  struct Case {
    const char* name;
    Bytes buffer;
    std::uint64_t start, end;
    std::vector<Box> boxes;
  } cases[] = {
      {"two boxes", two, 0, 20, {{0, 8, 12, {'f', 'r', 'e', 'e'}}, {12, 8, 20, {'s', 'k', 'i', 'p'}}}},
      {"a sub-range", two, 12, 20, {{12, 8, 20, {'s', 'k', 'i', 'p'}}}},
      {"an end past the buffer", two, 0, 1000, {{0, 8, 12, {'f', 'r', 'e', 'e'}}, {12, 8, 20, {'s', 'k', 'i', 'p'}}}},
      {"size 0 runs to the end", join({be32(0), text("mdat"), Bytes(30)}), 0, 38, {{0, 8, 38, {'m', 'd', 'a', 't'}}}},
      {"a 64-bit size", join({long_box("mdat", {Bytes(4)}), box("moov")}), 0, 28,
       {{0, 16, 20, {'m', 'd', 'a', 't'}}, {20, 8, 28, {'m', 'o', 'o', 'v'}}}},
      {"no room for the 64-bit size", join({be32(1), text("mdat"), be32(0)}), 0, 12, {}},
      {"a 64-bit size under 16", join({be32(1), text("mdat"), be64(8), Bytes(8)}), 0, 24, {}},
      {"a 64-bit size that would wrap", join({box("free"), be32(1), text("mdat"), be64(~0ull - 7), Bytes(8)}), 0, 32,
       {{0, 8, 8, {'f', 'r', 'e', 'e'}}}},
      {"a size under 8", join({box("free"), be32(4), text("skip"), box("moov")}), 0, 24,
       {{0, 8, 8, {'f', 'r', 'e', 'e'}}}},
      {"a size past the end", join({box("free"), be32(100), text("skip")}), 0, 16, {{0, 8, 8, {'f', 'r', 'e', 'e'}}}},
      {"fewer than 8 bytes left", join({box("free"), Bytes(7)}), 0, 15, {{0, 8, 8, {'f', 'r', 'e', 'e'}}}},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_box_list(c.buffer, c.start, c.end), c.boxes) << c.name;
}

TEST(TrackMarking, MarksEverySoundTrackAndEnablesOnlyTheFirst) {
  Bytes ftyp = box("ftyp", {text("isom")});
  Bytes tracks = join({box("mvhd", {Bytes(100)}), video(), sound(), sound()});
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"video, mix and game", clip({video(), sound(), sound()})},
      {"version-1 track headers", clip({video(), sound(1), sound(1)})},
      {"an unknown version read as version 0", clip({video(), sound(2), sound(2)})},
      {"tracks in other groups before",
       [] {
         Bytes file = clip({video(), sound(), sound()});
         set_alternate_groups(file, 0x0102);
         return file;
       }()},
      {"a minimal handler and stray bytes at the end of a trak",
       clip({box("trak", {tkhd(0, true, 0), box("mdia", {box("hdlr", {Bytes(8), text("soun")})}), Bytes(4)}),
             sound()})},
      {"three sound tracks", clip({sound(), video(), sound(), sound()})},
      {"tracks without sound or a usable handler in between",
       clip({sound(), box("trak", {tkhd(0, true, 0)}), trak("soun", tkhd(0, true, 0)),
             box("trak", {tkhd(0, true, 0), box("mdia", {box("hdlr", {Bytes(11)})})})})},
      {"moov after a 64-bit mdat", join({ftyp, long_box("mdat", {Bytes(64, 0x5A)}), box("moov", {tracks})})},
      {"moov with a 64-bit size", join({ftyp, box("mdat", {Bytes(8)}), long_box("moov", {tracks})})},
      {"moov of size 0 at the end", join({ftyp, join({be32(0), text("moov"), tracks})})},
      {"moov first", join({box("moov", {tracks}), box("mdat", {Bytes(8)})})},
  };
  for (const Case& c : cases) {
    Marked m = mark(c.file);
    ASSERT_TRUE(m.status) << c.name << ": " << m.status.error().text();
    EXPECT_EQ(m.after, marked(c.file)) << c.name;
    EXPECT_NE(m.after, c.file) << c.name;
  }
}

TEST(TrackMarking, OneSoundTrackIsLeftAlone) {
  for (const Bytes& file : {clip({video(), sound()}), clip({video()})}) {
    Marked m = mark(file);
    ASSERT_TRUE(m.status) << m.status.error().text();
    EXPECT_EQ(m.writes, 0);
    EXPECT_EQ(m.after, file);
  }
}

TEST(TrackMarking, MalformedFilesHaveNoMoovAndStayUnchanged) {
  Bytes ftyp = box("ftyp", {text("isom")});
  Bytes tracks = join({video(), sound(), sound()});
  Bytes moov = box("moov", {tracks});
  Bytes good = join({ftyp, moov});
  Bytes short_tkhd = box("tkhd", {Bytes{0, 0, 0, 3}, Bytes(30)});  // ends before alternate_group
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"seven bytes", Bytes(7)},
      {"no moov at all", join({ftyp, box("mdat", {Bytes(8)})})},
      {"a size-0 box before the moov", join({ftyp, be32(0), text("mdat"), moov})},
      {"a size under 8", join({ftyp, be32(7), text("free"), moov})},
      {"a size past the end", join({ftyp, be32(1000), text("mdat"), moov})},
      {"a 64-bit size past the end", join({ftyp, be32(1), text("mdat"), be64(1000), moov})},
      {"a 64-bit size that would wrap", join({ftyp, be32(1), text("mdat"), be64(~0ull - 7), moov})},
      {"a 64-bit size under its header", join({ftyp, be32(1), text("mdat"), be64(15), moov})},
      {"a 64-bit size cut off by the end", join({ftyp, be32(1), text("mdat"), be32(0)})},
      {"fewer than 8 bytes after the last box", join({ftyp, Bytes(7)})},
      {"a truncated moov", Bytes(good.begin(), good.end() - 10)},
      {"a moov whose 64-bit size runs past the end", join({ftyp, be32(1), text("moov"), be64(tracks.size() + 17), tracks})},
      {"a track header too short", clip({sound(), trak("soun", short_tkhd)})},
      {"a track header ending inside alternate_group",
       clip({sound(), trak("soun", box("tkhd", {Bytes{0, 0, 0, 3}, Bytes(31)}))})},
      {"a track header with no payload", clip({trak("soun", box("tkhd")), sound()})},
  };
  for (const Case& c : cases) {
    Marked m = mark(c.file);
    ASSERT_FALSE(m.status) << c.name;
    EXPECT_EQ(m.status.error().code, hresult::kInvalidData) << c.name;
    EXPECT_EQ(m.status.error().message, "no moov") << c.name;
    EXPECT_EQ(m.writes, 0) << c.name;
    EXPECT_EQ(m.after, c.file) << c.name;
  }
}

// A child running past its moov, trak or mdia ends that list quietly: the
// sound tracks found before it are marked, nothing after it is looked at.
TEST(TrackMarking, ABoxRunningPastItsParentEndsOnlyThatList) {
  const Bytes past_moov = join({be32(500), text("trak")});
  const Bytes past_trak = join({be32(500), text("udta")});
  const Bytes past_mdia = join({be32(80), text("hdlr"), Bytes(8)});
  struct Case {
    const char* name;
    Bytes file;
    bool written;
    // The fixture's sound tracks (found by their type bytes) that the walk
    // does not reach, by their place among them.
    std::vector<std::size_t> unreached;
  } cases[] = {
      {"a trak running past the moov after two sound tracks",
       clip({video(), sound(), sound(), past_moov, sound()}), true, {2}},
      {"a trak running past the moov after one sound track", clip({video(), sound(), past_moov, sound()}), false, {}},
      {"an mdia child running past the mdia",
       clip({sound(), box("trak", {tkhd(0, true, 0), box("mdia", {past_mdia})}), sound()}), true, {}},
      {"a trak child running past the trak after its tkhd and mdia",
       clip({sound(), box("trak", {tkhd(0, true, 0), box("mdia", {hdlr("soun")}), past_trak})}), true, {}},
      {"a trak child running past the trak before its mdia",
       clip({sound(), box("trak", {tkhd(0, true, 0), past_trak, box("mdia", {hdlr("soun")})}), sound()}), true, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes want = c.file;
    if (c.written) {
      want = marked(c.file);
      std::vector<TrackHeader> sounds;
      for (const TrackHeader& t : track_headers(c.file))
        if (t.sound) sounds.push_back(t);
      for (std::size_t i : c.unreached)
        std::copy_n(c.file.begin() + static_cast<std::ptrdiff_t>(sounds[i].offset), 92,
                    want.begin() + static_cast<std::ptrdiff_t>(sounds[i].offset));
    }
    Marked m = mark(c.file);
    ASSERT_TRUE(m.status) << m.status.error().text();
    EXPECT_EQ(m.writes, c.written ? 1 : 0);
    EXPECT_EQ(m.after, want);
  }
}

// A file whose reads fail after the first few, as a disk that goes away would.
class FailingFile final : public RandomAccessFile {
 public:
  FailingFile(Bytes bytes, int good_reads) : bytes_(std::move(bytes)), good_reads_(good_reads) {}
  Result<std::uint64_t> size() override { return bytes_.size(); }
  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (good_reads_-- <= 0) return error(fail("device gone", 0x8007048Fu));
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return {};
  }
  Status write_at(std::uint64_t, std::span<const std::uint8_t>) override {
    ADD_FAILURE() << "nothing may be written";
    return {};
  }

 private:
  Bytes bytes_;
  int good_reads_;
};

TEST(TrackMarking, ReadErrorsAreReportedAsThemselves) {
  Bytes file = clip({video(), sound(), sound()});
  for (int good : {0, 1, 3}) {  // the first header, a later one, the moov itself
    FailingFile f(file, good);
    Status s = mark_alternate_sound_tracks(f);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().code, 0x8007048Fu);
  }
}

// A moov that claims 2^62 bytes inside a file that claims as many: the file
// passes every size check, and the buffer cannot be had.
class HugeFile final : public RandomAccessFile {
 public:
  static constexpr std::uint64_t kSize = std::uint64_t{1} << 62;
  Result<std::uint64_t> size() override { return kSize; }
  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override {
    const std::uint8_t header[16] = {0, 0, 0, 1, 'm', 'o', 'o', 'v', 0x40, 0, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < out.size(); ++i)
      out[i] = offset + i < sizeof header ? header[offset + i] : 0;
    return {};
  }
  Status write_at(std::uint64_t, std::span<const std::uint8_t>) override {
    ADD_FAILURE() << "nothing may be written";
    return {};
  }
};

TEST(TrackMarking, AMoovBeyondMemoryIsAnErrorNotACrash) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer ends the process on an allocation it cannot make";
#endif
  HugeFile f;
  Status s = mark_alternate_sound_tracks(f);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, 0x8007000Eu);
}

}  // namespace
}  // namespace orvelle::clips
