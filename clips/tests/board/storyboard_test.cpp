// The storyboard over the player's scripted reader, an encoder that says
// what it was given, and files in memory.

#include "board/storyboard.h"

#include "play/fake_video.h"
#include "support/captured_lines.h"

#include <gtest/gtest.h>

#include <map>

namespace orvelle::clips {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Each "JPEG" names what it was made of: the picture's seed (its red), its
// size and the size asked for, then as many bytes again as the seed, so
// pictures differ in length.
struct FakeEncoder final : ThumbnailEncoder {
  std::vector<Bytes>* given = nullptr;  // every picture's pixels, in order
  Result<Bytes> encode(std::span<const std::uint8_t> bgra, std::uint32_t width, std::uint32_t height,
                       BoardSize out) override {
    EXPECT_EQ(bgra.size(), std::size_t{width} * height * 4);
    if (given) given->emplace_back(bgra.begin(), bgra.end());
    Bytes jpeg = {bgra[2], static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height),
                  static_cast<std::uint8_t>(out.width), static_cast<std::uint8_t>(out.height)};
    jpeg.resize(jpeg.size() + bgra[2], 0xEE);
    return jpeg;
  }
};

struct MemoryFiles final : BoardFiles {
  std::map<std::string, Bytes> files;
  std::string fails;  // the target whose write fails
  std::vector<std::string> removed;
  Status write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) override {
    if (target == fails) return error(WinError{0x80070070u, "There is not enough space on the disk."});
    files[target] = Bytes(bytes.begin(), bytes.end());
    return {};
  }
  Status remove(const std::string& path) override {
    removed.push_back(path);
    files.erase(path);
    return {};
  }
  BoardSource facts(const std::string& path) override {
    return path == "clip.mp4" ? BoardSource{4096, 1'700'000'000'000} : BoardSource{};
  }
};

// The scripted reader with the stride and the aperture its type reports
// overridden.
struct StrideReader final : VideoReader {
  FakeVideoReader inner;
  std::optional<std::uint32_t> stride;
  std::optional<Bytes> aperture;
  explicit StrideReader(ScriptedVideo s) : inner(std::move(s)) {}
  Result<VideoTypeAttributes> native_type() override { return inner.native_type(); }
  Status set_rgb32(PictureSize s, Ratio r) override { return inner.set_rgb32(s, r); }
  Status set_rgb32_native() override { return inner.set_rgb32_native(); }
  Result<VideoTypeAttributes> current_type() override {
    auto t = inner.current_type();
    if (t && stride) t->default_stride = *stride;
    if (t && aperture) t->aperture = *aperture;
    return t;
  }
  Result<std::uint64_t> duration() override { return inner.duration(); }
  Status seek(std::int64_t t) override { return inner.seek(t); }
  Result<VideoRead> read() override { return inner.read(); }
};

struct FakeBoard final : BoardPlatform {
  ScriptedVideo video;
  std::optional<std::uint32_t> stride;
  std::optional<Bytes> aperture;
  std::vector<Bytes> encoded;  // the pixels of every picture, as the encoder got them
  MemoryFiles memory;
  StrideReader* reader = nullptr;
  bool lowered = false;
  void lower_priority() override { lowered = true; }
  Status start_media() override { return {}; }
  Result<std::unique_ptr<VideoReader>> open_video(const std::string& path) override {
    if (path != "clip.mp4") return error(WinError{0x80070002u, "The system cannot find the file specified."});
    auto r = std::make_unique<StrideReader>(video);
    r->stride = stride;
    r->aperture = aperture;
    reader = r.get();
    return std::unique_ptr<VideoReader>(std::move(r));
  }
  Result<std::unique_ptr<ThumbnailEncoder>> make_encoder() override {
    auto encoder = std::make_unique<FakeEncoder>();
    encoder->given = &encoded;
    return std::unique_ptr<ThumbnailEncoder>(std::move(encoder));
  }
  BoardFiles& files() override { return memory; }
};

RecorderOptions board_options(std::uint32_t frames = 60) {
  RecorderOptions o;
  o.storyboard = "clip.mp4";
  o.board_frames = frames;
  return o;
}

