// The scenario file: the form the simulation documents, its defaults, and an
// error that names the key, the fault and the place for every kind of bad
// input.

#include "sim/scenario.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvelle::clips::sim {
namespace {

constexpr Ticks ms(std::int64_t n) { return Ticks{n * 10'000}; }

constexpr const char* kExample = R"({"window": {"title": "Game", "pid": 4242, "width": 1280, "height": 720, "refresh": 60, "appear": 0},
 "fps": 60,
 "events": [{"at": 3000, "do": "minimise"}, {"at": 5000, "do": "restore"},
            {"at": 7000, "do": "resize", "width": 960, "height": 540}, {"at": 9000, "do": "close"}]})";

TEST(Scenario, ReadsTheDocumentedForm) {
  auto s = parse_scenario(kExample);
  ASSERT_TRUE(s) << s.error();
  Scenario want;
  want.window = {.title = "Game", .pid = 4242, .client = {1280, 720}, .refresh = 60,
                 .appear = ms(0), .frame = {}};
  want.fps = 60;
  want.events = {{ms(3000), WindowAction::minimise, {}},
                 {ms(5000), WindowAction::restore, {}},
                 {ms(7000), WindowAction::resize, {960, 540}},
                 {ms(9000), WindowAction::close, {}}};
  EXPECT_EQ(*s, want);
}

TEST(Scenario, EveryKeyHasADefault) {
  auto s = parse_scenario(" {} ");
  ASSERT_TRUE(s) << s.error();
  EXPECT_EQ(*s, Scenario{});

  s = parse_scenario(R"({"window": {"appear": 1500, "frame": {"top": 0}}, "fps": 144})");
  ASSERT_TRUE(s) << s.error();
  EXPECT_EQ(s->window.appear, ms(1500));
  EXPECT_EQ(s->window.frame, (FrameInsets{1, 0, 1, 1}));
  EXPECT_EQ(s->window.title, "Game");
  EXPECT_EQ(s->fps, 144u);
}

TEST(Scenario, ReadsTheSoundDevices) {
  auto s = parse_scenario(R"({"sound": {"rate": 48000, "channels": 2, "kind": "f32"},
 "mics": [{"id": "mic-1", "name": "Desk microphone", "rate": 44100, "channels": 1, "kind": "i16", "default": true},
          {"id": "mic-2"}],
 "events": [{"at": 4000, "do": "mic", "id": "mic-1", "state": "missing"}, {"at": 5000, "do": "minimise"},
            {"at": 6000, "do": "mic", "id": "mic-1", "state": "on"}, {"at": 7000, "do": "sound", "state": "lost"}]})");
  ASSERT_TRUE(s) << s.error();
  EXPECT_EQ(s->sound, (SoundFormat{48000, 2, SoundKind::f32}));
  ASSERT_EQ(s->mics.size(), 2u);
  EXPECT_EQ(s->mics[0], (MicDevice{"mic-1", "Desk microphone", {44100, 1, SoundKind::i16}, true}));
  EXPECT_EQ(s->mics[1], (MicDevice{"mic-2", "mic-2", {48000, 1, SoundKind::f32}, false}));
  EXPECT_EQ(s->mic_events, (std::vector<MicEvent>{{ms(4000), "mic-1", MicState::missing},
                                                  {ms(6000), "mic-1", MicState::on}}));
  EXPECT_EQ(s->events.size(), 1u);
  EXPECT_EQ(s->sound_lost, ms(7000));
  EXPECT_FALSE(Scenario{}.sound_lost);

  auto none = parse_scenario(R"({"sound": null})");
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->sound);
  EXPECT_EQ(Scenario{}.sound, (SoundFormat{48000, 2, SoundKind::f32}));

  auto back = parse_scenario(scenario_json(*s));
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(*back, *s);
  back = parse_scenario(scenario_json(*none));
  ASSERT_TRUE(back) << back.error();
  EXPECT_EQ(*back, *none);
}

TEST(Scenario, WrittenTextReadsBackTheSame) {
  Scenario odd;
  odd.window = {.title = "Spiel \"2\" \xC3\xA4", .pid = 0, .client = {161, 91}, .refresh = 0,
                .appear = ms(250), .frame = {0, 0, 0, 0}};
  odd.fps = 1000;
  odd.events = {{ms(250), WindowAction::minimise, {}}, {ms(250), WindowAction::resize, {7680, 1}}};
  // The device events go between the window's in time order.
  Scenario devices;
  devices.mics = {{"a", "a", {}, true}};
  devices.mic_events = {{ms(500), "a", MicState::missing}, {ms(900), "a", MicState::on}};
  devices.sound_lost = ms(700);
  devices.events = {{ms(600), WindowAction::minimise, {}}, {ms(900), WindowAction::close, {}}};
  for (const Scenario& s : {Scenario{}, *parse_scenario(kExample), odd, devices}) {
    auto back = parse_scenario(scenario_json(s));
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, s);
  }
}

