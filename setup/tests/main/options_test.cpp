#include "main/options.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

using Args = std::vector<std::string>;

TEST(SetupOptions, NoArgumentsGiveTheDefaults) {
  SetupOptions o = parse_setup_options({});
  EXPECT_EQ(o.lang, "en");
  EXPECT_EQ(o.ui, "");
  EXPECT_EQ(o.dir, "");
  EXPECT_FALSE(o.ready || o.status || o.result || o.setup || o.log || o.shots);
  EXPECT_TRUE(o.shot_at.empty());
  EXPECT_EQ(o.expect, 0u);
  EXPECT_FALSE(o.demo || o.offscreen);
  EXPECT_EQ(window_title(o), "Orvelle Client Setup");
}

TEST(SetupOptions, EveryOptionIsRead) {
  SetupOptions o = parse_setup_options(
      {"--ui", "C:\\ui", "--lang", "pl", "--dir", "C:\\X", "--version", "1.2", "--shot-at", "5",
       "--ready", "r", "--status", "s", "--result", "o", "--setup", "x.exe", "--log", "l",
       "--shots", "sh", "--expect", "9", "--demo", "--offscreen"});
  EXPECT_EQ(o.ui, "C:\\ui");
  EXPECT_EQ(o.lang, "pl");
  EXPECT_EQ(o.dir, "C:\\X");
  EXPECT_EQ(o.version, "1.2");
  EXPECT_EQ(o.shot_at, std::vector<std::uint64_t>{5});
  EXPECT_EQ(o.ready, "r");
  EXPECT_EQ(o.status, "s");
  EXPECT_EQ(o.result, "o");
  EXPECT_EQ(o.setup, "x.exe");
  EXPECT_EQ(o.log, "l");
  EXPECT_EQ(o.shots, "sh");
  EXPECT_EQ(o.expect, 9u);
  EXPECT_TRUE(o.demo && o.offscreen);
  EXPECT_EQ(window_title(o), "Instalator Orvelle Client");
}

TEST(SetupOptions, ValuesAreTakenWhateverTheyLookLike) {
  // A value option eats the next word, an option's name included.
  SetupOptions o = parse_setup_options({"--ready", "--demo"});
  EXPECT_EQ(o.ready, "--demo");
  EXPECT_FALSE(o.demo);
  // At the end of the line an option is still given, with an empty value.
  o = parse_setup_options({"--result"});
  EXPECT_EQ(o.result, "");
  o = parse_setup_options({"--lang"});
  EXPECT_EQ(o.lang, "en");
  // An empty screenshot folder is none: no files in the current folder.
  for (const Args& args : {Args{"--shots", ""}, Args{"--shots"}, Args{"--shots", "s", "--shots", ""}})
    EXPECT_EQ(parse_setup_options(args).shots, std::nullopt) << testing::PrintToString(args);
  o = parse_setup_options({"--lang", "", "--demo"});
  EXPECT_EQ(o.lang, "en");
  EXPECT_TRUE(o.demo);
  // Unknown words and "name=value" forms are passed over; the last repeat wins.
  o = parse_setup_options({"--ui=x", "stray", "--dir", "a", "--dir", "b", "--demo", "--demo"});
  EXPECT_EQ(o.ui, "");
  EXPECT_EQ(o.dir, "b");
  EXPECT_TRUE(o.demo);
}

TEST(SetupOptions, LanguageTitleIsExact) {
  for (const char* lang : {"PL", "pl-PL", " pl", "en", "de"})
    EXPECT_EQ(window_title(parse_setup_options({"--lang", lang})), "Orvelle Client Setup") << lang;
}

TEST(SetupOptions, ExpectedSize) {
  struct Case {
    const char* value;
    std::uint64_t expect;
  } cases[] = {{"+1024", 1024},
               {"1024", 1024},
               {"18446744073709551615", UINT64_MAX},
               {"18446744073709551616", 0},
               {"123456789012345678901", 0},
               {"-1", 0},
               {"1k", 0},
               {" 5", 0},
               {"5 ", 0},
               {"", 0},
               {"+", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(parse_setup_options({"--expect", c.value}).expect, c.expect) << c.value;
}

TEST(SetupOptions, ShotTimes) {
  struct Case {
    const char* value;
    std::vector<std::uint64_t> times;
  } cases[] = {{"500, x,,+1500,250", {500, 1500, 250}},
               {"0,1500", {0, 1500}},
               {"7,7", {7, 7}},
               {"", {}},
               {",,", {}},
               {" 3 ,\t4\t", {3, 4}},
               {"-1,99999999999999999999,2", {2}}};
  for (const auto& c : cases)
    EXPECT_EQ(parse_setup_options({"--shot-at", c.value}).shot_at, c.times) << c.value;
}

}  // namespace
}  // namespace orvelle::setup
