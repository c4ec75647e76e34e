#include "sim/scenario.h"

#include <gtest/gtest.h>

namespace orvelle::media::sim {
namespace {

TEST(MediaScenario, ReadsTheDocumentedForm) {
  auto s = parse_scenario(R"({"sessions": [{"app": "Spotify.exe", "pid": 3100, "status": "paused",
      "position": 12000, "rate": 1.5, "toggle": false}], "current": 0, "windows": ["a"],
      "events": [{"at": 3000, "session": 0, "set": {"title": "Next"}},
                 {"at": 5000, "add": {"app": "chrome"}}, {"at": 7000, "remove": 1},
                 {"at": 8000, "current": null}, {"at": 9000, "windows": []}]})");
  ASSERT_TRUE(s) << s.error();
  ASSERT_EQ(s->sessions.size(), 1u);
  EXPECT_EQ(s->sessions[0].status, "paused");
  EXPECT_EQ(s->sessions[0].rate, 1.5);
  EXPECT_EQ(s->sessions[0].toggle, false);
  EXPECT_EQ(s->current, 0u);
  ASSERT_EQ(s->events.size(), 5u);
  EXPECT_EQ(s->events[0].fields.title, "Next");
  EXPECT_EQ(s->events[0].fields.app, std::nullopt);  // a change names only what changes
  EXPECT_EQ(s->events[2].session, 1u);               // the session added at 5000
  EXPECT_TRUE(s->events[3].no_current);
  EXPECT_TRUE(parse_scenario("{}"));
}

TEST(MediaScenario, Refusals) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {R"({"session": []})", "unknown key \"session\" at line 1 column 10"},
      {R"({"current": 0})", "current: expected no number: there is no session yet"},
      {R"({"sessions": [{"pid": -1}]})", "sessions[0].pid: expected a whole number up to 4294967295"},
      {R"({"sessions": [{"app": "a"}], "events": [{"at": 5, "remove": 1}]})", "events[0].remove: expected a whole number up to 0"},
      {R"({"sessions": [{}], "events": [{"at": 5, "remove": 0}, {"at": 4, "current": 0}]})", "events must come in time order"},
      {R"({"sessions": [{}], "events": [{"at": 5, "set": {}}]})", "\"session\" goes with \"set\" and only there"},
      {R"({"sessions": [{}], "events": [{"at": 5, "remove": 0, "current": 0}]})", "exactly one of"},
      {R"({"events": [{"remove": 0}]})", "expected no number"},
      {R"({"events": [{"windows": []}]})", "missing \"at\""},
      {R"({"sessions": [{"app": "a", "app": "b"}]})", "duplicate key \"app\""},
      {"[", "at line 1"},
  };
  for (const Case& c : cases) {
    auto s = parse_scenario(c.text);
    ASSERT_FALSE(s) << c.text;
    EXPECT_NE(s.error().find(c.error), std::string::npos) << c.text << "\n" << s.error();
  }
}

}  // namespace
}  // namespace orvelle::media::sim
