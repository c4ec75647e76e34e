#include "app/options.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

TEST(MediaOptions, Defaults) {
  ParsedOptions p = parse_media_options({});
  EXPECT_EQ(p.config, MediaConfig{});
  EXPECT_TRUE(p.unknown.empty());
}

TEST(MediaOptions, ArtSizeClampsOrFallsBack) {
  struct Case {
    std::vector<std::string> args;
    std::uint32_t size;
  } cases[] = {
      {{"--art", "0"}, 16},        {{"--art", "16"}, 16},      {{"--art", "17"}, 17},
      {{"--art", "511"}, 511},     {{"--art", "512"}, 512},    {{"--art", "100000"}, 512},
      {{"--art", "+64"}, 64},      {{"--art", "-5"}, 128},     {{"--art", "64px"}, 128},
      {{"--art", ""}, 128},        {{"--art", "+"}, 128},      {{"--art", "99999999999"}, 128},
      {{"--art", "4294967295"}, 512}, {{"--art", "4294967296"}, 128}, {{"--art"}, 128},
      {{"--art", "20", "--art", "x"}, 128},
  };
  for (const Case& c : cases)
    EXPECT_EQ(parse_media_options(c.args).config.art_size, c.size) << testing::PrintToString(c.args);
}

TEST(MediaOptions, WordsAreLowerCasedAndTakeTheNextArgument) {
  ParsedOptions p = parse_media_options({"--source", "Spotify", "--prefer", "--app", "--app", "ΧΡΩΜΙΟΣ"});
  EXPECT_EQ(p.config.source, "spotify");
  EXPECT_EQ(p.config.prefer, "--app");  // a value may look like an option
  EXPECT_EQ(p.config.app, "χρωμιος");
  EXPECT_TRUE(p.unknown.empty());

  EXPECT_EQ(parse_media_options({"--source"}).config.source, "");
  EXPECT_EQ(parse_media_options({"--app", ""}).config.app, "");  // kept: contained in every id
  EXPECT_EQ(parse_media_options({"--app", "chrome", "--app"}).config.app, std::nullopt);
}

TEST(MediaOptions, UnknownArgumentsAreNamedAndSkipped) {
  ParsedOptions p = parse_media_options({"--APP", "--source", "vlc", "x", "--art=64"});
  EXPECT_EQ(p.unknown, (std::vector<std::string>{"--APP", "x", "--art=64"}));
  EXPECT_EQ(p.config.source, "vlc");
  EXPECT_EQ(p.config.art_size, 128u);
}

}  // namespace
}  // namespace orvelle::media
