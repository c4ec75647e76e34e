#include "bridge/volume.h"

#include "support/fake_platform.h"
#include "support/lines.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

using testing::FakeAudioSession;
using testing::FakePlatform;

TEST(Volume, NormalisedNames) {
  EXPECT_EQ(normalize_name("Spotify.exe"), "spotifyexe");
  EXPECT_EQ(normalize_name("Ünïcode-Μουσική 2!"), "ünïcodeμουσική2");
  EXPECT_EQ(normalize_name("--_ ."), "");
  EXPECT_EQ(normalize_name("ΟΔΟΣ"), "οδοσ");  // no final sigma: each character on its own
  EXPECT_EQ(normalize_name("İ"), "i\u0307");   // the full mapping
}

TEST(Volume, Matching) {
  struct Case {
    std::string target;
    std::optional<std::string> app_id;
    std::string path;
    bool matches;
  } cases[] = {
      {"SpotifyAB.SpotifyMusic_zpdnekdrzrea0!Spotify", std::nullopt, "C:\\Users\\a\\Spotify.exe", true},
      {"spotify.exe", std::nullopt, "/opt/spotify", true},
      {"Microsoft.ZuneMusic_8wekyb3d8bbwe!Microsoft.ZuneMusic",
       "microsoft.zunemusic_8wekyb3d8bbwe!MICROSOFT.ZUNEMUSIC", "C:\\x\\Music.UI.exe", true},
      {"app!one", "app!on", "C:\\x\\other.exe", false},            // ids of other lengths
      {"308046B0AF4A39CB", std::nullopt, "C:\\Mozilla\\firefox.exe", true},
      {"308046B0AF4A39CB", std::nullopt, "C:\\x\\af4a.exe", false},  // a hash: only the one browser
      {"chrome", std::nullopt, "C:\\x\\Chrome.EXE", true},
      {"chrome", std::nullopt, "C:\\x\\chrome.Exe", false},          // only .exe and .EXE come off
      {"abcd", std::nullopt, "C:\\x\\ab.exe", false},                // a stem of 2 bytes never matches
      {"vlc", std::nullopt, "", false},
      {"ΟΔΟΣ Player", std::nullopt, "C:\\x\\ΟΔΟΣ.exe", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(process_matches(c.target, ProcessIdentity{c.app_id, c.path}), c.matches) << c.target << " " << c.path;
}

struct Audio {
  FakePlatform platform;
  std::shared_ptr<FakeAudioSession> add(std::uint32_t pid, std::string path, float level) {
    auto s = std::make_shared<FakeAudioSession>();
    s->pid = pid;
    s->who = ProcessIdentity{std::nullopt, std::move(path)};
    s->at = level;
    platform.audio.push_back(s);
    return s;
  }
};

TEST(Volume, TargetsFromTheFirstMatch) {
  struct Case {
    std::optional<float> set;
    float delta;
    float first, second;  // levels after
    float level;
    bool unmuted;
  } cases[] = {
      {std::nullopt, 0, 0.95f, 0.3f, 0.95f, false},  // a reading changes nothing
      {0.5f, 0, 0.5f, 0.5f, 0.5f, true},
      {std::nullopt, 0.1f, 1.0f, 1.0f, 1.0f, true},  // clamped, both from the first one's level
      {std::nullopt, -2, 0, 0, 0, false},            // 0 keeps the mute as it is
      {7, 0, 1, 1, 1, true},
      {0, 0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    Audio a;
    auto own = a.add(7, "C:\\x\\Spotify.exe", 0.2f);     // the bridge itself
    auto system = a.add(0, "C:\\x\\Spotify.exe", 0.2f);  // the system's
    auto first = a.add(10, "C:\\x\\Spotify.exe", 0.95f);
    auto other = a.add(11, "C:\\x\\chrome.exe", 0.4f);
    auto second = a.add(12, "D:\\Spotify.exe", 0.3f);
    auto closed = a.add(13, "C:\\x\\Spotify.exe", 0.6f);
    closed->who.reset();  // cannot be opened
    auto no_volume = a.add(14, "C:\\x\\Spotify.exe", 0.6f);
    no_volume->volume = false;
    auto out = set_app_volume(a.platform, "Spotify.exe", c.set, c.delta);
    ASSERT_TRUE(out && *out);
    EXPECT_FLOAT_EQ((*out)->level, c.level);
    EXPECT_EQ((*out)->sessions, 2u);
    EXPECT_FLOAT_EQ(*first->at, c.first);
    EXPECT_FLOAT_EQ(*second->at, c.second);
    EXPECT_EQ(!first->muted, c.unmuted);
    EXPECT_FLOAT_EQ(*own->at, 0.2f);  // the rest keep their levels
    EXPECT_FLOAT_EQ(*system->at, 0.2f);
    EXPECT_FLOAT_EQ(*other->at, 0.4f);
    EXPECT_FLOAT_EQ(*closed->at, 0.6f);
    EXPECT_FLOAT_EQ(*no_volume->at, 0.6f);
  }
}

TEST(Volume, Replies) {
  FakePlatform platform;
  testing::FakeClock clock;
  LoopSender sender;
  RunState state(MediaConfig{}, platform.manager, sender, platform, clock);
  testing::CapturedLines lines;
  volume_command(state, std::nullopt, 0);  // no chosen session
  state.chosen_session = platform.add("Spotify.exe");
  volume_command(state, std::nullopt, 0);  // nothing matched
  auto s = std::make_shared<FakeAudioSession>();
  s->at = 0.675f;
  platform.audio.push_back(s);
  volume_command(state, std::nullopt, 0);
  s->set_fails = true;
  volume_command(state, 0.5f, 0);
  platform.audio_error = WinError{0x80070005u, "denied"};
  volume_command(state, std::nullopt, 0);
  EXPECT_EQ(lines.out, (std::vector<std::string>{
                           R"({"sessions":0,"type":"volume","value":-1.0})",
                           R"({"sessions":0,"type":"volume","value":-1.0})",
                           R"({"sessions":1,"type":"volume","value":0.68})",  // rounded half away
                           R"({"msg":"volume: cannot set","type":"log"})",
                           R"({"sessions":0,"type":"volume","value":-1.0})",
                           R"({"msg":"volume: denied","type":"log"})",
                           R"({"sessions":0,"type":"volume","value":-1.0})",
                       }));
}

}  // namespace
}  // namespace orvelle::media
