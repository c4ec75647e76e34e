#include "record/commands.h"

#include "common/console.h"
#include "play/commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace orvelle::clips {
namespace {

struct Good {
  const char* line;
  Command command;
};

TEST(CommandGrammar, AcceptedLines) {
  Good cases[] = {
      {R"({"cmd":"stop"})", StopCommand{}},
      {R"({"cmd":"stop","extra":[1,{"x":2}],"cmd2":1})", StopCommand{}},
      {R"({"id":"a","path":"C:\\c.mp4","cmd":"save"})", SaveCommand{"a", "C:\\c.mp4", {}}},
      {R"({"cmd":"save","id":"a","path":"p","finish":null})", SaveCommand{"a", "p", {}}},
      {R"({"cmd":"save","id":"a","path":"p","finish":"f","x":1,"x":2})", SaveCommand{"a", "p", "f"}},
      {R"({"cmd":"seconds","seconds":3})", SecondsCommand{3}},
      {R"({"cmd":"seconds","seconds":4294967295})", SecondsCommand{4294967295u}},
      {R"({"cmd":"micvolume","volume":150})", MicvolumeCommand{150}},
      {R"(["save","a","b"])", SaveCommand{"a", "b", {}}},
      {R"(["save","a","b","c"])", SaveCommand{"a", "b", "c"}},
      {R"(["seconds",30])", SecondsCommand{30}},
      {R"(["stop"])", StopCommand{}},
      {" \t{\"cmd\":\"stop\"} \r", StopCommand{}},  // a lone CR is JSON white space
      {R"({"cmd":"save","id":"\u00e9","path":"\ud83c\udfae"})",
       SaveCommand{"\xC3\xA9", "\xF0\x9F\x8E\xAE", {}}},
  };
  for (const auto& c : cases) {
    auto parsed = deserialize_command(c.line);
    ASSERT_TRUE(parsed) << c.line << ": " << parsed.error();
    EXPECT_EQ(*parsed, c.command) << c.line;
  }
}

TEST(CommandGrammar, RejectedLinesNameTheirFault) {
  struct Bad {
    const char* line;
    const char* error;
  } cases[] = {
      {R"({"cmd":"Stop"})",
       "unknown variant `Stop`, expected one of `save`, `seconds`, `micvolume`, `stop` at line 1 column 13"},
      {R"({"cmd":5})", "invalid type: integer `5`, expected variant identifier at line 1 column 8"},
      {R"({"cmd":"stop","cmd":"stop"})", "duplicate field `cmd` at line 1 column 19"},
      {R"({"id":"a"})", "missing field `cmd` at line 1 column 10"},
      {R"("stop")", "invalid type: string \"stop\", expected internally tagged enum Command at line 1 column 6"},
      {"[]", "missing field `cmd` at line 1 column 2"},
      {R"({"cmd":"save","id":"a"})", "missing field `path` at line 1 column 23"},
      {R"({"cmd":"save","id":"a","id":"b","path":"p"})", "duplicate field `id` at line 1 column 43"},
      {R"({"cmd":"save","id":1,"path":"p"})", "invalid type: integer `1`, expected a string at line 1 column 32"},
      {R"({"cmd":"save","id":"a","path":"p","finish":7})", "invalid type: integer `7`, expected a string at line 1 column 45"},
      {R"({"cmd":"seconds","seconds":"30"})", "invalid type: string \"30\", expected u32 at line 1 column 32"},
      {R"({"cmd":"seconds","seconds":-5})", "invalid value: integer `-5`, expected u32 at line 1 column 30"},
      {R"({"cmd":"seconds","seconds":4294967296})", "invalid value: integer `4294967296`, expected u32 at line 1 column 38"},
      {R"({"cmd":"seconds","seconds":3.0})", "invalid type: floating point `3.0`, expected u32 at line 1 column 31"},
      {R"({"cmd":"seconds","seconds":null})", "invalid type: null, expected u32 at line 1 column 32"},
      {R"({"cmd":"seconds"})", "missing field `seconds` at line 1 column 17"},
      {R"(["seconds"])", "invalid length 0, expected struct variant Command::Seconds with 1 element at line 1 column 11"},
      {R"(["micvolume"])", "invalid length 0, expected struct variant Command::Micvolume with 1 element at line 1 column 13"},
      {R"(["save","a"])", "invalid length 1, expected struct variant Command::Save with 3 elements at line 1 column 12"},
      {R"(["save","a","b","c","d"])", "invalid length 4, expected 3 elements in sequence at line 1 column 24"},
      {R"(["stop",1])", "invalid length 1, expected 0 elements in sequence at line 1 column 10"},
      {R"({"cmd":"stop"} x)", "trailing characters at line 1 column 16"},
      {R"({"cmd":"stop"}{})", "trailing characters at line 1 column 15"},
  };
  for (const auto& c : cases) {
    auto parsed = deserialize_command(c.line);
    ASSERT_FALSE(parsed) << c.line;
    EXPECT_EQ(parsed.error(), c.error) << c.line;
  }
  auto deep = deserialize_command(R"({"cmd":"stop","x":)" + std::string(200, '[') + std::string(200, ']') + "}");
  ASSERT_FALSE(deep);
  EXPECT_TRUE(deep.error().starts_with("recursion limit exceeded")) << deep.error();
}

TEST(PlayerCommandGrammar, VariantsAndNumbers) {
  struct Good {
    const char* line;
    PlayerCommand command;
  } good[] = {
      {R"({"cmd":"play"})", PlayCommand{}},
      {R"({"cmd":"pause","x":1})", PauseCommand{}},
      {R"({"cmd":"seek","t":2.5})", SeekCommand{2.5}},
      {R"({"cmd":"seek","t":-3})", SeekCommand{-3}},
      {R"(["seek",2.5])", SeekCommand{2.5}},
      {R"({"cmd":"volume","v":1})", VolumeCommand{1.0f}},
      {R"({"cmd":"stop","extra":true})", PlayerStopCommand{}},
  };
  for (const auto& c : good) {
    auto parsed = deserialize_player_command(c.line);
    ASSERT_TRUE(parsed) << c.line << ": " << parsed.error();
    EXPECT_EQ(*parsed, c.command) << c.line;
  }
  struct Bad {
    const char* line;
    const char* error;
  } bad[] = {
      {R"({"cmd":"seek"})", "missing field `t` at line 1 column 14"},
      {R"({"cmd":"volume","v":"1"})", "invalid type: string \"1\", expected f32 at line 1 column 24"},
      {R"({"cmd":"seek","t":1,"t":2})", "duplicate field `t` at line 1 column 26"},
      {R"(["volume"])", "invalid length 0, expected struct variant Command::Volume with 1 element at line 1 column 10"},
      {R"(["seek"])", "invalid length 0, expected struct variant Command::Seek with 1 element at line 1 column 8"},
      {R"({"cmd":"save"})",
       "unknown variant `save`, expected one of `play`, `pause`, `seek`, `volume`, `stop` at line 1 column 13"},
  };
  for (const auto& c : bad) {
    auto parsed = deserialize_player_command(c.line);
    ASSERT_FALSE(parsed) << c.line;
    EXPECT_EQ(parsed.error(), c.error) << c.line;
  }
}

// The stdin thread over a file standing in for standard input.
class StdinThread : public testing::Test {
 protected:
  void SetUp() override {
    set_line_writer([this](Stream s, std::string_view text) {
      (s == Stream::out ? out : err) += std::string(text) + "\n";
    });
  }
  void TearDown() override { set_line_writer(nullptr); }

