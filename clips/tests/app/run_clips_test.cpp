#include "app/run_clips.h"

#include "common/console.h"
#include "shared/events.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle::clips {
namespace {

class Entry : public testing::Test {
 protected:
  void SetUp() override {
    set_line_writer([this](Stream s, std::string_view text) {
      (s == Stream::out ? out : err) += std::string(text) + "\n";
    });
    modes.list_microphones = [this](const RecorderOptions&) { return ran = "mics", 0; };
    modes.make_storyboard = [this](const RecorderOptions&) { return ran = "board", 1; };
    modes.run_player = [this](const PlayerOptions& p) { return ran = "play " + p.path, 7; };
    modes.run_record_session = [this](const RecorderOptions&) -> Status {
      ran = "record";
      if (record_error) return error(*record_error);
      return {};
    };
  }
  void TearDown() override { set_line_writer(nullptr); }

  Modes modes;
  std::string ran, out, err;
  std::optional<WinError> record_error;
};

TEST_F(Entry, UsageAndUnknownArguments) {
  EXPECT_EQ(run_clips({}, modes), 2);
  EXPECT_EQ(err, std::string(kUsage) + "\n");
  err.clear();
  EXPECT_EQ(run_clips({"--list-mics", "bogus"}, modes), 2);
  EXPECT_EQ(err, "unknown argument bogus\n");
  EXPECT_EQ(ran, "");
  EXPECT_EQ(out, "");
}

TEST_F(Entry, ModesReturnTheirCodes) {
  EXPECT_EQ(run_clips({"--list-mics", "--play", "x"}, modes), 0);
  EXPECT_EQ(ran, "mics");
  EXPECT_EQ(run_clips({"--storyboard", "a", "--out", "b"}, modes), 1);
  EXPECT_EQ(ran, "board");
  EXPECT_EQ(run_clips({"--play", "c.mp4"}, modes), 7);
  EXPECT_EQ(ran, "play c.mp4");
  EXPECT_EQ(run_clips({"--title", "Game", "--json"}, modes), 0);
  EXPECT_EQ(ran, "record");
  EXPECT_EQ(out + err, "");
}

TEST_F(Entry, FailedRecordingReportsAStatusEvent) {
  record_error = WinError{0x80004005u, "no game window"};
  EXPECT_EQ(run_clips({"--pid", "42", "--json"}, modes), 1);
  EXPECT_EQ(out, R"j({"event":"status","message":"no game window (0x80004005)","state":"error"})j" "\n");
  out.clear();
  EXPECT_EQ(run_clips({"--pid", "42"}, modes), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, R"j({"event":"status","message":"no game window (0x80004005)","state":"error"})j" "\n");
}

TEST_F(Entry, LogLinesFollowTheJsonFlag) {
  emit_log(true, "window restored: clip goes on");
  emit_log(false, "plain \"text\"");
  EXPECT_EQ(out, R"({"event":"log","message":"window restored: clip goes on"})" "\n");
  EXPECT_EQ(err, "plain \"text\"\n");
}

TEST(Printer, ConcurrentLinesStayWhole) {
  std::string captured;
  set_line_writer([&](Stream, std::string_view text) {
    for (char c : text) {
      captured += c;
      std::this_thread::yield();
    }
    captured += '\n';
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) emit_event(true, Json{{"event", "log"}, {"message", std::string(20, char('a' + t))}});
    });
  for (auto& t : threads) t.join();
  set_line_writer(nullptr);
  std::size_t lines = 0, start = 0;
  for (std::size_t nl; (nl = captured.find('\n', start)) != std::string::npos; start = nl + 1, ++lines) {
    std::string_view line(captured.data() + start, nl - start);
    char c = line[line.size() - 3];
    EXPECT_EQ(line, R"({"event":"log","message":")" + std::string(20, c) + R"("})");
  }
  EXPECT_EQ(lines, 200u);
}

}  // namespace
}  // namespace orvelle::clips
