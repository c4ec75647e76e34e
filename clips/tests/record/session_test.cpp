// The record session from the window search to its end, in a scripted world
// whose clock moves only while the session waits: what it prints and when,
// what it asks of the platform, and what each save takes with it.

#include "record/scripted_session.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <algorithm>

namespace orvelle::clips {
namespace {

using namespace scripted;
using Bytes = std::vector<std::uint8_t>;

constexpr Ticks kFrame = kSecond / 30;
const Bytes kHeader = {0, 0, 0, 1, 0x67, 0x42, 0xC0, 0x1F, 0, 0, 0, 1, 0x68, 0xCE, 0x3C, 0x80};
constexpr const char* kTitleLog = R"j({"event":"log","message":"window \"Game \"Quest\"\""})j";

double seconds_at(std::optional<Ticks> t) { return t ? seconds_of(*t) : -1.0; }

std::size_t count(const std::vector<std::string>& list, std::string_view item) {
  return static_cast<std::size_t>(std::count(list.begin(), list.end(), item));
}

class Session : public testing::Test {
 protected:
  Session() { fresh(); }

  // A new world for the next case of a table.
  void fresh() {
    lines_.reset();
    world_ = std::make_unique<Platform>();
    lines_ = std::make_unique<Lines>(world_->script());
    ring_capture_ = 0;
  }
  Platform& platform() { return *world_; }
  Lines& lines() { return *lines_; }
  Status run(const RecorderOptions& o = options()) { return run_record_session(o, platform()); }
  Clock& script() { return platform().script(); }

  void at(double seconds, std::function<void()> action) {
    script().at(Ticks{static_cast<std::int64_t>(seconds * 1e7 + 0.5)}, std::move(action));
  }
  // The stdin thread's work at an instant.
  void command(double seconds, Command c) {
    at(seconds, [this, c] { platform().send(c); });
  }
  void stop_at(double seconds) { command(seconds, StopCommand{}); }

  // Pictures at 30 a second over [from, to) seconds with a key frame each
  // second, timed by the ring and appended as the encoder would, and
  // counted.
  void pictures(double from, double to) {
    for (int i = 0; from + i / 30.0 < to - 1e-9; ++i) at(from + i / 30.0, [this] { picture(); });
  }
  void picture() {
    Ring& ring = *platform().recording->ring;
    const Ticks t = script().capture_time();
    if (ring_capture_ != platform().current->number) {
      start_ring(ring, t);
      ring_capture_ = platform().current->number;
      frames_ = 0;
    }
    auto& c = platform().counters.readings;
    ++c.captured;
    auto clip = time_video_frame(ring, t, kFrame, kWindow);
    if (!clip) return;
    ++c.sent;
    const bool key = frames_++ % 30 == 0;
    Bytes bytes = {0, 0, 1, std::uint8_t(key ? 0x65 : 0x41), 0x88};
    if (key) bytes.insert(bytes.begin(), kHeader.begin(), kHeader.end());
    append_video_packet(ring, {share_bytes(bytes), bytes.size(), *clip, kFrame, key});
    ++c.packets;
    c.bytes += bytes.size();
    c.keyframes += key;
  }

 private:
  std::unique_ptr<Platform> world_;
  std::unique_ptr<Lines> lines_;
  int ring_capture_ = 0;
  int frames_ = 0;
};

TEST_F(Session, GivesUpAfterSixtySecondsWithoutAWindow) {
  platform().window().present = false;
  Status s = run();
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().text(), "no game window (0x80004005)");
  EXPECT_EQ(platform().searches(), 121) << "every 500 ms, from 0 s to 60 s";
  EXPECT_EQ(script().now(), 60 * kSecond);
  EXPECT_EQ(platform().events, (std::vector<std::string>{"runtime", "priority"}));
}

TEST_F(Session, FindsAWindowThatAppearsLate) {
  platform().window().present = false;
  at(3.2, [this] { platform().window().present = true; });
  stop_at(4);
  ASSERT_TRUE(run());
  EXPECT_EQ(seconds_at(lines().first("window ")), 3.5);
  EXPECT_EQ(lines().with(R"(window \")"), std::vector<std::string>{kTitleLog});
  EXPECT_EQ(lines().with("gpu"),
            std::vector<std::string>{R"j({"event":"log","message":"gpu \"Fake GPU\" (vendor 10de)"})j"});
  EXPECT_EQ(platform().events,
            (std::vector<std::string>{"runtime", "priority", "gpu", "capture device",
                                      "prepare capture", "start capture 1", "stdin",
                                      "close capture 1"}));
}

