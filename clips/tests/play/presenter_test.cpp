#include "play/presenter.h"

#include "play/fake_time.h"
#include "play/fake_video.h"
#include "support/captured_lines.h"
#include "support/deadline.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle::clips {
namespace {

using namespace std::chrono_literals;

// The presenter on its own thread over a scripted clip, a time that moves
// as it sleeps, and a memory frames file.
struct Presenting {
  explicit Presenting(ScriptedVideo script, bool autoplay = true)
      : reader(std::move(script)), options(make_options(autoplay)), state(time, options) {
    std::lock_guard lock(state.playback);
    state.duration = 1.0;
  }
  static PlayerOptions make_options(bool autoplay) {
    PlayerOptions o;
    o.autoplay = autoplay;
    return o;
  }
  void start() {
    thread = std::thread([this] {
      Presenter presenter(reader, writer, state, {4, 0, 0, 8, 4, 32}, Ticks{333'333});
      result = presenter.run();
    });
  }
  // Waits (in real time) until the state says so.
  void until(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(1ms);
  }
  void stop() {
    apply_player_command(state, PlayerStopCommand{});
    thread.join();
  }
  std::uint32_t published() { return file.u32(16); }
  double shown_time() { return file.slot_time(published() & 0xff); }
  std::uint32_t shown_generation() { return file.slot_generation(published() & 0xff); }

  ManualPlayTime time;
  FakeVideoReader reader;
  PlayerOptions options;
  PlayerState state;
  FramesSize size = *frames_size(8, 4);
  MemoryFramesFile file{size.file_bytes};
  FramesWriter writer{file, 8, 4, size};
  std::thread thread;
  Status result;
};

TEST(Presenter, PlaysEveryPictureOnTimeAndEndsOnce) {
  Deadline deadline(20s, "presenter plays");
  CapturedLines lines;
  Presenting p({});
  p.start();
  p.until([&] { return lines.out().find("ended") != std::string::npos; });
  EXPECT_EQ(lines.out(), "{\"event\":\"ended\",\"gen\":1}\n");
  EXPECT_NEAR(p.shown_time(), 29 * 0.0333333, 1e-6);
  // The clock stopped when the end was read, right after the last picture.
  EXPECT_NEAR(read_play_clock(p.state), 29 * 0.0333333, 0.001);
  p.stop();
  EXPECT_TRUE(p.result);
}

TEST(Presenter, ASeekShowsThePictureOfItsTimeWithItsGenerationAndAPastTheEndOneTheLast) {
  Deadline deadline(20s, "presenter seeks");
  CapturedLines lines;
  Presenting p({}, false);
  p.start();
  p.until([&] { return !p.state.seeking; });
  EXPECT_EQ(p.shown_time(), 0.0);
  EXPECT_EQ(p.shown_generation(), 1u);

  apply_player_command(p.state, SeekCommand{0.5});  // picture 15 starts at 0.4999995
  p.until([&] { return !p.state.seeking; });
  EXPECT_NEAR(p.shown_time(), 15 * 0.0333333, 1e-6);
  EXPECT_EQ(p.shown_generation(), 2u);

  {
    std::lock_guard lock(p.state.playback);
    p.state.duration = 100;  // the container says more than the stream holds
  }
  apply_player_command(p.state, SeekCommand{50});
  p.until([&] { return !p.state.seeking; });
  EXPECT_NEAR(p.shown_time(), 29 * 0.0333333, 1e-6);
  EXPECT_EQ(p.shown_generation(), 3u);
  EXPECT_EQ(lines.out(), "");  // the end is reported once playback reads on
  apply_player_command(p.state, PlayCommand{});
  p.until([&] { return lines.out().find("ended") != std::string::npos; });
  EXPECT_EQ(lines.out(), "{\"event\":\"ended\",\"gen\":3}\n");
  p.stop();
}

TEST(Presenter, AnEmptyStreamEndsItsGenerationAndEmptyReadsCountAsTheEnd) {
  Deadline deadline(20s, "presenter empty");
  for (ScriptedVideo script : {[] { ScriptedVideo s; s.pictures = 0; return s; }(), [] { ScriptedVideo s; s.empty_reads_first = 240; return s; }()}) {
    CapturedLines lines;
    Presenting p(script);
    p.start();
    p.until([&] { return lines.out().find("ended") != std::string::npos; });
    EXPECT_EQ(lines.out(), "{\"event\":\"ended\",\"gen\":1}\n");
    EXPECT_EQ(p.published(), 1u);  // nothing shown
    EXPECT_FALSE(p.state.seeking);
    p.stop();
  }
  // 239 empty reads are no end.
  CapturedLines lines;
  Presenting p([] { ScriptedVideo s; s.empty_reads_first = 239; return s; }(), false);
  p.start();
  p.until([&] { return !p.state.seeking; });
  EXPECT_EQ(p.shown_time(), 0.0);
  p.stop();
}

TEST(Presenter, ASeekOvertakenWhileItDecodesShowsNothingAndTheNewestWins) {
  Deadline deadline(20s, "presenter overtaken");
  std::atomic<Presenting*> self{nullptr};
  ScriptedVideo script; script.pictures = 300; script.key_every = 300;
  script.on_read = [&](int i) {
    // Two seeks arrive while the first one decodes from the key frame.
    static std::atomic<int> once{0};
    if (i == 20 && once == 0) apply_player_command(self.load()->state, SeekCommand{3});
    if (i == 21 && once++ == 0) apply_player_command(self.load()->state, SeekCommand{2});
  };
  Presenting p(script, false);
  self = &p;
  {
    std::lock_guard lock(p.state.playback);
    p.state.duration = 10;
    p.state.position = 5;
  }
  p.start();
  p.until([&] { return p.state.seek_generation == 3 && !p.state.seeking; });
  EXPECT_NEAR(p.shown_time(), 60 * 0.0333333, 1e-6);
  EXPECT_EQ(p.shown_generation(), 3u);
  // Only the last seek's picture was published.
  EXPECT_EQ(p.published(), 0x100u);
  EXPECT_EQ(p.reader.seeks, 2);
  p.stop();
}

TEST(Presenter, StopIsSeenDuringALongSeek) {
  Deadline deadline(20s, "presenter stop in a seek");
  std::atomic<Presenting*> self{nullptr};
  ScriptedVideo script; script.pictures = 1'000'000; script.key_every = 1'000'000;
  script.on_read = [&](int i) {
    if (i == 100) apply_player_command(self.load()->state, PlayerStopCommand{});
  };
  Presenting p(script, false);
  self = &p;
  {
    std::lock_guard lock(p.state.playback);
    p.state.duration = 1e9;
    p.state.position = 30'000;
  }
  p.start();
  p.thread.join();
  EXPECT_LT(p.reader.reads, 200);
  EXPECT_TRUE(p.result);
}

TEST(Presenter, LatePicturesAreDroppedButOneIsShownEvery100ms) {
  Deadline deadline(20s, "presenter late");
  {
    CapturedLines lines;
    Presenting p({}, false);
    p.start();
    p.until([&] { return !p.state.seeking; });
    // The clock jumps half a second ahead of the pictures: those before it
    // are dropped, as none of the time since the last picture has passed.
    {
      std::lock_guard lock(p.state.playback);
      p.state.playing = true;
      update_play_clock(p.state);
      std::lock_guard clock_lock(p.state.clock_mutex);
      p.state.clock.anchor_position = 0.5;
    }
    p.until([&] { return lines.out().find("ended") != std::string::npos; });
    EXPECT_EQ(p.file.publications, 1 + 15);  // the seek's, then pictures 15 to 29
    p.stop();
  }
  // Decoding takes 50 ms a picture of 33 ms: the pictures fall behind, and
  // one is still shown at least every 100 ms.
  CapturedLines lines;
  std::atomic<ManualPlayTime*> time{nullptr};
  ScriptedVideo slow;
  slow.on_read = [&](int) {
    if (auto* t = time.load()) t->advance(500'000);
  };
  Presenting p(slow);
  time = &p.time;
  p.start();
  p.until([&] { return lines.out().find("ended") != std::string::npos; });
  EXPECT_GE(p.file.publications, 10);
  EXPECT_LT(p.file.publications, 25);
  p.stop();
}

TEST(Presenter, AReadFailureEndsTheLoopWithItsError) {
  Deadline deadline(20s, "presenter failure");
  Presenting p([] { ScriptedVideo s; s.fail_at = 5; return s; }());
  p.start();
  p.thread.join();
  ASSERT_FALSE(p.result);
  EXPECT_EQ(p.result.error().message, "decoding failed");
  apply_player_command(p.state, PlayerStopCommand{});
}

}  // namespace
}  // namespace orvelle::clips
