#pragma once
// The code a simulated game draws into every picture, so that a test can
// read the picture's capture time back after compression: an 8 × 8 grid of
// equal cells filling the client area, cell i (row-major from the top-left)
// white when bit i of the capture time in whole milliseconds since the
// simulation started is 1, black otherwise. Large flat cells survive any
// bitrate the recorder uses.

#include "common/geometry.h"
#include "common/media_time.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvelle::clips::sim {

inline constexpr std::uint32_t kCodeSide = 8;  // cells across and down

// Where cell column (or row) j starts across length pixels; cell j covers
// [edge(j), edge(j + 1)), so the cells differ by a pixel at most and the
// grid fills the length exactly.
constexpr std::uint32_t code_cell_edge(std::uint32_t length, std::uint32_t j) {
  return static_cast<std::uint32_t>(std::uint64_t{length} * j / kCodeSide);
}

// The code of a capture time since the simulation started.
constexpr std::uint64_t time_code(Ticks since_start) {
  return since_start.count() > 0 ? static_cast<std::uint64_t>(whole_milliseconds(since_start)) : 0;
}

// A BGRA picture in memory, four bytes a pixel.
struct BgraView {
  std::uint8_t* data = nullptr;
  std::size_t stride = 0;  // bytes from one row to the next
  Size size;
};

// Paints the whole picture: the grid of code inside area, the frame's grey
// around it. area lies inside the picture.
void paint_time_code(std::uint64_t code, BgraView picture, Rect area);

// Reads the code back from the luma of a decoded picture that is the grid
// alone (the client area as the recorder crops it). Only the middle half of
// each cell is looked at, where compression leaves it flat; nothing when a
// cell is neither clearly white nor clearly black.
std::optional<std::uint64_t> read_time_code(const std::uint8_t* luma, std::size_t stride, Size size);

}  // namespace orvelle::clips::sim
