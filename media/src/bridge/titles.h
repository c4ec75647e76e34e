#pragma once
// Source words and site detection: whether a session matches the client's
// source or prefer word, and whether a browser plays YouTube or YouTube
// Music, told by the media title standing in a visible window's title.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::media {

inline constexpr std::string_view kSiteYouTubeMusic = "youtube-music";
inline constexpr std::string_view kSiteYouTube = "youtube";

// True when the lower-cased id holds none of the known players' words.
bool is_not_known_player(std::string_view app_id);

// Whether a session with this lower-cased id matches the word. site_of is
// asked only where the word needs a browser's site, and only for ids of no
// known player.
bool source_matches(std::string_view word, std::string_view lowered_id,
                    const std::function<std::string()>& site_of);

// The site word of a media title among the window titles, stored as the
// key's entry of the cache (an album's track keeps its earlier site).
std::string detect_browser_site(std::map<std::string, std::string>& site_cache,
                                const std::string& key, std::string_view title, bool album_empty,
                                const std::vector<std::string>& window_titles);

}  // namespace orvelle::media
