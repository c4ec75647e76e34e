#include "bridge/titles.h"

#include "common/text.h"
#include "text/unicode.h"

#include <algorithm>
#include <array>
#include <span>

namespace orvelle::media {
namespace {

// The app id of the widely used desktop client of the YouTube Music service
// begins with its developer's handle.
constexpr std::string_view kDesktopClientPrefix = "th-ch";

constexpr std::array<std::string_view, 12> kKnownPlayers = {
    "spotify", "youtube-music", "youtubemusic", "applemusic", "itunes", "zunemusic",
    "vlc",     "foobar",        "aimp",         "musicbee",   "tidal",  "deezer"};

constexpr std::array<std::string_view, 12> kMusicPlayers = {
    "spotify",    "youtube-music", "youtubemusic", kDesktopClientPrefix,
    "applemusic", "itunes",        "zunemusic",    "tidal",
    "deezer",     "foobar",        "aimp",         "musicbee"};

bool contains_any(std::string_view text, std::span<const std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view w) { return text.find(w) != text.npos; });
}

bool browser_is(std::string_view id, const std::function<std::string()>& site_of,
                std::string_view site) {
  return is_not_known_player(id) && site_of() == site;
}

}  // namespace

bool is_not_known_player(std::string_view app_id) {
  return !contains_any(lower_case(app_id), kKnownPlayers);
}

bool source_matches(std::string_view word, std::string_view id,
                    const std::function<std::string()>& site_of) {
  if (word == "music")
    return contains_any(id, kMusicPlayers) || browser_is(id, site_of, kSiteYouTubeMusic);
  if (word == "youtube-music") {
    constexpr std::array<std::string_view, 3> own = {"youtube-music", "youtubemusic",
                                                     kDesktopClientPrefix};
    return contains_any(id, own) || browser_is(id, site_of, kSiteYouTubeMusic);
  }
  if (word == "spotify") return id.find("spotify") != id.npos;
  if (word == "youtube") return browser_is(id, site_of, kSiteYouTube);
  return true;  // a word no rule knows narrows nothing
}

std::string detect_browser_site(std::map<std::string, std::string>& site_cache,
                                const std::string& key, std::string_view title, bool album_empty,
                                const std::vector<std::string>& window_titles) {
  std::string_view t = trim_unicode_whitespace(title);
  auto window_with = [&](std::string_view mark) {
    return !t.empty() && std::any_of(window_titles.begin(), window_titles.end(), [&](auto& w) {
      return w.find(t) != w.npos && w.find(mark) != w.npos;
    });
  };
  std::string site;
  if (window_with("YouTube Music")) {
    site = kSiteYouTubeMusic;
  } else if (window_with("YouTube")) {
    site = kSiteYouTube;
  } else if (std::any_of(window_titles.begin(), window_titles.end(), [](const std::string& w) {
               return w == "YouTube Music" || w.starts_with("YouTube Music - ");
             })) {
    site = kSiteYouTubeMusic;
  } else if (auto cached = site_cache.find(key); !album_empty && cached != site_cache.end()) {
    site = cached->second;
  }
  site_cache[key] = site;
  return site;
}

}  // namespace orvelle::media
