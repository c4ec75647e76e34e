#include "text/unicode.h"

#include "common/text.h"
#include "common/utf.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

TEST(LowerCase, FullMappingWithFinalSigma) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"Spotify.EXE", "spotify.exe"},
      {"ΟΔΟΣ", "οδος"},                      // final sigma at the end of the word
      {"ΟΔΟΣ ΣΑ", "οδος σα"},                // a sigma that begins a word is not final
      {"ΣΑΣ.", "σας."},                      // punctuation after the word
      {"Σ", "σ"},                            // no letter before it: not final
      {"ΑΣ'Β", "ασ'β"},                      // an apostrophe is skipped: a letter follows
      {"İ", "i\xCC\x87"},                    // two characters: i and the combining dot
      {"ÀÉÎ Ǆ Ⅻ", "àéî ǆ ⅻ"},
      {"𐐀", "𐐨"},                           // outside the basic plane
      {"ß", "ß"},                            // already lower case
      {std::string("A\xFF" "B", 3), std::string("a\xFF" "b", 3)},  // bytes that are not UTF-8 stay
  };
  for (const Case& c : cases) EXPECT_EQ(lower_case(c.in), c.out) << c.in;
}

TEST(UnicodeClasses, Letters) {
  for (char32_t c : {U'a', U'Z', U'é', U'Ω', U'ж', U'中', U'ǅ'}) EXPECT_TRUE(is_alphabetic(c)) << static_cast<unsigned>(c);
  for (char32_t c : {U'1', U'٣', U'Ⅻ', U'½'}) EXPECT_TRUE(is_numeric(c)) << static_cast<unsigned>(c);
  for (char32_t c : {U' ', U'-', U'_', U'.', U'♪'}) {
    EXPECT_FALSE(is_alphabetic(c)) << static_cast<unsigned>(c);
    EXPECT_FALSE(is_numeric(c)) << static_cast<unsigned>(c);
  }
}

// The shared trimming knows the White_Space characters by heart; they must
// be exactly those of the generated table.
TEST(UnicodeClasses, SharedTrimmingMatchesWhiteSpaceTable) {
  for (char32_t c = 0; c < 0x3100; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string s;
    append_utf8(s, c);
    std::string text = s + "x" + s;
    bool trimmed = trim_unicode_whitespace(text) == "x";
    EXPECT_EQ(trimmed, is_white_space(c)) << std::hex << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace orvelle::media
