// The simulation's sound heard end to end: the game beeps for 100 ms at each
// whole second of capture time and every microphone hums at 440 Hz, so the
// clips' sound tracks are judged by what they carry and when.

#include "sim/tests/judge.h"
#include "sim/tests/sim_run.h"
#include "support/mp4_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <thread>

namespace orvelle::clips::sim {
namespace {

constexpr Ticks kMs = kTicksPerMillisecond;

std::string sound_scenario(const std::string& sound, const std::string& mics, const std::string& events = "") {
  return "{" + std::string(kGame) + ", \"sound\": " + sound + ", \"mics\": [" + mics + "], \"events\": [" +
         events + "]}";
}
constexpr const char* kStereo = R"({"rate": 48000, "channels": 2, "kind": "f32"})";
constexpr const char* kDeskMic =
    R"({"id": "mic-1", "name": "Desk microphone", "rate": 44100, "channels": 1, "kind": "i16", "default": true})";

std::vector<std::string> recorder(std::initializer_list<const char*> extra) {
  std::vector<std::string> args = {"--title", "Game", "--json", "--fps", "30", "--seconds", "20"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

// Records for span from the first "status", then saves and stops.
std::string record_for(Sim& sim, std::chrono::milliseconds span) {
  std::this_thread::sleep_until(sim.recording() + span);
  const std::string path = sim.dir.file("clip.mp4");
  sim.save("s", path);
  auto saved = sim.event("save");
  EXPECT_TRUE(saved) << sim.transcript();
  sim.process->send(R"({"cmd":"stop"})");
  return path;
}

std::size_t sample_at(const JudgedSound& s, Ticks t) {
  for (std::size_t i = 0; i < s.frame_times.size(); ++i) {
    const Ticks end = s.frame_times[i] + Ticks{static_cast<std::int64_t>(
                                             (i + 1 < s.frame_at.size() ? s.frame_at[i + 1] : s.samples.size()) -
                                             s.frame_at[i]) * 10'000'000 / s.rate};
    if (t < end) return s.frame_at[i] + static_cast<std::size_t>(std::max<std::int64_t>(0, (t - s.frame_times[i]).count()) * s.rate / 10'000'000);
  }
  return s.samples.size();
}

// The amplitude of the sine at hz over length from clip time t.
double level(const JudgedSound& s, Ticks t, Ticks length, double hz) {
  const std::size_t from = sample_at(s, t);
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(length.count() * s.rate / 10'000'000),
                                       s.samples.size() - std::min(from, s.samples.size()));
  if (n == 0) return 0;
  double re = 0, im = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double phase = 2 * std::numbers::pi * hz * double(i) / s.rate;
    re += s.samples[from + i] * std::cos(phase);
    im += s.samples[from + i] * std::sin(phase);
  }
  return 2 * std::hypot(re, im) / double(n);
}

// Whether the track still holds sound length after t: the save may have
// cut it just after a beep began.
bool holds(const JudgedSound& s, Ticks t, Ticks length) {
  return !s.samples.empty() && t + length <= s.time_of(s.samples.size() - 1);
}

// A tone at its loudest over 100 ms windows from from to to: a starved
// machine may leave the microphone's "ran dry" gaps anywhere, while the
// level of the tone where it is mixed is the program's.
double loudest_tone(const JudgedSound& s, Ticks from, Ticks to, double hz) {
  double top = 0;
  for (Ticks t = from; t + 100 * kMs <= to && holds(s, t, 100 * kMs); t += 50 * kMs)
    top = std::max(top, level(s, t, 100 * kMs, hz));
  return top;
}

// From one second into the track, after the microphone's start.
double loudest_tone(const JudgedSound& s, double hz) {
  if (s.frame_times.empty()) return 0;
  return loudest_tone(s, s.frame_times.front() + 1000 * kMs, Ticks::max() / 2, hz);
}

// The capture second a beep sounds for: the code of the picture nearest its
// onset, to the second.
std::optional<std::uint64_t> second_of(const JudgedClip& clip, Ticks beep) {
  const JudgedPicture* nearest = nullptr;
  for (const JudgedPicture& p : clip.pictures)
    if (p.code && (!nearest || std::llabs((p.time - beep).count()) < std::llabs((nearest->time - beep).count())))
      nearest = &p;
  if (!nearest) return std::nullopt;
  return (*nearest->code + 500) / 1000;
}

// Clip times where the sound rises above a quarter of the beep after at
// least 300 ms of quiet.
std::vector<Ticks> onsets(const JudgedSound& s) {
  std::vector<Ticks> out;
  std::size_t quiet = 0;
  for (std::size_t i = 0; i < s.samples.size(); ++i) {
    if (std::fabs(s.samples[i]) < 0.125f) {
      ++quiet;
      continue;
    }
    if (quiet >= s.rate * 3 / 10) out.push_back(s.time_of(i));
    quiet = 0;
  }
  return out;
}

std::vector<fixture::TrackHeader> headers(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return fixture::track_headers(fixture::Bytes(std::istreambuf_iterator<char>(in), {}));
}

TEST(SimSound, AudioAndMicMakeTheMixAndTheGameSoundAsTwoMarkedTracks) {
  Sim sim(sound_scenario(kStereo, kDeskMic,
                         R"({"at": 4000, "do": "mic", "id": "mic-1", "state": "missing"},
                            {"at": 6000, "do": "mic", "id": "mic-1", "state": "on"})"),
          recorder({"--audio", "--mic"}));
  auto status = sim.event("status");
  ASSERT_TRUE(status) << sim.transcript();
  EXPECT_EQ(status->value("audio", ""), "aac");
  EXPECT_TRUE(status->value("gameTrack", false));
  EXPECT_EQ(status->value("mic", ""), "on");
  auto missing = sim.event("mic");
  ASSERT_TRUE(missing) << sim.transcript();
  EXPECT_EQ(missing->value("state", ""), "missing");
  auto back = sim.event("mic", 6s);
  ASSERT_TRUE(back) << sim.transcript();
  EXPECT_EQ(back->value("state", ""), "on");
  const std::string path = record_for(sim, 9s);

  const JudgedClip clip = judge_clip(path);
  ASSERT_TRUE(clip.accepted) << clip.complaint;
  ASSERT_EQ(clip.streams.size(), 3u);
  EXPECT_EQ(clip.streams[1].codec, "aac");
  EXPECT_EQ(clip.streams[2].codec, "aac");
  EXPECT_EQ(clip.streams[1].sample_rate, 48000u);
  EXPECT_TRUE(clip.streams[1].enabled);
  EXPECT_FALSE(clip.streams[2].enabled);
  for (const auto& h : headers(path)) {
    if (h.sound) {
      EXPECT_EQ(h.group, 1);
    }
  }

  const JudgedSound mix = judge_sound(path, 0), game = judge_sound(path, 1);
  ASSERT_TRUE(mix.accepted && game.accepted);
  const auto beeps = onsets(game);
  ASSERT_GE(beeps.size(), 7u);
  double hum_before_missing = 0, hum_while_missing = -1;
  for (Ticks beep : beeps) {
    if (!holds(game, beep, 800 * kMs)) continue;
    EXPECT_NEAR(level(game, beep + 20 * kMs, 60 * kMs, 1000), 0.5, 0.1);
    EXPECT_NEAR(level(mix, beep + 20 * kMs, 60 * kMs, 1000), 0.5, 0.1);
    EXPECT_LT(level(game, beep + 300 * kMs, 500 * kMs, 440), 0.01);
    // The microphone hums in the mix while it is there, and not while it
    // is missing (from 4 s to 6 s of capture time).
    const auto second = second_of(clip, beep);
    if (second && *second >= 1 && *second <= 3)
      hum_before_missing =
          std::max(hum_before_missing, loudest_tone(mix, beep + 300 * kMs, beep + 800 * kMs, 440));
    if (second == 5u) hum_while_missing = level(mix, beep + 300 * kMs, 500 * kMs, 440);
  }
  EXPECT_NEAR(hum_before_missing, 0.25, 0.05);
  ASSERT_GE(hum_while_missing, 0) << "no beep of the fifth second";
  EXPECT_LT(hum_while_missing, 0.01);
}

// The pictures show their capture time; a beep starts at each whole second
// of it, so the picture showing that second and the beep's onset must meet,
// also after the minimised time is cut out of the clip.
TEST(SimSound, EachBeepStartsWithThePictureOfItsSecond) {
  Sim sim(sound_scenario(kStereo, "", R"({"at": 3500, "do": "minimise"}, {"at": 5200, "do": "restore"})"),
          recorder({"--audio"}));
  const std::string path = record_for(sim, 9s);
  const JudgedClip clip = judge_clip(path);
  ASSERT_TRUE(clip.accepted) << clip.complaint;
  // One sound track, enabled: there is nothing to mark.
  ASSERT_EQ(clip.streams.size(), 2u);
  EXPECT_TRUE(clip.streams[1].enabled);

  const JudgedSound sound = judge_sound(path, 0);
  ASSERT_TRUE(sound.accepted);
  int met = 0, after_gap = 0;
  for (Ticks beep : onsets(sound)) {
    // The picture showing the beep's second. A starved machine may have
    // dropped it from the clip: that beep has nothing to meet.
    const auto second = second_of(clip, beep);
    ASSERT_TRUE(second);
    const JudgedPicture* picture = nullptr;
    for (const JudgedPicture& p : clip.pictures)
      if (p.code == *second * 1000) picture = &p;
    if (!picture) continue;
    const double off_ms = std::chrono::duration<double, std::milli>(beep - picture->time).count();
    EXPECT_LE(std::fabs(off_ms), kFrameMs) << "the beep of second " << *picture->code / 1000 << " is "
                                           << off_ms << " ms off its picture";
    ++met;
    after_gap += *picture->code >= 6000;
  }
  EXPECT_GE(met, 6);
  EXPECT_GE(after_gap, 2);
}

TEST(SimSound, MicAloneIsTheToneOverSilenceOnOneTrack) {
  Sim sim(sound_scenario(kStereo, kDeskMic, R"({"at": 3000, "do": "mic", "id": "mic-1", "state": "blocked"})"),
          recorder({"--mic"}));
  auto status = sim.event("status");
  ASSERT_TRUE(status) << sim.transcript();
  EXPECT_EQ(status->value("audio", ""), "aac");
  EXPECT_FALSE(status->value("gameTrack", true));
  EXPECT_EQ(status->value("mic", ""), "on");
  auto blocked = sim.event("mic");
  ASSERT_TRUE(blocked) << sim.transcript();
  EXPECT_EQ(blocked->value("state", ""), "blocked");
  const std::string path = record_for(sim, 3500ms);
  const JudgedClip clip = judge_clip(path);
  ASSERT_TRUE(clip.accepted) << clip.complaint;
  ASSERT_EQ(clip.streams.size(), 2u);
  const JudgedSound sound = judge_sound(path, 0);
  ASSERT_TRUE(sound.accepted);
  const Ticks early = sound.frame_times[sound.frame_times.size() / 4];
  EXPECT_NEAR(loudest_tone(sound, early, early + 500 * kMs, 440), 0.25, 0.05);
  // The game's beeps are not recorded: no 1 kHz anywhere.
  for (Ticks t = sound.frame_times.front(); t + 100 * kMs < sound.frame_times.back(); t += 50 * kMs)
    EXPECT_LT(level(sound, t, 50 * kMs, 1000), 0.02);
}

// Each microphone the system converts is mixed at the game's rate; a
// playback device the recorder cannot read gives a clip of pictures alone.
TEST(SimSound, MicrophonesOfOtherFormatsAreMixedAndUnreadablePlaybackIsLeftOut) {
  const char* mics[] = {R"({"id": "m", "rate": 44100, "channels": 1, "kind": "f32", "default": true})",
                        R"({"id": "m", "rate": 48000, "channels": 6, "kind": "f32", "default": true})",
                        R"({"id": "m", "rate": 48000, "channels": 2, "kind": "i32", "default": true})"};
  const struct {
    const char* sound;
    const char* line;
  } refused[] = {{R"({"rate": 96000, "channels": 2, "kind": "f32"})", "no sound: AAC wants 44.1 or 48 kHz (0x88890008)"},
                 {R"({"rate": 48000, "channels": 2, "kind": "i24"})", "no sound: mix format (0x88890008)"},
                 {"null", "no sound: no playback device (0x80070490)"}};
  std::vector<std::unique_ptr<Sim>> mixed, silent;
  for (const char* m : mics) mixed.push_back(std::make_unique<Sim>(sound_scenario(kStereo, m), recorder({"--audio", "--mic"})));
  for (const auto& r : refused) silent.push_back(std::make_unique<Sim>(sound_scenario(r.sound, ""), recorder({"--audio"})));

  for (std::size_t i = 0; i < mixed.size(); ++i) {
    SCOPED_TRACE(mics[i]);
    const std::string path = record_for(*mixed[i], 3500ms);
    const JudgedSound sound = judge_sound(path, 0);
    ASSERT_TRUE(sound.accepted);
    EXPECT_EQ(sound.rate, 48000u);
    EXPECT_NEAR(loudest_tone(sound, 440), 0.25, 0.05);
  }
  for (std::size_t i = 0; i < silent.size(); ++i) {
    SCOPED_TRACE(refused[i].sound);
    EXPECT_TRUE(silent[i]->log(refused[i].line)) << silent[i]->transcript();
    auto status = silent[i]->event("status");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->value("audio", "?"), "");
    const JudgedClip clip = judge_clip(record_for(*silent[i], 3500ms));
    ASSERT_TRUE(clip.accepted) << clip.complaint;
    EXPECT_EQ(clip.streams.size(), 1u);
  }
}

// The capture time that clip time t shows, read from the first picture's
// code (the clip has no pause).
double capture_ms(const JudgedClip& clip, Ticks t) {
  const JudgedPicture& first = clip.pictures.front();
  return static_cast<double>(*first.code) + std::chrono::duration<double, std::milli>(t - first.time).count();
}

// The playback device unplugged at 3 s of a 5 s ring: the clip saved at 6 s
// keeps both sound tracks up to the loss; the one saved at 12 s, when the
// ring has rolled past the last sound packet, is whole video without sound
// tracks, and says so.
TEST(SimSound, ALostPlaybackDeviceKeepsItsSoundAndLeavesLaterClipsWhole) {
  Sim sim(sound_scenario(kStereo, kDeskMic, R"({"at": 3000, "do": "sound", "state": "lost"})"),
          {"--title", "Game", "--json", "--fps", "30", "--seconds", "5", "--audio", "--mic"});
  auto status = sim.event("status");
  ASSERT_TRUE(status) << sim.transcript();
  ASSERT_TRUE(status->value("gameTrack", false)) << sim.transcript();
  ASSERT_TRUE(sim.log("sound stopped: the playback device is gone (0x88890004)", 30s)) << sim.transcript();

  const std::string early = sim.dir.file("early.mp4"), late = sim.dir.file("late.mp4");
  std::this_thread::sleep_until(sim.started + 6s);
  sim.save("early", early);
  auto first = sim.event("save", 60s);
  ASSERT_TRUE(first) << sim.transcript();
  std::this_thread::sleep_until(sim.started + 12s);
  sim.save("late", late);
  auto second = sim.event("save", 60s);
  ASSERT_TRUE(second) << sim.transcript();
  sim.process->send(R"({"cmd":"stop"})");
  EXPECT_EQ(sim.process->wait(30s), 0) << sim.transcript();
  std::size_t stopped = 0;
  for (const auto& line : sim.lines) stopped += line.find("sound stopped") != std::string::npos;
  EXPECT_EQ(stopped, 1u) << sim.transcript();

  EXPECT_TRUE(first->value("audio", false));
  EXPECT_TRUE(first->value("gameTrack", false));
  const JudgedClip with_sound = judge_clip(early);
  ASSERT_TRUE(with_sound.accepted) << with_sound.complaint;
  ASSERT_EQ(with_sound.streams.size(), 3u);
  EXPECT_FALSE(with_sound.streams[2].enabled) << "both sound tracks: the game track is marked";
  ASSERT_FALSE(with_sound.pictures.empty());
  ASSERT_TRUE(with_sound.pictures.front().code);
  // The pictures go on past the loss.
  EXPECT_GT(capture_ms(with_sound, Ticks{static_cast<std::int64_t>(with_sound.duration * 1e7)}), 5000);
  for (std::size_t track : {0u, 1u}) {
    SCOPED_TRACE(track);
    const JudgedSound sound = judge_sound(early, track);
    ASSERT_TRUE(sound.accepted);
    ASSERT_FALSE(sound.samples.empty());
    // The sound runs until the device went (less the last packets a busy
    // machine leaves unread and the last block that never fills).
    const double end = capture_ms(with_sound, sound.time_of(sound.samples.size()));
    EXPECT_GT(end, 2600);
    EXPECT_LT(end, 3100);
  }
  // The game track's last beep is the one of second 2, on its picture.
  const auto beeps = onsets(judge_sound(early, 1));
  ASSERT_FALSE(beeps.empty());
  EXPECT_NEAR(capture_ms(with_sound, beeps.back()), 2000, kFrameMs + 5);

  EXPECT_FALSE(second->value("audio", true)) << *second;
  EXPECT_FALSE(second->value("gameTrack", true)) << *second;
  const JudgedClip pictures_alone = judge_clip(late);
  ASSERT_TRUE(pictures_alone.accepted) << pictures_alone.complaint;
  ASSERT_EQ(pictures_alone.streams.size(), 1u);
  EXPECT_EQ(pictures_alone.streams[0].codec, "h264");
  EXPECT_NEAR(pictures_alone.duration, second->value("durationSec", 0.0), 0.1);
  // A 5 s ring keeps at least 6 s of whole groups, every picture readable.
  EXPECT_GE(pictures_alone.duration, 5.9);
  ASSERT_FALSE(pictures_alone.pictures.empty());
  for (const JudgedPicture& p : pictures_alone.pictures) EXPECT_TRUE(p.code);
  EXPECT_GT(capture_ms(pictures_alone, Ticks{0}), 3000);
}

TEST(SimSound, ListsTheScenariosMicrophonesInOrder) {
  const struct {
    std::string mics;
    std::string line;
  } cases[] = {
      {R"({"id": "b", "name": "Headset"}, {"id": "a", "name": "Desk microphone", "default": true}, {"id": "c"})",
       R"({"default":"a","mics":[{"id":"b","name":"Headset"},{"id":"a","name":"Desk microphone"},{"id":"c","name":"c"}]})"},
      {"", R"({"default":null,"mics":[]})"},
  };
  for (const auto& c : cases) {
    for (bool json_too : {false, true}) {
      std::vector<std::string> args = {"--list-mics"};
      if (json_too) args.push_back("--json");
      Sim sim(sound_scenario(kStereo, c.mics), args);
      auto line = sim.process->next_line(10s);
      ASSERT_TRUE(line);
      EXPECT_EQ(*line, c.line);
      EXPECT_EQ(sim.process->wait(10s), 0);
    }
  }
}

}  // namespace
}  // namespace orvelle::clips::sim
