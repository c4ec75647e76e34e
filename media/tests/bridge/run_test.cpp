// The run loop on a fake clock over a scripted media world: what the client
// reads, and when the bridge looks.

#include "bridge/run.h"

#include "support/fake_platform.h"
#include "support/lines.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

using namespace std::chrono_literals;
using testing::CapturedLines;
using testing::FakeClock;
using testing::FakePlatform;
using testing::FakeSession;

struct Loop {
  FakePlatform platform;
  FakeClock clock;
  MediaConfig config;
  CapturedLines lines;

  Status go(std::chrono::milliseconds end) {
    auto [sender, receiver] = make_channel<LoopMessage>();
    clock.sender = sender;
    clock.at(end, EndOfInput{});
    Status s = run(config, platform, clock, std::move(sender), receiver);
    clock.sender.reset();
    return s;
  }
  // Lines whose "type" is given.
  std::vector<std::string> of(std::string_view type) const {
    std::vector<std::string> out;
    for (const auto& l : lines.out)
      if (l.find("\"type\":\"" + std::string(type) + "\"") != l.npos) out.push_back(l);
    return out;
  }
};

TEST(RunLoop, ReadyThenStateThenQuietTicks) {
  Loop loop;
  auto s = loop.platform.add("Spotify.exe");
  loop.platform.names["Spotify.exe"] = "Spotify";
  ASSERT_TRUE(loop.go(7s));
  ASSERT_GE(loop.lines.out.size(), 2u);
  EXPECT_EQ(loop.lines.out[0], R"({"type":"ready"})");
  EXPECT_EQ(loop.lines.out[1],
            R"({"album":"Record","app":"Spotify","art":0,"artist":"Band","at":1700000000000,)"
            R"("duration":200000,"id":"Spotify.exe","next":true,"now":1700000000000,"position":12000,)"
            R"("prev":true,"rate":1.0,"site":"","status":"playing","title":"Song","toggle":true,"type":"state"})");
  EXPECT_EQ(loop.lines.out.size(), 2u);  // ticks at 1.2, 2, 3.5, 4... changed nothing
  EXPECT_EQ(loop.platform.name_queries, 1);
  EXPECT_EQ(s->registered, 0);  // every registration was removed at the end
  EXPECT_EQ(s->sinks.size(), 3u);
}

TEST(RunLoop, StartFailureIsTheError) {
  Loop loop;
  loop.platform.open_error = WinError{hresult::kAbort, "timed out"};
  Status s = loop.go(1s);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, hresult::kAbort);
  EXPECT_TRUE(loop.lines.out.empty());
}

// With nothing happening the loop wakes every 2 s; after a change of track
// it wakes also 1.2 s and 3.5 s later, forced; a burst of events is one
// refresh 60 ms after its first event; a command alone is answered at once.
TEST(RunLoop, RefreshSchedule) {
  Loop loop;
  loop.platform.add("chrome");
  loop.platform.titles = {"Song - YouTube"};
  // A browser's forced refresh looks at the windows once, an unforced one
  // not at all: the count of looks between marks tells them apart.
  int before = 0;
  std::vector<std::pair<std::chrono::milliseconds, int>> seen;
  auto mark = [&] {
    seen.push_back({loop.clock.ms(), loop.platform.title_queries - before});
    before = loop.platform.title_queries;
  };
  for (auto t : {1ms, 1199ms, 1201ms, 1999ms, 2001ms, 3499ms, 3501ms, 4001ms, 5999ms, 6001ms})
    loop.clock.at(t, FakeClock::Step(mark));
  ASSERT_TRUE(loop.go(6500ms));
  // Title lookups happen on the first state and on the forced refreshes at 1.2 and 3.5 s.
  std::vector<std::pair<std::chrono::milliseconds, int>> expected = {
      {1ms, 1}, {1199ms, 0}, {1201ms, 1}, {1999ms, 0}, {2001ms, 0}, {3499ms, 0},
      {3501ms, 1}, {4001ms, 0}, {5999ms, 0}, {6001ms, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(loop.of("state").size(), 1u);
}

TEST(RunLoop, BurstsAndCommands) {
  Loop loop;
  auto a = loop.platform.add("Spotify.exe");
  std::vector<std::chrono::milliseconds> replies;
  // Ten events in a few milliseconds, one of them forcing; the track changes
  // meanwhile, so the burst's one refresh prints the new state.
  loop.clock.at(500ms, FakeClock::Step([&] { a->props.title = "Next"; }));
  for (int i = 0; i < 10; ++i) loop.clock.at(500ms + std::chrono::milliseconds(i), Refresh{i == 3});
  loop.clock.at(1000ms, Line{R"({"cmd":"Play"})"});
  loop.clock.at(1000ms, FakeClock::Step([&] { a->status = kPaused; }));
  ASSERT_TRUE(loop.go(1500ms));
  auto states = loop.of("state");
  ASSERT_EQ(states.size(), 3u);
  EXPECT_NE(states[1].find(R"("title":"Next")"), std::string::npos);
  EXPECT_NE(states[1].find(R"("now":1700000000560)"), std::string::npos);  // 500 + 60 ms gathering
  // The player reports no update time and the position stands: "at" stays.
  EXPECT_NE(states[1].find(R"("at":1700000000000)"), std::string::npos);
  // The reply comes before the refresh of its burst, without the gathering pause.
  auto done = loop.of("done");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0], R"({"cmd":"Play","ok":false,"type":"done"})");
  EXPECT_EQ(loop.lines.out.back(), states[2]);
  EXPECT_NE(states[2].find(R"("status":"paused")"), std::string::npos);
  EXPECT_NE(states[2].find(R"("now":1700000001000)"), std::string::npos);
}

