// orvelle-clips.exe itself, under Wine: what the client sees of it.

#include "tools/e2e/process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvelle::e2e {
namespace {

constexpr const char* kUsage =
    "usage: orvelle-clips --pid <pid> | --title <substring> [--fps N] [--bitrate N] "
    "[--seconds N] [--audio] [--mic [--mic-device ID] [--mic-volume %]] "
    "(--json | --duration S [--quiet]) | --list-mics\n";

Outcome clips(const std::vector<std::string>& args, const std::string& input = "") {
  return run_windows(ORVELLE_CLIPS_EXE, args, input);
}

void expect_no_cr(const Outcome& o) {
  EXPECT_EQ(o.out.find('\r'), std::string::npos) << o.out;
  EXPECT_EQ(o.err.find('\r'), std::string::npos) << o.err;
}

TEST(ClipsExe, Exists) { ASSERT_TRUE(std::filesystem::exists(ORVELLE_CLIPS_EXE)); }

TEST(ClipsExe, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{}, kUsage},
      {{"--pid", "0"}, kUsage},
      {{"--pid", "abc", "--json"}, kUsage},
      {{"--pid=5"}, "unknown argument --pid=5\n"},
      {{"--list-mics", "--bogus"}, "unknown argument --bogus\n"},
      {{"--pid", "5", "game.exe"}, "unknown argument game.exe\n"},
      {{"--fps", "30", "C:\\path with space\\x"}, "unknown argument C:\\path with space\\x\n"},
  };
  for (const auto& c : cases) {
    Outcome o = clips(c.args);
    EXPECT_EQ(o.exit_code, 2) << testing::PrintToString(c.args);
    EXPECT_EQ(o.err, c.err) << testing::PrintToString(c.args);
    EXPECT_EQ(o.out, "");
  }
}

TEST(ClipsExe, UnbuiltModesFailClearly) {
  // A value option at the end of the line takes an empty value: the title is
  // present, so this is a recording, not the usage text.
  Outcome record = clips({"--json", "--title"});
  EXPECT_EQ(record.exit_code, 1);
  EXPECT_TRUE(record.out.starts_with(R"({"event":"status","message":")")) << record.out;
  EXPECT_TRUE(record.out.ends_with(R"(","state":"error"})" "\n")) << record.out;
  expect_no_cr(record);

  Outcome mics = clips({"--list-mics", "--json"});
  EXPECT_EQ(mics.exit_code, 1);
  EXPECT_TRUE(mics.out.starts_with(R"({"error":")")) << mics.out;
  expect_no_cr(mics);
}

}  // namespace
}  // namespace orvelle::e2e
