#include "bridge/commands.h"

#include "common/json_read.h"
#include "support/fake_platform.h"
#include "support/lines.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

using testing::CapturedLines;
using testing::FakeClock;
using testing::FakePlatform;

struct World {
  FakePlatform platform;
  FakeClock clock;
  LoopSender sender;
  RunState state{MediaConfig{}, platform.manager, sender, platform, clock};
  std::shared_ptr<testing::FakeSession> session = platform.add("Spotify.exe");
  CapturedLines lines;
  World() { state.chosen_session = session; }
  std::string reply(std::string_view line) {
    lines.out.clear();
    handle_command(state, line);
    return lines.out.empty() ? "" : lines.out.back();
  }
};

TEST(Commands, EveryLineGetsItsReply) {
  struct Case {
    std::string line, reply;
  } cases[] = {
      {R"({"cmd":"play"})", R"({"cmd":"play","ok":true,"type":"done"})"},
      {R"({"cmd":"pause","extra":[1]})", R"({"cmd":"pause","ok":true,"type":"done"})"},
      {R"({"cmd":"next"})", R"({"cmd":"next","ok":false,"type":"done"})"},  // the player said no
      {R"({"cmd":"previous"})", R"({"cmd":"previous","ok":false,"type":"done"})"},  // the call failed
      {R"({"cmd":"seek","position":90000})", R"({"cmd":"seek","ok":true,"type":"done"})"},
      {R"({"cmd":"Play"})", R"({"cmd":"Play","ok":false,"type":"done"})"},
      {R"({"cmd":"stop"})", R"({"cmd":"stop","ok":false,"type":"done"})"},
      {"play", R"({"cmd":"","ok":false,"type":"done"})"},
      {R"({"cmd":"play"} x)", R"({"cmd":"","ok":false,"type":"done"})"},
      {R"(["play"])", R"({"cmd":"","ok":false,"type":"done"})"},
      {R"({"cmd":5})", R"({"cmd":"","ok":false,"type":"done"})"},
      {R"({"nothing":1})", R"({"cmd":"","ok":false,"type":"done"})"},
      {std::string(128, '[') + std::string(128, ']'), R"({"cmd":"","ok":false,"type":"done"})"},
      {"{\"cmd\":\"pl\xFFy\"}", R"({"cmd":"","ok":false,"type":"done"})"},
  };
  World w;
  w.session->answers = {{PlaybackRequest::play, true}, {PlaybackRequest::pause, true},
                        {PlaybackRequest::next, false}};
  for (const Case& c : cases) EXPECT_EQ(w.reply(c.line), c.reply) << c.line;
  EXPECT_EQ(w.session->requests,
            (std::vector<PlaybackRequest>{PlaybackRequest::play, PlaybackRequest::pause,
                                          PlaybackRequest::next, PlaybackRequest::previous}));

  w.state.chosen_session.reset();
  EXPECT_EQ(w.reply(R"({"cmd":"play"})"), R"({"cmd":"play","ok":false,"type":"done"})");
  EXPECT_EQ(w.reply(R"({"cmd":"volume"})"), R"({"sessions":0,"type":"volume","value":-1.0})");
}

TEST(Commands, SeekPositions) {
  constexpr std::int64_t kMax = INT64_MAX;
  struct Case {
    std::string position;
    std::int64_t ticks;
  } cases[] = {
      {"90000", 900'000'000},
      {"0", 0},
      {"-5", 0},
      {"1500.5", 0},
      {"1e3", 0},
      {"\"90\"", 0},
      {"null", 0},
      {"922337203685477", 9'223'372'036'854'770'000},
      {"922337203685478", kMax},        // its ticks leave the range: the end, not a wrap
      {"9223372036854775807", kMax},
      {"9223372036854775808", 0},       // beyond the signed range
      {"18446744073709551615", 0},
  };
  World w;
  for (const Case& c : cases) {
    w.session->seeks.clear();
    w.reply(R"({"cmd":"seek","position":)" + c.position + "}");
    ASSERT_EQ(w.session->seeks.size(), 1u) << c.position;
    EXPECT_EQ(w.session->seeks[0], c.ticks) << c.position;
  }
  w.session->seeks.clear();
  w.reply(R"({"cmd":"seek"})");
  EXPECT_EQ(w.session->seeks, std::vector<std::int64_t>{0});
}

TEST(Commands, ToggleWithoutItsControl) {
  World w;
  w.session->answers = {{PlaybackRequest::play, true}, {PlaybackRequest::pause, true},
                        {PlaybackRequest::toggle, true}};
  w.reply(R"({"cmd":"toggle"})");
  w.session->controls.toggle = false;
  w.reply(R"({"cmd":"toggle"})");  // playing: pause
  w.session->status = kPaused;
  w.reply(R"({"cmd":"toggle"})");  // anything else: play
  EXPECT_EQ(w.session->requests,
            (std::vector<PlaybackRequest>{PlaybackRequest::toggle, PlaybackRequest::pause,
                                          PlaybackRequest::play}));
  w.session->status.reset();  // the status cannot be read: neither pause nor play
  EXPECT_EQ(w.reply(R"({"cmd":"toggle"})"), R"({"cmd":"toggle","ok":false,"type":"done"})");
  w.session->controls.toggle.reset();  // the toggle control cannot be read
  EXPECT_EQ(w.reply(R"({"cmd":"toggle"})"), R"({"cmd":"toggle","ok":false,"type":"done"})");
  w.session->info_fails = true;
  EXPECT_EQ(w.reply(R"({"cmd":"toggle"})"), R"({"cmd":"toggle","ok":false,"type":"done"})");
  EXPECT_EQ(w.session->requests.size(), 3u);  // none of them called the player
}

TEST(Commands, SourceAndPreferPublishWithoutReply) {
  World w;
  w.reply(R"({"cmd":"source","source":"SPOTIFY"})");
  EXPECT_EQ(w.state.config.source, "spotify");
  ASSERT_EQ(w.lines.out.size(), 1u);
  EXPECT_NE(w.lines.out[0].find(R"("type":"state")"), std::string::npos);
  w.reply(R"({"cmd":"prefer","prefer":"Music"})");
  EXPECT_EQ(w.state.config.prefer, "music");
  EXPECT_TRUE(w.lines.out.empty());  // the same state is not printed again
  w.reply(R"({"cmd":"source"})");
  EXPECT_EQ(w.state.config.source, "");
}

}  // namespace
}  // namespace orvelle::media
