#include "bridge/art.h"

#include "bridge/output.h"
#include "common/numbers.h"
#include "common/try.h"

#include <algorithm>

#include <fmt/format.h>

namespace orvelle::media {
namespace {

// More than 2 % of a line's pixels are content.
bool content_line(std::uint32_t filled, std::uint32_t length) {
  return static_cast<std::uint64_t>(filled) * 50 > length;
}

// Rounded half away from zero, saturating, then at least 1.
std::uint32_t pixels_of(double v) { return std::max<std::uint32_t>(round_saturate<std::uint32_t>(v), 1); }

}  // namespace

bool is_empty_pixel(std::span<const std::uint8_t> rgba, std::uint32_t width, std::uint32_t x,
                    std::uint32_t y) {
  const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
  return (p[0] < 28 && p[1] < 28 && p[2] < 28) || p[3] < 16;
}

ContentBox find_content_box(std::span<const std::uint8_t> rgba, std::uint32_t w, std::uint32_t h) {
  const ContentBox whole{0, 0, w, h};
  if (rgba.size() < static_cast<std::size_t>(w) * h * 4) return whole;
  auto row = [&](std::uint32_t y) {
    std::uint32_t n = 0;
    for (std::uint32_t x = 0; x < w; ++x) n += !is_empty_pixel(rgba, w, x, y);
    return content_line(n, w);
  };
  std::uint32_t top = 0;
  while (top < h && !row(top)) ++top;
  if (top == h) return whole;
  std::uint32_t end = h;
  while (end - 1 > top && !row(end - 1)) --end;
  auto column = [&](std::uint32_t x) {
    std::uint32_t n = 0;
    for (std::uint32_t y = top; y < end; ++y) n += !is_empty_pixel(rgba, w, x, y);
    return content_line(n, end - top);
  };
  std::uint32_t left = 0;
  while (left < w && !column(left)) ++left;
  std::uint32_t right = w;
  while (right > left && !column(right - 1)) --right;
  if (static_cast<std::uint64_t>(right - left) * 10 < 4ull * w ||
      static_cast<std::uint64_t>(end - top) * 10 < 4ull * h)
    return whole;
  // Two pixels further in on every trimmed edge, past the soft edge of a
  // bar; not where that would leave nothing of the box.
  ContentBox b{left, top, right, end};
  auto inset = [](std::uint32_t& lo, std::uint32_t& hi, std::uint32_t size) {
    std::int64_t l = lo > 0 ? std::int64_t{lo} + 2 : lo, r = hi < size ? std::int64_t{hi} - 2 : hi;
    if (l < r) lo = static_cast<std::uint32_t>(l), hi = static_cast<std::uint32_t>(r);
  };
  inset(b.left, b.right, w);
  inset(b.top, b.bottom, h);
  return b;
}

PictureSize analysis_size(PictureSize p) {
  double s = std::min(256.0 / std::max(p.width, p.height), 1.0);
  return {pixels_of(p.width * s), pixels_of(p.height * s)};
}

ArtCut art_cut(PictureSize p, const ContentBox& b, std::uint32_t art) {
  double s = std::min(256.0 / std::max(p.width, p.height), 1.0);
  double bw = (b.right - b.left) / s, bh = (b.bottom - b.top) / s;
  double side = std::max(std::min(bw, bh), 1.0);
  double k = art / side;
  std::uint32_t sw = std::max(round_saturate<std::uint32_t>(p.width * k), art);
  std::uint32_t sh = std::max(round_saturate<std::uint32_t>(p.height * k), art);
  double cx = (bw - side) * 0.5 + b.left / s, cy = (bh - side) * 0.5 + b.top / s;
  std::uint32_t x = std::min(round_saturate<std::uint32_t>(cx * k), sw - art);
  std::uint32_t y = std::min(round_saturate<std::uint32_t>(cy * k), sh - art);
  return {{sw, sh}, {x, y, art, art}};
}

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

std::string base64(std::span<const std::uint8_t> bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    std::uint32_t v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
    for (int shift : {18, 12, 6, 0}) out += kAlphabet[(v >> shift) & 63];
  }
  if (std::size_t left = bytes.size() - i) {
    std::uint32_t v = bytes[i] << 16 | (left == 2 ? bytes[i + 1] << 8 : 0);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

namespace {

Result<std::vector<std::uint8_t>> make_art(Thumbnail& thumbnail, std::uint32_t art) {
  ORVELLE_ASSIGN_OR_RETURN(std::unique_ptr<Picture> picture, thumbnail.open());
  ORVELLE_ASSIGN_OR_RETURN(PictureSize size, picture->size());
  if (size.width == 0 || size.height == 0) return std::vector<std::uint8_t>{};
  PictureSize a = analysis_size(size);
  ORVELLE_ASSIGN_OR_RETURN(std::vector<std::uint8_t> reduced, picture->pixels(a, std::nullopt));
  ArtCut cut = art_cut(size, find_content_box(reduced, a.width, a.height), art);
  return picture->pixels(cut.scaled, cut.bounds);
}

}  // namespace

void fetch_cover_art(RunState& state, const TrackProperties& props) {
  if (!props.thumbnail) return;
  const std::uint32_t art = state.config.art_size;
  Result<std::vector<std::uint8_t>> rgba = make_art(*props.thumbnail, art);
  if (!rgba) {
    emit_line(Json{{"type", "log"}, {"msg", fmt::format("cover: {}", error_message(rgba.error()))}});
    return;
  }
  if (rgba->size() != static_cast<std::size_t>(art) * art * 4) return;  // none, or not the square asked for
  std::uint64_t hash = fnv1a64(*rgba);
  if (hash != state.last_art_hash) {
    state.last_art_hash = hash;
    ++state.art_serial;
    emit_line(Json{{"type", "art"}, {"art", state.art_serial}, {"size", art}, {"rgba", base64(*rgba)}});
  }
  state.art_shown = state.art_serial;
}

}  // namespace orvelle::media
