#pragma once
// The storyboard's arithmetic and its two texts: the files' base name, the
// distance between pictures, the pictures' size, and the index and result
// lines the client reads.

#include "common/media_time.h"
#include "common/win_error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips {

// out when given (even empty), else the clip path without its trailing
// ".mp4" endings, as many as there are (the ending is case-sensitive).
std::string board_base_name(std::string_view clip, const std::optional<std::string>& out);

// Pictures spread evenly over the clip, never closer than one second.
Ticks board_step(std::uint64_t duration, std::uint32_t frames);

// The targets in order: 0, step, 2 × step … while below max(duration, 1).
std::vector<Ticks> board_targets(std::uint64_t duration, Ticks step);

struct BoardSize {
  std::uint32_t width = 0, height = 0;
  bool operator==(const BoardSize&) const = default;
};
// From the clip's visible size: at most board_width wide and never wider
// than the clip (but at least 64), the height in proportion (at least 2),
// both even.
BoardSize board_out_size(std::uint32_t visible_width, std::uint32_t visible_height,
                         std::uint32_t board_width);

// One picture of the index: its time and where it lies in the pictures file.
struct BoardFrame {
  Ticks time{0};
  std::uint64_t offset = 0, length = 0;
};

// The clip file as it was read: both 0 when its metadata could not be read.
struct BoardSource {
  std::uint64_t size = 0;
  std::uint64_t mtime_ms = 0;  // since 1970, 0 for earlier
};

// The index file's text: compact, keys sorted, no line end.
std::string board_index_text(BoardSize size, std::uint64_t duration,
                             const std::vector<BoardFrame>& frames, const BoardSource& source);

// The line printed on success, without its line end.
std::string board_result_line(std::size_t frames, std::uint64_t bytes, BoardSize size,
                              std::uint64_t ms);

// A failed write of either file, as the mode reports it.
WinError board_write_error(const WinError& file_error);

}  // namespace orvelle::clips
