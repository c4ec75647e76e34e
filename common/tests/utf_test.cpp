#include "common/utf.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(Utf, Utf16ToUtf8ReplacesUnpairedSurrogates) {
  struct Case {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"plain", "plain"},
      {u"\u00e9\u4e2d", "\xC3\xA9\xE4\xB8\xAD"},
      {u"\U0001F3AE", "\xF0\x9F\x8E\xAE"},                  // a pair
      {std::u16string{0xD83C}, "\xEF\xBF\xBD"},             // lone high
      {std::u16string{0xDF2E, u'a'}, "\xEF\xBF\xBD" "a"},   // lone low
      {std::u16string{0xD83C, 0xD83C, 0xDFAE}, "\xEF\xBF\xBD\xF0\x9F\x8E\xAE"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf16_to_utf8(c.in), c.out);
}

TEST(Utf, Utf8RoundTripsAndRepairs) {
  std::string text = "Spiel \xC3\xA4 \xF0\x9F\x8E\xAE";
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text)), text);
  EXPECT_EQ(utf8_to_utf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(utf8_to_utf16("\xE4\xB8"), u"\uFFFD");  // truncated
}

TEST(Utf, Validation) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8("\xEF\xBF\xBD"));  // U+FFFD itself is fine
  EXPECT_TRUE(is_valid_utf8("\xF4\x8F\xBF\xBF"));
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE4\xB8", "\xFE"})
    EXPECT_FALSE(is_valid_utf8(bad)) << bad;
}

}  // namespace
}  // namespace orvelle