  std::vector<Command> run(const std::string& input, bool json) {
    std::FILE* file = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    auto [tx, rx] = make_channel<Command>();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    std::thread reader(run_stdin_commands, LineReader(file), std::move(tx),
                       std::make_shared<const OutputSettings>(OutputSettings{json}), stop);
    std::vector<Command> got;
    std::optional<Command> c;
    while (rx.receive_for(c, std::chrono::seconds(10)) == RecvStatus::value) got.push_back(*c);
    reader.join();
    std::fclose(file);
    EXPECT_TRUE(stop->load());
    return got;
  }

  std::string out, err;
};

TEST_F(StdinThread, BadLinesAreLoggedAndTheRestGoesOn) {
  std::string input =
      "{\"cmd\":\"seconds\",\"seconds\":30}\r\n"
      "   \t \n"
      "\n"
      "{\"cmd\":\"seconds\",\"seconds\":\"30\"}\n"
      "{\"cmd\":\"save\",\"id\":\"\xFF\",\"path\":\"p\"}\n"  // not UTF-8: one bad line
      "[\"save\",\"a\",\"b\"]\n"
      "\xC2\xA0{\"cmd\":\"stop\"}\n"  // parsed with only its line end removed: bad
      "{\"cmd\":\"stop\"}";  // the last line may lack its line end
  auto got = run(input, true);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], Command(SecondsCommand{30}));
  EXPECT_EQ(got[1], Command(SaveCommand{"a", "b", {}}));
  EXPECT_EQ(got[2], Command(StopCommand{}));
  EXPECT_EQ(out,
            "{\"event\":\"log\",\"message\":\"bad command: invalid type: string \\\"30\\\", "
            "expected u32 at line 1 column 32\"}\n"
            "{\"event\":\"log\",\"message\":\"bad command: stream did not contain valid UTF-8\"}\n"
            "{\"event\":\"log\",\"message\":\"bad command: expected value at line 1 column 1\"}\n");
  EXPECT_EQ(err, "");
}

TEST_F(StdinThread, WithoutJsonTheLogGoesToStandardError) {
  auto got = run("nonsense\n", false);
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "bad command: expected ident at line 1 column 2\n");
}

TEST_F(StdinThread, EndOfInputAloneStops) { EXPECT_TRUE(run("", true).empty()); }

}  // namespace
}  // namespace orvelle::clips