// A 10 s clip at 30 fps, a key frame every second.
ScriptedVideo ten_seconds(int key_every = 30) {
  ScriptedVideo v;
  v.width = 80;
  v.height = 40;
  v.pictures = 300;
  v.key_every = key_every;
  v.duration = 100'000'000;
  return v;
}

TEST(Storyboard, OnePictureASecondContiguousInTheFileAndIndexed) {
  FakeBoard board;
  board.video = ten_seconds();
  auto run = make_storyboard(board_options(), board);
  ASSERT_TRUE(run) << run.error().text();
  EXPECT_TRUE(board.lowered);
  EXPECT_EQ(run->frames, 10u);
  EXPECT_EQ(run->size, (BoardSize{80, 40}));  // never wider than the clip
  EXPECT_EQ(run->decoded, 10u) << "one decode a target, from its key frame";
  const Bytes& pictures = board.memory.files.at("clip.frames");
  EXPECT_EQ(run->bytes, pictures.size());

  // Each picture is the key frame at its second (seed 30 × n), 80 × 40;
  // the pictures lie back to back in that order.
  std::string expected_frames;
  std::size_t at = 0;
  for (int n = 0; n < 10; ++n) {
    const std::uint8_t seed = static_cast<std::uint8_t>(30 * n);
    ASSERT_LT(at, pictures.size());
    EXPECT_EQ(Bytes(pictures.begin() + at, pictures.begin() + at + 5), (Bytes{seed, 80, 40, 80, 40}));
    const std::size_t n_bytes = 5u + seed;
    expected_frames += (n ? "," : "") + std::string(R"({"n":)") + std::to_string(n_bytes) +
                       R"(,"o":)" + std::to_string(at) + R"(,"t":)" + std::to_string(n) + ".0}";
    at += n_bytes;
  }
  EXPECT_EQ(at, pictures.size());
  const Bytes& index = board.memory.files.at("clip.json");
  EXPECT_EQ(std::string(index.begin(), index.end()),
            R"({"duration":10.0,"frames":[)" + expected_frames +
                R"(],"h":40,"source":{"mtime":1700000000000,"size":4096},"v":1,"w":80})");
}

TEST(Storyboard, TargetsThatLandOnOnePictureGiveOneEntry) {
  FakeBoard board;
  board.video = ten_seconds(90);  // a key frame every 3 s, a target every second
  auto run = make_storyboard(board_options(), board);
  ASSERT_TRUE(run) << run.error().text();
  EXPECT_EQ(run->frames, 4u);  // 0, 3, 6 and 9 s
  EXPECT_EQ(run->decoded, 10u);
}

TEST(Storyboard, APictureSmallerThanItsGeometryIsAnErrorNotARead) {
  FakeBoard board;
  board.video = ten_seconds();
  board.stride = 80 * 4 * 2;  // twice the rows the buffer holds
  auto run = make_storyboard(board_options(), board);
  ASSERT_FALSE(run);
  EXPECT_EQ(run.error().message, "the decoded picture is smaller than its geometry");
  EXPECT_TRUE(board.memory.files.empty());
}

