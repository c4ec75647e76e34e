#include "bridge/art.h"

#include "support/fake_platform.h"
#include "support/lines.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

// An RGBA picture: black with a white rectangle (right, bottom exclusive).
std::vector<std::uint8_t> framed(std::uint32_t w, std::uint32_t h, ContentBox white) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h * 4, 0);
  for (std::uint32_t y = white.top; y < white.bottom; ++y)
    for (std::uint32_t x = white.left; x < white.right; ++x)
      for (int c = 0; c < 4; ++c) p[(static_cast<std::size_t>(y) * w + x) * 4 + c] = 255;
  return p;
}

TEST(CoverArt, EmptyPixels) {
  const std::uint8_t px[] = {27, 27, 27, 255, 28, 0, 0, 255, 200, 200, 200, 15, 200, 200, 200, 16};
  EXPECT_TRUE(is_empty_pixel(px, 4, 0, 0));   // near black
  EXPECT_FALSE(is_empty_pixel(px, 4, 1, 0));
  EXPECT_TRUE(is_empty_pixel(px, 4, 2, 0));   // nearly transparent
  EXPECT_FALSE(is_empty_pixel(px, 4, 3, 0));
}

TEST(CoverArt, ContentBox) {
  struct Case {
    const char* what;
    std::uint32_t w, h;
    ContentBox white, box;
  } cases[] = {
      {"no bars", 256, 192, {0, 0, 256, 192}, {0, 0, 256, 192}},
      {"bars above and below, 2 rows further in", 256, 192, {0, 24, 256, 168}, {0, 26, 256, 166}},
      {"pillar box", 256, 192, {40, 0, 216, 192}, {42, 0, 214, 192}},
      {"less than 40 % wide: the whole", 256, 192, {0, 0, 100, 192}, {0, 0, 256, 192}},
      {"40 % exactly is kept", 10, 10, {0, 0, 4, 10}, {0, 0, 2, 10}},
      {"all black: the whole", 64, 64, {0, 0, 0, 0}, {0, 0, 64, 64}},
      // The inset would leave nothing: the trimmed box as it is.
      {"tiny", 5, 5, {1, 1, 4, 4}, {1, 1, 4, 4}},
      // A trimmed right edge below 2 must not wrap around to a huge one.
      {"a column at the left", 2, 15, {0, 0, 1, 15}, {0, 0, 1, 15}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(find_content_box(framed(c.w, c.h, c.white), c.w, c.h), c.box) << c.what;
  // A content line needs more than 2 % of its pixels: one white pixel in a row of 50 is not.
  auto sparse = framed(50, 50, {0, 10, 50, 40});
  for (int c = 0; c < 4; ++c) sparse[(5 * 50 + 7) * 4 + c] = 255;
  EXPECT_EQ(find_content_box(sparse, 50, 50), (ContentBox{0, 12, 50, 38}));
}

TEST(CoverArt, Geometry) {
  struct Case {
    const char* what;
    PictureSize picture, analysis;
    ContentBox box;
    std::uint32_t art;
    ArtCut cut;
  } cases[] = {
      {"300 square", {300, 300}, {256, 256}, {0, 0, 256, 256}, 128, {{128, 128}, {0, 0, 128, 128}}},
      {"640 x 480: the centre", {640, 480}, {256, 192}, {0, 0, 256, 192}, 128, {{171, 128}, {21, 0, 128, 128}}},
      {"smaller than the art: scaled up", {64, 64}, {64, 64}, {0, 0, 64, 64}, 128, {{128, 128}, {0, 0, 128, 128}}},
      {"letterboxed", {640, 480}, {256, 192}, {0, 26, 256, 166}, 128, {{234, 176}, {53, 24, 128, 128}}},
      {"3000 square at 512", {3000, 3000}, {256, 256}, {0, 0, 256, 256}, 512, {{512, 512}, {0, 0, 512, 512}}},
      // A strip: every size stays within what the picture can give.
      {"10000 x 200", {10000, 200}, {256, 5}, {0, 0, 256, 5}, 128, {{6554, 131}, {3213, 0, 128, 128}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(analysis_size(c.picture), c.analysis) << c.what;
    EXPECT_EQ(art_cut(c.picture, c.box, c.art), c.cut) << c.what;
  }
  EXPECT_EQ(analysis_size({1, 100000}), (PictureSize{1, 256}));  // never 0 wide
  // A letterboxed strip: the inset would empty the box's three rows, so it
  // is skipped, and the scale stays near the picture's own size instead of
  // a 1,280,000-pixel-wide one.
  ContentBox strip = find_content_box(framed(256, 5, {0, 1, 256, 4}), 256, 5);
  EXPECT_EQ(strip, (ContentBox{0, 1, 256, 4}));
  EXPECT_EQ(art_cut({10000, 200}, strip, 128).scaled, (PictureSize{10923, 218}));
}

TEST(CoverArt, HashAndBase64) {
  auto bytes = [](std::string_view s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
  };
  EXPECT_EQ(fnv1a64(bytes("")), 0xcbf29ce484222325ull);
  EXPECT_EQ(fnv1a64(bytes("a")), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(fnv1a64(bytes("foobar")), 0x85944171f73967e8ull);
  struct Case {
    const char* in;
    const char* out;
  } rfc4648[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const Case& c : rfc4648) EXPECT_EQ(base64(bytes(c.in)), c.out);
  EXPECT_EQ(base64(std::vector<std::uint8_t>{0xfb, 0xff, 0xbf}), "+/+/");
  EXPECT_EQ(base64(std::vector<std::uint8_t>(65536, 0)).size(), 87384u);
}

// A picture that hands out a fixed square, counting its decodes.
struct SquarePicture : Picture {
  std::uint8_t shade;
  int* decodes;
  SquarePicture(std::uint8_t s, int* d) : shade(s), decodes(d) {}
  Result<PictureSize> size() override { return PictureSize{300, 300}; }
  Result<std::vector<std::uint8_t>> pixels(PictureSize scaled, std::optional<PictureBounds> b) override {
    ++*decodes;
    std::size_t n = b ? static_cast<std::size_t>(b->width) * b->height : static_cast<std::size_t>(scaled.width) * scaled.height;
    return std::vector<std::uint8_t>(n * 4, shade);
  }
};
struct ShadeThumbnail : Thumbnail {
  std::uint8_t shade = 100;
  bool fails = false;
  int decodes = 0;
  Result<std::unique_ptr<Picture>> open() override {
    if (fails) return error(fail("not a picture"));
    return std::unique_ptr<Picture>(std::make_unique<SquarePicture>(shade, &decodes));
  }
};

// The serial rule: pictures A, A, B, A give serials 1, 1, 2, 3, and a
// repeat prints nothing.
TEST(CoverArt, SerialsAndRepeats) {
  testing::FakePlatform platform;
  testing::FakeClock clock;
  LoopSender sender;
  MediaConfig config;
  config.art_size = 16;
  RunState state(config, platform.manager, sender, platform, clock);
  testing::CapturedLines lines;
  auto thumb = std::make_shared<ShadeThumbnail>();
  TrackProperties props;
  props.thumbnail = thumb;
  std::vector<std::uint64_t> shown;
  for (std::uint8_t shade : {100, 100, 200, 100}) {
    thumb->shade = shade;
    state.art_shown = 0;
    fetch_cover_art(state, props);
    shown.push_back(state.art_shown);
  }
  EXPECT_EQ(shown, (std::vector<std::uint64_t>{1, 1, 2, 3}));
  ASSERT_EQ(lines.out.size(), 3u);
  EXPECT_EQ(lines.out[0], R"({"art":1,"rgba":")" + base64(std::vector<std::uint8_t>(16 * 16 * 4, 100)) +
                              R"(","size":16,"type":"art"})");
  EXPECT_EQ(thumb->decodes, 8);  // two per picture: the analysis copy and the square
  thumb->fails = true;
  state.art_shown = 0;
  fetch_cover_art(state, props);
  EXPECT_EQ(lines.out.back(), R"({"msg":"cover: not a picture","type":"log"})");
  EXPECT_EQ(state.art_shown, 0u);
  fetch_cover_art(state, TrackProperties{});  // no thumbnail: nothing at all
  EXPECT_EQ(lines.out.size(), 4u);
}

}  // namespace
}  // namespace orvelle::media
