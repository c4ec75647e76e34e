#include "common/text.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(Text, TrimsUnicodeWhiteSpaceOnly) {
  EXPECT_EQ(trim_unicode_whitespace(" \t\r\n\v\f x y \xC2\xA0\xE3\x80\x80"), "x y");
  EXPECT_EQ(trim_unicode_whitespace("\xE2\x80\x8B" "x"), "\xE2\x80\x8B" "x");  // zero width: not space
  EXPECT_EQ(trim_unicode_whitespace("\x1F" "x"), "\x1F" "x");
  EXPECT_EQ(trim_unicode_whitespace("   "), "");
}

TEST(Text, StripsOneLineEnd) {
  EXPECT_EQ(strip_line_end("a\r\n"), "a");
  EXPECT_EQ(strip_line_end("a\n"), "a");
  EXPECT_EQ(strip_line_end("a\r"), "a\r");  // a lone CR stays in the line
  EXPECT_EQ(strip_line_end("a\n\n"), "a\n");
}

}  // namespace
}  // namespace orvelle
