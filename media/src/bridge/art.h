#pragma once
// Cover art: the track's thumbnail as a square RGBA picture of the --art
// size, centred on what remains once near-black and transparent borders are
// trimmed, sent once per new picture.

#include "bridge/run_state.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvelle::media {

struct ContentBox {
  std::uint32_t left = 0, top = 0, right = 0, bottom = 0;  // right, bottom exclusive
  friend bool operator==(const ContentBox&, const ContentBox&) = default;
};

bool is_empty_pixel(std::span<const std::uint8_t> rgba, std::uint32_t width, std::uint32_t x,
                    std::uint32_t y);
ContentBox find_content_box(std::span<const std::uint8_t> rgba, std::uint32_t width, std::uint32_t height);

// The reduced copy the borders are looked for in: at most 256 on its longer side.
PictureSize analysis_size(PictureSize picture);

// The scale of the whole picture and the square taken from it.
struct ArtCut {
  PictureSize scaled;
  PictureBounds bounds;
  friend bool operator==(const ArtCut&, const ArtCut&) = default;
};
// box is in pixels of the analysis image.
ArtCut art_cut(PictureSize picture, const ContentBox& box, std::uint32_t art_size);

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes);
std::string base64(std::span<const std::uint8_t> bytes);

// Makes, and sends when it is new, the picture of the track's thumbnail.
void fetch_cover_art(RunState& state, const TrackProperties& props);

}  // namespace orvelle::media
