// The clip writer's plan against a muxer and a file system of our own: what
// goes into the file, in which order and with which times, what becomes of
// the file afterwards, and the one event each save ends with.

#include "mp4/clip_writer.h"

#include "support/captured_lines.h"
#include "support/mp4_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace orvelle::clips {
namespace {

using fixture::Bytes;
constexpr Ticks kMs = kTicksPerMillisecond;
constexpr Ticks kSecond = kTicksPerSecond;
const WinError kDenied{0x80070005u, "access is denied"};
constexpr Ticks operator""_t(unsigned long long n) { return Ticks{static_cast<std::int64_t>(n)}; }

struct NamedSound : SoundTrackType {
  explicit NamedSound(std::string n) : name(std::move(n)) {}
  std::string name;
};

class MemoryFile final : public RandomAccessFile {
 public:
  explicit MemoryFile(Bytes& bytes) : bytes_(bytes) {}
  Result<std::uint64_t> size() override { return bytes_.size(); }
  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (offset + out.size() > bytes_.size()) return error(fail("past the end"));
    std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return {};
  }
  Status write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (offset + data.size() > bytes_.size()) bytes_.resize(offset + data.size());
    std::memcpy(bytes_.data() + offset, data.data(), data.size());
    return {};
  }

 private:
  Bytes& bytes_;
};

struct FakeFiles final : ClipFiles {
  struct File {
    Bytes bytes;
    bool read_only = false;
  };
  std::map<std::string, File, std::less<>> files;
  int failing_moves = 0;  // the next this many moves fail
  bool size_fails = false;
  std::vector<std::string> removed;

  bool exists(std::string_view path) override { return files.contains(path); }
  Result<std::uint64_t> size(std::string_view path) override {
    auto it = files.find(path);
    if (size_fails || it == files.end()) return error(kDenied);
    return it->second.bytes.size();
  }
  Status move_replacing(std::string_view from, std::string_view to) override {
    if (failing_moves > 0) {
      --failing_moves;
      return error(WinError{0x80070020u, "the file is in use"});
    }
    auto node = files.extract(std::string(from));
    if (node.empty()) return error(kDenied);
    files.insert_or_assign(std::string(to), std::move(node.mapped()));
    return {};
  }
  Status remove_own(std::string_view path) override {
    removed.emplace_back(path);
    files.erase(files.find(path));
    return {};
  }
  Result<std::unique_ptr<RandomAccessFile>> open_for_update(std::string_view path) override {
    auto it = files.find(path);
    if (it == files.end()) return error(kDenied);
    return std::unique_ptr<RandomAccessFile>(std::make_unique<MemoryFile>(it->second.bytes));
  }
};

struct Sample {
  std::uint32_t stream;
  Ticks time, duration;
  bool key;
  bool operator==(const Sample&) const = default;
};

// Records every call; fail_at names the one call that fails ("open",
// "video", "sound", "begin", "write N" for the Nth sample, "finalize").
struct FakePlatform final : ClipPlatform {
  FakeFiles fs;
  std::string fail_at;
  bool failed_open_leaves_file = false;
  Bytes finished = fixture::clip({fixture::trak("vide", fixture::tkhd(0, true, 0)),
                                  fixture::trak("soun", fixture::tkhd(0, true, 0)),
                                  fixture::trak("soun", fixture::tkhd(0, true, 0))});
  std::vector<std::string> calls;
  std::vector<Sample> samples;
  std::vector<const std::uint8_t*> sample_bytes;
  std::vector<Ticks> sleeps;

  struct Mux final : Muxer {
    FakePlatform& p;
    std::string path;
    std::uint32_t streams = 0;
    Mux(FakePlatform& platform, std::string_view where) : p(platform), path(where) {}
    Status step(const std::string& call) {
      p.calls.push_back(call);
      if (p.fail_at == call) return error(kDenied);
      return {};
    }
    Result<std::uint32_t> add_video_stream(const VideoTrackFormat& f) override {
      if (auto s = step("video"); !s) return error(s.error());
      p.calls.back() += " " + std::to_string(f.width) + "x" + std::to_string(f.height) + "@" +
                        std::to_string(f.fps) + " " + std::to_string(f.bitrate) + " header " +
                        std::to_string(f.sequence_header.size());
      return streams++;
    }
    Result<std::uint32_t> add_sound_stream(const SoundTrackType& type) override {
      if (auto s = step("sound"); !s) return error(s.error());
      p.calls.back() += " " + dynamic_cast<const NamedSound&>(type).name;
      return streams++;
    }
    Status begin() override { return step("begin"); }
    Status write_sample(std::uint32_t stream, const Packet& s) override {
      if (p.fail_at == "write " + std::to_string(p.samples.size() + 1)) return error(kDenied);
      p.samples.push_back({stream, s.time, s.duration, s.key});
      p.sample_bytes.push_back(s.data.get());
      return {};
    }
    Status finalize() override {
      if (auto s = step("finalize"); !s) return s;
      p.fs.files[path].bytes = p.finished;
      return {};
    }
  };

