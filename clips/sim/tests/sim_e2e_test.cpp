// orvelle-clips-sim driven as the desktop client drives orvelle-clips: its
// command line, JSON lines on standard input and output, in real time, and
// its clips judged by ffprobe and ffmpeg down to each picture's time code.

#include "sim/tests/event_lines.h"
#include "sim/tests/judge.h"
#include "sim/tests/sim_run.h"
#include "support/temp_folder.h"
#include "tools/e2e/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace orvelle::clips::sim {
namespace {


std::string scenario(const std::string& events = "") {
  return "{" + std::string(kGame) + ", \"events\": [" + events + "]}";
}

// What every clip must be: accepted, starting on a key frame, every picture's
// code readable and going forward, its clip times without a hole. Returns
// the judged clip for the test's own checks.
JudgedClip judge_good_clip(const std::string& path) {
  JudgedClip clip = judge_clip(path);
  EXPECT_TRUE(clip.accepted) << clip.complaint;
  if (!clip.accepted) return clip;
  EXPECT_FALSE(clip.packets.empty());
  if (!clip.packets.empty()) {
    EXPECT_TRUE(clip.packets.front().key);
  }
  EXPECT_FALSE(clip.pictures.empty());
  for (std::size_t i = 0; i < clip.pictures.size(); ++i) {
    EXPECT_TRUE(clip.pictures[i].code) << "picture " << i << " has no readable code";
    if (i == 0) continue;
    if (clip.pictures[i].code && clip.pictures[i - 1].code) {
      EXPECT_GT(*clip.pictures[i].code, *clip.pictures[i - 1].code) << "picture " << i;
    }
    const double step = std::chrono::duration<double, std::milli>(clip.pictures[i].time -
                                                                  clip.pictures[i - 1].time).count();
    EXPECT_GT(step, 0) << "picture " << i;
    // A busy encoder may drop a picture or two; a pause left in the clip
    // would be seconds.
    EXPECT_LT(step, 250) << "a hole in the clip's time at picture " << i;
  }
  return clip;
}

std::uint64_t first_code(const JudgedClip& clip) { return clip.pictures.front().code.value_or(0); }
std::uint64_t last_code(const JudgedClip& clip) { return clip.pictures.back().code.value_or(0); }

TEST(SimRecorder, SavesTheLastSecondsAsTheClientAsksForThem) {
  Sim sim(scenario(), {"--title", "Game", "--json", "--fps", "30", "--seconds", "5"});
  auto status = sim.event("status");
  ASSERT_TRUE(status) << sim.transcript();
  EXPECT_EQ(status->value("state", ""), "recording");
  EXPECT_EQ(status->value("width", 0), 640);
  EXPECT_EQ(status->value("height", 0), 360);
  EXPECT_EQ(status->value("title", ""), "Game");

  std::this_thread::sleep_until(sim.recording() + 8500ms);
  const double asked_at = sim.now_ms();
  sim.save("first", sim.dir.file("first.mp4"));
  auto saved = sim.event("save");
  ASSERT_TRUE(saved) << sim.transcript();
  EXPECT_EQ(saved->value("id", ""), "first");
  EXPECT_EQ(saved->value("path", ""), sim.dir.file("first.mp4"));
  EXPECT_EQ(saved->value("bytes", 0u), std::filesystem::file_size(sim.dir.file("first.mp4")));
  EXPECT_EQ(saved->at("gaps"), json::array());

  JudgedClip clip = judge_good_clip(sim.dir.file("first.mp4"));
  ASSERT_FALSE(clip.pictures.empty());
  EXPECT_EQ(clip.streams.at(0).size, (Size{640, 360}));
  // The ring keeps whole groups: at least the seconds asked for, at most a
  // group, the ring's one second of slack and the newest picture more.
  const double duration = saved->value("durationSec", 0.0);
  EXPECT_NEAR(duration, clip.duration, 0.1);
  EXPECT_GE(duration, 5.0);
  EXPECT_LE(duration, 5.0 + 1 + kGroupSeconds + 2 * kFrameMs / 1000);
  // The clip ends at the save, within one group (a loaded machine delays the
  // newest pictures), and its codes span its duration.
  EXPECT_LE(static_cast<double>(last_code(clip)), asked_at);
  EXPECT_GE(static_cast<double>(last_code(clip)), asked_at - kGroupSeconds * 1000);
  EXPECT_NEAR(static_cast<double>(last_code(clip) - first_code(clip)), duration * 1000, 2 * kFrameMs);

  sim.process->send(R"({"cmd":"stop"})");
  EXPECT_EQ(sim.process->wait(20s), 0);
}

TEST(SimRecorder, RefusesASaveWhileOneRunsAndBeforeAnyPicture) {
  {
    Sim sim(scenario());
    ASSERT_TRUE(sim.event("status")) << sim.transcript();
    std::this_thread::sleep_for(4s);
    // Both in one write: the second reaches the loop while the first is written.
    sim.process->send(json{{"cmd", "save"}, {"id", "a"}, {"path", sim.dir.file("a.mp4")}}.dump() +
                      "\n" +
                      json{{"cmd", "save"}, {"id", "b"}, {"path", sim.dir.file("b.mp4")}}.dump());
    auto refused = sim.event("saveFailed");
    ASSERT_TRUE(refused) << sim.transcript();
    EXPECT_EQ(*refused, (json{{"event", "saveFailed"},
                              {"id", "b"},
                              {"message", "a clip is already being saved"}}));
    auto saved = sim.event("save");
    ASSERT_TRUE(saved) << sim.transcript();
    EXPECT_EQ(saved->value("id", ""), "a");
    EXPECT_FALSE(std::filesystem::exists(sim.dir.file("b.mp4")));
  }
  {
    // Without an encoder no key frame ever comes.
    Sim sim(scenario(), {"--title", "Game", "--json", "--stage", "convert"});
    ASSERT_TRUE(sim.log("monitor 60 Hz")) << sim.transcript();
    std::this_thread::sleep_for(1s);
    sim.save("early", sim.dir.file("early.mp4"));
    auto refused = sim.event("saveFailed");
    ASSERT_TRUE(refused) << sim.transcript();
    EXPECT_EQ(*refused, (json{{"event", "saveFailed"},
                              {"id", "early"},
                              {"message", "nothing recorded yet"}}));
  }
}

TEST(SimRecorder, AMinimisedWindowIsCutOutOfTheClipAndReportedAsAGap) {
  Sim sim(scenario(R"({"at": 3000, "do": "minimise"}, {"at": 5000, "do": "restore"})"),
          {"--title", "Game", "--json", "--fps", "30", "--seconds", "30"});
  ASSERT_TRUE(sim.log("window minimised: clip paused")) << sim.transcript();
  ASSERT_TRUE(sim.log("window restored: clip goes on")) << sim.transcript();
  std::this_thread::sleep_for(3s);
  sim.save("gap", sim.dir.file("gap.mp4"));
  auto saved = sim.event("save");
  ASSERT_TRUE(saved) << sim.transcript();

  ASSERT_EQ(saved->at("gaps").size(), 1u) << saved->dump();
  const double gap_ms = saved->at("gaps")[0].value("ms", 0.0);
  // Two seconds, and what a loaded machine adds before the first picture
  // after the restore.
  EXPECT_GE(gap_ms, 1800) << saved->dump();
  EXPECT_LE(gap_ms, 3000) << saved->dump();

  JudgedClip clip = judge_good_clip(sim.dir.file("gap.mp4"));
  ASSERT_FALSE(clip.pictures.empty());
  std::vector<std::uint64_t> jumps;
  for (std::size_t i = 1; i < clip.pictures.size(); ++i) {
    const std::uint64_t step = clip.pictures[i].code.value_or(0) - clip.pictures[i - 1].code.value_or(0);
    if (step > 1000) jumps.push_back(step);  // pictures a busy encoder dropped are less
  }
  ASSERT_EQ(jumps.size(), 1u) << testing::PrintToString(jumps);
  // The pictures jump by the pause the event reports, give or take the
  // main loop's 100 ms look at the window and a picture.
  EXPECT_NEAR(static_cast<double>(jumps[0]), gap_ms, 250);
  // The clip lasts as long as its pictures were shown: the codes' span less
  // the pause.
  const double shown_ms = static_cast<double>(last_code(clip) - first_code(clip) - jumps[0]);
  EXPECT_NEAR(saved->value("durationSec", 0.0) * 1000, shown_ms + kFrameMs, 2 * kFrameMs);
  EXPECT_GT(saved->value("durationSec", 0.0), 4.0);
}

TEST(SimRecorder, AResizeRestartsTheCaptureAtTheNewSize) {
  Sim sim(scenario(R"({"at": 3000, "do": "resize", "width": 480, "height": 270})"));
  auto first = sim.event("status");
  ASSERT_TRUE(first) << sim.transcript();
  EXPECT_EQ(first->value("width", 0), 640);
  ASSERT_TRUE(sim.log("the window changed size; restarting the capture")) << sim.transcript();
  ASSERT_TRUE(sim.log("capturing 480x270 (window 482x302, crop +1+31)")) << sim.transcript();
  auto second = sim.event("status");
  ASSERT_TRUE(second) << sim.transcript();
  EXPECT_EQ(second->value("width", 0), 480);
  EXPECT_EQ(second->value("height", 0), 270);

  std::this_thread::sleep_for(3s);
  sim.save("small", sim.dir.file("small.mp4"));
  ASSERT_TRUE(sim.event("save")) << sim.transcript();
  JudgedClip clip = judge_good_clip(sim.dir.file("small.mp4"));
  ASSERT_FALSE(clip.streams.empty());
  EXPECT_EQ(clip.streams[0].size, (Size{480, 270}));
  // Only pictures of the new capture: the ring was emptied at the restart.
  EXPECT_GT(first_code(clip), 3000u);
}

TEST(SimRecorder, ASaveThatCannotBeWrittenFailsAndTheNextOneWorks) {
  Sim sim(scenario());
  ASSERT_TRUE(sim.event("status")) << sim.transcript();
  std::this_thread::sleep_for(3s);

  sim.save("nowhere", sim.dir.file("missing/clip.mp4"));
  auto missing = sim.event("saveFailed");
  ASSERT_TRUE(missing) << sim.transcript();
  EXPECT_EQ(missing->value("id", ""), "nowhere");
  EXPECT_TRUE(missing->value("message", "").ends_with("(0x80070003)")) << missing->dump();
  // The writer prints its event just before it lets the next save begin.
  std::this_thread::sleep_for(300ms);

  const std::string locked = sim.dir.file("locked.mp4");
  std::ofstream(locked) << "not ours";
  ::chmod(locked.c_str(), 0444);
  sim.save("locked", locked);
  auto refused = sim.event("saveFailed");
  ASSERT_TRUE(refused) << sim.transcript();
  EXPECT_TRUE(refused->value("message", "").ends_with("(0x80070005)")) << refused->dump();
  EXPECT_EQ(std::filesystem::file_size(locked), 8u);  // left as it was
  std::this_thread::sleep_for(300ms);

  sim.save("fine", sim.dir.file("fine.mp4"));
  auto saved = sim.event("save");
  ASSERT_TRUE(saved) << sim.transcript();
  EXPECT_EQ(saved->value("id", ""), "fine");
  judge_good_clip(sim.dir.file("fine.mp4"));
}

TEST(SimRecorder, StopDuringASaveStillEndsWithItsEvent) {
  Sim sim(scenario(), {"--title", "Game", "--json", "--fps", "30", "--seconds", "30"});
  ASSERT_TRUE(sim.event("status")) << sim.transcript();
  std::this_thread::sleep_for(5s);
  sim.process->send(json{{"cmd", "save"}, {"id", "last"}, {"path", sim.dir.file("last.mp4")}}.dump() +
                    "\n{\"cmd\":\"stop\"}");
  auto saved = sim.event("save");
  ASSERT_TRUE(saved) << sim.transcript();
  EXPECT_EQ(saved->value("id", ""), "last");
  EXPECT_EQ(sim.process->wait(20s), 0);
  judge_good_clip(sim.dir.file("last.mp4"));
}

// With its standard output closed the session loses its event lines and
// nothing more: a save still reaches its file, and stop ends it cleanly.
TEST(SimRecorder, AClosedOutputLosesTheEventsAndTheSessionRunsOn) {
  Sim sim(scenario());
  ASSERT_TRUE(sim.event("status")) << sim.transcript();
  sim.process->close_output();
  sim.save("last", sim.dir.file("last.mp4"));
  sim.process->send(R"({"cmd":"stop"})");
  EXPECT_EQ(sim.process->wait(20s), 0);
  judge_good_clip(sim.dir.file("last.mp4"));
}

TEST(SimRecorder, TheEndWaitsForASaveOnASlowDisk) {
  Sim sim(scenario());
  ASSERT_TRUE(sim.event("status")) << sim.transcript();
  std::this_thread::sleep_for(3s);
  // A pipe stands for a disk that takes its time: the writer cannot open
  // the clip until someone reads the other end.
  const std::string slow = sim.dir.file("slow.mp4");
  ASSERT_EQ(::mkfifo(slow.c_str(), 0644), 0);
  sim.process->send(json{{"cmd", "save"}, {"id", "slow"}, {"path", slow}}.dump() +
                    "\n{\"cmd\":\"stop\"}");
  EXPECT_FALSE(sim.event("save", 1500ms)) << "the save cannot have ended yet";
  // The reading end stays open, so every open of the writer goes through.
  std::atomic<bool> read_on{true};
  std::thread reader([&] {
    const int fd = ::open(slow.c_str(), O_RDONLY | O_NONBLOCK);
    char buffer[65536];
    while (fd >= 0 && read_on.load())
      if (::read(fd, buffer, sizeof buffer) <= 0) std::this_thread::sleep_for(5ms);
    if (fd >= 0) ::close(fd);
  });
  // Whatever the pipe makes of the clip, its event comes before the end.
  std::optional<json> outcome;
  while (!outcome) {
    auto line = sim.process->next_line(20s);
    if (!line) break;
    sim.lines.push_back(*line);
    json e = json::parse(*line, nullptr, false);
    if (!e.is_discarded() && e.value("id", "") == "slow") outcome = e;
  }
  read_on.store(false);
  reader.join();
  ASSERT_TRUE(outcome) << sim.transcript();
  EXPECT_TRUE(outcome->value("event", "") == "save" || outcome->value("event", "") == "saveFailed")
      << outcome->dump();
  EXPECT_EQ(sim.process->wait(20s), 0);
}

TEST(SimRecorder, TheSessionEndsAsTheWindowAndTheCommandLineSay) {
  {
    // A window that comes late, minimised, is found by its process, waited
    // for, then recorded until it closes.
    Sim sim(R"({"window": {"pid": 777, "width": 640, "height": 360, "appear": 700}, "fps": 30,
               "events": [{"at": 700, "do": "minimise"}, {"at": 2000, "do": "restore"},
                          {"at": 4500, "do": "close"}]})",
            {"--pid", "777", "--json", "--fps", "30"});
    auto waiting = sim.event("waiting");
    ASSERT_TRUE(waiting) << sim.transcript();
    EXPECT_EQ(waiting->value("reason", ""), "the game window is minimised or too small to record");
    ASSERT_TRUE(sim.event("status")) << sim.transcript();
    auto ended = sim.event("ended");
    ASSERT_TRUE(ended) << sim.transcript();
    EXPECT_EQ(*ended, (json{{"event", "ended"}, {"reason", "the game window closed"}}));
    EXPECT_EQ(sim.process->wait(20s), 0);
  }
  {
    // --duration: no stdin, a statistics line a second, then the total.
    TempFolder dir("orvelle-sim-");
    std::ofstream(dir.file("scenario.json")) << scenario();
    const auto began = Clock::now();
    e2e::Outcome o = e2e::run_process({ORVELLE_CLIPS_SIM, "--scenario", dir.file("scenario.json"),
                                       "--title", "Game", "--duration", "2"},
                                      "", 30s);
    const double took = std::chrono::duration<double>(Clock::now() - began).count();
    EXPECT_EQ(o.exit_code, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_GE(took, 2.0);
    EXPECT_LT(took, 6.0);
    EXPECT_TRUE(std::regex_search(o.err, std::regex(R"(\n\[   1s\] captured +\d+ paced-out)")))
        << o.err;
    EXPECT_TRUE(std::regex_search(o.err, std::regex(R"(\ntotal 2\.\d s: captured \d+ sent \d+ packets \d+ \(\d+\.\d fps\) .* busy-drop \d+\n$)")))
        << o.err;
  }
  {
    // No game window at all: the search gives up after a minute, which is
    // too long to wait for here; a bad scenario is refused at once instead.
    TempFolder dir("orvelle-sim-");
    std::ofstream(dir.file("scenario.json")) << R"({"fps": "fast"})";
    e2e::Outcome o = e2e::run_process(
        {ORVELLE_CLIPS_SIM, "--scenario", dir.file("scenario.json"), "--title", "Game", "--json"}, "",
        10s);
    EXPECT_EQ(o.exit_code, 2);
    EXPECT_TRUE(o.err.starts_with("scenario: ")) << o.err;
  }
}

}  // namespace
}  // namespace orvelle::clips::sim