// The row copy of the visible area: rows from its top, columns from its
// left, whatever way up the buffer lies. Each pixel is B = x, G = y of the
// full frame.
TEST(Storyboard, TheVisibleAreaIsCopiedFromItsCornerInEitherRowOrder) {
  // An area of 5 × 3 from (2, 1) in an 8 × 6 frame.
  const Bytes inset = {0, 0, 2, 0, 0, 0, 1, 0, 5, 0, 0, 0, 3, 0, 0, 0};
  struct Case {
    const char* name;
    bool bottom_up;
    std::optional<Bytes> aperture;
    std::uint32_t x, y, width, height;
  } cases[] = {
      {"an inset area, top-down", false, inset, 2, 1, 5, 3},
      {"the whole frame, bottom-up", true, std::nullopt, 0, 0, 8, 6},
      {"an inset area, bottom-up", true, inset, 2, 1, 5, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeBoard board;
    board.video.width = 8;
    board.video.height = 6;
    board.video.bottom_up = c.bottom_up;
    board.aperture = c.aperture;
    auto run = make_storyboard(board_options(), board);
    ASSERT_TRUE(run) << run.error().text();
    ASSERT_FALSE(board.encoded.empty());
    const Bytes& pixels = board.encoded.front();
    ASSERT_EQ(pixels.size(), std::size_t{c.width} * c.height * 4);
    for (std::uint32_t y = 0; y < c.height; ++y)
      for (std::uint32_t x = 0; x < c.width; ++x) {
        const std::uint8_t* p = pixels.data() + (std::size_t{y} * c.width + x) * 4;
        ASSERT_EQ(p[0], c.x + x) << "column " << x << " of row " << y;
        ASSERT_EQ(p[1], c.y + y) << "row " << y;
      }
  }
}

TEST(Storyboard, FailuresNameTheirCause) {
  struct Case {
    const char* what;
    std::function<void(FakeBoard&, RecorderOptions&)> set;
    std::string text;
  } cases[] = {
      {"a missing clip", [](FakeBoard&, RecorderOptions& o) { o.storyboard = "gone.mp4"; },
       "The system cannot find the file specified. (0x80070002)"},
      {"no picture at all", [](FakeBoard& b, RecorderOptions&) { b.video.pictures = 0; },
       "no pictures in the clip (0x80004005)"},
      {"only empty reads", [](FakeBoard& b, RecorderOptions&) { b.video.empty_reads_first = 240; },
       "no pictures in the clip (0x80004005)"},
      {"a read that fails", [](FakeBoard& b, RecorderOptions&) { b.video.fail_at = 0; },
       "decoding failed (0x8000FFFF)"},
      {"the duration unreadable", [](FakeBoard& b, RecorderOptions&) { b.video.duration.reset(); },
       "no duration (0x80004005)"},
  };
  for (const Case& c : cases) {
    FakeBoard board;
    board.video = ten_seconds();
    RecorderOptions options = board_options();
    c.set(board, options);
    auto run = make_storyboard(options, board);
    ASSERT_FALSE(run) << c.what;
    EXPECT_EQ(run.error().text(), c.text) << c.what;
    EXPECT_TRUE(board.memory.files.empty()) << c.what;
  }
  // 239 empty reads after each seek still find the picture.
  FakeBoard board;
  board.video = ten_seconds();
  board.video.empty_reads_first = 239;
  EXPECT_TRUE(make_storyboard(board_options(), board));
}

TEST(Storyboard, AFailedWriteLeavesNoPicturesBesideAnotherIndex) {
  for (const char* failing : {"clip.frames", "clip.json"}) {
    SCOPED_TRACE(failing);
    FakeBoard board;
    board.video = ten_seconds();
    board.memory.files["clip.frames"] = {1, 2, 3};  // an earlier storyboard
    board.memory.files["clip.json"] = {'{', '}'};
    board.memory.fails = failing;
    auto run = make_storyboard(board_options(), board);
    ASSERT_FALSE(run);
    EXPECT_EQ(run.error().text(),
              "writing the board: There is not enough space on the disk. (0x80070070) (0x80004005)");
    if (std::string(failing) == "clip.frames") {
      // Nothing was touched: the earlier pair still belongs together.
      EXPECT_EQ(board.memory.files.at("clip.frames"), (Bytes{1, 2, 3}));
      EXPECT_EQ(board.memory.files.at("clip.json"), (Bytes{'{', '}'}));
    } else {
      // The new pictures went in, the new index did not: neither stays, and
      // the old index is not left to point into the new pictures.
      EXPECT_TRUE(board.memory.files.empty());
    }
  }
}

TEST(Storyboard, TheModePrintsOneLineOnStandardOutput) {
  CapturedLines lines;
  FakeBoard board;
  board.video = ten_seconds();
  EXPECT_EQ(run_storyboard(board_options(), board), 0);
  RecorderOptions missing = board_options();
  missing.storyboard = "gone.mp4";
  EXPECT_EQ(run_storyboard(missing, board), 1);
  const auto out = lines.all();
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[0].starts_with(R"(out: {"bytes":)")) << out[0];
  EXPECT_NE(out[0].find(R"("frames":10,"h":40,"ms":)"), std::string::npos) << out[0];
  EXPECT_EQ(out[1], R"j(out: {"error":"The system cannot find the file specified. (0x80070002)"})j");
}

}  // namespace
}  // namespace orvelle::clips