TEST_F(Session, WaitsForAWindowThatCannotBeRecordedYet) {
  struct Case {
    const char* name;
    bool minimised;
    std::optional<Size> client;
    bool waits;
  } cases[] = {
      {"minimised", true, Size{1280, 720}, true},
      {"160 x 89", false, Size{160, 89}, true},
      {"159 x 90", false, Size{159, 90}, true},
      {"client area unreadable", false, std::nullopt, true},
      {"160 x 90", false, Size{160, 90}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    platform().window().minimised = c.minimised;
    platform().window().client = c.client;
    at(5, [this] {
      platform().window().minimised = false;
      platform().window().client = Size{1280, 720};
    });
    stop_at(6);
    ASSERT_TRUE(run());
    EXPECT_EQ(lines().with("waiting").size(), c.waits ? 1u : 0u) << lines().text();
    if (c.waits) {
      EXPECT_EQ(lines().with("waiting")[0],
                R"j({"event":"waiting","reason":"the game window is minimised or too small to record"})j");
    }
    EXPECT_EQ(seconds_at(lines().first(R"(window \")")), c.waits ? 5.0 : 0.0);
  }
}

TEST_F(Session, AWindowClosedWhileWaitedForEndsTheSession) {
  platform().window().minimised = true;
  at(2.1, [this] { platform().window().exists = false; });
  ASSERT_TRUE(run());
  EXPECT_EQ(lines().with("event"),
            (std::vector<std::string>{
                R"j({"event":"waiting","reason":"the game window is minimised or too small to record"})j",
                R"j({"event":"ended","reason":"the game window closed"})j"}));
  EXPECT_EQ(seconds_at(lines().first("ended")), 2.25);
  EXPECT_EQ(count(platform().events, "gpu"), 0u);
}

TEST_F(Session, StartFailuresAreTheSessionsError) {
  for (std::string step : {"runtime", "gpu", "device", "capture"}) {
    SCOPED_TRACE(step);
    fresh();
    const WinError failure{0x80040154u, "no " + step};
    if (step == "capture") {
      platform().capture_starts.push_back(failure);
    } else {
      platform().failures[step] = failure;
    }
    Status s = run();
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().text(), "no " + step + " (0x80040154)");
    EXPECT_EQ(count(platform().events, "stdin"), 0u);
    EXPECT_EQ(lines().with(R"(gpu \")").size(), step == "gpu" || step == "runtime" ? 0u : 1u);
  }
}

