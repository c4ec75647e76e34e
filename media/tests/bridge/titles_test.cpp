#include "bridge/titles.h"

#include <gtest/gtest.h>

namespace orvelle::media {
namespace {

TEST(SourceWords, Matching) {
  struct Case {
    std::string word, id, site;
    bool matches, site_asked;
  } cases[] = {
      {"spotify", "spotify.exe", "", true, false},
      {"spotify", "chrome", "youtube-music", false, false},
      {"music", "spotify.exe", "", true, false},
      {"music", "com.github.th-ch.youtube-music", "", true, false},
      {"music", "vlc.exe", "youtube-music", false, false},  // a known player is not examined
      {"music", "chrome", "youtube-music", true, true},
      {"music", "chrome", "youtube", false, true},
      {"youtube-music", "th-ch.app", "", true, false},
      {"youtube-music", "msedge", "youtube-music", true, true},
      {"youtube-music", "spotify.exe", "youtube-music", false, false},
      {"youtube", "chrome", "youtube", true, true},
      {"youtube", "youtubemusic.exe", "youtube", false, false},  // a player, never a site
      {"youtube", "firefox", "", false, true},
      {"vlc", "anything", "", true, false},  // no rule: everything matches
  };
  for (const Case& c : cases) {
    bool asked = false;
    bool m = source_matches(c.word, c.id, [&] {
      asked = true;
      return c.site;
    });
    EXPECT_EQ(m, c.matches) << c.word << " " << c.id;
    EXPECT_EQ(asked, c.site_asked) << c.word << " " << c.id;
  }
  EXPECT_FALSE(is_not_known_player("C:\\Program Files\\VLC\\VLC.EXE"));
  EXPECT_TRUE(is_not_known_player(""));
}

TEST(SiteDetection, Rules) {
  struct Case {
    const char* what;
    std::string title;
    bool album_empty;
    std::vector<std::string> windows;
    std::string cached, site;
  } cases[] = {
      {"title with YouTube Music", " Song ", true, {"Other", "Song - YouTube Music - Browser"}, "", "youtube-music"},
      {"title with YouTube", "Video", true, {"Video - YouTube - Browser"}, "", "youtube"},
      {"music before plain", "Video", true, {"Video - YouTube", "Video - YouTube Music"}, "", "youtube-music"},
      {"both marks in one window only", "Song", true, {"Song - Browser", "YouTube - Browser"}, "", ""},
      {"a blank title matches no window", "  ", true, {"  - YouTube"}, "", ""},
      {"a YouTube Music window alone", "Else", true, {"YouTube Music"}, "", "youtube-music"},
      {"its page title", "", true, {"YouTube Music - Browser"}, "", "youtube-music"},
      {"not a prefix", "Else", true, {"My YouTube Music - Browser"}, "", ""},
      {"an album keeps the cached site", "Else", false, {"x"}, "youtube", "youtube"},
      {"no album: nothing kept", "Else", true, {"x"}, "youtube", ""},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> cache;
    if (!c.cached.empty()) cache["k"] = c.cached;
    EXPECT_EQ(detect_browser_site(cache, "k", c.title, c.album_empty, c.windows), c.site) << c.what;
    EXPECT_EQ(cache["k"], c.site) << c.what;
  }
}

}  // namespace
}  // namespace orvelle::media
