#include "sim/time_code.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orvelle::clips::sim {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;  // BGRA, opaque
constexpr std::uint32_t kFrameGrey = 0xFF808080u;

// Limited-range luma puts black at 16 and white at 235; a cell is read as
// one of them only when its mean is well away from the middle.
constexpr int kThreshold = 126;
constexpr int kDoubt = 40;

void fill(std::uint32_t* row, std::uint32_t from, std::uint32_t to, std::uint32_t colour) {
  std::fill(row + from, row + to, colour);
}

}  // namespace

void paint_time_code(std::uint64_t code, BgraView picture, Rect area) {
  const auto width = picture.size.width;
  const auto left = static_cast<std::uint32_t>(area.left), right = static_cast<std::uint32_t>(area.right);
  const auto top = static_cast<std::uint32_t>(area.top), bottom = static_cast<std::uint32_t>(area.bottom);
  const std::uint32_t area_w = right - left, area_h = bottom - top;
  // One row of pixels for each band of cells, copied down the band.
  std::vector<std::uint32_t> row(width);
  auto put = [&](std::uint32_t y) { std::memcpy(picture.data + y * picture.stride, row.data(), width * 4); };

  fill(row.data(), 0, width, kFrameGrey);
  for (std::uint32_t y = 0; y < top; ++y) put(y);
  for (std::uint32_t band = 0; band < kCodeSide; ++band) {
    for (std::uint32_t column = 0; column < kCodeSide; ++column) {
      const bool bit = (code >> (band * kCodeSide + column)) & 1;
      fill(row.data(), left + code_cell_edge(area_w, column), left + code_cell_edge(area_w, column + 1),
           bit ? kWhite : kBlack);
    }
    for (std::uint32_t y = top + code_cell_edge(area_h, band); y < top + code_cell_edge(area_h, band + 1); ++y)
      put(y);
  }
  fill(row.data(), 0, width, kFrameGrey);
  for (std::uint32_t y = bottom; y < picture.size.height; ++y) put(y);
}

std::optional<std::uint64_t> read_time_code(const std::uint8_t* luma, std::size_t stride, Size size) {
  std::uint64_t code = 0;
  for (std::uint32_t band = 0; band < kCodeSide; ++band) {
    const std::uint32_t y0 = code_cell_edge(size.height, band), y1 = code_cell_edge(size.height, band + 1);
    const std::uint32_t ym = (y1 - y0) / 4;
    for (std::uint32_t column = 0; column < kCodeSide; ++column) {
      const std::uint32_t x0 = code_cell_edge(size.width, column), x1 = code_cell_edge(size.width, column + 1);
      const std::uint32_t xm = (x1 - x0) / 4;
      std::uint64_t sum = 0, count = 0;
      for (std::uint32_t y = y0 + ym; y < y1 - ym; ++y)
        for (std::uint32_t x = x0 + xm; x < x1 - xm; ++x, ++count) sum += luma[y * stride + x];
      if (count == 0) return std::nullopt;
      const int mean = static_cast<int>(sum / count);
      if (mean > kThreshold - kDoubt && mean < kThreshold + kDoubt) return std::nullopt;
      if (mean > kThreshold) code |= std::uint64_t{1} << (band * kCodeSide + column);
    }
  }
  return code;
}

}  // namespace orvelle::clips::sim