  Result<std::unique_ptr<Muxer>> open_muxer(std::string_view path) override {
    calls.push_back("open " + std::string(path));
    auto it = fs.files.find(path);
    if (fail_at == "open" || (it != fs.files.end() && it->second.read_only)) {
      if (failed_open_leaves_file) fs.files[std::string(path)];
      return error(kDenied);
    }
    fs.files[std::string(path)] = {};
    return std::unique_ptr<Muxer>(std::make_unique<Mux>(*this, path));
  }
  ClipFiles& files() override { return fs; }
  void sleep_for(Ticks wait) override { sleeps.push_back(wait); }
};

Packet packet(Ticks time, Ticks duration, bool key = true) {
  static const Bytes bytes(64, 0x5A);
  return {share_bytes(bytes), bytes.size(), time, duration, key};
}

std::shared_ptr<const Gop> group(std::vector<Packet> video, std::vector<Packet> audio = {},
                                 std::vector<Packet> game = {}) {
  return std::make_shared<const Gop>(Gop{std::move(video), std::move(audio), std::move(game)});
}

// A job for path /clips/a.mp4 with two sound tracks.
SaveJob job(std::vector<std::shared_ptr<const Gop>> groups, bool json = true) {
  SaveJob j;
  j.path = "/clips/a.mp4";
  j.sequence_header = Bytes(16, 1);
  j.width = 1280;
  j.height = 720;
  j.fps = 60;
  j.bitrate = 4'444'444;
  j.groups = std::move(groups);
  j.gaps = {{1'700'000'000'123, 2000}};
  j.id = "a1";
  j.start_wall_ms = 1'700'000'000'000;
  j.output = std::make_shared<const OutputSettings>(OutputSettings{json});
  j.saving_flag = std::make_shared<std::atomic<bool>>(true);
  j.mix_sound = std::make_shared<NamedSound>("mix");
  j.game_sound = std::make_shared<NamedSound>("game");
  return j;
}

std::vector<std::shared_ptr<const Gop>> one_group() {
  return {group({packet(kSecond, kSecond / 60), packet(kSecond + kSecond / 60, kSecond / 60, false)},
                {packet(kSecond, 0_t)}, {packet(kSecond, 0_t)})};
}

class ClipWriter : public testing::Test {
 protected:
  void write(SaveJob j) {
    flag = j.saving_flag;
    write_clip(std::move(j), platform);
    EXPECT_FALSE(flag->load()) << "the saving flag is cleared whatever happened";
  }
  CapturedLines lines;
  FakePlatform platform;
  SavingFlag flag;
};