TEST(Scenario, ErrorsNameTheKeyAndTheFault) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"[]", "expected an object, found sequence at line 1 column 2"},
      {"{\"fps\": 60} x", "not JSON: trailing characters at line 1 column 13"},
      {"{\"fps\": 0}", "fps: expected a whole number from 1 to 1000, found integer `0` at line 1 column 9"},
      {"{\"fps\": 59.94}", "fps: expected a whole number from 1 to 1000, found floating point `59.94`"},
      {"{\"fps\": \"60\"}", "fps: expected a whole number from 1 to 1000, found string \"60\""},
      {"{\"fps\": 60, \"fps\": 30}", "duplicate key \"fps\""},
      {"{\"speed\": 2}", "unknown key \"speed\" (known: window, fps, events, sound, mics)"},
      {"{\"window\": []}", "window: expected an object, found sequence"},
      {"{\"window\": {\"titel\": \"x\"}}", "window: unknown key \"titel\""},
      {"{\"window\": {\"title\": 5}}", "window.title: expected a string, found integer `5`"},
      {"{\"window\": {\"width\": 0}}", "window.width: expected a whole number from 1 to 7680"},
      {"{\"window\": {\"height\": 7681}}", "window.height: expected a whole number from 1 to 7680"},
      {"{\"window\": {\"pid\": -1}}", "window.pid: expected a whole number from 0 to 4294967295, found integer `-1`"},
      {"{\"window\": {\"appear\": 86400001}}", "window.appear: expected a whole number from 0 to 86400000"},
      {"{\"window\": {\"frame\": {\"top\": 300}}}", "window.frame.top: expected a whole number from 0 to 256"},
      {"{\"window\": {\"frame\": {\"middle\": 3}}}", "window.frame: unknown key \"middle\""},
      {"{\"events\": {}}", "events: expected an array, found map"},
      {"{\"events\": [3]}", "events[0]: expected an object, found integer `3`"},
      {"{\"events\": [{\"at\": 5}]}", "events[0]: missing key \"do\""},
      {"{\"events\": [{\"do\": \"close\"}]}", "events[0]: missing key \"at\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"shrink\"}]}",
       "events[0].do: expected one of minimise, restore, resize, close, mic, sound, found string \"shrink\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"Close\"}]}", "events[0].do: expected one of"},
      {"{\"events\": [{\"at\": -5, \"do\": \"close\"}]}", "events[0].at: expected a whole number from 0 to 86400000"},
      {"{\"events\": [{\"at\": 5, \"do\": \"minimise\", \"width\": 10}]}", "events[0]: unknown key \"width\" (known: at, do)"},
      {"{\"events\": [{\"at\": 5, \"do\": \"resize\", \"width\": 10}]}", "events[0]: a resize needs \"width\" and \"height\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"resize\", \"width\": 10, \"height\": 0}]}",
       "events[0].height: expected a whole number from 1 to 7680"},
      {"{\"events\": [{\"at\": 5, \"do\": \"close\", \"at\": 6}]}", "events[0]: duplicate key \"at\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"close\"}, {\"at\": 6, \"do\": \"restore\"}]}",
       "events[1]: comes after the window closed"},
      {"{\"events\": [{\"at\": 5, \"do\": \"minimise\"}, {\"at\": 4, \"do\": \"restore\"}]}",
       "events[1]: comes before the event above it"},
      {"{\"window\": {\"appear\": 100}, \"events\": [{\"at\": 50, \"do\": \"minimise\"}]}",
       "events[0]: comes before the window appears"},
      {"{\"sound\": {\"kind\": \"f64\"}}", "sound.kind: expected one of f32, i16, i32, i24, found string \"f64\""},
      {"{\"sound\": {\"rate\": 0}}", "sound.rate: expected a whole number from 1 to 384000"},
      {"{\"sound\": {\"channels\": 33}}", "sound.channels: expected a whole number from 1 to 32"},
      {"{\"sound\": {\"id\": \"x\"}}", "sound: unknown key \"id\" (known: rate, channels, kind)"},
      {"{\"sound\": 5}", "sound: expected an object, found integer `5`"},
      {"{\"mics\": [{\"name\": \"x\"}]}", "mics[0]: missing key \"id\""},
      {"{\"mics\": [{\"id\": \"a\"}, {\"id\": \"a\"}]}", "mics[1]: a second microphone with this id"},
      {"{\"mics\": [{\"id\": \"a\", \"default\": true}, {\"id\": \"b\", \"default\": true}]}",
       "mics[1]: a second default microphone"},
      {"{\"mics\": [{\"id\": \"a\", \"default\": 1}]}", "mics[0].default: expected a boolean, found integer `1`"},
      {"{\"mics\": [{\"id\": 3}]}", "mics[0].id: expected a string, found integer `3`"},
      {"{\"events\": [{\"at\": 5, \"do\": \"mic\", \"id\": \"a\", \"state\": \"on\"}]}",
       "events[0]: names no microphone of \"mics\""},
      {"{\"mics\": [{\"id\": \"a\"}], \"events\": [{\"at\": 5, \"do\": \"mic\", \"id\": \"a\", \"state\": \"off\"}]}",
       "events[0].state: expected one of on, missing, blocked, found string \"off\""},
      {"{\"mics\": [{\"id\": \"a\"}], \"events\": [{\"at\": 5, \"do\": \"mic\", \"id\": \"a\"}]}",
       "events[0]: a mic event needs \"id\" and \"state\""},
      {"{\"mics\": [{\"id\": \"a\"}], \"events\": [{\"at\": 5, \"do\": \"close\"}, {\"at\": 6, \"do\": \"mic\", \"id\": \"a\", \"state\": \"on\"}]}",
       "events[1]: comes after the window closed"},
      {"{\"mics\": [{\"id\": \"a\"}], \"events\": [{\"at\": 6, \"do\": \"mic\", \"id\": \"a\", \"state\": \"on\"}, {\"at\": 5, \"do\": \"close\"}]}",
       "events[1]: comes before the event above it"},
      {"{\"events\": [{\"at\": 5, \"do\": \"sound\"}]}", "events[0]: a sound event needs \"state\""},
      {"{\"events\": [{\"do\": \"sound\", \"state\": \"lost\"}]}", "events[0]: missing key \"at\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"sound\", \"state\": \"on\"}]}",
       "events[0].state: expected one of lost, found string \"on\""},
      {"{\"events\": [{\"at\": 5, \"do\": \"sound\", \"state\": \"lost\", \"id\": \"x\"}]}",
       "events[0]: unknown key \"id\" (known: at, do, state)"},
      {"{\"sound\": null, \"events\": [{\"at\": 5, \"do\": \"sound\", \"state\": \"lost\"}]}",
       "events[0]: the scenario has no playback device"},
      {"{\"events\": [{\"at\": 5, \"do\": \"sound\", \"state\": \"lost\"}, {\"at\": 6, \"do\": \"sound\", \"state\": \"lost\"}]}",
       "events[1]: the playback device is already lost"},
      {"{\"events\": [{\"at\": 5, \"do\": \"close\"}, {\"at\": 6, \"do\": \"sound\", \"state\": \"lost\"}]}",
       "events[1]: comes after the window closed"},
      {"{\"window\": {\"frame\": {\"left\": [[[[[[[[1]]]]]]]]}}}", "not JSON: "},
      {"{\"window\": {\"title\": \"\\ud800\"}}", "not JSON: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto s = parse_scenario(c.text);
    ASSERT_FALSE(s);
    // The text begins with the path of the key at fault.
    EXPECT_EQ(s.error().find(c.error), 0u) << s.error();
  }
}

TEST(Scenario, AnErrorOnALaterLineSaysWhere) {
  auto s = parse_scenario("{\n  \"fps\": 60,\n  \"events\": [{\"at\": 1, \"do\": \"grow\"}]\n}");
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(),
            "events[0].do: expected one of minimise, restore, resize, close, mic, sound, found string \"grow\""
            " at line 3 column 35");
}

TEST(Scenario, FilesAreNamedInTheirErrors) {
  TempFolder dir;
  const std::string path = dir.file("game.json");
  auto missing = load_scenario(path);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "cannot read the scenario " + path + ": No such file or directory");

  std::ofstream(path) << "{\"fps\": 0}";
  auto bad = load_scenario(path);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().rfind("scenario " + path + ": fps: ", 0), 0u) << bad.error();

  std::ofstream(path) << kExample;
  auto good = load_scenario(path);
  ASSERT_TRUE(good) << good.error();
  EXPECT_EQ(good->events.size(), 4u);
}

}  // namespace
}  // namespace orvelle::clips::sim
