#include "bridge/now_playing.h"

#include "bridge/refresh.h"
#include "support/fake_platform.h"
#include "support/lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace orvelle::media {
namespace {

using testing::FakeSession;

constexpr std::int64_t kEpoch = 116'444'736'000'000'000;

TEST(Timeline, Arithmetic) {
  struct Case {
    const char* what;
    TimelineTicks t;
    std::optional<TimelineSnapshot> cached;
    TimelineSnapshot out;
  } cases[] = {
      {"offset start", {5'000'000, 1'805'000'000, 905'000'000, kEpoch + 10'000 * 1000}, {}, {90'000, 180'000, 1000}},
      {"before the start", {5'000'000, 1'805'000'000, 1'000, kEpoch + 20'000}, {}, {0, 180'000, 2}},
      {"end before start", {5'000'000, 1'000'000, 3'000'000, kEpoch + 20'000}, {}, {0, 0, 2}},
      {"past the end", {0, 10'000'000, 20'000'000, kEpoch + 20'000}, {}, {1000, 1000, 2}},
      {"negative ticks truncate toward zero", {-19'999, 10'000, 15'000, kEpoch + 10'000}, {}, {2, 2, 1}},
      {"no update time: cached at kept", {0, 10'000'000, 5'000'000, 0}, TimelineSnapshot{500, 1000, 42}, {500, 1000, 42}},
      {"less than 1 ms after 1970 counts as none", {0, 10'000'000, 5'000'000, kEpoch + 9'999},
       TimelineSnapshot{500, 1000, 42}, {500, 1000, 42}},
      {"moved: the refresh's time", {0, 10'000'000, 6'000'000, 0}, TimelineSnapshot{500, 1000, 42}, {600, 1000, 777}},
      {"extreme ticks", {INT64_MIN, INT64_MAX, INT64_MAX, INT64_MAX}, {}, {1'844'674'407'370'954, 1'844'674'407'370'954, (INT64_MAX - kEpoch) / 10'000}},
  };
  for (const Case& c : cases) {
    TimelineSnapshot s = timeline_snapshot(c.t, c.cached, 777);
    EXPECT_EQ(s.position, c.out.position) << c.what;
    EXPECT_EQ(s.duration, c.out.duration) << c.what;
    EXPECT_EQ(s.at, c.out.at) << c.what;
  }
}

TEST(Timeline, StatusWords) {
  EXPECT_EQ(status_word(4), "playing");
  EXPECT_EQ(status_word(1), "opened");
  EXPECT_EQ(status_word(5), "paused");
  EXPECT_EQ(status_word(0), "closed");
  EXPECT_EQ(status_word(6), "closed");
  EXPECT_EQ(status_word(-1), "closed");
  EXPECT_EQ(status_word(std::nullopt), "closed");
}

struct Desk {
  testing::FakePlatform platform;
  testing::FakeClock clock;
  LoopSender sender;
  RunState state{MediaConfig{}, platform.manager, sender, platform, clock};
  testing::CapturedLines lines;
};

// What a session reports, as the published state shows it.
TEST(NowPlaying, StateValues) {
  struct Case {
    const char* what;
    std::function<void(FakeSession&)> set;
    std::string shows;
  } cases[] = {
      {"the artist", [](FakeSession& s) { s.props.album_artist = "Various"; }, R"("artist":"Band")"},
      {"an empty artist: the album artist",
       [](FakeSession& s) { s.props.artist = "", s.props.album_artist = "Various"; }, R"("artist":"Various")"},
      {"an unreadable artist: the album artist",
       [](FakeSession& s) { s.props.artist.reset(), s.props.album_artist = "Various"; }, R"("artist":"Various")"},
      {"both empty", [](FakeSession& s) { s.props.artist = "", s.props.album_artist.reset(); }, R"("artist":"")"},
      {"a rate of NaN", [](FakeSession& s) { s.rate = std::nan(""); }, R"("rate":null)"},
      {"an infinite rate", [](FakeSession& s) { s.rate = INFINITY; }, R"("rate":null)"},
      {"no rate", [](FakeSession& s) { s.rate.reset(); }, R"("rate":1.0)"},
      {"a rate", [](FakeSession& s) { s.rate = 1.5; }, R"("rate":1.5)"},
      {"pause alone toggles", [](FakeSession& s) { s.controls = {false, false, false, false, true}; },
       R"("toggle":true)"},
      {"an unreadable toggle and play", [](FakeSession& s) { s.controls = {false, false, std::nullopt, true, false}; },
       R"("toggle":true)"},
      {"no skipping back", [](FakeSession& s) { s.controls = {false, true, true, true, true}; },
       R"("prev":false)"},
      {"no control toggles nothing", [](FakeSession& s) { s.controls = {false, false, false, false, false}; },
       R"("toggle":false)"},
  };
  for (const Case& c : cases) {
    Desk d;
    auto session = d.platform.add("Spotify.exe");
    c.set(*session);
    refresh_and_publish(d.state, false);
    ASSERT_EQ(d.lines.out.size(), 1u) << c.what;
    EXPECT_NE(d.lines.out[0].find(c.shows), std::string::npos) << c.what << ": " << d.lines.out[0];
  }
}

// The status pass asks every listed session for its status alone; only the
// chosen one is read whole.
TEST(NowPlaying, EachSessionIsReadForWhatIsNeeded) {
  Desk d;
  auto playing = d.platform.add("Spotify.exe");
  auto paused = d.platform.add("chrome");
  paused->status = kPaused;
  for (int i = 0; i < 2; ++i) refresh_and_publish(d.state, i == 1);
  using R = PlaybackReading;
  EXPECT_EQ(paused->readings, (std::vector<R>{R::status, R::status}));
  EXPECT_EQ(playing->readings, (std::vector<R>{R::status, R::all, R::status, R::all}));
}

}  // namespace
}  // namespace orvelle::media
