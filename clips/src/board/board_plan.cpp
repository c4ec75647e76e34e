#include "board/board_plan.h"

#include "common/json_write.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvelle::clips {
namespace {

constexpr std::string_view kClipEnding = ".mp4";
constexpr std::int64_t kMinStep = 10'000'000;  // one second
constexpr std::uint32_t kMinWidth = 64;

// Whole milliseconds, halves away from zero, as seconds; a negative time
// counts as 0.
Json seconds_in_milliseconds(std::uint64_t ticks) {
  const std::uint64_t ms = ticks / 10'000 + (ticks % 10'000 >= 5'000 ? 1 : 0);
  const double seconds = static_cast<double>(ms) / 1000.0;
  return std::isfinite(seconds) ? Json(seconds) : Json(nullptr);
}

std::uint64_t non_negative(Ticks t) { return t.count() < 0 ? 0 : static_cast<std::uint64_t>(t.count()); }

}  // namespace

std::string board_base_name(std::string_view clip, const std::optional<std::string>& out) {
  if (out) return *out;
  while (clip.ends_with(kClipEnding)) clip.remove_suffix(kClipEnding.size());
  return std::string(clip);
}

Ticks board_step(std::uint64_t duration, std::uint32_t frames) {
  const std::uint64_t even = duration / std::max<std::uint32_t>(frames, 1);
  const auto capped = static_cast<std::int64_t>(
      std::min<std::uint64_t>(even, std::numeric_limits<std::int64_t>::max()));
  return Ticks{std::max(capped, kMinStep)};
}

std::vector<Ticks> board_targets(std::uint64_t duration, Ticks step) {
  std::vector<Ticks> targets;
  const std::uint64_t end = std::max<std::uint64_t>(duration, 1);
  const auto by = static_cast<std::uint64_t>(std::max<std::int64_t>(step.count(), 1));
  // Unsigned, so a step near the end of the 64-bit range cannot wrap below it.
  for (std::uint64_t t = 0; t < end && t <= std::numeric_limits<std::int64_t>::max(); t += by) {
    targets.push_back(Ticks{static_cast<std::int64_t>(t)});
    if (by > std::numeric_limits<std::uint64_t>::max() - t) break;
  }
  return targets;
}

BoardSize board_out_size(std::uint32_t visible_width, std::uint32_t visible_height,
                         std::uint32_t board_width) {
  BoardSize size;
  size.width = std::min(board_width, std::max(visible_width, kMinWidth)) & ~1u;
  const std::uint64_t height =
      std::uint64_t{visible_height} * size.width / std::max<std::uint32_t>(visible_width, 1);
  const std::uint64_t floored = height < 3 ? 2 : height;
  size.height = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(floored, std::numeric_limits<std::uint32_t>::max()) & ~std::uint64_t{1});
  return size;
}

std::string board_index_text(BoardSize size, std::uint64_t duration,
                             const std::vector<BoardFrame>& frames, const BoardSource& source) {
  Json list = Json::array();
  for (const BoardFrame& f : frames)
    list.push_back(Json{{"t", seconds_in_milliseconds(non_negative(f.time))},
                        {"o", f.offset},
                        {"n", f.length}});
  return to_json_text(Json{{"v", 1},
                           {"w", size.width},
                           {"h", size.height},
                           {"duration", seconds_in_milliseconds(duration)},
                           {"frames", std::move(list)},
                           {"source", Json{{"size", source.size}, {"mtime", source.mtime_ms}}}});
}

std::string board_result_line(std::size_t frames, std::uint64_t bytes, BoardSize size,
                              std::uint64_t ms) {
  return to_json_text(
      Json{{"frames", frames}, {"bytes", bytes}, {"w", size.width}, {"h", size.height}, {"ms", ms}});
}

WinError board_write_error(const WinError& file_error) {
  return fail("writing the board: " + file_error.text());
}

}  // namespace orvelle::clips
