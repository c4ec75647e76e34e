// orvelle-media.exe itself, under Wine: the session manager cannot be
// activated there, so the client sees the start-up failure line.

#include "tools/e2e/process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvelle::e2e {
namespace {

TEST(MediaExe, StandsAlone) { ASSERT_TRUE(std::filesystem::exists(ORVELLE_MEDIA_EXE)); }

// Exactly one error line, LF only, the code in lower-case hexadecimal, and
// exit code 1; unknown arguments are named on standard error and change
// nothing else, whatever the input says.
TEST(MediaExe, WithoutSessionManagerOneErrorLine) {
  // Wine has no session manager class and no text for its code: the code
  // stands alone, in the parentheses a client recognises it by.
  const std::string error_line = "{\"msg\":\"(0x80040154)\",\"type\":\"error\"}\n";
  struct Case {
    std::vector<std::string> args;
    std::string input, err;
  } cases[] = {
      {{}, "", ""},
      {{"--art", "64", "--source", "Spotify", "--prefer", "music", "--app", "chrome"},
       "{\"cmd\":\"play\"}\n", ""},
      {{"--APP", "x", "--art"}, "", "unknown argument --APP\nunknown argument x\n"},
      {{"--source", "--app", "extra"}, "", "unknown argument extra\n"},
  };
  for (const Case& c : cases) {
    Outcome o = run_windows(ORVELLE_MEDIA_EXE, c.args, c.input);
    EXPECT_EQ(o.exit_code, 1) << testing::PrintToString(c.args);
    EXPECT_EQ(o.out, error_line);
    EXPECT_EQ(o.err, c.err) << testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace orvelle::e2e