TEST(RunLoop, SessionsComeAndGo) {
  Loop loop;
  auto a = loop.platform.add("Spotify.exe");
  auto& m = *loop.platform.manager;
  loop.clock.at(1000ms, FakeClock::Step([&] {
    m.list.clear();
    m.sessions_changed();
  }));
  loop.clock.at(3000ms, FakeClock::Step([&] {
    m.list.push_back(a);
    m.sessions_changed();
  }));
  loop.clock.at(5000ms, FakeClock::Step([&] { m.list.clear(); }));
  ASSERT_TRUE(loop.go(9000ms));
  EXPECT_EQ(loop.lines.out.size(), 5u);
  EXPECT_EQ(loop.of("none").size(), 2u);
  EXPECT_EQ(loop.of("state").size(), 2u);  // after a none the same track is new again
  EXPECT_EQ(a->registered, 0);
  EXPECT_EQ(a->sinks.size(), 6u);  // subscribed at start and after it came back
}

TEST(RunLoop, ReadingFailureIsLoggedEachTime) {
  Loop loop;
  auto a = loop.platform.add("Spotify.exe");
  a->timeline_fails = true;
  ASSERT_TRUE(loop.go(4500ms));
  auto logs = loop.of("log");
  // 0 s; 1.2 s (due after the change of track); the tick 2 s after that at
  // 3.2 s; 3.5 s (due).
  ASSERT_EQ(logs.size(), 4u);
  EXPECT_EQ(logs[0], R"({"msg":"reading Spotify.exe: timeline","type":"log"})");
  EXPECT_TRUE(loop.of("state").empty());
}

TEST(RunLoop, SourceCommandNarrowsAtOnce) {
  Loop loop;
  loop.platform.add("Spotify.exe");
  auto b = loop.platform.add("chrome");
  b->props.title = "Clip";
  loop.platform.titles = {"Clip - YouTube - Browser"};
  loop.config.source = "youtube";
  loop.clock.at(1000ms, Line{R"({"cmd":"source","source":"SPOTIFY"})"});
  loop.clock.at(1000ms, Line{R"({"cmd":"source","source":5})"});
  ASSERT_TRUE(loop.go(1500ms));
  auto states = loop.of("state");
  ASSERT_EQ(states.size(), 3u);
  EXPECT_NE(states[0].find(R"("id":"chrome")"), std::string::npos);
  EXPECT_NE(states[0].find(R"("site":"youtube")"), std::string::npos);
  EXPECT_NE(states[1].find(R"("id":"Spotify.exe")"), std::string::npos);
  // A source that is not a string clears the word: of the two that began
  // playing in the same refresh, the later in the list.
  EXPECT_NE(states[2].find(R"("id":"chrome")"), std::string::npos);
  EXPECT_TRUE(loop.of("done").empty());  // source has no reply
}

TEST(RunLoop, EndOfInputInABurstEndsAtOnce) {
  Loop loop;
  loop.platform.add("Spotify.exe");
  loop.clock.at(1000ms, Line{"not json"});
  loop.clock.at(1000ms, EndOfInput{});
  loop.clock.at(1000ms, Line{R"({"cmd":"next"})"});
  ASSERT_TRUE(loop.go(5s));
  EXPECT_EQ(loop.lines.out.back(), R"({"cmd":"","ok":false,"type":"done"})");
  EXPECT_EQ(loop.of("done").size(), 1u);
}

}  // namespace
}  // namespace orvelle::media