TEST_F(ClipWriter, PutsPicturesAndSoundOnTheClipsTimeline) {
  const Ticks base = 10 * kSecond;
  // The oldest group holds only sound: all of it lies before the first picture.
  auto sound_only = group({}, {packet(base - 500 * kMs, 213'333_t)}, {packet(base - kMs, 213'333_t)});
  auto first = group({packet(base, 0_t), packet(base + 166'667_t, 166'667_t, false)},
                     {packet(base, 213'333_t), packet(base, 213'333_t), packet(base + 20 * kMs, -5_t)},
                     {packet(base, 213'333_t)});
  // A sound packet older than the last one written (from before a pause) is
  // dropped; one after the last picture goes in without lengthening the clip.
  auto last = group({packet(base + 19'666'667_t, 333'333_t)},
                    {packet(base + 10 * kMs, 213'333_t), packet(base + 2 * kSecond, 213'333_t),
                     packet(base + 3 * kSecond, 213'333_t)});
  SaveJob j = job({sound_only, first, last});
  const std::uint8_t* first_picture = first->video[0].data.get();
  write(std::move(j));

  EXPECT_EQ(platform.calls, (std::vector<std::string>{"open /clips/a.mp4",
                                                      "video 1280x720@60 4444444 header 16",
                                                      "sound mix", "sound game", "begin",
                                                      "finalize"}));
  const std::vector<Sample> expected = {
      {0, Ticks{0}, Ticks{166'666}, true},  // no duration: one frame at 60 fps
      {0, Ticks{166'667}, Ticks{166'667}, false},
      {1, Ticks{0}, Ticks{213'333}, true},
      {1, 20 * kMs, Ticks{0}, true},  // a negative duration becomes 0; sound is always a clean point
      {2, Ticks{0}, Ticks{213'333}, true},
      {0, Ticks{19'666'667}, Ticks{333'333}, true},
      {1, 2 * kSecond, Ticks{213'333}, true},
      {1, 3 * kSecond, Ticks{213'333}, true},
  };
  EXPECT_EQ(platform.samples, expected);
  EXPECT_EQ(platform.sample_bytes[0], first_picture) << "samples share the ring's bytes";

  const auto& file = platform.fs.files.at("/clips/a.mp4").bytes;
  EXPECT_EQ(file, fixture::marked(platform.finished)) << "two sound tracks: the game track is marked";
  EXPECT_EQ(lines.out(),
            R"({"audio":true,"bytes":)" + std::to_string(file.size()) +
                R"(,"durationSec":2.0,"event":"save","gameTrack":true,)"
                R"("gaps":[{"at":1700000000123,"ms":2000}],"id":"a1","path":"/clips/a.mp4",)"
                R"("startWall":1700000000000})" "\n");
  EXPECT_EQ(lines.err(), "");
}

// A track is declared when it was recorded and the snapshot holds one of its
// packets from the first picture on; the event says what the file holds.
TEST_F(ClipWriter, DeclaresTheSoundTracksThatHaveSound) {
  const Packet early = packet(kSecond / 2, 213'333_t), in_clip = packet(kSecond, 213'333_t);
  struct Case {
    const char* name;
    bool mix, game;
    std::vector<Packet> mix_packets, game_packets;
    std::vector<std::string> streams;
    bool audio, game_track;
  } cases[] = {
      {"both", true, true, {in_clip}, {in_clip}, {"sound mix", "sound game"}, true, true},
      {"mix only", true, false, {in_clip}, {}, {"sound mix"}, true, false},
      {"none", false, false, {in_clip}, {in_clip}, {}, false, false},
      // A game track exists only beside the mix.
      {"game only", false, true, {in_clip}, {in_clip}, {}, false, false},
      // The sound device was lost and the ring rolled past its last packet.
      {"both recorded, no packets", true, true, {}, {}, {}, false, false},
      {"both recorded, only before the first picture", true, true, {early}, {early}, {}, false, false},
      {"both recorded, no game packets", true, true, {in_clip}, {early}, {"sound mix"}, true, false},
      {"both recorded, no mix packets", true, true, {early}, {in_clip}, {}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform = FakePlatform{};
    lines.clear();
    // Sound stops in the first group; the second has pictures alone.
    SaveJob j = job({group({packet(kSecond, kSecond / 60)}, c.mix_packets, c.game_packets),
                     group({packet(2 * kSecond, kSecond / 60)})});
    if (!c.mix) j.mix_sound.reset();
    if (!c.game) j.game_sound.reset();
    write(std::move(j));
    std::vector<std::string> sounds;
    for (const auto& call : platform.calls)
      if (call.starts_with("sound")) sounds.push_back(call);
    EXPECT_EQ(sounds, c.streams);
    std::size_t sound_samples = 0;
    for (const Sample& sample : platform.samples) sound_samples += sample.stream > 0;
    EXPECT_EQ(sound_samples, c.streams.size()) << "the sound before the loss is kept";
    const bool marked = platform.fs.files.at("/clips/a.mp4").bytes != platform.finished;
    EXPECT_EQ(marked, c.game_track);
    EXPECT_NE(lines.out().find(c.audio ? R"("audio":true)" : R"("audio":false)"), std::string::npos)
        << lines.out();
    EXPECT_NE(lines.out().find(c.game_track ? R"("gameTrack":true)" : R"("gameTrack":false)"),
              std::string::npos)
        << lines.out();
  }
}

TEST_F(ClipWriter, AFailedSaveDeletesOnlyAFileItWroteItself) {
  struct Case {
    const char* name;
    std::string fail_at;
    bool existing_read_only = false;
    bool failed_open_leaves_file = false;
    bool no_video = false;
    bool deleted;
    std::string message;
  } cases[] = {
      // Nothing was opened: a file someone else keeps at the path stays.
      {"no video", "", true, false, true, false, "no video (0xC00D36C8)"},
      {"locked or read-only file", "", true, false, false, false, "access is denied (0x80070005)"},
      {"open failed, nothing there", "open", false, false, false, false,
       "access is denied (0x80070005)"},
      {"open failed, left a file", "open", false, true, false, true,
       "access is denied (0x80070005)"},
      {"video stream", "video", false, false, false, true, "access is denied (0x80070005)"},
      {"sound stream", "sound", false, false, false, true, "access is denied (0x80070005)"},
      {"begin", "begin", false, false, false, true, "access is denied (0x80070005)"},
      {"a sample", "write 3", false, false, false, true, "access is denied (0x80070005)"},
      {"finalize (disk full)", "finalize", false, false, false, true,
       "access is denied (0x80070005)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform = FakePlatform{};
    lines.clear();
    platform.fail_at = c.fail_at;
    platform.failed_open_leaves_file = c.failed_open_leaves_file;
    if (c.existing_read_only) platform.fs.files["/clips/a.mp4"] = {Bytes{1, 2, 3}, true};
    auto groups = one_group();
    if (c.no_video) groups = {group({}, {packet(kSecond, 213'333_t)})};
    write(job(groups, false));

    EXPECT_EQ(platform.fs.removed.size(), c.deleted ? 1u : 0u);
    if (c.existing_read_only) {
      ASSERT_TRUE(platform.fs.files.contains("/clips/a.mp4"));
      EXPECT_EQ(platform.fs.files["/clips/a.mp4"].bytes, (Bytes{1, 2, 3}));
      EXPECT_TRUE(platform.fs.files["/clips/a.mp4"].read_only);
    } else {
      EXPECT_FALSE(platform.fs.files.contains("/clips/a.mp4"));
    }
    if (c.no_video) {
      EXPECT_TRUE(platform.calls.empty());
    }
    EXPECT_EQ(lines.err(), R"({"event":"saveFailed","id":"a1","message":")" + c.message + "\"}\n");
    EXPECT_EQ(lines.out(), "");
  }
}

TEST_F(ClipWriter, MovesTheClipToItsFinalNameTryingEightTimes) {
  struct Case {
    int failing_moves;
    std::vector<int> sleeps_ms;
    const char* reported;
  } cases[] = {
      {0, {}, "/clips/final.mp4"},
      {3, {250, 500, 750}, "/clips/final.mp4"},
      {7, {250, 500, 750, 1000, 1250, 1500, 1750}, "/clips/final.mp4"},
      {8, {250, 500, 750, 1000, 1250, 1500, 1750}, "/clips/a.mp4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing_moves);
    platform = FakePlatform{};
    lines.clear();
    platform.fs.failing_moves = c.failing_moves;
    SaveJob j = job(one_group());
    j.finish = "/clips/final.mp4";
    write(std::move(j));
    std::vector<int> sleeps;
    for (Ticks t : platform.sleeps) sleeps.push_back(static_cast<int>(whole_milliseconds(t)));
    EXPECT_EQ(sleeps, c.sleeps_ms);
    ASSERT_TRUE(platform.fs.files.contains(c.reported));
    const auto out = lines.all();
    ASSERT_FALSE(out.empty());
    EXPECT_NE(out.back().find(std::string(R"("path":")") + c.reported + "\""), std::string::npos)
        << out.back();
    // The size is the file's at the reported path, wherever the move left it.
    const std::size_t bytes = platform.fs.files[c.reported].bytes.size();
    ASSERT_GT(bytes, 0u);
    EXPECT_NE(out.back().find(R"("bytes":)" + std::to_string(bytes) + ","), std::string::npos)
        << out.back();
    if (c.failing_moves == 8) {
      ASSERT_EQ(out.size(), 2u);
      EXPECT_EQ(out[0], R"j(out: {"event":"log","message":"could not rename the clip file: )j"
                        R"j(the file is in use (0x80070020)"})j");
    }
  }
}

TEST_F(ClipWriter, AFailedMarkOrSizeStillReportsTheClip) {
  platform.finished = Bytes(100, 0);  // no moov to mark
  platform.fs.size_fails = true;
  write(job(one_group()));
  EXPECT_EQ(lines.err(), "could not mark the game sound track: no moov (0x8007000D)\n");
  EXPECT_TRUE(lines.out().starts_with(R"({"audio":true,"bytes":0,"durationSec":)")) << lines.out();
}

}  // namespace
}  // namespace orvelle::clips