TEST_F(Session, SoundThatDoesNotStartIsLivedWith) {
  struct Case {
    std::vector<std::string> args;
    std::optional<WinError> failure;
    bool game;
    bool asked;
    const char* audio;
    const char* game_track;
  } cases[] = {
      {{"--title", "Game", "--json"}, {}, true, false, R"j("audio":"")j", R"j("gameTrack":false)j"},
      {{"--title", "Game", "--json", "--mic"}, {}, false, true, R"j("audio":"aac")j",
       R"j("gameTrack":false)j"},
      {{"--title", "Game", "--json", "--audio", "--mic"}, {}, true, true, R"j("audio":"aac")j",
       R"j("gameTrack":true)j"},
      {{"--title", "Game", "--json", "--audio"}, WinError{0x88890008u, "mix format"}, true, true,
       R"j("audio":"")j", R"j("gameTrack":false)j"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    fresh();
    platform().sound.mix = std::make_shared<NamedSound>("mix");
    if (c.game) platform().sound.game = std::make_shared<NamedSound>("game");
    if (c.failure) platform().failures["sound"] = *c.failure;
    at(0.5, [this] { platform().counters.readings.packets = 10; });
    stop_at(1.5);
    ASSERT_TRUE(run(options(c.args)));
    EXPECT_EQ(count(platform().events, "sound"), c.asked ? 1u : 0u);
    ASSERT_EQ(lines().with(R"j("recording")j").size(), 1u) << lines().text();
    const std::string status = lines().with(R"j("recording")j")[0];
    EXPECT_NE(status.find(c.audio), std::string::npos) << status;
    EXPECT_NE(status.find(c.game_track), std::string::npos) << status;
    EXPECT_EQ(lines().with("no sound").size(), c.failure ? 1u : 0u);
    if (c.failure) {
      EXPECT_EQ(lines().with("no sound")[0],
                R"j({"event":"log","message":"no sound: mix format (0x88890008)"})j");
    }
  }
}

TEST_F(Session, TheRecordingStatusGoesOutOnceItsPacketsFlow) {
  platform().sound.mix = std::make_shared<NamedSound>("mix");
  at(0.5, [this] { platform().recording->mic_status->set("missing"); });
  at(2.5, [this] { platform().counters.readings.packets = 3; });
  at(3.5, [this] { platform().recording->mic_status->set("on"); });
  stop_at(4.5);
  ASSERT_TRUE(run(options({"--title", "Game", "--json", "--fps", "30", "--mic"})));
  EXPECT_EQ(seconds_at(lines().first("recording")), 3.0);
  EXPECT_EQ(lines().with(R"j("status")j"),
            (std::vector<std::string>{
                R"j({"audio":"aac","bitrate":4444444,"codec":"Fake H.264 Encoder","event":"status",)j"
                R"j("fps":30,"gameTrack":false,"height":720,"mic":"missing","state":"recording",)j"
                R"j("title":"Game \"Quest\"","width":1280})j"}));
  // Before the status went out, the microphone's changes are not lines of their own.
  EXPECT_EQ(lines().with("microphone"),
            (std::vector<std::string>{R"j({"event":"log","message":"microphone: on"})j"}));
  EXPECT_EQ(lines().with(R"j("event":"mic")j"),
            (std::vector<std::string>{R"j({"event":"mic","state":"on"})j"}));
  EXPECT_EQ(seconds_at(lines().first(R"j("event":"mic")j")), 4.0);
}

TEST_F(Session, CommandsAreCarriedOutAtOnce) {
  pictures(0, 13);
  command(12.05, SecondsCommand{0});  // 5 s, kept with a second more
  command(12.25, MicvolumeCommand{500});
  double before = 0, after = 0;
  std::uint32_t volume = 0;
  at(12.02, [&] { before = buffer_seconds(*platform().recording->ring).seconds; });
  at(12.3, [&] {
    after = buffer_seconds(*platform().recording->ring).seconds;
    volume = platform().recording->mic_volume->load();
  });
  stop_at(13.55);
  ASSERT_TRUE(run(options({"--title", "Game", "--json", "--mic-volume", "40"})));
  EXPECT_NEAR(before, 12.0, 0.05);
  EXPECT_NEAR(after, 6.33, 0.01) << "groups beyond 6 s leave with the next picture";
  EXPECT_EQ(volume, 200u);
  EXPECT_EQ(script().now(), 13'550 * kMs) << "stop ends the session within its cycle";
  EXPECT_EQ(platform().events.back(), "close capture 1");
}

TEST_F(Session, TheEndOfInputEndsTheSessionAtTheEndOfItsCycle) {
  at(0.25, [this] { platform().end_of_input(); });
  ASSERT_TRUE(run());
  EXPECT_EQ(script().now(), 250 * kMs);
  EXPECT_EQ(platform().events.back(), "close capture 1");
}

TEST_F(Session, MinimiseAndRestoreAreFollowedAndCutFromTheClip) {
  pictures(0, 3);
  at(3.02, [this] { platform().window().minimised = true; });
  at(5.03, [this] { platform().window().minimised = false; });
  pictures(5.2, 7);
  command(7.01, SaveCommand{"c", "/clips/c.mp4", std::nullopt});
  stop_at(7.5);
  ASSERT_TRUE(run());
  EXPECT_EQ(lines().with("window "),
            (std::vector<std::string>{kTitleLog,
                                      R"j({"event":"log","message":"window minimised: clip paused"})j",
                                      R"j({"event":"log","message":"window restored: clip goes on"})j"}));
  EXPECT_EQ(seconds_at(lines().first("minimised")), 3.1);
  EXPECT_EQ(seconds_at(lines().first("restored")), 5.1);
  ASSERT_EQ(platform().jobs.size(), 1u);
  const SaveJob& job = platform().jobs[0];
  // The pause starts where the last picture ended and lasts until the first
  // picture after the restore.
  ASSERT_EQ(job.gaps.size(), 1u);
  EXPECT_NEAR(static_cast<double>(job.gaps[0].at - 1'700'000'000'000), 3000.0, 1.0);
  EXPECT_NEAR(static_cast<double>(job.gaps[0].ms), 2200.0, 1.0);
  const Packet& last = job.groups.back()->video.back();
  EXPECT_NEAR(seconds_of(last.time), 3.0 + 1.8 - 1.0 / 30, 0.001) << "no hole in the clip";
}

TEST_F(Session, MinimisingBeforeTheFirstFrameIsStillLogged) {
  at(0.3, [this] { platform().window().minimised = true; });
  at(0.6, [this] { platform().window().minimised = false; });
  stop_at(0.9);
  ASSERT_TRUE(run());
  EXPECT_EQ(lines().with("clip ").size(), 2u) << lines().text();
}

TEST_F(Session, AClosedWindowEndsTheSessionAtTheNextTick) {
  at(2.5, [this] { platform().window().exists = false; });
  ASSERT_TRUE(run(options({"--title", "Game"})));
  EXPECT_TRUE(platform().recording->stop_flag->load());
  const auto all = lines().all();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2].text, R"j({"event":"ended","reason":"the game window closed"})j");
  EXPECT_EQ(seconds_of(all[all.size() - 2].at), 3.0);
  EXPECT_TRUE(all.back().text.starts_with("total 3.0 s: ")) << all.back().text;
  EXPECT_EQ(count(platform().events, "close capture 1"), 1u);
}

TEST_F(Session, DurationEndsAtItsTickWithoutReadingInput) {
  for (std::uint64_t duration : {0u, 2u}) {
    SCOPED_TRACE(duration);
    fresh();
    ASSERT_TRUE(run(options({"--title", "Game", "--duration", std::to_string(duration), "--quiet"})));
    EXPECT_EQ(count(platform().events, "stdin"), 0u);
    const std::uint64_t ends = std::max<std::uint64_t>(duration, 1);
    EXPECT_EQ(script().now(), static_cast<std::int64_t>(ends) * kSecond);
    ASSERT_EQ(lines().all().size(), 3u) << lines().text();
    EXPECT_EQ(lines().all().back().text,
              fmt::format("total {}.0 s: captured 0 sent 0 packets 0 (0.0 fps) 0 kB (0 kbit/s) "
                          "keyframes 0 paced-out 0 busy-drop 0",
                          ends));
  }
}

TEST_F(Session, PrintsAStatisticsLineEachSecond) {
  auto& c = platform().counters.readings;
  at(0.5, [&] { c = {30, 10, 2, 0, 18, 17, 9 * 1024 + 5, 1}; });
  at(1.5, [&] { c = {1030, 1010, 102, 4, 1018, 1017, 99'999 * 1024, 3}; });
  at(1.6, [this] { platform().current->flight = 2; });
  stop_at(2.5);
  ASSERT_TRUE(run(options({"--title", "Game"})));
  EXPECT_EQ(lines().with("["),
            (std::vector<std::string>{
                "[   1s] captured  30 paced-out  10 busy-drop  2 sent  18 packets  17 key 1     9 kB"
                "  in-flight 0 size-skip 0  buffer 0.0 s 0 MB",
                "[   2s] captured 1000 paced-out 1000 busy-drop 100 sent 1000 packets 1000 key 2 "
                "99989 kB  in-flight 2 size-skip 4  buffer 0.0 s 0 MB"}));
  for (std::string flag : {"--quiet", "--json"}) {
    SCOPED_TRACE(flag);
    fresh();
    stop_at(2.5);
    ASSERT_TRUE(run(options({"--title", "Game", flag})));
    EXPECT_TRUE(lines().with("[").empty());
    EXPECT_EQ(lines().with("total ").size(), flag == "--quiet" ? 1u : 0u);
  }
}

// A window that keeps changing size: its capture counts size skips.
class Resize : public Session {
 protected:
  void keep_resizing(double from, double to) {
    for (double t = from; t < to; t += 1.0) at(t, [this] { ++platform().counters.readings.size_skip; });
  }
  std::vector<double> restarts() {
    std::vector<double> times;
    for (const Line& l : lines().all())
      if (l.text.find("restarting the capture") != std::string::npos) times.push_back(seconds_of(l.at));
    return times;
  }
};

TEST_F(Resize, RestartsAtTheSecondTickWithNewSizeSkips) {
  pictures(0, 2);
  keep_resizing(0.5, 2);
  at(1.9, [this] { platform().window().client = Size{960, 540}; });
  at(2.5, [this] { platform().counters.readings.packets += 5; });
  stop_at(3.5);
  ASSERT_TRUE(run());
  EXPECT_EQ(restarts(), (std::vector<double>{2.0}));
  EXPECT_EQ(lines().with("restarting"),
            (std::vector<std::string>{
                R"j({"event":"log","message":"the window changed size; restarting the capture"})j"}));
  EXPECT_EQ(platform().events,
            (std::vector<std::string>{"runtime", "priority", "gpu", "capture device",
                                      "prepare capture", "start capture 1", "stdin",
                                      "start capture 2", "close capture 1", "close capture 2"}));
  EXPECT_FALSE(snapshot_ring(*platform().recording->ring)) << "the restart empties the ring";
  auto status = lines().with(R"j("recording")j");
  ASSERT_EQ(status.size(), 2u) << lines().text();
  EXPECT_NE(status[0].find(R"j("height":720)j"), std::string::npos);
  EXPECT_NE(status[1].find(R"j("height":540)j"), std::string::npos);
  EXPECT_EQ(seconds_at(lines().first(R"j("height":540)j")), 3.0);
}

TEST_F(Resize, NoRestartWhileTheWindowCannotBeRecordedOrStopsGrowing) {
  keep_resizing(0.5, 6);
  at(1.5, [this] { platform().window().minimised = true; });
  at(2.5, [this] { platform().window().minimised = false; });
  at(2.6, [this] { platform().window().client = Size{100, 100}; });
  at(3.6, [this] { platform().window().client = Size{1280, 720}; });
  stop_at(6.5);
  ASSERT_TRUE(run());
  EXPECT_EQ(restarts(), (std::vector<double>{5.0})) << "ticks 4 and 5 grow in a row";
}

TEST_F(Resize, AfterARestartOnlyTheNewCapturesGrowthCounts) {
  keep_resizing(0.5, 2);
  platform().size_skips_at_close = 3;  // the old capture's last frames
  at(3.5, [this] { ++platform().counters.readings.size_skip; });  // one stray frame is no resize
  stop_at(6.5);
  ASSERT_TRUE(run());
  EXPECT_EQ(restarts(), (std::vector<double>{2.0}));
}

TEST_F(Resize, FailedRestartsBackOffAndGoOnBeingTried) {
  platform().capture_starts.push_back(std::nullopt);  // the session's own start
  for (int i = 0; i < 6; ++i) platform().capture_starts.push_back(WinError{0x887A0005u, "removed"});
  pictures(0, 1);
  keep_resizing(0.5, 100);
  stop_at(100.5);
  ASSERT_TRUE(run());
  // At once, then 4, 8, 16, 30 and 30 s after each failure.
  EXPECT_EQ(restarts(), (std::vector<double>{2.0, 6.0, 14.0, 30.0, 60.0, 90.0}));
  const auto errors = lines().with("restart after resize");
  ASSERT_EQ(errors.size(), 6u);
  EXPECT_EQ(errors[0],
            R"j({"event":"status","message":"restart after resize: removed (0x887A0005)","state":"error"})j");
  for (std::size_t i = 1; i < errors.size(); ++i)
    EXPECT_EQ(errors[i],
              R"j({"event":"log","message":"restart after resize failed again: removed (0x887A0005)"})j");
  EXPECT_EQ(platform().events.back(), "close capture 1") << "the old capture kept running";
  EXPECT_EQ(count(platform().events, "close capture 1"), 1u);
}

TEST_F(Resize, AFailureAfterAFreshStatusIsAStatusErrorAgain) {
  platform().capture_starts = {std::nullopt, WinError{0x887A0005u, "removed"},
                               WinError{0x887A0005u, "removed"}};
  keep_resizing(0.5, 8);
  at(0.5, [this] { platform().counters.readings.packets = 5; });
  at(3.5, [this] { platform().counters.readings.packets = 9; });  // the status goes out again
  stop_at(8.5);
  ASSERT_TRUE(run());
  EXPECT_EQ(restarts(), (std::vector<double>{2.0, 6.0}));
  EXPECT_EQ(lines().with(R"j("state":"error")j").size(), 2u) << lines().text();
  EXPECT_EQ(lines().with(R"j("recording")j").size(), 2u) << lines().text();
}

class Saves : public Session {
 protected:
  void save(double at_s, std::string id, std::optional<std::string> finish = std::nullopt) {
    command(at_s, SaveCommand{id, "/clips/" + id + ".mp4", std::move(finish)});
  }
  std::vector<std::string> refusals() { return lines().with("saveFailed"); }
};

TEST_F(Saves, NothingIsSavedBeforeTheFirstKeyFrame) {
  save(0.2, "early");
  pictures(0.5, 2.5);
  save(2.6, "later", "/clips/later final.mp4");
  stop_at(3);
  platform().sound.mix = std::make_shared<NamedSound>("mix");
  platform().sound.game = std::make_shared<NamedSound>("game");
  ASSERT_TRUE(run(options({"--title", "Game", "--json", "--fps", "30", "--audio", "--mic"})));
  EXPECT_EQ(refusals(),
            (std::vector<std::string>{
                R"j({"event":"saveFailed","id":"early","message":"nothing recorded yet"})j"}));
  ASSERT_EQ(platform().jobs.size(), 1u);
  const SaveJob& job = platform().jobs[0];
  EXPECT_EQ(job.id, "later");
  EXPECT_EQ(job.path, "/clips/later.mp4");
  EXPECT_EQ(job.finish, "/clips/later final.mp4");
  EXPECT_EQ(job.sequence_header, kHeader);
  EXPECT_EQ((Size{job.width, job.height}), (Size{1280, 720}));
  EXPECT_EQ(job.fps, 30u);
  EXPECT_EQ(job.bitrate, 4'444'444u);
  EXPECT_EQ(job.groups.size(), 2u);
  EXPECT_EQ(job.start_wall_ms, 1'700'000'000'500);
  EXPECT_EQ(dynamic_cast<const NamedSound&>(*job.mix_sound).name, "mix");
  EXPECT_EQ(dynamic_cast<const NamedSound&>(*job.game_sound).name, "game");
  EXPECT_TRUE(job.saving_flag->load());
}

TEST_F(Saves, OneClipIsWrittenAtATime) {
  pictures(0, 1.5);
  save(1.0, "first");
  save(1.1, "second");
  at(1.3, [this] { platform().recording->saving_flag->store(false); });  // the writer is done
  save(1.4, "third");
  stop_at(1.6);
  ASSERT_TRUE(run());
  EXPECT_EQ(refusals(),
            (std::vector<std::string>{
                R"j({"event":"saveFailed","id":"second","message":"a clip is already being saved"})j"}));
  ASSERT_EQ(platform().jobs.size(), 2u);
  EXPECT_EQ(platform().jobs[1].id, "third");
}

TEST_F(Saves, TheEndWaitsForASaveInProgress) {
  struct Case {
    const char* name;
    std::function<void()> ending;
    double writer_done;  // < 0: never
    double ends;
  } cases[] = {
      {"stop", [this] { stop_at(1.2); }, 4.0, 4.0},
      {"end of input", [this] { at(1.2, [this] { platform().end_of_input(); }); }, 3.0, 3.0},
      {"window closed", [this] { at(1.2, [this] { platform().window().exists = false; }); }, 5.0,
       5.0},
      {"a writer that never finishes", [this] { stop_at(1.2); }, -1, 11.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    pictures(0, 1.1);
    save(1.05, "last");
    c.ending();
    if (c.writer_done >= 0) {
      at(c.writer_done, [this] {
        emit_event(false, Json{{"event", "save"}, {"id", "last"}});
        platform().recording->saving_flag->store(false);
      });
    }
    ASSERT_TRUE(run(options({"--title", "Game", "--quiet"})));
    EXPECT_NEAR(seconds_of(script().now()), c.ends, 0.021);
    const auto all = lines().all();
    ASSERT_GE(all.size(), 2u);
    EXPECT_TRUE(all.back().text.starts_with("total ")) << lines().text();
    if (c.writer_done >= 0) {
      EXPECT_EQ(all[all.size() - 2].text, R"j({"event":"save","id":"last"})j") << lines().text();
    }
  }
}

}  // namespace
}  // namespace orvelle::clips
