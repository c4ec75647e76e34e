#include "bridge/choice.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

TEST(SessionKeys, DuplicatesAreNumberedFromTwo) {
  EXPECT_EQ(session_keys({"a", "b", "a", "a", ""}),
            (std::vector<std::string>{"a", "b", "a#2", "a#3", ""}));
  // An id that itself ends in "#2" cannot collide with a generated key.
  EXPECT_EQ(session_keys({"a", "a#2", "a"}), (std::vector<std::string>{"a", "a#2", "a#3"}));
  EXPECT_EQ(session_keys({"a#2", "a", "a"}), (std::vector<std::string>{"a#2", "a", "a#3"}));
}

TEST(SessionChoice, Rules) {
  using namespace std::chrono_literals;
  const Instant t0{}, t1 = t0 + 1s, t2 = t0 + 2s;
  const auto none = std::nullopt;
  struct Case {
    const char* what;
    std::vector<Candidate> c;
    std::optional<std::string> current;
    std::optional<std::size_t> chosen;
  } cases[] = {
      {"nothing", {}, none, none},
      {"all closed", {{"a", kClosed, none, t1}, {"b", kClosed, none, none}}, "a", none},
      {"latest start among playing",
       {{"a", kPlaying, t2, t2}, {"b", kPlaying, t1, t2}, {"c", kPaused, t2, t2}}, none, 0},
      {"equal starts: the later in the list", {{"a", kPlaying, t1, t1}, {"b", kPlaying, t1, t1}}, none, 1},
      {"a start ranks above none", {{"a", kPlaying, t0, t0}, {"b", kPlaying, none, t1}}, none, 0},
      {"no starts: the later", {{"a", kPlaying, none, none}, {"b", kPlaying, none, none}}, none, 1},
      {"a playing current wins", {{"a", kPlaying, t1, t1}, {"b", kPlaying, t2, t2}}, "a", 0},
      {"current only among playing", {{"a", kPaused, t1, t1}, {"b", kPlaying, t0, t0}}, "a", 1},
      {"paused: last seen playing", {{"a", kPaused, t0, t2}, {"b", kStopped, t1, t1}}, "b", 0},
      {"seen: ties to the later", {{"a", kPaused, t0, t1}, {"b", kPaused, t0, t1}}, none, 1},
      {"never seen: the current", {{"a", kPaused, none, none}, {"b", kOpened, none, none}}, "b", 1},
      {"never seen, no current: the first open",
       {{"a", kClosed, none, none}, {"b", kChanging, none, none}, {"c", kPaused, none, none}}, "x", 1},
      {"a numbered key is never the current", {{"a#2", kPaused, none, none}, {"b", kPaused, none, none}},
       "a", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(choose_session(c.c, c.current), c.chosen) << c.what;
}

}  // namespace
}  // namespace orvelle::media
